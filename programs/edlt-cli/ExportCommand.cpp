// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli export: the detail lines of a declaration file to a spreadsheet the import reads back.
#include "core/base/Error.h"
#include "core/export/LineExportCommand.h"
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/CliUserInterface.h"

namespace edlt::cli {

int runExport(const Args& args)
{
    const char* usage = "edlt-cli export FILE --out SHEET.xlsx|SHEET.ods|SHEET.csv [--headings] [--answer yes|no]";
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {"--out", "--answer"}, {"--headings"}, parsed))
        return usageError(*problem + ": " + usage);
    if (parsed.positional.size() != 1 || parsed.positional[0].empty())
        return usageError(std::string("η export θέλει ένα αρχείο δήλωσης: ") + usage);
    const std::string out = parsed.value("--out").value_or("");
    // The kind of sheet comes from the name, which standard output does not have.
    if (out.empty() || out == "-" || !sheetKindOf(out))
        return usageError(std::string("η --out θέλει ένα όνομα αρχείου .xlsx, .ods ή .csv: ") + usage);
    const std::string answer = parsed.value("--answer").value_or("no");
    if (answer != "yes" && answer != "no") return usageError(std::string("η --answer θέλει yes ή no: ") + usage);

    const std::string& file = parsed.positional[0];
    FileLocks locks({{file, FileLock::Mode::Shared}, {out, FileLock::Mode::Exclusive}});
    CommandSession command;
    if (!command.open(file)) return ExitUnreadable;
    SheetExportOptions options;
    options.headings = parsed.has("--headings");
    try {
        const LineExportOutcome outcome = exportStoreLines(command.session().detailStore(), out, options, [&] {
            if (answer == "yes") return true;
            printErr(lineExportReplaceQuestion(out));  // the window's question, answered no
            return false;
        });
        return outcome == LineExportOutcome::Written ? ExitOk : ExitRefused;
    } catch (const Error& e) {
        printFailure(e.message());
        return ExitUnreadable;
    }
}

}  // namespace edlt::cli
