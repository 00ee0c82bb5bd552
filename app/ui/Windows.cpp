#include "app/ui/Windows.h"

#include <QAction>

#include "app/ui/TForm1.h"
#include "reports/ReportCommand.h"
#include "reports/ui/PrintReport.h"
#include "reports/ui/TFind.h"
#include "reports/ui/TPrintForm.h"
#include "tools/ui/HelpKey.h"
#include "tools/ui/TAboutBox.h"
#include "tools/ui/TUserManual.h"
#include "tools/ui/ToolCommands.h"

namespace edlt::ui {

void ConnectToolCommands(TForm1& form1, TFind& find, TUserManual& manual)
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
    QObject::connect(form1.menuAction("N12"), &QAction::triggered, &manual, &TUserManual::N12Click);
    QObject::connect(form1.menuAction("N13"), &QAction::triggered, &form1,
                     [&form1] { TAboutBox::N13Click(&form1); });
    QObject::connect(new F1KeyPreview(&form1), &F1KeyPreview::pressed, &manual, &TUserManual::HelpKeyPressed);
}

ProgramWindows::ProgramWindows(TForm1& form1)
    : about_(std::make_unique<TAboutBox>(&form1)),
      // No parent: the help window has its own entry in the task bar.
      manual_(std::make_unique<TUserManual>(form1.session().ProgramFolder())),
      print_(std::make_unique<TPrintForm>(&form1)),
      find_(std::make_unique<TFind>(&form1))
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
