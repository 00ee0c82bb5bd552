// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The header values kept in the workspace beside the lines, so that a run which did not
// exit normally loses neither: the next start offers them back. A mark beside them says
// the work is saved (in a declaration file, or nothing typed yet): such work is not offered.
#include <filesystem>

#include "core/store/HeaderFields.h"
#include "core/store/Workspace.h"

namespace edlt {

class HeaderRecovery {
public:
    // A private workspace is never recovered: a disabled recovery keeps nothing.
    HeaderRecovery(const Workspace& workspace, bool enabled) : workspace_(workspace), enabled_(enabled) {}

    std::filesystem::path file() const { return workspace_.folder() / "header"; }
    std::filesystem::path savedMark() const { return workspace_.folder() / "saved"; }
    // Whether the workspace holds unsaved work left behind: kept header values, journal
    // entries or lines, without the saved mark.
    bool holdsWork() const;
    // The workspace holds what a declaration file holds: a kill now leaves nothing to offer.
    void markSaved();
    // A change is about to reach the workspace: the mark goes first, so that a kill right
    // after the change still offers it.
    void markChanged();
    // Keeps the values, one a line in the order of the header boxes, then the kind; a
    // failure loses only this safety copy.
    void keep(const HeaderFields& header) const;
    // The kept values; none kept gives empty values of a business (the lines alone are
    // recovered).
    HeaderFields kept() const;
    // Closing normally: nothing to recover.
    void discard();

private:
    const Workspace& workspace_;
    bool enabled_;
    bool marked_ = true;  // unknown until the first change: a mark a run left may be there
};

}  // namespace edlt
