// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The workbook stream of an .xls file: the OLE2 compound file is opened through libgsf and
// its "Workbook" (BIFF8) or "Book" (BIFF5) stream read whole.
#include <filesystem>
#include <string_view>

#include "core/base/LargeArray.h"

namespace edlt::sheet::xls {

struct WorkbookStream {
    LargeArray<char> bytes;  // in huge pages where the kernel can: megabytes, read once
    std::string_view view() const { return {bytes.begin(), bytes.size()}; }
};

// Both throw the sheet faults: not a spreadsheet, protected (encrypted), or corrupt.
WorkbookStream workbookStreamOfFile(const std::filesystem::path& path);
WorkbookStream workbookStreamInMemory(std::string_view bytes);

}  // namespace edlt::sheet::xls
