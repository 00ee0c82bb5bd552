// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The detail lines out to a spreadsheet that the import reads back: one row per line in
// the store's order, columns A..T as the import takes them, amounts as numbers, tax
// numbers, postcodes and the other codes as text. Written as it goes (never the whole
// sheet in memory) and as a whole new file or not at all.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/base/Error.h"
#include "core/store/DeclarationFile.h"

namespace edlt {

enum class SheetKind { Xlsx, Ods, Csv };

// The kind a file name asks for by its extension, in any letter case; nullopt for others.
std::optional<SheetKind> sheetKindOf(const std::filesystem::path& path);

// An export that failed; nothing was written. The message is the fixed one with the
// file and the cause.
class SheetExportError : public Error {
public:
    using Error::Error;
};

struct SheetExportOptions {
    bool headings = false;  // a first row of column titles (the import would take it for a line)
    // How far it got, every few thousand lines.
    std::function<void(size_t done, size_t total)> progress;
};

// Writes lines to path, replacing a file there. Throws SheetExportError.
void exportLines(const DetailLines& lines, const std::filesystem::path& path, SheetKind kind,
                 const SheetExportOptions& options = {});

// The fixed part of a failure's message.
std::string exportFailureMessage();

// The most rows a sheet of .xlsx or .ods holds.
inline constexpr size_t maxSheetRows = 1048576;

}  // namespace edlt
