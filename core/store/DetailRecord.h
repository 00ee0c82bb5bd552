// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The detail record: 23 text fields, 170 bytes. The one place its layout is written down.
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace edlt::detail {

enum Field {
    RecordType,
    AFM,
    FILLER,
    SurName,
    Name,
    FatherName,
    City,
    Street,
    StreetNo,
    TK,
    TypeInc,
    AkaInc,
    Xartosimo,
    OGAXart,
    Kratiseis,
    Kathares,
    ForosParakr,
    ForosAnal,
    Ypokatastima,
    Hmeres,
    OGAForouParakr,
    OGAForouAnal,
    FILLER2,
    FieldCount
};

struct FieldDef {
    const char* name;
    int width;
    int offset;
};

inline constexpr int RecordSize = 170;

inline constexpr std::array<FieldDef, FieldCount> fields = {{
    {"RecordType", 1, 0},
    {"AFM", 9, 1},
    {"FILLER", 1, 10},
    {"SurName", 18, 11},
    {"Name", 9, 29},
    {"FatherName", 3, 38},
    {"City", 10, 41},
    {"Street", 16, 51},
    {"StreetNo", 5, 67},
    {"TK", 5, 72},
    {"TypeInc", 2, 77},
    {"AkaInc", 10, 79},
    {"Xartosimo", 8, 89},
    {"OGAXart", 7, 97},
    {"Kratiseis", 9, 104},
    {"Kathares", 10, 113},
    {"ForosParakr", 9, 123},
    {"ForosAnal", 9, 132},
    {"Ypokatastima", 6, 141},
    {"Hmeres", 3, 147},
    {"OGAForouParakr", 8, 150},
    {"OGAForouAnal", 8, 158},
    {"FILLER2", 4, 166},
}};

// The columns A..T of a sheet of lines: the order the import reads and the export writes.
inline constexpr std::array<Field, 20> sheetColumns = {
    AFM,         SurName,   Name,         FatherName, City,           Street,      StreetNo,
    TK,          TypeInc,   AkaInc,       Xartosimo,  OGAXart,        Kratiseis,   Kathares,
    ForosParakr, ForosAnal, Ypokatastima, Hmeres,     OGAForouParakr, OGAForouAnal};

// The detail fields held as text, with their captions (UTF-8, as written in the code).
inline constexpr std::array<std::pair<Field, const char*>, 10> textFieldCaptions = {{
    {AFM, "ΑΦΜ"},
    {SurName, "Επώνυμο"},
    {Name, "Όνομα"},
    {FatherName, "Όνομα Πατέρα ή Συζύγου"},
    {City, "Πόλη"},
    {Street, "Οδός"},
    {StreetNo, "Αριθμός"},
    {TK, "ΤΚ"},
    {TypeInc, "Είδος Αποδοχών"},
    {Ypokatastima, "Υποκατάστημα Μισθωτού"},
}};

// The nine amounts in schema order.
inline constexpr std::array<Field, 9> amountFields = {AkaInc,      Xartosimo, OGAXart,        Kratiseis,   Kathares,
                                                      ForosParakr, ForosAnal, OGAForouParakr, OGAForouAnal};

inline constexpr bool isAmount(int field)
{
    for (Field f : amountFields)
        if (f == field) return true;
    return false;
}

// The schema lines "Name=width" of the detail stores.
std::vector<std::string> schema();

// A short Greek name of an amount field for messages (Windows-1253).
const std::string& amountCaption(Field field);

// The field's bytes of a line, space-padded when the line ends inside it.
std::string fieldText(std::string_view line, Field field);

// The field's bytes of a line without the padding spaces at its end.
std::string_view fieldValue(std::string_view line, Field field);

}  // namespace edlt::detail
