#include "app/ui/Windows.h"

#include <QAction>

#include "app/ui/TForm1.h"
#include "reports/ReportCommand.h"
#include "reports/ui/PrintReport.h"
#include "reports/ui/TFind.h"
#include "reports/ui/TPrintForm.h"
#include "tools/ui/TAboutBox.h"
#include "tools/ui/TUserManual.h"
#include "tools/ui/ToolCommands.h"

namespace edlt::ui {

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
        QObject::connect(form1.menuAction(name), &QAction::triggered, &form1, [&form1, this, k] {
            form1.command([&form1, this, k] { PrintReport(k, form1.session(), form1.userInterface(), *print_); });
        });
    }
}

ProgramWindows::~ProgramWindows() = default;

}  // namespace edlt::ui
