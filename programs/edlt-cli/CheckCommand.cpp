// edlt-cli check: every finding about a declaration file, one per line, as "<n>: <message>".
#include "core/session/DeclarationCheck.h"
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/CliUserInterface.h"

namespace edlt::cli {

int runCheck(const Args& args)
{
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {}, {}, parsed)) return usageError(*problem + ": edlt-cli check FILE");
    if (parsed.positional.size() != 1 || parsed.positional[0].empty())
        return usageError("η check θέλει ένα αρχείο: edlt-cli check FILE");

    CommandSession command(true);
    DeclarationSession& session = command.session();
    if (!command.open(parsed.positional[0])) return ExitUnreadable;

    CliUserInterface& ui = command.ui;
    ui.setChannel(CliUserInterface::Channel::Stdout, true);
    const CheckResult result = checkDeclaration(session);
    for (const CheckFinding& finding : result.findings) {
        ui.setLineNumber(finding.line);
        ui.print(finding.message);
    }
    return result.refusedLines() > 0 ? ExitRefused : ExitOk;
}

}  // namespace edlt::cli
