#include "core/session/Find.h"

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/session/DeclarationSession.h"
#include "core/session/UserInterface.h"
#include "core/store/DetailRecord.h"

namespace edlt {

bool FindKeyAccepted(bool byAFM, char typed)
{
    if (!byAFM) return true;
    return (typed >= '0' && typed <= '9') || typed == '\b' || typed == '\t';
}

int FindMaxLength(bool byAFM)
{
    return byAFM ? 9 : 27;
}

const std::string& FindNotFoundMessage(bool byAFM)
{
    static const std::string afm = cp1253::lit("Δεν βρέθηκε ο ΑΦΜ");
    static const std::string surname = cp1253::lit("Δεν βρέθηκε το Επώνυμο");
    return byAFM ? afm : surname;
}

bool FindDetailLine(DeclarationSession& session, const FindRequest& request)
{
    FixedWidthTable& ds = session.DetailStore();
    // Without a declaration there is nothing to search; the menu item is off then anyway.
    if (!ds.Active()) return false;
    const char* key = detail::fields[request.ByAFM ? detail::AFM : detail::SurName].name;
    return ds.FindRecord(key, request.SearchText, request.PartialMatch ? FixedWidthTable::PrefixMatch : 0);
}

FindOutcome RunFindCommand(DeclarationSession& session, UserInterface& ui,
                           const std::function<FindRequest()>& showDialog)
{
    if (!session.PostPendingEdit()) return FindOutcome::LineRefused;
    const FindRequest request = showDialog();
    if (request.Cancelled) return FindOutcome::Cancelled;

    FindOutcome outcome = FindOutcome::Failed;
    // A store error (a line that cannot even be checked) goes to the general error report.
    session.Guarded([&] {
        if (FindDetailLine(session, request)) {
            outcome = FindOutcome::Found;
            return;
        }
        ui.ShowWarning(FindNotFoundMessage(request.ByAFM));
        FixedWidthTable& ds = session.DetailStore();
        if (ds.Active()) ds.MoveFirst();
        outcome = FindOutcome::NotFound;
    });
    session.SessionChangedNotify();
    return outcome;
}

}  // namespace edlt
