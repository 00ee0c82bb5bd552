// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Εισαγωγή στοιχείων από Excel": a sheet's rows become detail lines. A validation pass
// checks every row first; only a sheet without a bad cell is stored, row by row, each
// through the same checks and totals as a typed line.
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "core/import/Sheet.h"
#include "core/session/DeclarationSession.h"

namespace edlt {

class SpreadsheetImport {
public:
    enum class Outcome {
        Cancelled,       // no file chosen
        PendingRefused,  // the line being edited was refused first
        Unreadable,      // the generic open-failure message was shown
        RowRefused,      // the validation pass found a bad cell (nothing stored)
        Stopped,         // a row was refused when stored (the rows before it stay)
        Imported,
    };

    SpreadsheetImport(DeclarationSession& session, UserInterface& ui);

    // The menu command: pending edit, file dialog, then ImportFile.
    Outcome chooseAndImport();
    // Everything after the file choice.
    Outcome importFile(const std::filesystem::path& sheetPath);
    // The same on a block already read (for tests and other readers).
    Outcome importBlock(const sheet::ReadResult& sheet);

    // The file dialog's filter: every kind together, then each kind.
    static std::string fileFilter();
    static const std::string& openFailureMessage();
    // What a failed read shows: the open-failure message, with the cause on the next line.
    static std::string readFailureMessage(const std::exception& error);
    static const std::string& stopMessage();

    // The validation pass on its own: the message for the first bad cell, or nullopt.
    // Throws when the generic failure applies (a column beyond the block, a conversion error).
    static std::optional<std::string> validateBlock(const sheet::ReadResult& sheet);

    // After Outcome::Stopped: "Γραμμή N του φύλλου, ΑΦΜ X", the sheet's row whose line was
    // refused when stored; nullopt otherwise.
    const std::optional<std::string>& stoppedRow() const { return stoppedRow_; }

    // The question asked when the workbook's first sheet is hidden.
    static std::string hiddenSheetQuestion(const std::string& cp1253Name);

private:
    Outcome fail(const std::string& message = openFailureMessage());

    DeclarationSession& session_;
    UserInterface& ui_;
    std::optional<std::string> stoppedRow_;
};

}  // namespace edlt
