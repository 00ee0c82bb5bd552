// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Printing the page an HTML view shows, after the user's print dialog.
class QWebEngineView;
class QWidget;

namespace edlt::ui {

enum class WebPrintResult { Printed, Cancelled, Failed };

// Shows the print dialog and prints the view's page; waits until the view has finished.
// Failed when there is no usable printer or the view could not print.
WebPrintResult printWebPage(QWebEngineView* view, QWidget* parent);

}  // namespace edlt::ui
