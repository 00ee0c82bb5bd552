// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Εξαγωγή γραμμών σε λογιστικό φύλλο…": the save dialog with the three kinds, the replace
// question, the export under the please-wait window, its failure shown. The window only
// calls it; edlt-cli export shares exportStoreLines.
#include <filesystem>
#include <functional>
#include <string>

#include "core/export/SheetExport.h"

namespace edlt {

class DeclarationSession;
class FixedWidthTable;
class UserInterface;

enum class LineExportOutcome { Cancelled, PendingRefused, Declined, Written, Failed };

// The save dialog's filter: .xlsx, .ods, .csv.
std::string lineExportFilter();

// The file for the name chosen: a name that ends in none of the three extensions gets ".xlsx".
std::filesystem::path lineExportPath(const std::filesystem::path& chosen);

// The question before an existing file is replaced.
std::string lineExportReplaceQuestion(const std::filesystem::path& target);

// The lines of store to target (its kind by its extension). When a file is there already,
// confirmReplace decides (false: Declined, nothing written). Throws SheetExportError.
LineExportOutcome exportStoreLines(const FixedWidthTable& store, const std::filesystem::path& target,
                                   const SheetExportOptions& options, const std::function<bool()>& confirmReplace);

// The menu command.
LineExportOutcome lineExportCommand(DeclarationSession& session, UserInterface& ui);

}  // namespace edlt
