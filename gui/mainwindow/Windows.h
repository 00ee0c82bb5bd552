// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's other windows, created after the main window in their fixed order and
// kept until the program ends, with the menu commands that show them. All the wiring
// between windows is here, at the main window's level, so no window includes another of
// its own rank or above.
#include <memory>

namespace edlt::ui {

class MainWindow;
class AboutDialog;
class HelpWindow;
class ReportWindow;
class FindDialog;

// Connects the find, zip, shortcut, web site, manual and about commands and the F1 key
// of the main window.
void connectToolCommands(MainWindow& window, FindDialog& find, HelpWindow& manual);

class ProgramWindows {
public:
    explicit ProgramWindows(MainWindow& window);
    ~ProgramWindows();

    AboutDialog* aboutDialog() const { return about_.get(); }
    HelpWindow* helpWindow() const { return manual_.get(); }
    ReportWindow* reportWindow() const { return print_.get(); }
    FindDialog* find() const { return find_.get(); }

private:
    std::unique_ptr<AboutDialog> about_;
    std::unique_ptr<HelpWindow> manual_;
    std::unique_ptr<ReportWindow> print_;
    std::unique_ptr<FindDialog> find_;
};

}  // namespace edlt::ui
