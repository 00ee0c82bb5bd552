// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the print window shows and prints the first page like the paper form, without
// changing the page's bytes: what the page asks of a spreadsheet program is done by a
// style sheet and a script the window adds to the page it shows.
class QWebEngineView;

namespace edlt::ui {

// Gives the page's Arial the metric-compatible Liberation Sans (Greek letters included),
// turns the titles the page marks mso-rotate:90 to read upwards, and lets a number wider
// than its cell shrink to fit it. Applies to every page the view loads from now on.
void addFormStyle(QWebEngineView* view);

}  // namespace edlt::ui
