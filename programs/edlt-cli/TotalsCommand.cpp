// edlt-cli totals: the counter label and the nine totals boxes of a declaration file.
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/CliUserInterface.h"

namespace edlt::cli {

int runTotals(const Args& args)
{
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {}, {}, parsed)) return usageError(*problem + ": edlt-cli totals FILE");
    if (parsed.positional.size() != 1 || parsed.positional[0].empty())
        return usageError("η totals θέλει ένα αρχείο: edlt-cli totals FILE");

    CommandSession command;
    DeclarationSession& session = command.session();
    if (!command.open(parsed.positional[0])) return ExitUnreadable;
    // An amount that is not a number leaves no totals to print (its message is on stderr).
    if (session.unconvertibleAmounts()) return ExitUnreadable;
    printOut(session.recordCounterText());
    const TotalsTexts& totals = session.totals();
    for (size_t i = 0; i < totals.size(); ++i) printOut("Edit" + std::to_string(i + 1) + "=" + totals[i]);
    return ExitOk;
}

}  // namespace edlt::cli
