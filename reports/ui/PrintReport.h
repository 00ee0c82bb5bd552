#pragma once
// A command of the "Εκτύπωση" menu: the report command protocol, with the print window
// as the place the written page is shown.
#include "app/DeclarationSession.h"
#include "app/UserInterface.h"
#include "reports/ReportCommand.h"

namespace edlt::ui {

class TPrintForm;

// Runs the protocol and shows the page modally in window; false when nothing was shown
// (the pending line was refused, or the preparation message was shown through ui).
bool PrintReport(ReportKind kind, DeclarationSession& session, UserInterface& ui, TPrintForm& window);

}  // namespace edlt::ui
