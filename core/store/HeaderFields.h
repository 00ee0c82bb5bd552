// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The declarant header as the main window's boxes hold it.
#include <array>
#include <string>

namespace edlt {

// The header boxes, in their order on the form (also the order of the kept header copy).
enum class HeaderField {
    YearOfData,
    AFM,
    AntikeimenoErgasion,
    CompanyName,
    Name,
    FatherName,
    Town,
    Street,
    Number,
    TK
};

inline constexpr std::array<HeaderField, 10> headerFieldsInBoxOrder = {
    HeaderField::YearOfData,  HeaderField::AFM,    HeaderField::AntikeimenoErgasion,
    HeaderField::CompanyName, HeaderField::Name,   HeaderField::FatherName,
    HeaderField::Town,        HeaderField::Street, HeaderField::Number,
    HeaderField::TK};

// Windows-1253 texts, unpadded, as typed into the header boxes.
struct HeaderFields {
    std::string YearOfData, AFM, AntikeimenoErgasion, CompanyName, Name, FatherName, Town, Street, Number, TK;
    bool business = true;  // a business (kind "0") rather than a natural person (kind "1")

    std::string& value(HeaderField field)
    {
        switch (field) {
        case HeaderField::YearOfData: return YearOfData;
        case HeaderField::AFM: return AFM;
        case HeaderField::AntikeimenoErgasion: return AntikeimenoErgasion;
        case HeaderField::CompanyName: return CompanyName;
        case HeaderField::Name: return Name;
        case HeaderField::FatherName: return FatherName;
        case HeaderField::Town: return Town;
        case HeaderField::Street: return Street;
        case HeaderField::Number: return Number;
        case HeaderField::TK: break;
        }
        return TK;
    }
    const std::string& value(HeaderField field) const { return const_cast<HeaderFields&>(*this).value(field); }
};

}  // namespace edlt
