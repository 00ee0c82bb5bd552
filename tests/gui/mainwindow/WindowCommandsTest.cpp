// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands from the keyboard (underlined letters, F10, the standard
// shortcuts), and New, Open and a dropped file with unsaved work.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <map>

#include "core/base/Cp1253.h"
#include "core/store/DetailRecord.h"
#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/mainwindow/FileDrop.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/MenuKeys.h"
#include "tests/gui/common/Keys.h"
#include "tests/gui/common/WindowStart.h"

using namespace edlt;
using namespace edlt::ui;

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The underlined letter of a caption, upper case; null when none.
QChar mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1].toUpper();
        ++i;
    }
    return {};
}

const QString changesQuestion = U("Έχετε κάνει αλλαγές. Θέλετε να αποθηκευτούν σε αρχείο;");

}  // namespace

class WindowCommandsTest : public test::MainWindowFixture {
    Q_OBJECT

    QMenu* openMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
    QMenu* menu(const char* name) { return form_->findChild<QMenu*>(name); }

    void closeMenus()
    {
        while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    }

    // A new declaration with a valid header and one stored line: unsaved work.
    void declarationWithWork()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        form_->menuAction(MenuCommand::New)->trigger();
        DeclarationSession& s = form_->session();
        s.setHeaderText(HeaderField::YearOfData, "2025");
        s.setHeaderText(HeaderField::AFM, "123456783");
        s.setHeaderText(HeaderField::CompanyName, cp1253::lit("ΕΤΑΙΡΕΙΑ ΑΕ"));
        FixedWidthTable& ds = s.detailStore();
        ds.appendNew();
        for (auto [field, value] : {std::pair{detail::AFM, "012345670"},
                                    {detail::TypeInc, "10"},
                                    {detail::AkaInc, "100"},
                                    {detail::Kratiseis, "0"},
                                    {detail::Kathares, "100"}})
            ds.setFieldValue(field, value);
        QVERIFY(s.postPendingEdit());
        QVERIFY(s.modified());
        MessageBox::shownTexts().clear();
    }

