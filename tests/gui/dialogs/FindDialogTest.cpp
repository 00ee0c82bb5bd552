// SPDX-License-Identifier: GPL-3.0-or-later
// The find dialog's keys and choices, and the find command through it, over a session.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "core/base/Cp1253.h"
#include "core/session/DeclarationSession.h"
#include "core/store/DetailRecord.h"
#include "gui/dialogs/FindDialog.h"
#include "tests/TestUtil.h"
#include "tests/gui/common/Keys.h"
#include "tests/gui/common/WindowUI.h"

using namespace edlt;
using namespace edlt::ui;
namespace fs = std::filesystem;

namespace {

using test::typeInto;
using test::WindowUI;

using test::G;

}  // namespace

class FindDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FindDialog> find_;
    int beeps_ = 0;

    // Runs the dialog modally; act does what the user does while it is open.
    FindRequest run(const std::function<void()>& act)
    {
        QTimer::singleShot(0, find_.get(), [this, act] {
            QVERIFY(find_->isVisible());
            act();
        });
        return find_->execute();
    }

private slots:
    void init()
    {
        find_ = std::make_unique<FindDialog>();
        beeps_ = 0;
        connect(find_.get(), &FindDialog::keyRefused, this, [this] { ++beeps_; });
    }
    void cleanup() { find_.reset(); }

    void controlsAndTheirDefaults()
    {
        QCOMPARE(find_->windowTitle(), QString::fromUtf8("Εύρεση"));
        QCOMPARE(find_->size(), QSize(287, 197));
        QCOMPARE(find_->okButton->text(), QString::fromUtf8("\u039F\u039A"));  // Greek Omicron, Kappa
        QVERIFY(find_->okButton->isDefault());
        QCOMPARE(find_->cancelButton->text(), QString::fromUtf8("Ακύρωση"));
        QVERIFY(find_->byTaxNumberRadio->isChecked());
        QVERIFY(find_->wholeWordsCheck->isChecked());
        QCOMPARE(find_->wholeWordsCheck->text(), QString::fromUtf8("Μόνο ολόκληρες λέξεις"));
        QVERIFY(!find_->lastRequest().Cancelled);
    }

    void taxNumberKeysAndLengths()
    {
        QLineEdit* edit = find_->searchTextEdit;
        typeInto(edit, "12a3Β-4");
        QCOMPARE(edit->text(), QString("1234"));
        QCOMPARE(beeps_, 3);
        typeInto(edit, QString("\b"));
        QCOMPARE(edit->text(), QString("123"));
        typeInto(edit, "4567890123");
        QCOMPARE(edit->text(), QString("123456789"));  // at most 9
        QCOMPARE(beeps_, 3);                           // the limit is silent

        // Surname: every character, up to 27; the digits typed before stay.
        find_->bySurnameRadio->setChecked(true);
        typeInto(edit, QString::fromUtf8("ΠΑΠΑ-δόπουλος 1234567890ΑΒΓΔ"));
        QCOMPARE(edit->text().size(), 27);
        QCOMPARE(edit->text(), QString::fromUtf8("123456789ΠΑΠΑ-δόπουλος 1234"));
        QCOMPARE(beeps_, 3);
        // Characters outside the code page can never be in a declaration.
        edit->clear();
        typeInto(edit, QString::fromUtf8("Ж"));
        QCOMPARE(edit->text(), QString());
        QCOMPARE(beeps_, 4);

        // Back to the tax number: a longer text is kept whole but cannot grow.
        edit->setText(QString::fromUtf8("ΚΑΡΑΓΙΑΝΝΟΠΟΥΛΟΣ"));
        find_->byTaxNumberRadio->setChecked(true);
        typeInto(edit, "1");
        QCOMPARE(edit->text(), QString::fromUtf8("ΚΑΡΑΓΙΑΝΝΟΠΟΥΛΟΣ"));
        // Down to 8 characters, one more fits, and no more.
        typeInto(edit, QString("\b\b\b\b\b\b\b\b") + "12");
        QCOMPARE(edit->text(), QString::fromUtf8("ΚΑΡΑΓΙΑΝ1"));
    }

    // The dialog opens on its text, selected; keys edit where the cursor is.
    void keysEditAtTheCursor()
    {
        find_->searchTextEdit->setText("123");
        const FindRequest r = run([this] {
            QLineEdit* edit = find_->searchTextEdit;
            QTRY_VERIFY(edit->hasFocus());
            QCOMPARE(edit->selectedText(), QString("123"));
            typeInto(edit, "45");  // over the selection
            QCOMPARE(edit->text(), QString("45"));
            QTest::keyClick(edit, Qt::Key_Left);
            typeInto(edit, "9");
            QCOMPARE(edit->text(), QString("495"));
            typeInto(edit, QString("\b"));
            QCOMPARE(edit->text(), QString("45"));
            QCOMPARE(edit->cursorPosition(), 1);
            // A new limit (another kind of search) keeps the cursor and the selection.
            find_->bySurnameRadio->setChecked(true);
            edit->setSelection(1, 1);
            typeInto(edit, QString::fromUtf8("Α"));
            QCOMPARE(edit->text(), QString::fromUtf8("4Α"));
            find_->okButton->click();
        });
        QCOMPARE(r.SearchText, G("4Α"));
    }

    void okStoresTheChoicesAndTheDialogKeepsThem()
    {
        FindRequest r = run([this] {
            find_->bySurnameRadio->setChecked(true);
            find_->searchTextEdit->setText(QString::fromUtf8("ΠΑΠΑ"));
            find_->wholeWordsCheck->setChecked(false);
            find_->okButton->click();
        });
        QVERIFY(!r.Cancelled);
        QVERIFY(!r.ByAFM);
        QVERIFY(r.PartialMatch);
        QCOMPARE(r.SearchText, G("ΠΑΠΑ"));

        // Enter presses "ΟΚ"; the controls show their last values.
        r = run([this] {
            QCOMPARE(find_->searchTextEdit->text(), QString::fromUtf8("ΠΑΠΑ"));
            QVERIFY(find_->bySurnameRadio->isChecked());
            find_->searchTextEdit->setFocus();
            QTest::keyClick(find_->searchTextEdit, Qt::Key_Return);
        });
        QVERIFY(!r.Cancelled);
        QCOMPARE(r.SearchText, G("ΠΑΠΑ"));
    }

    void cancelCloseBoxAndEscapeAllCancel()
    {
        run([this] { find_->okButton->click(); });
        QVERIFY(!find_->lastRequest().Cancelled);
        QVERIFY(run([this] { find_->cancelButton->click(); }).Cancelled);
        QVERIFY(run([this] { find_->close(); }).Cancelled);
        QVERIFY(run([this] { QTest::keyClick(find_->searchTextEdit, Qt::Key_Escape); }).Cancelled);
        QVERIFY(!find_->isVisible());
    }

    void commandFindsOrWarnsThroughTheDialog()
    {
        QTemporaryDir dir;
        const fs::path folder = dir.path().toStdString();
        fs::create_directories(folder / "Addon");
        std::ofstream(folder / "Addon" / "typeofinc.txt") << "10" << G("Τακτικές αποδοχές") << "\r\n";
        WindowUI ui;
        DeclarationSession::Options o;
        o.programFolder = folder;
        o.lockWorkspace = false;
        DeclarationSession session(ui, o);
        QVERIFY(session.start());
        session.newDeclaration();
        session.setHeaderText(HeaderField::YearOfData, "2025");
        session.setHeaderText(HeaderField::AFM, "123456783");
        session.setHeaderText(HeaderField::CompanyName, G("ΕΤΑΙΡΕΙΑ ΑΕ"));
        FixedWidthTable& ds = session.detailStore();
        for (auto [afm, surname] : {std::pair{"012345670", "ΑΛΦΑ"}, {"111111114", "ΒΗΤΑ"}}) {
            ds.appendNew();
            ds.setFieldValue(detail::AFM, afm);
            ds.setFieldValue(detail::SurName, G(surname));
            ds.setFieldValue(detail::TypeInc, "10");
            ds.setFieldValue(detail::AkaInc, "100");
            ds.setFieldValue(detail::Kratiseis, "0");
            ds.setFieldValue(detail::Kathares, "100");
            QVERIFY(session.postPendingEdit());
        }
        ui.log.clear();
        ds.moveFirst();

        QTimer::singleShot(0, find_.get(), [this] {
            find_->byTaxNumberRadio->setChecked(true);
            find_->searchTextEdit->setText("111111114");
            find_->okButton->click();
        });
        QCOMPARE(find_->runFind(session, ui), FindOutcome::Found);
        QCOMPARE(ds.recordNumber(), 2L);

        QTimer::singleShot(0, find_.get(), [this] {
            find_->bySurnameRadio->setChecked(true);
            find_->searchTextEdit->setText(QString::fromUtf8("βητα"));
            find_->okButton->click();
        });
        QCOMPARE(find_->runFind(session, ui), FindOutcome::NotFound);
        QCOMPARE(ui.log, std::vector<std::string>{"W Δεν βρέθηκε το Επώνυμο"});
        QCOMPARE(ds.recordNumber(), 1L);

        // Closing the dialog leaves the line where it was.
        ds.moveLast();
        QTimer::singleShot(0, find_.get(), [this] { find_->close(); });
        QCOMPARE(find_->runFind(session, ui), FindOutcome::Cancelled);
        QCOMPARE(ds.recordNumber(), 2L);
        QCOMPARE(ui.log.size(), size_t(1));

        // F3: the last search from the line after the current one; the line stays when none is left.
        QTimer::singleShot(0, find_.get(), [this] {
            find_->searchTextEdit->setText(QString::fromUtf8("Α"));
            find_->okButton->click();
        });
        ds.moveFirst();
        QCOMPARE(find_->runFind(session, ui), FindOutcome::NotFound);  // whole field: no ΑΛΦΑ equals Α
        QTimer::singleShot(0, find_.get(), [this] {
            find_->wholeWordsCheck->setChecked(false);
            find_->okButton->click();
        });
        QCOMPARE(find_->runFind(session, ui), FindOutcome::Found);
        QCOMPARE(ds.recordNumber(), 1L);
        ui.log.clear();
        QCOMPARE(find_->runFindNext(session, ui), FindOutcome::NotFound);
        QCOMPARE(ui.log, std::vector<std::string>{"W Δεν βρέθηκε άλλη γραμμή με το Επώνυμο Α"});
        QCOMPARE(ds.recordNumber(), 1L);
        session.requestClose();
    }
};

QTEST_MAIN(FindDialogTest)
#include "FindDialogTest.moc"
