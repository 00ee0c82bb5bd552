// The window after a crash: work typed into one run, the run gone without closing (its
// workspace left behind, its lock released as the kernel does for a killed process), and
// the next start offers it back.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "app/UserInterface.h"
#include "ui/MessageBox.h"
#include "app/ui/TForm1.h"
#include "entry/ui/DetailGrid.h"
#include "base/Cp1253.h"
#include "store/DetailRecord.h"
#include "tests/ui/WindowStart.h"

using namespace edlt;
using namespace edlt::ui;

class RecoveryWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;

    std::filesystem::path folder() const { return dir_->path().toStdString(); }

    std::unique_ptr<TForm1> start()
    {
        auto form = std::make_unique<TForm1>(folder());
        form->show();
        return form;
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
        {
            auto form = start();
            MessageBox::setNextAnswer(mrYes);
            form->menuAction("N5")->trigger();
            auto* afm = form->findChild<QLineEdit*>("AFM");
            afm->setText("123456783");
            emit afm->textEdited(afm->text());
            auto* name = form->findChild<QLineEdit*>("CompanyName");
            name->setText(QString::fromUtf8("ΕΤΑΙΡΕΙΑ"));
            emit name->textEdited(name->text());
            TFixedFormatDataSet& ds = form->session().DetailStore();
            ds.AppendNew();
            ds.SetFieldValue(detail::AFM, "012345670");
            ds.SetFieldValue(detail::TypeInc, "10");
            ds.SetFieldValue(detail::AkaInc, "1000");
            ds.SetFieldValue(detail::Kratiseis, "100");
            ds.SetFieldValue(detail::Kathares, "900");
            QVERIFY(form->session().PostPendingEdit());
            // Gone without closing: no question, no clean-up.
        }
        QVERIFY(std::filesystem::exists(folder() / "temp" / "record2"));

        MessageBox::setNextAnswer(mrYes);
        auto form = start();
        QVERIFY(MessageBox::shownTexts().last().startsWith(QString::fromUtf8("Βρέθηκαν στοιχεία δήλωσης")));
        QVERIFY(!form->findChild<QWidget*>("Panel2")->isVisible());
        QCOMPARE(form->findChild<QLineEdit*>("AFM")->text(), QString("123456783"));
        QCOMPARE(form->findChild<QLineEdit*>("CompanyName")->text(), QString::fromUtf8("ΕΤΑΙΡΕΙΑ"));
        QCOMPARE(form->detailGrid().grid()->model()->rowCount(), 1);
        QCOMPARE(form->findChild<QLineEdit*>("Edit1")->text(), QString("1000"));
        QCOMPARE(form->findChild<QLabel*>("Label32")->text(), QString::fromUtf8("1 Εγγραφές-1 μοναδικοί ΑΦΜ"));
        QVERIFY(form->session().Modified());
        MessageBox::setNextAnswer(mrNo);  // the closing question: the work is unsaved
        QVERIFY(form->close());
        QVERIFY(!std::filesystem::exists(folder() / "temp"));
    }
};

QTEST_MAIN(RecoveryWindowTest)
#include "RecoveryWindowTest.moc"
