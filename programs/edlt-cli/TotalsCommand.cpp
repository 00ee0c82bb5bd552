// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli totals: the counter label and the nine totals boxes of a declaration file, or for
// scripts the named totals as JSON or TSV.
#include <filesystem>

#include "core/base/Error.h"
#include "core/session/ScriptOutput.h"
#include "core/session/StreamedTotals.h"
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/CliUserInterface.h"

namespace edlt::cli {

namespace {

int printTotals(const TotalsSummary& totals, OutputFormat format)
{
    if (format != OutputFormat::Text) {
        printUtf8(format == OutputFormat::Json ? totalsJson(totals) : totalsTsv(totals));
        return ExitOk;
    }
    printOut(counterTextOf(totals));
    for (size_t i = 0; i < totals.sums.size(); ++i)
        printOut("Edit" + std::to_string(i + 1) + "=" + totals.sums[i].text());
    return ExitOk;
}

}  // namespace

int runTotals(const Args& args)
{
    const char* usage = "edlt-cli totals FILE [--format text|json|tsv]";
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {"--format"}, {}, parsed)) return usageError(*problem + ": " + usage);
    if (parsed.positional.size() != 1 || parsed.positional[0].empty())
        return usageError(std::string("η totals θέλει ένα αρχείο: ") + usage);
    const auto format = outputFormat(parsed);
    if (!format) return usageError(std::string("η --format θέλει text, json ή tsv: ") + usage);

    // Read as a stream, a file needs no store of its lines (most of the memory Open takes);
    // one Open would say anything of goes through Open, which says it.
    // Only a regular file: a pipe read once could not be read again by Open.
    std::error_code unknown;
    if (parsed.positional[0] != "-" && std::filesystem::is_regular_file(parsed.positional[0], unknown)) {
        std::optional<TotalsSummary> streamed;
        try {
            FileSource file(parsed.positional[0]);
            streamed = streamedTotals(file);
        } catch (const Error&) {
        }
        if (streamed) return printTotals(*streamed, *format);
    }

    CommandSession command;
    DeclarationSession& session = command.session();
    if (!command.open(parsed.positional[0])) return ExitUnreadable;
    // An amount that is not a number leaves no totals to print (its message is on stderr).
    if (session.unconvertibleAmounts()) return ExitUnreadable;
    if (*format != OutputFormat::Text)
        return printTotals(totalsSummary(session.ledger(), static_cast<size_t>(session.detailStore().countRecords())),
                           *format);
    printOut(session.recordCounterText());
    const TotalsTexts& totals = session.totals();
    for (size_t i = 0; i < totals.size(); ++i) printOut("Edit" + std::to_string(i + 1) + "=" + totals[i]);
    return ExitOk;
}

}  // namespace edlt::cli
