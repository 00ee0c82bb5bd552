// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/WorkspaceCopies.h"

#include <filesystem>

#include "core/store/AtomicFile.h"
#include "core/store/CopyFile.h"
#include "core/store/WorkspaceJournal.h"

namespace edlt {

WorkspaceCopies::WorkspaceCopies(FixedWidthTable& details, const Workspace& workspace, size_t journalEntryLimit)
    : details_(details), workspace_(workspace),
      journal_(std::make_unique<WorkspaceJournal>(details, workspace.record2(), workspace.journal(), journalEntryLimit))
{
}

WorkspaceCopies::~WorkspaceCopies() = default;

void WorkspaceCopies::linesChanged()
{
    if (deferred_) {
        linesPending_ = true;
        journal_->dropPending();
    } else if (!details_.storeChanged() && details_.fileName() == workspace_.record2()) {
        // The lines are exactly what the workspace file holds (just opened): only the
        // scratch copy may need them. Recovered lines wait for their first write.
        if (!baseBehind_) copyScratch();
    } else {
        storeChanges();
    }
}

// Both files get the stored lines: written once, the scratch copy made a second name of
// the same content (files here are only ever replaced whole, so that is a copy).
void WorkspaceCopies::saveLines()
{
    scratchInSync_ = false;
    details_.saveLinesTo(workspace_.record2());
    journal_->reset();
    baseBehind_ = false;
    copyScratch();
}

// A store or delete reaches the workspace as one journal entry; the file of lines is
// rewritten whole only when the journal has grown past a fraction of it.
void WorkspaceCopies::storeChanges()
{
    if (baseBehind_ || journal_->wantsCompaction()) {
        saveLines();
        return;
    }
    journal_->flush();
    details_.markLinesSaved();
}

void WorkspaceCopies::foldJournal()
{
    if (details_.active() && (baseBehind_ || journal_->holdsEntries())) saveLines();
}

void WorkspaceCopies::openDetails()
{
    WorkspaceJournal::fold(workspace_.record2(), workspace_.journal());
    journal_->reset();
    baseBehind_ = false;
    details_.open();
}

void WorkspaceCopies::openDetails(ArenaLines lines)
{
    journal_->reset();
    baseBehind_ = false;
    details_.openWithLines(std::move(lines));
}

void WorkspaceCopies::recoverDetails()
{
    ArenaLines lines;
    std::error_code ec;
    if (auto replayed = WorkspaceJournal::replayed(workspace_.record2(), workspace_.journal())) {
        lines.lines.reserve(replayed->size());
        for (const std::string& line : *replayed) lines.lines.push_back(lines.arena.add(line));
    } else if (std::filesystem::exists(workspace_.record2(), ec) || ec) {
        details_.open();  // throws when the file cannot be read, and leaves it as it is
    }
    if (!details_.active()) details_.openWithLines(std::move(lines));
    journal_->dropPending();
    scratchInSync_ = false;
    baseBehind_ = true;
}

void WorkspaceCopies::discardJournal()
{
    journal_->reset();
    baseBehind_ = false;
}

void WorkspaceCopies::refreshScratch()
{
    if (deferred_) scratchCopyPending_ = true;
    else
        copyScratch();
}

void WorkspaceCopies::copyScratch()
{
    if (baseBehind_) {
        saveLines();  // copies the file it writes
        return;
    }
    if (scratchInSync_) return;
    if (!replaceWithLink(workspace_.record2(), workspace_.record21()))
        copyFile(workspace_.record2(), workspace_.record21());
    scratchInSync_ = true;
}

void WorkspaceCopies::endDeferral()
{
    deferred_ = false;
    const bool lines = linesPending_, copy = scratchCopyPending_;
    linesPending_ = scratchCopyPending_ = false;
    // Stored lines rewrite both files (any later copy would copy the same lines); a copy
    // alone means only a refused new line reached the duplicate search.
    if (lines) {
        saveLines();
    } else if (copy) {
        copyScratch();
    }
}

WorkspaceCopies::Deferral::Deferral(WorkspaceCopies& copies) : copies_(copies)
{
    copies_.deferred_ = true;
    copies_.linesPending_ = copies_.scratchCopyPending_ = false;
}

WorkspaceCopies::Deferral::~Deferral()
{
    if (!open_) return;
    try {
        copies_.endDeferral();
    } catch (...) {
        // See the declaration: nothing is lost, and the failure is being shown.
    }
}

void WorkspaceCopies::Deferral::finish()
{
    if (!open_) return;
    open_ = false;
    copies_.endDeferral();
}

}  // namespace edlt
