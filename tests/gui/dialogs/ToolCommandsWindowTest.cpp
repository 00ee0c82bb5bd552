// SPDX-License-Identifier: GPL-3.0-or-later
// The tools and help menus of the main window, with pre-answered dialogs and boxes.
#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <zip.h>

#include "core/session/UserInterface.h"
#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/ToolCommands.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/Windows.h"
#include "tests/TestUtil.h"
#include "tests/gui/common/WindowStart.h"

using namespace edlt;
using namespace edlt::ui;
namespace fs = std::filesystem;

namespace {

QString q(const fs::path& p)
{
    return QString::fromStdString(p.string());
}

// The one member of an archive, read back with libzip: its name and bytes.
std::pair<std::string, std::string> soleMember(const fs::path& archive)
{
    int error = 0;
    zip_t* z = zip_open(archive.c_str(), ZIP_RDONLY, &error);
    if (!z) return {"<not a zip>", ""};
    std::pair<std::string, std::string> out;
    if (zip_get_num_entries(z, 0) == 1) {
        zip_stat_t st;
        zip_stat_index(z, 0, 0, &st);
        out.first = st.name;
        zip_file_t* f = zip_fopen_index(z, 0, 0);
        out.second.resize(st.size);
        if (st.size > 0) zip_fread(f, out.second.data(), st.size);
        zip_fclose(f);
    }
    zip_close(z);
    return out;
}

}  // namespace

class ToolCommandsWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    fs::path folder_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<HelpWindow> manual_;
    std::unique_ptr<FindDialog> find_;

    void trigger(MenuCommand command) { window_->menuAction(command)->trigger(); }

