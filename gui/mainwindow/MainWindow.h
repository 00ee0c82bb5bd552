#pragma once
// The main window: binds the header band, the detail grid, the totals panel and the
// menus to the declaration session. The work itself is the session's.
#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/session/DeclarationSession.h"
#include "gui/mainwindow/QtUserInterface.h"

namespace edlt::ui {

class CapsLockKeeper;
class DeclarantHeader;
class DetailGrid;
class FindingsPanel;
class PleaseWaitDialog;
class MainLayout;
class TotalsPanel;
class WindowTitle;

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
    PleaseWaitDialog& pleaseWaitWindow() { return *form2_; }
    FindingsPanel& findings() { return *findings_; }
    CapsLockKeeper& capsLock() { return *capsLock_; }
    // Shown at its designed size, or maximised where that does not fit the screen.
    void showAtStart();
    // The menu item by its object name (N5, N2, N7, N14, N18, Excel1, ...).
    QAction* menuAction(const QString& name) const;

    // Commands of later windows hook in here.
    QMenu* printMenu() const { return printMenu_; }
    QMenu* toolsMenu() const { return toolsMenu_; }
    QMenu* helpMenu() const { return helpMenu_; }

    void refresh();
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
    QAction* addAction(QMenu* menu, const char* name, const char* text, const QKeySequence& shortcut = {});

    // Destroyed bottom up: the grid's models watch the session's stores, which tell the
    // user interface.
    QtUserInterface ui_;
    std::unique_ptr<DeclarationSession> session_;
    std::unique_ptr<DetailGrid> grid_;
    bool started_ = false;
    DeclarantHeader* header_ = nullptr;
    TotalsPanel* totals_ = nullptr;
    PleaseWaitDialog* form2_ = nullptr;
    FindingsPanel* findings_ = nullptr;
    CapsLockKeeper* capsLock_ = nullptr;
    MainLayout* layout_ = nullptr;
    WindowTitle* title_ = nullptr;
    QLabel* label32_ = nullptr;
    QWidget* panel2_ = nullptr;
    QMenu* printMenu_ = nullptr;
    QMenu* toolsMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
};

}  // namespace edlt::ui
