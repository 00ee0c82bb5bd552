#pragma once
// The main window's state and commands, without widgets: the header values, the three
// record stores, the totals, the flags, and New, Open, Save As, closing, the header exits,
// the line validation hook, the totals and the two sorts. The window binds to this; the
// command line and the tests drive it through a UserInterface of their own.
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/UserInterface.h"
#include "app/WorkspaceLock.h"
#include "store/DeclarationFile.h"
#include "store/FileLock.h"
#include "store/FixedFormatDataSet.h"
#include "store/HeaderFields.h"
#include "store/Workspace.h"

namespace edlt {

class DeclarationChecker;
class DetailValidation;
class TotalsLedger;
class WorkspaceJournal;

struct CalendarDate {
    int year, month, day;
};

class DeclarationSession {
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
    ~DeclarationSession();
    DeclarationSession(const DeclarationSession&) = delete;
    DeclarationSession& operator=(const DeclarationSession&) = delete;

    // Start-up: the workspace folder, its lock, the store files and the income-type list.
    // False when another program holds this workspace (the user has been told).
    bool Start();

    // Whether the workspace holds a declaration that a run which did not exit normally
    // left behind (only checked for a locked workspace).
    bool HasRecoverableWork() const;
    // Opens that declaration as it was: header, lines, totals; marked modified.
    void RecoverWork();
    // The header values are kept in the workspace too, so a crash does not lose them.
    std::filesystem::path HeaderFile() const { return workspace_.folder() / "header"; }

    // --- State
    const HeaderFields& Header() const { return header_; }
    // Text typed into a header box (the box's own maximum length already applied).
    void SetHeaderText(HeaderField field, const std::string& text);
    static int HeaderMaxLength(HeaderField field);
    const std::string& CompanyNameCaption() const;

    bool DeclarationModified = false;
    bool SaveCheckPassed = true;
    bool PostAccepted = true;
    bool IsNewRecord = false;
    bool ComboEntered = false;

    TFixedFormatDataSet FixedFormatDataSet1{"FixedFormatDataSet1"};  // detail lines, temp/record2
    TFixedFormatDataSet FixedFormatDataSet2{"FixedFormatDataSet2"};  // income types, Addon/typeofinc.txt
    TFixedFormatDataSet FixedFormatDataSet3{"FixedFormatDataSet3"};  // scratch copy, temp/record21

    // The totals boxes Edit1..Edit9 (index 0 is Edit1) and the counter label Label32.
    const TotalsTexts& Totals() const { return edit_; }
    const std::string& Label32() const { return label32_; }
    // N7, N14, N18 and Excel1: off until a declaration is created or opened.
    bool DeclarationCommandsEnabled() const { return commandsEnabled_; }
    bool StartPanelVisible() const { return startPanelVisible_; }
    const Workspace& WorkspaceFiles() const { return workspace_; }
    const std::filesystem::path& ProgramFolder() const { return options_.programFolder; }
    // The file the declaration was opened from or last saved to; empty for a new one.
    const std::filesystem::path& DeclarationFile() const { return declarationFile_; }
    const std::filesystem::path& PageFolder() const
    {
        return options_.pageFolder.empty() ? options_.programFolder : options_.pageFolder;
    }
    CalendarDate Today() const;

    // --- Commands (errors nobody catches go to the general error report)
    void New();
    void Open();
    // Open of a chosen file; false when it was refused (its message shown).
    bool OpenFile(const std::filesystem::path& path);
    SaveResult SaveAs();
    bool PreSaveCheck();
    // The year box holds a year from 1900 to this one; throws the conversion error.
    bool YearAcceptable();
    // Writes the declaration file (no checks); throws Error on failure, the old file intact.
    void WriteDeclaration(const std::filesystem::path& path);
    // The closing question and the workspace clean-up; false when closing was cancelled.
    bool RequestClose();

    bool AFMExit();
    bool YearOfDataExit();
    void RadioButton1Click();
    void RadioButton2Click();
    // Any key typed into the grid.
    void GridKeyTyped() { DeclarationModified = true; }

    // Stores the line being edited before a command; false when it was not stored (the user
    // has been told why, and the line is still being edited): the command ends.
    bool PostPendingEdit();
    // The totals boxes and the distinct tax numbers stay blank while a line holds an amount
    // that is not a number (UnconvertibleAmounts says which).
    void RecomputeTotals();
    // "Γραμμή N: <conversion message>" for the first such line, nullopt when there is none.
    std::optional<std::string> UnconvertibleAmounts() const;
    void Button1Click() { Sort(SortKey::TaxNumber); }
    void Button2Click() { Sort(SortKey::Surname); }
    void Sort(SortKey key);

    // The index of stored lines the line validation searches for duplicates.
    const TotalsLedger& Ledger() const { return *ledger_; }
    // The whole-declaration check, with its last result.
    DeclarationChecker& Checker() { return *checker_; }

    // While deferred, stores and deletes keep the totals and label current but leave the
    // two workspace files to EndDeferredWorkspace, which brings them to exactly what
    // storing line by line would have left. For commands that store many lines at once.
    void BeginDeferredWorkspace();
    void EndDeferredWorkspace();

    // Tells the window that the visible state changed.
    void SessionChangedNotify() { Changed(); }

    // Runs f, reporting an Error it throws through the general error report.
    bool Guarded(const std::function<void()>& f);

private:
    class ModifiedWatch;
    // The line being edited when a command posts it: its state, its typed bytes, the stored
    // line it changes, and where it is or goes.
    struct PendingLine {
        DataSetState state;
        std::string typed;
        std::string stored;
        long position;
    };
    void ReopenPendingLine(const PendingLine& pending);
    bool FixedFormatDataSet1BeforePost(TFixedFormatDataSet& ds);
    void EnableDeclarationCommands();
    void Changed() { ui_.SessionChanged(); }
    void RefreshScratchCopy();
    void CopyScratch();
    void SaveWorkspaceLines();
    void StoreWorkspaceChanges();
    void FoldJournal();
    void OpenDetails();
    void SaveHeader();

    UserInterface& ui_;
    Options options_;
    Workspace workspace_;
    WorkspaceLock lock_;
    // The file last opened or saved, as it was then, to notice another program's save.
    std::filesystem::path fileAtOpen_;
    std::optional<FileIdentity> identityAtOpen_;
    std::filesystem::path declarationFile_;
    void RememberFile(const std::filesystem::path& path, std::optional<FileIdentity> identity);
    // True unless path is that file, changed since, and the user declines to replace it.
    bool ReplacingChangedFileAccepted(const std::filesystem::path& path);
    HeaderFields header_;
    TotalsTexts edit_;
    std::string label32_;
    bool commandsEnabled_ = false;
    bool startPanelVisible_ = true;
    std::unique_ptr<TotalsLedger> ledger_;
    std::unique_ptr<DetailValidation> validation_;
    std::unique_ptr<ModifiedWatch> modifiedWatch_;
    std::unique_ptr<WorkspaceJournal> journal_;
    std::unique_ptr<DeclarationChecker> checker_;
    // Whether temp/record21 is known to hold the same bytes as temp/record2: copying it
    // again would change nothing.
    bool scratchInSync_ = false;
    bool deferred_ = false;
    bool workspaceDirty_ = false;
    bool scratchCopyPending_ = false;
};

}  // namespace edlt
