// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/Windows.h"

#include <QAction>

#include "core/reports/ReportCommand.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/HelpKey.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/ToolCommands.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/reports/PrintReport.h"
#include "gui/reports/ReportWindow.h"

namespace edlt::ui {

void connectToolCommands(MainWindow& window, FindDialog& find, HelpWindow& manual)
{
    // Each connection ends with the window it shows.
    QObject::connect(window.menuAction(MenuCommand::Find), &QAction::triggered, &find, [&window, &find] {
        window.command([&window, &find] { find.runFind(window.session(), window.userInterface()); });
    });
    QObject::connect(window.menuAction(MenuCommand::FindNext), &QAction::triggered, &find, [&window, &find] {
        window.command([&window, &find] { find.runFindNext(window.session(), window.userInterface()); });
    });
    QObject::connect(window.menuAction(MenuCommand::Zip), &QAction::triggered, &window,
                     [&window] { zipCommand(&window, window.userInterface(), window.session().programFolder()); });
    QObject::connect(window.menuAction(MenuCommand::DesktopShortcut), &QAction::triggered, &window,
                     [&window] { shortcutCommand(window.userInterface()); });
    QObject::connect(window.menuAction(MenuCommand::WebSite), &QAction::triggered, &window,
                     [&window] { webSiteCommand(window.userInterface()); });
    QObject::connect(window.menuAction(MenuCommand::Manual), &QAction::triggered, &manual,
                     &HelpWindow::onManualTriggered);
    QObject::connect(window.menuAction(MenuCommand::About), &QAction::triggered, &window,
                     [&window] { AboutDialog::showAbout(&window); });
    QObject::connect(new F1KeyPreview(&window), &F1KeyPreview::pressed, &manual, &HelpWindow::onHelpKeyPressed);
}

ProgramWindows::ProgramWindows(MainWindow& window)
    : about_(std::make_unique<AboutDialog>(&window)),
      // No parent: the help window has its own entry in the task bar.
      manual_(std::make_unique<HelpWindow>(window.session().programFolder())),
      print_(std::make_unique<ReportWindow>(&window)), find_(std::make_unique<FindDialog>(&window))
{
    connectToolCommands(window, *find_, *manual_);
    const std::pair<MenuCommand, ReportKind> reports[] = {
        {MenuCommand::PrintFirstPage, ReportKind::FirstPage},
        {MenuCommand::PrintDetailedPayments, ReportKind::DetailedPayments},
        {MenuCommand::PrintTotals, ReportKind::Totals}};
    for (const auto& [command, kind] : reports) {
        const ReportKind k = kind;
        QObject::connect(
            window.menuAction(command), &QAction::triggered, print_.get(), [&window, print = print_.get(), k] {
                window.command(
                    [&window, print, k] { printReport(k, window.session(), window.userInterface(), *print); });
            });
    }
}

ProgramWindows::~ProgramWindows() = default;

}  // namespace edlt::ui
