// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small commands of the main window's menus "Εργαλεία" and "Βοήθεια"; the main
// window's level binds them to its menu items (gui/mainwindow/Windows).
#include <QString>
#include <filesystem>
#include <string>

class QWidget;

namespace edlt {
class UserInterface;
}

namespace edlt::ui {

// The tax administration's web site.
inline constexpr const char* TaxAdministrationWebSite = "https://www.aade.gr";

// Opens a web address in the user's browser; false when the desktop names no program
// for web addresses or no launcher could be started.
bool openWebSite(const QString& address);
// What the user is told then: the address is in the text, to be copied from there.
std::string noWebBrowserMessage(const QString& address);
// "Σύνδεση με εξυπηρετητή ΚΗΥ": the site, or the message when it cannot be opened.
void webSiteCommand(UserInterface& ui);

// "Δημιουργία συμπιεσμένου αρχείου (zip)": the open and save dialogs in the
// program's folder, the replace question, and no message on success.
void zipCommand(QWidget* parent, UserInterface& ui, const std::filesystem::path& programFolder);

// "Δημιουργία συντόμευσης στην Επιφ. Εργασίας", for the running executable.
void shortcutCommand(UserInterface& ui);

}  // namespace edlt::ui
