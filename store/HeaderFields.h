#pragma once
// The declarant header as the main window's boxes hold it.
#include <string>

namespace edlt {

// Windows-1253 texts, unpadded, as typed into the header boxes.
struct HeaderFields {
    std::string YearOfData, AFM, AntikeimenoErgasion, CompanyName, Name, FatherName,
                Town, Street, Number, TK;
    bool business = true;  // RadioButton1 (kind "0") rather than RadioButton2 (kind "1")
};

}  // namespace edlt