private slots:
    void init() { QVERIFY(openWindow()); }

    void cleanup()
    {
        closeMenus();
        test::closeMainWindow(form_);
        QVERIFY(MessageBox::answers().empty());
        QVERIFY(FileDialog::names().empty());
    }

    // Every menu and item, whoever added it, has an underlined letter of its own in its menu.
    void everyMenuAndItemHasItsOwnLetter()
    {
        const std::function<void(const QList<QAction*>&, const QString&)> walk = [&](const QList<QAction*>& actions,
                                                                                     const QString& where) {
            std::map<QChar, QString> taken;
            for (QAction* a : actions) {
                if (a->isSeparator() || !a->isVisible()) continue;
                const QChar letter = mnemonic(a->text());
                QVERIFY2(!letter.isNull(), qPrintable(where + ": " + a->text()));
                QVERIFY2(taken.emplace(letter, a->text()).second,
                         qPrintable(where + ": " + a->text() + " and " + taken[letter]));
                if (a->menu()) walk(a->menu()->actions(), a->text());
            }
        };
        walk(form_->menuBar()->actions(), "menu bar");
        QCOMPARE(menu("fileMenu")->title(), U("&Αρχείο"));
        QCOMPARE(menu("toolsMenu")->title(), U("Ε&ργαλεία"));

        const std::pair<MenuCommand, const char*> shortcuts[] = {
            {MenuCommand::New, "Ctrl+N"},  {MenuCommand::Open, "Ctrl+O"}, {MenuCommand::SaveAs, "Ctrl+S"},
            {MenuCommand::Exit, "Ctrl+Q"}, {MenuCommand::Find, "Ctrl+F"}, {MenuCommand::FindNext, "F3"},
            {MenuCommand::Check, "F7"},
        };
        for (const auto& [command, keys] : shortcuts)
            QCOMPARE(form_->menuAction(command)->shortcut(), QKeySequence(QString::fromLatin1(keys)));
    }

    void f10AndAltLettersOpenTheMenus()
    {
        test::press(Qt::Key_F10);
        QTRY_COMPARE(openMenu(), menu("fileMenu"));
        closeMenus();

        // Alt with the Greek letter, and with the Latin letter on the same key.
        const std::pair<QKeyCombination, const char*> keys[] = {
            {Qt::AltModifier | Qt::Key(0x391), "fileMenu"},  // Α
            {Qt::AltModifier | Qt::Key_R, "toolsMenu"},      // Ρ
            {Qt::AltModifier | Qt::Key_B, "helpMenu"},       // Β
        };
        for (const auto& [key, name] : keys) {
            QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : form_.get();
            const QString text = key.key() < 0x80 ? QString() : QString(QChar(key.key()));
            QTest::sendKeyEvent(QTest::Press, focus, key.key(), text, key.keyboardModifiers());
            QTest::sendKeyEvent(QTest::Release, focus, key.key(), text, key.keyboardModifiers());
            QTRY_COMPARE(openMenu(), menu(name));
            closeMenus();
        }
        QCOMPARE(MenuKeys::greekOnKey('j'), QChar(u'Ξ'));
        QVERIFY(MenuKeys::greekOnKey('1').isNull());

        // In an open menu the Latin letter picks the item too: "Νέο" asks its question.
        test::press(Qt::Key_F10);
        QTRY_COMPARE(openMenu(), menu("fileMenu"));
        MessageBox::setNextAnswer(Answer::No);
        QTest::keyClick(openMenu(), Qt::Key_N, Qt::NoModifier, 0);
        QTRY_COMPARE(MessageBox::shownTexts(), QStringList{U("Δημιουργία νέου αρχείου;")});
    }

    // Keys from the display server, with the program holding Caps Lock on.
    void altLettersFromTheKeyboard()
    {
        if (QStandardPaths::findExecutable("xdotool").isEmpty()) QSKIP("xdotool is needed to press real keys");
        QCOMPARE(QProcess::execute("xdotool", {"windowfocus", "--sync", QString::number(form_->winId())}), 0);
        QTRY_VERIFY(form_->isActiveWindow());
        for (const auto& [keys, name] :
             {std::pair{"alt+r", "toolsMenu"}, {"F10", "fileMenu"}, {"alt+k", "printMenu"}}) {
            if (QString(name) == "printMenu") {
                MessageBox::setNextAnswer(Answer::Yes);
                form_->menuAction(MenuCommand::New)->trigger();  // the print menu is off before
            }
            QCOMPARE(QProcess::execute("xdotool", {"key", keys}), 0);
            QTRY_COMPARE(openMenu(), menu(name));
            closeMenus();
        }
    }

    void newOpenAndADropAskAboutUnsavedWork()
    {
        const QString other = QString::fromStdString((folder() / "other").string());
        declarationWithWork();
        FileDialog::setNextFileName(other);
        form_->menuAction(MenuCommand::SaveAs)->trigger();
        QVERIFY(std::filesystem::exists(folder() / "other"));
        auto* drop = form_->findChild<FileDrop*>();
        QVERIFY(drop);

        struct Case {
            const char* what;
            std::function<void()> run;
            QStringList questions;
        };
        const Case cases[] = {
            {"New",
             [this] { form_->menuAction(MenuCommand::New)->trigger(); },
             {U("Δημιουργία νέου αρχείου;"), changesQuestion}},
            {"Open", [this] { form_->menuAction(MenuCommand::Open)->trigger(); }, {changesQuestion}},
            {"drop", [this, drop] { emit drop->openRequested(folder() / "other"); }, {changesQuestion}},
        };
        for (const Case& c : cases) {
            // "Άκυρο" keeps the work as it is, and no file dialog opens.
            declarationWithWork();
            if (c.questions.size() == 2) MessageBox::setNextAnswer(Answer::Yes);
            MessageBox::setNextAnswer(Answer::Cancel);
            c.run();
            QCOMPARE(MessageBox::shownTexts(), c.questions);
            QVERIFY2(form_->session().modified(), c.what);
            QCOMPARE(form_->session().detailStore().countRecords(), 1L);

            // "Όχι" goes on: the other declaration (empty for New) replaces it.
            MessageBox::shownTexts().clear();
            if (c.questions.size() == 2) MessageBox::setNextAnswer(Answer::Yes);
            MessageBox::setNextAnswer(Answer::No);
            if (QString(c.what) == "Open") FileDialog::setNextFileName(other);
            c.run();
            QVERIFY2(!form_->session().modified(), c.what);
            QCOMPARE(form_->session().detailStore().countRecords(), QString(c.what) == "New" ? 0L : 1L);
        }
    }

    // Find's "not found" and every other warning: the desktop's caption, in Greek.
    void warningsAreCaptionedInGreek()
    {
        QString title;
        QTimer::singleShot(0, form_.get(), [&title] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            title = box->windowTitle();
            box->close();
        });
        MessageBox::notice(form_.get(), U("Δεν βρέθηκε ο ΑΦΜ"), MessageBox::Kind::Warning);
        QCOMPARE(title, U("Προειδοποίηση"));
    }
};

QTEST_MAIN(WindowCommandsTest)
#include "WindowCommandsTest.moc"
