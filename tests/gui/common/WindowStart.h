// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How window tests start: no pre-answered boxes or file names, a program folder with the
// income-type list, and for the main window, the window shown and asked to become active.
#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/mainwindow/MainWindow.h"

namespace edlt::test {

inline void clearPreparedAnswers()
{
    ui::MessageBox::clearTestState();
    ui::FileDialog::names().clear();
}

// The program folder's income-type list, as installed.
inline void prepareProgramFolder(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder / "Addon");
    std::filesystem::copy_file(std::filesystem::path(EDLT_TEST_DATA) / ".." / ".." / "data" / "Addon" / "typeofinc.txt",
                               folder / "Addon" / "typeofinc.txt");
}

// What the window remembers (recent files, its place) goes to a folder of the test's own,
// never to the user's settings.
inline void keepSettingsPrivate()
{
    static QTemporaryDir settings;
    if (!qEnvironmentVariable("XDG_CONFIG_HOME").startsWith(QDir::tempPath()))
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
}

inline std::unique_ptr<ui::MainWindow> startMainWindow(const std::filesystem::path& folder)
{
    clearPreparedAnswers();
    keepSettingsPrivate();
    prepareProgramFolder(folder);
    auto form = std::make_unique<ui::MainWindow>(folder);
    form->show();
    form->activateWindow();
    return form;
}

// Closes what a test left open without the question about unsaved changes.
inline void closeMainWindow(std::unique_ptr<ui::MainWindow>& form)
{
    if (form) {
        form->session().setModified(false);
        form->close();
    }
    form.reset();
}

// What the main-window tests share: a fresh program folder and window for each test function.
class MainWindowFixture : public QObject {
protected:
    std::filesystem::path folder() const { return dir_->path().toStdString(); }
    // For init(): the window shown in a new folder and active.
    bool openWindow()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        form_ = startMainWindow(folder());
        return QTest::qWaitForWindowActive(form_.get());
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ui::MainWindow> form_;
};

}  // namespace edlt::test
