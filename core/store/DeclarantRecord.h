// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The declarant record of the declaration file: "1", the header values and the kind, 170
// bytes. The one place its layout is written down; the header boxes hold at most a field's
// width.
#include <array>

#include "core/store/HeaderFields.h"

namespace edlt::declarant {

struct FieldDef {
    HeaderField field;
    const char* name;
    int width;
    int offset;
    bool trimmed;  // read back without its padding (the year and tax number keep theirs)
};

// In record order; the kind byte comes between FatherName and AFM.
inline constexpr std::array<FieldDef, 10> fields = {{
    {HeaderField::YearOfData, "YearOfData", 4, 1, false},
    {HeaderField::CompanyName, "CompanyName", 18, 5, true},
    {HeaderField::Name, "Name", 9, 23, true},
    {HeaderField::FatherName, "FatherName", 3, 32, true},
    {HeaderField::AFM, "AFM", 9, 36, false},
    {HeaderField::AntikeimenoErgasion, "AntikeimenoErgasion", 16, 45, true},
    {HeaderField::Town, "Town", 10, 61, true},
    {HeaderField::Street, "Street", 16, 71, true},
    {HeaderField::Number, "Number", 5, 87, true},
    {HeaderField::TK, "TK", 5, 92, true},
}};

// "0" for a business, "1" for a natural person (whose Name and FatherName are written).
inline constexpr int KindOffset = 35;
// Spaces from here to the end of the record.
inline constexpr int FillerOffset = 97;

constexpr const FieldDef& fieldOf(HeaderField field)
{
    for (const FieldDef& f : fields)
        if (f.field == field) return f;
    return fields[0];
}

static_assert(fieldOf(HeaderField::FatherName).offset + fieldOf(HeaderField::FatherName).width == KindOffset);
static_assert(fieldOf(HeaderField::AFM).offset == KindOffset + 1);
static_assert(fieldOf(HeaderField::TK).offset + fieldOf(HeaderField::TK).width == FillerOffset);

constexpr int widthOf(HeaderField field)
{
    return fieldOf(field).width;
}

}  // namespace edlt::declarant
