// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's state and commands, without widgets: the header values, the three
// record stores, the totals, and New, Open, Save As, closing, the header exits, the line
// being edited, the totals and the two sorts. Each job has a file of its own (StartAndClose,
// OpenAndNew, SaveAs, HeaderExits, PendingEdit, TotalsDisplay, Sorting); the header's
// safety copy and the workspace files of the lines are kept by classes of their own. The
// window binds to this; the command line and the tests drive it through a UserInterface of
// their own.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/session/DeclarationView.h"
#include "core/session/HeaderRecovery.h"
#include "core/session/PendingEdit.h"
#include "core/session/TotalsDisplay.h"
#include "core/session/UserInterface.h"
#include "core/session/WorkspaceCopies.h"
#include "core/session/WorkspaceLock.h"
#include "core/store/DeclarationFile.h"
#include "core/store/FileLock.h"
#include "core/store/FixedWidthTable.h"
#include "core/store/HeaderFields.h"
#include "core/store/Workspace.h"

namespace edlt {

class DeclarationChecker;
class TotalsLedger;
class UndoHistory;

class DeclarationSession : public DeclarationView {
public:
    struct Options {
        std::filesystem::path programFolder;    // Addon/ and Help/ (see DataFolder), the dialogs' last resort
        std::filesystem::path workspaceParent;  // where "temp" goes; the program folder when empty
        std::filesystem::path pageFolder;       // where report pages go, created private; the program folder when empty
        std::function<CalendarDate()> today;    // the system date when empty
        bool lockWorkspace = true;
        size_t journalEntryLimit = 4096;  // stores between two rewrites of the workspace file
        // Save As asks before its file dialog while lines fail their checks (the window).
        bool askAboutFindings = false;
    };
    enum class SaveResult { Saved, CheckFailed, Cancelled, Failed };
    enum class SortKey { TaxNumber, Surname };

    DeclarationSession(UserInterface& ui, Options options);
    ~DeclarationSession() override;
    DeclarationSession(const DeclarationSession&) = delete;
    DeclarationSession& operator=(const DeclarationSession&) = delete;

    // Start-up: the workspace folder, its lock, the store files and the income-type list.
    // False when another program holds this workspace or the workspace or page folder is
    // not private (the user has been told).
    bool start();

    // Whether the workspace holds unsaved work that a run which did not exit normally left
    // behind (only checked for a locked workspace).
    bool hasRecoverableWork() const;
    // Opens that declaration as it was: header, lines, totals; marked modified. When that
    // fails the user is told, and the workspace is kept as it is until a recovery succeeds
    // or the user declines one: closing leaves it for the next start, and New or Open ask
    // first.
    void recoverWork();
    // Whether a recovery failed and nothing has since settled what it left.
    bool workUnrecovered() const { return unrecoveredCause_.has_value(); }

    // --- State
    const HeaderFields& header() const override { return header_; }
    // Text typed into a header box (the box's own maximum length already applied).
    void setHeaderText(HeaderField field, const std::string& text);
    const std::string& companyNameCaption() const;

    // Whether the declaration changed since it was created, opened or saved.
    bool modified() const { return modified_; }
    void setModified(bool modified);
    // Whether the line the checks saw last passed them.
    bool lastLineAccepted() const { return pendingEdit_->lastLineAccepted(); }

    // The detail lines (temp/record2), the income types (Addon/typeofinc.txt) and the
    // scratch copy of the lines (temp/record21).
    FixedWidthTable& detailStore() { return details_; }
    const FixedWidthTable& detailStore() const override { return details_; }
    FixedWidthTable& incomeTypeStore() { return incomeTypes_; }
    const FixedWidthTable& scratchStore() const { return scratch_; }

    // The totals boxes Edit1..Edit9 (index 0 is Edit1) and the record counter's text.
    const TotalsTexts& totals() const { return totals_->texts(); }
    const std::string& recordCounterText() const { return totals_->counter(); }
    // N7, N14, N18 and Excel1: off until a declaration is created or opened.
    bool declarationCommandsEnabled() const { return commandsEnabled_; }
    bool startPanelVisible() const { return startPanelVisible_; }
    const Workspace& workspaceFiles() const { return workspace_; }
    const std::filesystem::path& programFolder() const { return options_.programFolder; }
    // The file the declaration was opened from or last saved to; empty for a new one.
    const std::filesystem::path& declarationFile() const { return declarationFile_; }
    const std::filesystem::path& pageFolder() const
    {
        return options_.pageFolder.empty() ? options_.programFolder : options_.pageFolder;
    }
    CalendarDate today() const override;

    // --- Commands (errors nobody catches go to the general error report)
    // New, Open and the Open of a given file (dropped, recent) first settle unsaved changes
    // as closing does: saved, given up, or the command cancelled.
    void newDeclaration();
    void open();
    // Open of a chosen file; false when it was refused (its message shown) or cancelled.
    bool openFile(const std::filesystem::path& path);
    SaveResult saveAs();
    bool preSaveCheck();
    // Writes the declaration file (no checks); throws Error on failure, the old file intact.
    // beforeReplace runs once the new file is complete, just before it replaces the old
    // one; what it throws leaves the old file as it was.
    void writeDeclaration(const std::filesystem::path& path, const std::function<void()>& beforeReplace = {});
    // The closing question and the workspace clean-up; false when closing was cancelled.
    bool requestClose();

