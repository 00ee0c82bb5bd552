// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli sort: the two sort buttons, written back without checks (sorting changes no line).
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/CliUserInterface.h"

namespace edlt::cli {

int runSort(const Args& args)
{
    const char* usage = "edlt-cli sort FILE --by afm|name [--out OUT]";
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {"--by", "--out"}, {}, parsed)) return usageError(*problem + ": " + usage);
    if (parsed.positional.size() != 1 || parsed.positional[0].empty())
        return usageError(std::string("η sort θέλει ένα αρχείο: ") + usage);
    const std::string by = parsed.value("--by").value_or("");
    if (by != "afm" && by != "name") return usageError(std::string("η --by θέλει afm ή name: ") + usage);
    const std::string out = parsed.value("--out").value_or(parsed.positional[0]);
    if (out.empty()) return usageError(std::string("η --out θέλει ένα όνομα αρχείου: ") + usage);

    const std::string& file = parsed.positional[0];
    FileLocks locks(
        {{file, out == file ? FileLock::Mode::Exclusive : FileLock::Mode::Shared}, {out, FileLock::Mode::Exclusive}});
    CommandSession command;
    DeclarationSession& session = command.session();
    if (!command.open(file)) return ExitUnreadable;
    // Nor can a declaration be written with an amount that is not a number (its message is on stderr).
    if (session.unconvertibleAmounts()) return ExitUnreadable;
    if (by == "afm") session.SortByTaxNumber();
    else
        session.SortBySurname();
    // A sort that failed has shown its error and left the lines unsorted: write nothing.
    if (command.ui.errorCount() > 0) return ExitUnreadable;
    command.write(out);
    return ExitOk;
}

}  // namespace edlt::cli
