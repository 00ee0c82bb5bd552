// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two workspace files of the detail lines: temp/record2 follows the detail store through
// a journal of its stores and deletes (rewritten whole now and then), and temp/record21, the
// scratch copy the duplicate search and Save As read, is made from it when asked for.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/store/FixedWidthTable.h"
#include "core/store/Workspace.h"

namespace edlt {

class WorkspaceJournal;

class WorkspaceCopies {
public:
    WorkspaceCopies(FixedWidthTable& details, const Workspace& workspace, size_t journalEntryLimit);
    ~WorkspaceCopies();
    WorkspaceCopies(const WorkspaceCopies&) = delete;
    WorkspaceCopies& operator=(const WorkspaceCopies&) = delete;

    // The stored lines changed (a store or a delete) or were just loaded: the files follow.
    void linesChanged();
    // The scratch copy brought up to date, now or when a deferral ends.
    void refreshScratch();
    // The scratch copy brought up to date now.
    void copyScratch();
    // Both files written whole from the stored lines.
    void saveLines();
    // Every stored line in temp/record2, for the readers of that file.
    void foldJournal();
    // The detail store opened over temp/record2, with what a journal left folded in first.
    void openDetails();
    // The detail store opened with the lines just written to temp/record2: any journal is of
    // the file they replaced.
    void openDetails(ArenaLines lines);
    // The detail store opened with what a run that did not exit normally left: temp/record2
    // with its journal replayed in memory. Nothing is written, so a full disk does not stop
    // it; the files stay as they are until the lines are next written whole.
    void recoverDetails();
    // temp/record2 is about to be replaced another way: the scratch copy no longer matches it.
    void forgetScratch() { scratchInSync_ = false; }
    // The journal emptied: the workspace files are about to go.
    void discardJournal();
    bool deferred() const { return deferred_; }

    // While a deferral lives, stores and deletes leave the two files alone; its end brings
    // them to exactly what storing line by line would have left. For commands that store
    // many lines at once.
    class Deferral {
    public:
        explicit Deferral(WorkspaceCopies& copies);
        // Ends it when finish() did not: a failure then is one the user is being told already,
        // and the lines are whole in memory.
        ~Deferral();
        Deferral(const Deferral&) = delete;
        Deferral& operator=(const Deferral&) = delete;
        // Ends it, throwing the files' errors.
        void finish();

    private:
        WorkspaceCopies& copies_;
        bool open_ = true;
    };

private:
    void storeChanges();
    void endDeferral();

    FixedWidthTable& details_;
    const Workspace& workspace_;
    std::unique_ptr<WorkspaceJournal> journal_;
    // Whether temp/record21 is known to hold the same bytes as temp/record2: copying it
    // again would change nothing.
    bool scratchInSync_ = false;
    // The lines were recovered into memory: temp/record2 and its journal still hold them
    // only together, so the next change rewrites the file whole instead of appending to a
    // journal it would start again.
    bool baseBehind_ = false;
    bool deferred_ = false;
    bool linesPending_ = false;        // lines stored while deferred
    bool scratchCopyPending_ = false;  // the scratch copy asked for while deferred
};

}  // namespace edlt
