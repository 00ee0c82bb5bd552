// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The references the import is measured against: the least a reader of each kind must do.
#include <filesystem>
#include <string>
#include <vector>

namespace edlt::bench {

// An .xlsx opened with libzip and its shared strings and first sheet parsed with expat,
// every cell's text (its <v> or <t> characters) collected and nothing else: no types, no
// limits, no conversion. Throws std::runtime_error when the file cannot be read.
std::vector<std::string> bareXlsxCells(const std::filesystem::path& path);

// Every cell of the first worksheet of an .xls through FreeXL, numbers as doubles and
// texts as FreeXL gives them; the count of non-empty cells.
size_t freexlCells(const std::filesystem::path& path);

}  // namespace edlt::bench
