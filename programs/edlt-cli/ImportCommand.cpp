// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli import: the import command on a declaration file, then Save As's checks and the write.
#include "core/base/Error.h"
#include "core/import/SpreadsheetImport.h"
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/CliUserInterface.h"

namespace edlt::cli {

int runImport(const Args& args)
{
    const char* usage = "edlt-cli import FILE SHEET [--out OUT] [--answer yes|no]";
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {"--out", "--answer"}, {}, parsed)) return usageError(*problem + ": " + usage);
    if (parsed.positional.size() != 2 || parsed.positional[0].empty() || parsed.positional[1].empty())
        return usageError(std::string("η import θέλει ένα αρχείο δήλωσης και ένα φύλλο: ") + usage);
    const std::string answer = parsed.value("--answer").value_or("no");
    if (answer != "yes" && answer != "no") return usageError(std::string("η --answer θέλει yes ή no: ") + usage);
    const std::string out = parsed.value("--out").value_or(parsed.positional[0]);
    if (out.empty()) return usageError(std::string("η --out θέλει ένα όνομα αρχείου: ") + usage);

    const std::string& file = parsed.positional[0];
    requireRegularFile(parsed.positional[1]);
    // The whole read-modify-write under the locks: another command's rows are never lost.
    FileLocks locks(
        {{file, out == file ? FileLock::Mode::Exclusive : FileLock::Mode::Shared}, {out, FileLock::Mode::Exclusive}});
    CommandSession command(answer == "yes");
    DeclarationSession& session = command.session();
    if (!command.open(file)) return ExitUnreadable;
    command.ui.setChannel(CliUserInterface::Channel::Stderr, true);

    SpreadsheetImport import(session, command.ui);
    // What the import tells is about the sheet: each message names it.
    command.ui.setSubject(parsed.positional[1]);
    const SpreadsheetImport::Outcome outcome = import.importFile(parsed.positional[1]);
    command.ui.setSubject({});
    switch (outcome) {
    case SpreadsheetImport::Outcome::Imported: break;
    case SpreadsheetImport::Outcome::Unreadable: return ExitUnreadable;
    case SpreadsheetImport::Outcome::Stopped:
        // The window leaves the refused line open in the grid; here the row is named.
        if (import.stoppedRow()) printErr(*import.stoppedRow());
        return ExitRefused;
    default: return ExitRefused;
    }
    try {
        if (!session.preSaveCheck()) return ExitRefused;
    } catch (const ConvertError& e) {
        printErr(e.message());
        return ExitRefused;
    }
    command.write(out);
    return ExitOk;
}

}  // namespace edlt::cli
