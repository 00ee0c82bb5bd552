// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A command of the "Εκτύπωση" menu: the report command protocol, with the print window
// as the place the written page is shown.
#include "core/reports/ReportCommand.h"
#include "core/session/DeclarationSession.h"
#include "core/session/UserInterface.h"

namespace edlt::ui {

class ReportWindow;

// Runs the protocol and shows the page modally in window; false when nothing was shown
// (the pending line was refused, or the preparation message was shown through ui).
bool printReport(ReportKind kind, DeclarationSession& session, UserInterface& ui, ReportWindow& window);

}  // namespace edlt::ui
