// SPDX-License-Identifier: GPL-3.0-or-later
// The window after a crash: work typed into one run, the run gone without closing (its
// workspace left behind, its lock released as the kernel does for a killed process), and
// the next start offers it back; the Caps Lock a killed run left switched is put back.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "core/base/Cp1253.h"
#include "core/session/UserInterface.h"
#include "core/store/DetailRecord.h"
#include "gui/common/MessageBox.h"
#include "gui/grid/DetailGrid.h"
#include "gui/mainwindow/KeyboardLocks.h"
#include "gui/mainwindow/MainWindow.h"
#include "tests/gui/common/WindowStart.h"

using namespace edlt;
using namespace edlt::ui;

class RecoveryWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;

    std::filesystem::path folder() const { return dir_->path().toStdString(); }

    std::unique_ptr<MainWindow> start()
    {
        test::keepSettingsPrivate();
        auto form = std::make_unique<MainWindow>(folder());
        form->show();
        return form;
    }

    // One run with a line typed, gone without closing.
    void leaveWork()
    {
        {
            auto form = start();
            MessageBox::setNextAnswer(Answer::Yes);
            form->menuAction(MenuCommand::New)->trigger();
            auto* afm = form->findChild<QLineEdit*>("AFM");
            afm->setText("123456783");
            emit afm->textEdited(afm->text());
            auto* name = form->findChild<QLineEdit*>("CompanyName");
            name->setText(QString::fromUtf8("ΕΤΑΙΡΕΙΑ"));
            emit name->textEdited(name->text());
            FixedWidthTable& ds = form->session().detailStore();
            ds.appendNew();
            ds.setFieldValue(detail::AFM, "012345670");
            ds.setFieldValue(detail::TypeInc, "10");
            ds.setFieldValue(detail::AkaInc, "1000");
            ds.setFieldValue(detail::Kratiseis, "100");
            ds.setFieldValue(detail::Kathares, "900");
            QVERIFY(form->session().postPendingEdit());
            // Gone without closing: no question, no clean-up.
        }
        QVERIFY(std::filesystem::exists(folder() / "temp" / "record2"));
    }

private slots:
    void init()
    {
        test::clearPreparedAnswers();
        dir_ = std::make_unique<QTemporaryDir>();
        test::prepareProgramFolder(folder());
    }

    void answeringYesBringsTheWorkBack()
    {
        leaveWork();
        MessageBox::setNextAnswer(Answer::Yes);
        auto form = start();
        QVERIFY(MessageBox::shownTexts().last().startsWith(QString::fromUtf8("Βρέθηκαν στοιχεία δήλωσης")));
        QVERIFY(!form->findChild<QWidget*>("startPanel")->isVisible());
        QCOMPARE(form->findChild<QLineEdit*>("AFM")->text(), QString("123456783"));
        QCOMPARE(form->findChild<QLineEdit*>("CompanyName")->text(), QString::fromUtf8("ΕΤΑΙΡΕΙΑ"));
        QCOMPARE(form->detailGrid().grid()->model()->rowCount(), 1);
        QCOMPARE(form->findChild<QLineEdit*>("grossPayTotal")->text(), QString("1000"));
        QCOMPARE(form->findChild<QLabel*>("recordCounter")->text(), QString::fromUtf8("1 Εγγραφές-1 μοναδικοί ΑΦΜ"));
        QVERIFY(form->session().modified());
        MessageBox::setNextAnswer(Answer::No);  // the closing question: the work is unsaved
        QVERIFY(form->close());
        QVERIFY(!std::filesystem::exists(folder() / "temp"));
    }

    void capsLockLeftByAKilledRunIsPutBack()
    {
        KeyboardLocks locks;
        locks.setCapsLock(true);
        if (!locks.capsLock()) QSKIP("Caps Lock cannot be set on this display");
        const std::filesystem::path record = folder() / "temp" / "capslock";
        std::filesystem::create_directory(folder() / "temp");
        std::filesystem::permissions(folder() / "temp", std::filesystem::perms::owner_all);
        QFile left(QString::fromStdString(record.string()));
        QVERIFY(left.open(QIODevice::WriteOnly));
        left.write("0");  // the user's state before the run that died
        left.close();

        auto form = start();
        QVERIFY(!locks.capsLock());
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        // Switched again for this run, with its own record.
        QTRY_VERIFY(locks.capsLock());
        QVERIFY(left.open(QIODevice::ReadOnly));
        QCOMPARE(left.readAll(), QByteArray("0"));
        left.close();
        QCOMPARE(std::filesystem::status(record).permissions(),
                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        QVERIFY(form->close());
        QVERIFY(!locks.capsLock());
        QVERIFY(!std::filesystem::exists(folder() / "temp"));
    }
};

QTEST_MAIN(RecoveryWindowTest)
#include "RecoveryWindowTest.moc"
