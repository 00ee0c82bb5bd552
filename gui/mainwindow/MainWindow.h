// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: binds the header band, the detail grid, the totals panel and the
// menus to the declaration session. The work itself is the session's.
#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/session/DeclarationSession.h"
#include "gui/mainwindow/QtUserInterface.h"

namespace edlt::ui {

class CapsLockKeeper;
class ComparePanel;
class DeclarantHeader;
class DetailGrid;
class EditMenu;
class WindowSettings;
class FindingsPanel;
class PleaseWaitDialog;
class MainLayout;
class TotalsPanel;
class WindowTitle;

// The main window's menu items, for the windows that hook their commands in and for tests.
enum class MenuCommand {
    New,
    Open,
    SaveAs,
    Exit,
    Print,
    PrintFirstPage,
    PrintDetailedPayments,
    PrintTotals,
    Find,
    FindNext,
    Check,
    Import,
    ExportLines,
    SortByTaxNumber,
    SortBySurname,
    Zip,
    DesktopShortcut,
    WebSite,
    Manual,
    About,
    Count
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // userFolder holds the workspace and the report pages (the program folder when empty).
    explicit MainWindow(const std::filesystem::path& programFolder, const std::filesystem::path& userFolder = {},
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    DeclarationSession& session() { return *session_; }
    UserInterface& userInterface() { return ui_; }
    // False when another program holds the workspace: the window must not be used.
    bool started() const { return started_; }
    DeclarantHeader& header() { return *header_; }
    TotalsPanel& totals() { return *totals_; }
    DetailGrid& detailGrid() { return *grid_; }
    PleaseWaitDialog& pleaseWaitWindow() { return *pleaseWaitDialog_; }
    FindingsPanel& findings() { return *findings_; }
    ComparePanel& comparison() { return *compare_; }
    CapsLockKeeper& capsLock() { return *capsLock_; }
    // Shown at its fixed size, or maximised where that does not fit the screen.
    void showAtStart();
    // The menu item of a command; for Print, the "Εκτύπωση" menu's own item.
    QAction* menuAction(MenuCommand command) const { return actions_[static_cast<size_t>(command)]; }

    // Commands of later windows hook in here.
    QMenu* printMenu() const { return printMenu_; }
    QMenu* toolsMenu() const { return toolsMenu_; }
    QMenu* helpMenu() const { return helpMenu_; }

    void refresh();
    // Opens a declaration file as a dropped one is (the recent-files list).
    void openRecent(const std::filesystem::path& file) { openDropped(file); }
    EditMenu& editMenu() { return *editMenu_; }
    WindowSettings& settings() { return *settings_; }
    // Runs a command of the window: the cell being typed goes to the store first.
    void command(const std::function<void()>& run);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildStartPanel(QWidget* client);
    void pleaseWait(bool on);
    void openDropped(const std::filesystem::path& file);
    void importDropped(const std::filesystem::path& file);
    QAction* addAction(QMenu* menu, MenuCommand command, const char* name, const char* text,
                       const QKeySequence& shortcut = {});

    // Destroyed bottom up: the grid's models watch the session's stores, which tell the
    // user interface.
    QtUserInterface ui_;
    std::unique_ptr<DeclarationSession> session_;
    std::unique_ptr<DetailGrid> grid_;
    bool started_ = false;
    DeclarantHeader* header_ = nullptr;
    TotalsPanel* totals_ = nullptr;
    PleaseWaitDialog* pleaseWaitDialog_ = nullptr;
    FindingsPanel* findings_ = nullptr;
    ComparePanel* compare_ = nullptr;
    CapsLockKeeper* capsLock_ = nullptr;
    MainLayout* layout_ = nullptr;
    WindowTitle* title_ = nullptr;
    EditMenu* editMenu_ = nullptr;
    WindowSettings* settings_ = nullptr;
    QLabel* recordCounter_ = nullptr;
    QWidget* startPanel_ = nullptr;
    QMenu* printMenu_ = nullptr;
    QMenu* toolsMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    std::array<QAction*, static_cast<size_t>(MenuCommand::Count)> actions_{};
};

}  // namespace edlt::ui