    // Leaving the tax number or year box; false keeps the focus there (the user was told).
    bool leaveAfmBox();
    bool leaveYearBox();
    // The declarant's kind.
    void chooseBusiness();
    void choosePerson();
    // Any key typed into the grid.
    void gridKeyTyped() { markModified(); }

    // Stores the line being edited before a command; false when it was not stored (the user
    // has been told why, and the line is still being edited): the command ends.
    bool postPendingEdit() { return pendingEdit_->post(); }
    // Stores the line being edited for a command that goes on past the store's own errors;
    // false when the checks refused it (a conversion error among them).
    bool postCheckedLine() { return pendingEdit_->postChecked(); }
    // The counter and the totals boxes made again and shown. The totals boxes and the
    // distinct tax numbers stay blank while a line holds an amount that is not a number
    // (UnconvertibleAmounts says which).
    void recomputeTotals();
    // "Γραμμή N: <conversion message>" for the first such line, nullopt when there is none.
    std::optional<std::string> unconvertibleAmounts() const;
    void SortByTaxNumber() { sort(SortKey::TaxNumber); }
    void SortBySurname() { sort(SortKey::Surname); }
    void sort(SortKey key);

    // --- Undo and redo of the changes to the lines (Undo.cpp). Each goes through the store
    // as an edit does: checked, counted in the totals, journalled, and marks the declaration
    // modified. With a line being edited, undo first cancels that edit.
    bool canUndo() const;
    bool canRedo() const;
    // "Αναίρεση: <step>" and "Επανάληψη: <step>", empty when there is no such step.
    std::string undoCaption() const;
    std::string redoCaption() const;
    // False when there was nothing to do or the step could not be replayed (the user was told).
    bool undo();
    bool redo();
    UndoHistory& undoHistory() { return *undo_; }

    // The index of stored lines the line validation searches for duplicates.
    const TotalsLedger& ledger() const override { return *ledger_; }
    // The whole-declaration check, with its last result.
    DeclarationChecker& checker() { return *checker_; }

    // While the returned guard lives, stores and deletes keep the totals and the counter
    // current but leave the workspace files to its end. For commands that store many lines.
    WorkspaceCopies::Deferral deferWorkspace() { return WorkspaceCopies::Deferral(*copies_); }
    // Both workspace files written whole from the stored lines, for their readers.
    void saveWorkspaceLines();

    // Tells the window that the visible state changed.
    void sessionChangedNotify() { changed(); }

    // Runs f, reporting an Error it throws through the general error report.
    bool guarded(const std::function<void()>& f);

private:
    class ModifiedWatch;
    // The stored lines changed (a store, a delete) or were loaded: the counter is shown, the
    // workspace files follow the lines, then the totals are shown. A store has reached the
    // disk once this returns.
    void storedLinesChanged();
    // The year box holds a year from 1900 to this one; throws the conversion error.
    bool yearAcceptable();
    void enableDeclarationCommands();
    // The declaration changed: the workspace no longer holds only saved work.
    void markModified();
    // The declaration is what a file holds (opened, saved) or nothing yet (new).
    void markUnmodified();
    // True when nothing a failed recovery left is in the way of replacing the workspace:
    // otherwise the recovery is offered again; No discards that work, Yes tries again and
    // the command ends.
    bool unrecoveredWorkSettled();
    // True when the declaration holds no unsaved changes, or the user gave them up or saved
    // them after the closing question; false cancels the command that asked.
    bool unsavedChangesSettled();
    bool readDeclaration(const std::filesystem::path& path);
    // Save As's dialog: the declaration's own file when it has one, else "<AFM>-DLT".
    FileDialogRequest saveRequest() const;
    void changed() { ui_.sessionChanged(); }
    // Writes the stored lines to their workspace file with line i of the file being line
    // order[i] now, and opens the store from it; written runs once the file is in place.
    // Throws Error, the old file then as it was.
    void rewriteInOrder(const std::vector<uint32_t>& order, const std::function<void()>& written);
    bool replay(bool undo);

    // First in, last out: the stores outlive everything that watches them.
    // The form's names stay the stores' debugging names.
    FixedWidthTable details_{"FixedFormatDataSet1"};
    FixedWidthTable incomeTypes_{"FixedFormatDataSet2"};
    FixedWidthTable scratch_{"FixedFormatDataSet3"};
    UserInterface& ui_;
    Options options_;
    Workspace workspace_;
    WorkspaceLock lock_;
    HeaderRecovery recovery_;
    // The file last opened or saved, as it was then, to notice another program's save.
    std::filesystem::path fileAtOpen_;
    std::optional<FileIdentity> identityAtOpen_;
    std::filesystem::path declarationFile_;
    void rememberFile(const std::filesystem::path& path, std::optional<FileIdentity> identity);
    // True unless path is that file, changed since, and the user declines to replace it.
    bool replacingChangedFileAccepted(const std::filesystem::path& path);
    HeaderFields header_;
    bool commandsEnabled_ = false;
    bool startPanelVisible_ = true;
    bool modified_ = false;
    std::optional<std::string> unrecoveredCause_;
    std::unique_ptr<TotalsLedger> ledger_;
    std::unique_ptr<TotalsDisplay> totals_;
    std::unique_ptr<ModifiedWatch> modifiedWatch_;
    std::unique_ptr<WorkspaceCopies> copies_;
    std::unique_ptr<PendingEdit> pendingEdit_;
    std::unique_ptr<DeclarationChecker> checker_;
    std::unique_ptr<UndoHistory> undo_;
};

}  // namespace edlt
