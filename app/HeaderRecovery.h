#pragma once
// The header values kept in the workspace beside the lines, so that a run which did not
// exit normally loses neither: the next start offers them back.
#include <filesystem>

#include "store/HeaderFields.h"
#include "store/Workspace.h"

namespace edlt {

class HeaderRecovery {
public:
    // A private workspace is never recovered: a disabled recovery keeps nothing.
    HeaderRecovery(const Workspace& workspace, bool enabled) : workspace_(workspace), enabled_(enabled) {}

    std::filesystem::path file() const { return workspace_.folder() / "header"; }
    // Whether the workspace holds a declaration left behind: kept header values, journal
    // entries or lines.
    bool holdsWork() const;
    // Keeps the values, one a line in the order of the header boxes, then the kind; a
    // failure loses only this safety copy.
    void keep(const HeaderFields& header) const;
    // The kept values; none kept gives empty values of a business (the lines alone are
    // recovered).
    HeaderFields kept() const;
    // Closing normally: nothing to recover.
    void discard() const;

private:
    const Workspace& workspace_;
    bool enabled_;
};

}  // namespace edlt
