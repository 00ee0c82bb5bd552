// edlt-cli check: every finding about a declaration file, one per line, as "<n>: <message>".
#include <unordered_map>

#include "cli/Cli.h"
#include "cli/CliUserInterface.h"
#include "entry/CheckAFM.h"
#include "entry/Convert.h"
#include "entry/Messages.h"
#include "store/DetailRecord.h"
#include "store/Error.h"

namespace edlt::cli {

namespace {

// The declarant checks of Save As, each run on its own; returns how many failed.
int checkDeclarant(DeclarationSession& session, CliUserInterface& ui)
{
    const HeaderFields& h = session.Header();
    int failed = 0;
    auto finding = [&](const std::string& message) {
        ui.print(message);
        ++failed;
    };
    try {
        if (h.YearOfData.empty()) {
            finding(msg::writeYear());
        } else {
            const int32_t year = strToInt(h.YearOfData);
            if (year < 1900 || year > session.Today().year) finding(msg::writeYear());
        }
    } catch (const ConvertError& e) {
        finding(e.message());
    }
    if (h.CompanyName.empty()) finding(h.business ? msg::writeCompanyName() : msg::writePersonName());
    try {
        if (!CheckAFM(h.AFM)) finding(msg::wrongDeclarantAfmOnSave());
    } catch (const ConvertError& e) {
        finding(e.message());
    }
    return failed;
}

// Every pair of lines i < j sharing tax number and income type, reported on line j,
// in order of i and then j.
int checkDuplicates(const TFixedFormatDataSet& lines, CliUserInterface& ui)
{
    const size_t n = static_cast<size_t>(lines.CountRecords());
    std::unordered_map<std::string, std::vector<size_t>> byKey;
    std::vector<std::string> afm(n);
    std::vector<const std::vector<size_t>*> groupOf(n);
    std::vector<size_t> placeInGroup(n);
    for (size_t i = 0; i < n; ++i) {
        afm[i] = lines.FieldValueAt(i, detail::AFM);
        // The map's elements keep their addresses as it grows.
        std::vector<size_t>& group = byKey[afm[i] + '\n' + lines.FieldValueAt(i, detail::TypeInc)];
        placeInGroup[i] = group.size();
        group.push_back(i);
        groupOf[i] = &group;
    }
    int found = 0;
    for (size_t i = 0; i < n; ++i) {
        const std::vector<size_t>& group = *groupOf[i];
        for (size_t k = placeInGroup[i] + 1; k < group.size(); ++k) {
            ui.setLineNumber(static_cast<long>(group[k] + 1));
            ui.print(msg::duplicateLine(afm[i]));
            ++found;
        }
    }
    return found;
}

}  // namespace

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
    bool refused = false;
    const long count = session.FixedFormatDataSet1.CountRecords();
    for (long n = 1; n <= count; ++n) {
        ui.setLineNumber(n);
        try {
            if (!session.ValidateStoredLine(n)) refused = true;
        } catch (const Error& e) {
            // A conversion error ends the line's checks as a refusal would.
            ui.print(e.message());
            refused = true;
        }
    }
    ui.setLineNumber(0);
    if (checkDeclarant(session, ui) > 0) refused = true;
    if (checkDuplicates(session.FixedFormatDataSet1, ui) > 0) refused = true;
    return refused ? ExitRefused : ExitOk;
}

}  // namespace edlt::cli
