// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window remembers between runs, in $XDG_CONFIG_HOME/edlt/edlt.conf (INI, private
// to the user): the last five declaration files, listed in the "Αρχείο" menu, and the
// window's place, size and maximised state. A settings file that cannot be read is ignored.
#include <QAction>
#include <QObject>
#include <QStringList>
#include <filesystem>
#include <vector>

namespace edlt::ui {

class MainWindow;

class WindowSettings : public QObject {
    Q_OBJECT
public:
    static constexpr int RecentCount = 5;

    explicit WindowSettings(MainWindow& window);

    static QString fileName();
    const QStringList& recentFiles() const { return recent_; }
    // Shows the window where it was last closed; false when nothing was remembered.
    bool restoreWindow();
    // Remembers the window's place, written at once.
    void saveWindow();
    // A declaration opened or saved goes to the top of the list.
    void noteDeclarationFile();

private:
    void load();
    void save();
    void showRecent();

    MainWindow& window_;
    QStringList recent_;
    QByteArray geometry_;
    std::vector<QAction*> recentActions_;
    QAction* separator_ = nullptr;
    std::filesystem::path lastNoted_;
};

}  // namespace edlt::ui
