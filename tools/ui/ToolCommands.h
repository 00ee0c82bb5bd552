#pragma once
// The small commands of the main window's menus "Εργαλεία" and "Βοήθεια", and the one
// call that binds them (with the find dialog and the help window) to the main window.
#include <QString>
#include <filesystem>

class QWidget;

namespace edlt {
class UserInterface;
}

namespace edlt::ui {

class TForm1;
class TFind;
class TUserManual;

// The tax administration's web site.
inline constexpr const char* TaxAdministrationWebSite = "https://www.aade.gr";

// Opens a web address in the user's browser; false when no browser could be started.
bool OpenWebSite(const QString& address);
// "Σύνδεση με εξυπηρετητή ΚΗΥ" (N10): nothing is shown whatever happens.
void WebSiteCommand();

// "Δημιουργία συμπιεσμένου αρχείου (zip)" (N20): the open and save dialogs in the
// program's folder, the replace question, and no message on success.
void ZipCommand(QWidget* parent, UserInterface& ui, const std::filesystem::path& programFolder);

// "Δημιουργία συντόμευσης στην Επιφ. Εργασίας" (N9), for the running executable.
void ShortcutCommand(UserInterface& ui);

// Connects N18, N20, N9, N10, N12 and N13 and the F1 key of the main window.
void ConnectToolCommands(TForm1& form1, TFind& find, TUserManual& manual);

}  // namespace edlt::ui
