#include "gui/mainwindow/Windows.h"

#include <QAction>

#include "gui/mainwindow/MainWindow.h"
#include "core/reports/ReportCommand.h"
#include "gui/reports/PrintReport.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/reports/ReportWindow.h"
#include "gui/dialogs/HelpKey.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/ToolCommands.h"

namespace edlt::ui {

void ConnectToolCommands(MainWindow& form1, FindDialog& find, HelpWindow& manual)
{
    // Each connection ends with the window it shows.
    QObject::connect(form1.menuAction("N18"), &QAction::triggered, &find, [&form1, &find] {
        form1.command([&form1, &find] { find.N18Click(form1.session(), form1.userInterface()); });
    });
    QObject::connect(form1.menuAction("N20"), &QAction::triggered, &form1, [&form1] {
        ZipCommand(&form1, form1.userInterface(), form1.session().ProgramFolder());
    });
    QObject::connect(form1.menuAction("N9"), &QAction::triggered, &form1,
                     [&form1] { ShortcutCommand(form1.userInterface()); });
    QObject::connect(form1.menuAction("N10"), &QAction::triggered, &form1,
                     [&form1] { WebSiteCommand(form1.userInterface()); });
    QObject::connect(form1.menuAction("N12"), &QAction::triggered, &manual, &HelpWindow::N12Click);
    QObject::connect(form1.menuAction("N13"), &QAction::triggered, &form1,
                     [&form1] { AboutDialog::N13Click(&form1); });
    QObject::connect(new F1KeyPreview(&form1), &F1KeyPreview::pressed, &manual, &HelpWindow::HelpKeyPressed);
}

ProgramWindows::ProgramWindows(MainWindow& form1)
    : about_(std::make_unique<AboutDialog>(&form1)),
      // No parent: the help window has its own entry in the task bar.
      manual_(std::make_unique<HelpWindow>(form1.session().ProgramFolder())),
      print_(std::make_unique<ReportWindow>(&form1)),
      find_(std::make_unique<FindDialog>(&form1))
{
    ConnectToolCommands(form1, *find_, *manual_);
    const std::pair<const char*, ReportKind> reports[] = {
        {"N15", ReportKind::FirstPage}, {"N16", ReportKind::DetailedPayments}, {"N17", ReportKind::Totals}};
    for (const auto& [name, kind] : reports) {
        const ReportKind k = kind;
        QObject::connect(form1.menuAction(name), &QAction::triggered, print_.get(), [&form1, print = print_.get(), k] {
            form1.command([&form1, print, k] { PrintReport(k, form1.session(), form1.userInterface(), *print); });
        });
    }
}

ProgramWindows::~ProgramWindows() = default;

}  // namespace edlt::ui
