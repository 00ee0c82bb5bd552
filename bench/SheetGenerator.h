// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Large import sheets for the benchmarks: one detail line per row in columns A to T,
// Greek names, valid tax numbers stored as text, amounts as numbers. The same row count
// gives the same file.
#include <cstddef>
#include <filesystem>
#include <string>

namespace edlt::bench {

// The cells of row i (0-based) of the generated sheet; numbers as the file writes them.
struct SheetRow {
    std::string text[9];  // A to I
    double amount[7];     // J to P
    std::string branch;   // Q
    int days;             // R
    double levy[2];       // S, T
};
SheetRow sheetRow(size_t i);

// An .xlsx written here through libzip, shared strings for the texts like a spreadsheet
// program saves them. Throws std::runtime_error on failure.
void writeLargeXlsx(const std::filesystem::path& path, size_t rows);

// An .xls written by python3-xlwt (Debian's package); false when that is not installed.
bool writeLargeXls(const std::filesystem::path& path, size_t rows);

}  // namespace edlt::bench