private slots:
    void init()
    {
        test::clearPreparedAnswers();
        dir_ = std::make_unique<QTemporaryDir>();
        folder_ = dir_->path().toStdString();
        test::prepareProgramFolder(folder_);
        test::keepSettingsPrivate();
        window_ = std::make_unique<MainWindow>(folder_);
        QVERIFY(window_->started());
        manual_ = std::make_unique<HelpWindow>(folder_);
        find_ = std::make_unique<FindDialog>(window_.get());
        connectToolCommands(*window_, *find_, *manual_);
    }

    void cleanup()
    {
        find_.reset();
        manual_.reset();
        window_.reset();
        dir_.reset();
        QVERIFY(FileDialog::names().empty());
        QVERIFY(MessageBox::answers().empty());
    }

    void zipPacksTheChosenFileWithoutAWord()
    {
        test::writeFile(folder_ / "decl.txt", "0 declaration\r\n");
        FileDialog::setNextFileName(q(folder_ / "decl.txt"));
        FileDialog::setNextFileName(q(folder_ / "decl.txt"));  // the proposed name as it stands
        trigger(MenuCommand::Zip);
        QCOMPARE(soleMember(folder_ / "decl.txt.zip"),
                 (std::pair<std::string, std::string>{"decl.txt", "0 declaration\r\n"}));
        QVERIFY(MessageBox::shownTexts().isEmpty());

        // A name that already ends in .zip is used as it is.
        fs::create_directories(folder_ / "out dir");
        FileDialog::setNextFileName(q(folder_ / "decl.txt"));
        FileDialog::setNextFileName(q(folder_ / "out dir" / "arch.zip"));
        trigger(MenuCommand::Zip);
        QCOMPARE(soleMember(folder_ / "out dir" / "arch.zip").first, std::string("decl.txt"));
        QVERIFY(!fs::exists(folder_ / "out dir" / "arch.zip.zip"));
    }

    void zipAsksBeforeReplacingAndOnlyYesReplaces()
    {
        test::writeFile(folder_ / "a.txt", "new");
        test::writeFile(folder_ / "x.zip", "old archive");
        const QString question = QString::fromUtf8("Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο x;");
        for (Answer answer : {Answer::No, Answer::Cancel}) {
            FileDialog::setNextFileName(q(folder_ / "a.txt"));
            FileDialog::setNextFileName(q(folder_ / "x"));
            MessageBox::setNextAnswer(answer);
            trigger(MenuCommand::Zip);
            QCOMPARE(test::readFile(folder_ / "x.zip"), std::string("old archive"));
        }
        FileDialog::setNextFileName(q(folder_ / "a.txt"));
        FileDialog::setNextFileName(q(folder_ / "x"));
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::Zip);
        QCOMPARE(soleMember(folder_ / "x.zip").second, std::string("new"));
        QCOMPARE(MessageBox::shownTexts(), QStringList({question, question, question}));
    }

    void zipCancelledOrFailing()
    {
        FileDialog::setNextFileName(QString());  // the open dialog cancelled: no save dialog
        trigger(MenuCommand::Zip);
        test::writeFile(folder_ / "a.txt", "x");
        FileDialog::setNextFileName(q(folder_ / "a.txt"));
        FileDialog::setNextFileName(QString());
        trigger(MenuCommand::Zip);
        QVERIFY(!fs::exists(folder_ / "a.txt.zip"));
        QVERIFY(MessageBox::shownTexts().isEmpty());

        // A source that is gone: the file layer's own message, and no archive.
        FileDialog::setNextFileName(q(folder_ / "gone.txt"));
        FileDialog::setNextFileName(q(folder_ / "gone.txt"));
        MessageBox::setNextAnswer(Answer::Ok);
        trigger(MenuCommand::Zip);
        QCOMPARE(MessageBox::shownTexts().size(), 1);
        QVERIFY(MessageBox::shownTexts()[0].contains("gone.txt"));
        QVERIFY(!fs::exists(folder_ / "gone.txt.zip"));
    }

    void shortcutOnTheUsersDesktop()
    {
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", dir_->path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (dir_->path() + "/config").toUtf8());
        trigger(MenuCommand::DesktopShortcut);
        trigger(MenuCommand::DesktopShortcut);  // again: replaced without a question
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
        const fs::path entry = folder_ / "Desktop" / "E-ΔΛΤ.desktop";
        QVERIFY(fs::exists(entry));
        const std::string text = test::readFile(entry);
        QVERIFY(text.find("\nExec=" + QCoreApplication::applicationFilePath().toStdString() + "\n") !=
                std::string::npos);
        QVERIFY(text.find("\nPath=" + QCoreApplication::applicationDirPath().toStdString() + "\n") !=
                std::string::npos);
        QVERIFY(MessageBox::shownTexts().isEmpty());
    }

    void helpAboutAndFindFromTheMenus()
    {
        trigger(MenuCommand::Manual);
        QVERIFY(manual_->isVisible());
        QCOMPARE(manual_->page(), manual_->pageUrl("setup.htm"));
        manual_->hide();

        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QVERIFY(manual_->isVisible());
        QCOMPARE(manual_->page(), manual_->pageUrl("usermanual.htm"));

        bool aboutShown = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            QVERIFY(box);
            aboutShown = true;
            box->okButton->click();
        });
        trigger(MenuCommand::About);
        QVERIFY(aboutShown);

        // Find runs on the open declaration through the find dialog.
        MessageBox::setNextAnswer(Answer::Yes);
        window_->session().newDeclaration();
        QTimer::singleShot(0, [&] { find_->okButton->click(); });
        MessageBox::setNextAnswer(Answer::Ok);
        trigger(MenuCommand::Find);
        QCOMPARE(MessageBox::shownTexts().last(), QString::fromUtf8("Δεν βρέθηκε ο ΑΦΜ"));

        // A line being typed that fails its checks: its message, and no dialog.
        FixedWidthTable& ds = window_->session().detailStore();
        ds.appendNew();
        ds.setFieldValue("AFM", "012345670");
        MessageBox::setNextAnswer(Answer::Ok);
        bool findShown = false;
        QTimer::singleShot(0, [&] {
            if (find_->isVisible()) {
                findShown = true;
                find_->cancelButton->click();
            }
        });
        trigger(MenuCommand::Find);
        QVERIFY(!findShown);
        QVERIFY(MessageBox::shownTexts().last().startsWith(QString::fromUtf8("Πρέπει να συμπληρώσετε")));
        ds.Cancel();
    }
};

QTEST_MAIN(ToolCommandsWindowTest)
#include "ToolCommandsWindowTest.moc"
