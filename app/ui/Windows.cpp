#include "app/ui/Windows.h"

#include "app/ui/TForm1.h"
#include "app/ui/Text.h"

namespace edlt::ui {
namespace {

std::unique_ptr<QDialog> window(TForm1& owner, const char* name, const char* title, int w, int h)
{
    auto d = std::make_unique<QDialog>(&owner);
    d->setObjectName(name);
    d->setWindowTitle(tr8(title));
    d->resize(w, h);
    return d;
}

}  // namespace

ProgramWindows::ProgramWindows(TForm1& form1)
    : about_(window(form1, "AboutBox", "Σχετικά", 400, 260)),
      manual_(window(form1, "UserManual", "Οδηγίες εφαρμογής", 800, 600)),
      print_(window(form1, "PrintForm", "Εκτύπωση", 1000, 672)),
      find_(window(form1, "Find", "Εύρεση", 300, 160))
{
}

ProgramWindows::~ProgramWindows() = default;

}  // namespace edlt::ui
