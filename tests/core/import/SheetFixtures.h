// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The spreadsheets under tests/data/sheets and the block the typical ones all give.
#include <filesystem>
#include <string>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/import/Sheet.h"

namespace edlt::test {

inline std::filesystem::path fixture(const std::string& name)
{
    return std::filesystem::path(EDLT_TEST_DATA) / "sheets" / name;
}

// The block as UTF-8 rows, for readable comparisons.
inline std::vector<std::vector<std::string>> rowsOf(const sheet::Block& b)
{
    std::vector<std::vector<std::string>> rows(b.rows);
    for (size_t r = 0; r < b.rows; ++r)
        for (size_t c = 0; c < b.cols; ++c) rows[r].push_back(cp1253::toUtf8(b.at(r, c)));
    return rows;
}

inline std::vector<std::string> padded(std::vector<std::string> row, size_t cols)
{
    row.resize(cols);
    return row;
}

inline const std::vector<std::string> headings = {
    "ΑΦΜ",   "Επώνυμο",        "Όνομα",        "Πατρώνυμο", "Πόλη",           "Οδός",        "Αριθμός",
    "ΤΚ",    "Είδος",          "Ακαθάριστες",  "Χαρτόσημο", "ΟΓΑ χαρτοσήμου", "Κρατήσεις",   "Καθαρές",
    "Φόρος", "Φόρος αναλογών", "Υποκατάστημα", "Ημέρες",    "ΟΓΑ φόρου",      "ΟΓΑ αναλογών"};

inline const std::vector<std::vector<std::string>> typical = {
    headings,
    {"012345670", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΙΩΡΓΟΣ", "ΝΙΚΟΛΑΟΣ", "ΑΘΗΝΑ", "ΣΤΑΔΙΟΥ", "12",  "10564", "10", "1234,5", "2,4",
     "0",         "100",          "1132,1",  "50",       "50",    "",        "365", "0,3",   "7"},
    padded({}, 20),
    {"12345670", "Μαρία-Ελένη", "O'Brien \"Jr\"", "a;b,c",   "Πάτρα", "Οδός 1", "3Α",
     "",         "11",          "1234.50",        "1234,50", "0",     "0",      "1234,5",
     "0",        "0",           "ΚΕΝΤΡΙΚΟ",       "400",     "1E20",  "-0,5"},
    padded({"123456783", "ΤΕΛΟΣ", "", "", "", "", "", "", "10", "1", "0", "0", "0", "1", "0", "0", "", "1", "0"}, 20),
};

}  // namespace edlt::test
