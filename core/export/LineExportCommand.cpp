// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/LineExportCommand.h"

#include <optional>

#include "core/base/Cp1253.h"
#include "core/export/ZipCommand.h"
#include "core/session/DeclarationSession.h"
#include "core/session/LongWork.h"
#include "core/session/UserInterface.h"
#include "core/store/FixedWidthTable.h"

namespace edlt {

std::string lineExportFilter()
{
    return cp1253::lit("Excel (*.xlsx)|*.xlsx|OpenDocument (*.ods)|*.ods|Κείμενο CSV (*.csv)|*.csv");
}

std::filesystem::path lineExportPath(const std::filesystem::path& chosen)
{
    if (sheetKindOf(chosen)) return chosen;
    return std::filesystem::path(chosen.native() + ".xlsx");
}

std::string lineExportReplaceQuestion(const std::filesystem::path& target)
{
    // The same words as the zip command's question.
    return zipReplaceQuestion(target);
}

LineExportOutcome exportStoreLines(const FixedWidthTable& store, const std::filesystem::path& target,
                                   const SheetExportOptions& options, const std::function<bool()>& confirmReplace)
{
    const std::optional<SheetKind> kind = sheetKindOf(target);
    if (!kind)
        throw SheetExportError(exportFailureMessage() + " (" + cp1253::pathText(target) + ": " +
                               cp1253::lit("το όνομα πρέπει να τελειώνει σε .xlsx, .ods ή .csv") + ")");
    std::error_code ec;
    if (std::filesystem::symlink_status(target, ec).type() != std::filesystem::file_type::not_found && !ec &&
        !confirmReplace())
        return LineExportOutcome::Declined;
    const DetailLines lines{static_cast<size_t>(store.countRecords()), [&store](size_t i) { return store.lineAt(i); }};
    exportLines(lines, target, *kind, options);
    return LineExportOutcome::Written;
}

LineExportOutcome lineExportCommand(DeclarationSession& session, UserInterface& ui)
{
    if (!session.postPendingEdit()) return LineExportOutcome::PendingRefused;
    std::string proposed = "DLT";
    if (!session.declarationFile().empty()) proposed = cp1253::pathText(session.declarationFile().stem());
    const auto chosen = ui.chooseFileToSave({session.programFolder(), lineExportFilter(), proposed + ".xlsx", ""});
    if (!chosen) return LineExportOutcome::Cancelled;
    const std::filesystem::path target = lineExportPath(*chosen);
    try {
        std::optional<LongWork> work;
        SheetExportOptions options;
        // The please-wait window comes after the question, with the first lines written.
        options.progress = [&](size_t done, size_t total) {
            if (!work) work.emplace(ui, true);
            work->progress(done, total);
        };
        return exportStoreLines(session.detailStore(), target, options, [&] {
            // Only "Ναι" replaces a file.
            return askYesNoDefaultNo(ui, lineExportReplaceQuestion(target)) == Answer::Yes;
        });
    } catch (const Error& e) {
        ui.showError(e.message());
        return LineExportOutcome::Failed;
    }
}

}  // namespace edlt
