// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The find command without its dialog: the dialog's key rules, and the search of the
// detail lines by tax number or surname with the store's FindRecord.
#include <functional>
#include <string>

namespace edlt {

class DeclarationSession;
class UserInterface;

// What the find dialog hands to the command when it closes.
struct FindRequest {
    bool Cancelled = false;
    std::string SearchText;     // Windows-1253
    bool ByAFM = true;          // false: by surname
    bool PartialMatch = false;  // "Μόνο ολόκληρες λέξεις" cleared: the field begins with the text
};

// The key rules of the search field. A typed character (backspace is 8, tab 9) is
// accepted when searching by tax number only if it is a digit, backspace or tab;
// searching by surname every character is.
bool findKeyAccepted(bool byAFM, char typed);
// The field's maximum length for the search kind chosen at the moment of the key press.
int findMaxLength(bool byAFM);

// "Δεν βρέθηκε ο ΑΦΜ" or "Δεν βρέθηκε το Επώνυμο".
const std::string& findNotFoundMessage(bool byAFM);

enum class FindOutcome {
    LineRefused,  // the line being edited failed its checks; the dialog was not shown
    Cancelled,
    Found,     // the matching line is the detail store's current one
    NotFound,  // the warning was shown and the store stands on its first line
    Failed,    // a store error, shown by the general error report
};

// The whole command: posts the pending edit, asks through showDialog, searches from
// the first detail line (never folding case) and shows the not-found warning.
FindOutcome runFindCommand(DeclarationSession& session, UserInterface& ui,
                           const std::function<FindRequest()>& showDialog);

// Find next (F3): the same search from the line after the current one. With no such line
// the user is told and the current line stays.
FindOutcome runFindNextCommand(DeclarationSession& session, UserInterface& ui, const FindRequest& request);
// "Δεν βρέθηκε άλλη γραμμή με τον ΑΦΜ <text>" or "... με το Επώνυμο <text>".
std::string findNextNotFoundMessage(const FindRequest& request);

// The search alone, on the session's detail lines, from the line at index from on.
bool findDetailLine(DeclarationSession& session, const FindRequest& request, long from = 0);

}  // namespace edlt
