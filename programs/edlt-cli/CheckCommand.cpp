// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli check: every finding about a declaration file, one per line, as "<n>: <message>",
// or for scripts as JSON or TSV.
#include "core/session/DeclarationCheck.h"
#include "core/session/ScriptOutput.h"
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/CliUserInterface.h"

namespace edlt::cli {

int runCheck(const Args& args)
{
    const char* usage = "edlt-cli check FILE [--format text|json|tsv]";
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {"--format"}, {}, parsed)) return usageError(*problem + ": " + usage);
    if (parsed.positional.size() != 1 || parsed.positional[0].empty())
        return usageError(std::string("η check θέλει ένα αρχείο: ") + usage);
    const auto format = outputFormat(parsed);
    if (!format) return usageError(std::string("η --format θέλει text, json ή tsv: ") + usage);

    CommandSession command(true);
    DeclarationSession& session = command.session();
    if (!command.open(parsed.positional[0])) return ExitUnreadable;

    CliUserInterface& ui = command.ui;
    const CheckResult result = checkDeclaration(session);
    switch (*format) {
    case OutputFormat::Json: printUtf8(findingsJson(result)); break;
    case OutputFormat::Tsv: printUtf8(findingsTsv(result)); break;
    case OutputFormat::Text:
        ui.setChannel(CliUserInterface::Channel::Stdout, true);
        for (const CheckFinding& finding : result.findings) {
            ui.setLineNumber(finding.line);
            ui.print(finding.message);
        }
        break;
    }
    return result.refusedLines() > 0 ? ExitRefused : ExitOk;
}

}  // namespace edlt::cli
