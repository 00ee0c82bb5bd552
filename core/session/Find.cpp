// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/Find.h"

#include <algorithm>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/session/DeclarationSession.h"
#include "core/session/UserInterface.h"
#include "core/store/DetailRecord.h"

namespace edlt {

bool findKeyAccepted(bool byAFM, char typed)
{
    if (!byAFM) return true;
    return (typed >= '0' && typed <= '9') || typed == '\b' || typed == '\t';
}

int findMaxLength(bool byAFM)
{
    return byAFM ? 9 : 27;
}

const std::string& findNotFoundMessage(bool byAFM)
{
    static const std::string afm = cp1253::lit("Δεν βρέθηκε ο ΑΦΜ");
    static const std::string surname = cp1253::lit("Δεν βρέθηκε το Επώνυμο");
    return byAFM ? afm : surname;
}

std::string findNextNotFoundMessage(const FindRequest& request)
{
    return cp1253::lit(request.ByAFM ? "Δεν βρέθηκε άλλη γραμμή με τον ΑΦΜ "
                                     : "Δεν βρέθηκε άλλη γραμμή με το Επώνυμο ") +
           request.SearchText;
}

bool findDetailLine(DeclarationSession& session, const FindRequest& request, long from)
{
    FixedWidthTable& ds = session.detailStore();
    // Without a declaration there is nothing to search; the menu item is off then anyway.
    if (!ds.active()) return false;
    const char* key = detail::fields[request.ByAFM ? detail::AFM : detail::SurName].name;
    return ds.findRecord(key, request.SearchText, request.PartialMatch ? FixedWidthTable::PrefixMatch : 0, from);
}

FindOutcome runFindCommand(DeclarationSession& session, UserInterface& ui,
                           const std::function<FindRequest()>& showDialog)
{
    if (!session.postPendingEdit()) return FindOutcome::LineRefused;
    const FindRequest request = showDialog();
    if (request.Cancelled) return FindOutcome::Cancelled;

    FindOutcome outcome = FindOutcome::Failed;
    // A store error (a line that cannot even be checked) goes to the general error report.
    session.guarded([&] {
        if (findDetailLine(session, request)) {
            outcome = FindOutcome::Found;
            return;
        }
        ui.showWarning(findNotFoundMessage(request.ByAFM));
        FixedWidthTable& ds = session.detailStore();
        if (ds.active()) ds.moveFirst();
        outcome = FindOutcome::NotFound;
    });
    session.sessionChangedNotify();
    return outcome;
}

FindOutcome runFindNextCommand(DeclarationSession& session, UserInterface& ui, const FindRequest& request)
{
    if (!session.postPendingEdit()) return FindOutcome::LineRefused;
    FindOutcome outcome = FindOutcome::Failed;
    session.guarded([&] {
        FixedWidthTable& ds = session.detailStore();
        const long current = ds.active() ? ds.recordNumber() : -1;  // from 1; the next line's index
        const int32_t here = current > 0 ? ds.bookmark() : 0;
        if (findDetailLine(session, request, std::max(current, 0L))) {
            outcome = FindOutcome::Found;
            return;
        }
        if (current > 0) ds.gotoBookmark(here);  // the search left the store past its end
        ui.showWarning(findNextNotFoundMessage(request));
        outcome = FindOutcome::NotFound;
    });
    session.sessionChangedNotify();
    return outcome;
}

}  // namespace edlt
