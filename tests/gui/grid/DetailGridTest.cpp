// SPDX-License-Identifier: GPL-3.0-or-later
// The detail grid driven as a user would, over a declaration session with scripted answers.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QWheelEvent>
#include <QtTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/base/Cp1253.h"
#include "core/rules/GridRules.h"
#include "core/session/DeclarationSession.h"
#include "core/store/DetailRecord.h"
#include "gui/grid/CellDelegate.h"
#include "gui/grid/DetailGrid.h"
#include "gui/grid/DetailTableModel.h"
#include "gui/grid/WheelToArrowKeys.h"
#include "tests/TestUtil.h"
#include "tests/gui/common/Keys.h"
#include "tests/gui/common/WindowStart.h"
#include "tests/gui/common/WindowUI.h"

using namespace edlt;
using namespace edlt::ui;
namespace fs = std::filesystem;
using test::press;
using test::type;

namespace {

using test::G;

}  // namespace

class DetailGridTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<test::WindowUI> ui_;
    std::unique_ptr<DeclarationSession> session_;
    std::unique_ptr<QWidget> window_;
    std::unique_ptr<DetailGrid> detail_;
    std::unique_ptr<QAbstractItemModelTester> tester_;

    FixedWidthTable& store() { return session_->detailStore(); }
    RecordGridView* grid() { return detail_->grid(); }
    std::string stored(long line, detail::Field f) { return store().fieldValueAt(static_cast<size_t>(line), f); }

    // Stores a valid line through the session, as a typed one would be.
    void addLine(const char* afm, const char* surname, const char* gross, const char* deductions, const char* net)
    {
        store().appendNew();
        store().setFieldValue(detail::AFM, afm);
        store().setFieldValue(detail::SurName, G(surname));
        store().setFieldValue(detail::TypeInc, "10");
        store().setFieldValue(detail::AkaInc, gross);
        store().setFieldValue(detail::Kratiseis, deductions);
        store().setFieldValue(detail::Kathares, net);
        QVERIFY(session_->postPendingEdit());
    }

    void focusCell(int row, int column)
    {
        grid()->setFocus();
        QTRY_VERIFY(grid()->hasFocus());
        grid()->moveTo(row, column);
        QCOMPARE(grid()->currentIndex().row(), row);
        QCOMPARE(grid()->currentIndex().column(), column);
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        const fs::path folder = dir_->path().toStdString();
        test::prepareProgramFolder(folder);
        ui_ = std::make_unique<test::WindowUI>();
        ui_->unscripted = Answer::No;
        DeclarationSession::Options o;
        o.programFolder = folder;
        o.today = [] { return CalendarDate{2026, 12, 7}; };
        o.lockWorkspace = false;
        session_ = std::make_unique<DeclarationSession>(*ui_, o);
        QVERIFY(session_->start());
        window_ = std::make_unique<QWidget>();
        window_->resize(1009, 600);
        detail_ = std::make_unique<DetailGrid>(*session_, *ui_, window_.get());
        tester_ = std::make_unique<QAbstractItemModelTester>(detail_->model(),
                                                             QAbstractItemModelTester::FailureReportingMode::QtTest);
        ui_->answers.push_back(Answer::Yes);
        session_->newDeclaration();
        session_->setHeaderText(HeaderField::YearOfData, "2025");
        session_->setHeaderText(HeaderField::AFM, "123456783");
        session_->setHeaderText(HeaderField::CompanyName, G("ΕΤΑΙΡΕΙΑ ΑΕ"));
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        ui_->clear();
    }

    void cleanup()
    {
        tester_.reset();
        detail_.reset();  // the grid goes before the session it shows
        window_.reset();
        session_.reset();
        ui_.reset();
        dir_.reset();
    }

    void gridSizesAndNames()
    {
        QCOMPARE(grid()->objectName(), QString("detailGrid"));
        QCOMPARE(grid()->titleHeight(), 45);
        QCOMPARE(grid()->recordRowHeight(), 17);
        QCOMPARE(grid()->horizontalHeader()->height(), 45);
        QCOMPARE(grid()->verticalHeader()->defaultSectionSize(), 17);
        QCOMPARE(grid()->model()->columnCount(), 20);
        QCOMPARE(grid()->columnWidth(2), 75);
        QCOMPARE(grid()->columnWidth(8), 65);
        QCOMPARE(grid()->columnWidth(14), 72);
        QCOMPARE(grid()->model()->headerData(7, Qt::Horizontal).toString(), QString("TK"));
        QCOMPARE(detail_->navigator()->objectName(), QString("recordNavigator"));
        QCOMPARE(detail_->navigator()->size(), QSize(444, 62));
        QCOMPARE(detail_->lookup()->objectName(), QString("incomeTypeLookup"));
        QVERIFY(detail_->lookup()->isHidden());
        for (const char* name :
             {"firstButton", "lastButton", "insertButton", "deleteButton", "postButton", "cancelButton"})
            QVERIFY2(detail_->navigator()->findChild<QToolButton*>(name), name);
        QCOMPARE(detail_->recordNavigator()->button(RecordNavigator::nbDelete)->toolTip(),
                 QString::fromUtf8("Διαγραφή Εγγραφής"));
        // An empty declaration shows one empty row to type into.
        QCOMPARE(grid()->model()->rowCount(), 1);
    }

    // The model follows every kind of store change consistently (the tester checks the
    // signals); rows keep meaning the same lines.
    void modelFollowsTheStore()
    {
        addLine("012345670", "ΑΛΦΑ", "1000", "0", "1000");
        addLine("111111114", "ΒΗΤΑ", "1000", "0", "1000");
        addLine("098765430", "ΓΑΜΜΑ", "1000", "0", "1000");
        DetailTableModel* m = detail_->model();
        auto surname = [m](int row) { return m->index(row, DetailTableModel::ColSurName).data().toString(); };
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(surname(1), QString::fromUtf8("ΒΗΤΑ"));

        QVERIFY(store().setRecordNumber(2));
        store().insert();
        QCOMPARE(m->rowCount(), 4);
        QCOMPARE(m->currentRow(), 1);
        QCOMPARE(grid()->currentIndex().row(), 1);
        QCOMPARE(surname(1), QString());
        QCOMPARE(surname(2), QString::fromUtf8("ΒΗΤΑ"));
        QCOMPARE(m->headerData(1, Qt::Vertical, DetailTableModel::MarkerRole).toInt(),
                 int(DetailTableModel::InsertMarker));
        QCOMPARE(m->headerData(2, Qt::Vertical, DetailTableModel::MarkerRole).toInt(), int(DetailTableModel::NoMarker));
        store().setFieldValue(detail::SurName, G("ΝΕΟΣ"));
        QCOMPARE(surname(1), QString::fromUtf8("ΝΕΟΣ"));
        store().Cancel();
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(surname(1), QString::fromUtf8("ΒΗΤΑ"));

        store().edit();
        QCOMPARE(m->headerData(1, Qt::Vertical, DetailTableModel::MarkerRole).toInt(),
                 int(DetailTableModel::EditMarker));
        store().setFieldValue(detail::SurName, G("ΒΗΤΑ Β"));
        QCOMPARE(surname(1), QString::fromUtf8("ΒΗΤΑ Β"));
        QVERIFY(store().post());
        QCOMPARE(QString::fromStdString(cp1253::toUtf8(stored(1, detail::SurName))), QString::fromUtf8("ΒΗΤΑ Β"));

        store().deleteRecord();  // the middle line
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(surname(1), QString::fromUtf8("ΓΑΜΜΑ"));
        QCOMPARE(grid()->currentIndex().row(), 1);

        store().appendNew();
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(grid()->currentIndex().row(), 2);
        store().Cancel();
        store().moveFirst();
        store().deleteRecord();
        store().deleteRecord();
        QCOMPARE(m->rowCount(), 1);  // the empty row
        QCOMPARE(surname(0), QString());
        store().edit();  // on an empty store: a new line
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->headerData(0, Qt::Vertical, DetailTableModel::MarkerRole).toInt(),
                 int(DetailTableModel::InsertMarker));
        store().Cancel();
        store().close();
        QCOMPARE(m->rowCount(), 0);
        store().open();
        QCOMPARE(m->rowCount(), 1);
    }

    void typingALineCellByCell()
    {
        focusCell(0, 0);
        type("0123a45670");  // the letter is refused
        QCOMPARE(ui_->beeps(), 1);
        press(Qt::Key_Tab);
        type(QString::fromUtf8("ΠΑΠΑΔΟΠΟΥΛΟΣ"));
        press(Qt::Key_Tab);
        type(QString::fromUtf8("ΓΙΩΡΓΟΣ"));
        press(Qt::Key_Tab);
        type(QString::fromUtf8("ΝΙΚ"));
        for (int i = 0; i < 5; ++i) press(Qt::Key_Tab);  // to the income type
        QCOMPARE(grid()->currentIndex().column(), TypeIncColumn);
        type("10");
        press(Qt::Key_Tab);
        QCOMPARE(grid()->currentIndex().column(), AkaIncColumn);
        type("1000");
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        type("250,5");
        press(Qt::Key_Tab);  // entering the net pay proposes it
        QCOMPARE(grid()->currentIndex().column(), KatharesColumn);
        QCOMPARE(store().fieldValue(detail::Kathares), std::string("749,5"));
        QVERIFY(ui_->messages().empty());
        QVERIFY(session_->modified());
        QCOMPARE(store().state(), DataSetState::InsertState);

        press(Qt::Key_Down);  // stores the line and starts the next
        QCOMPARE(store().countRecords(), 1L);
        QCOMPARE(stored(0, detail::AFM), std::string("012345670"));
        QCOMPARE(stored(0, detail::SurName), G("ΠΑΠΑΔΟΠΟΥΛΟΣ"));
        QCOMPARE(stored(0, detail::FatherName), G("ΝΙΚ"));
        QCOMPARE(stored(0, detail::TypeInc), std::string("10"));
        QCOMPARE(stored(0, detail::AkaInc), std::string("1000"));
        QCOMPARE(stored(0, detail::Kratiseis), std::string("250,5"));
        QCOMPARE(stored(0, detail::Kathares), std::string("749,5"));
        QCOMPARE(stored(0, detail::Xartosimo), std::string("0"));
        QCOMPARE(store().state(), DataSetState::InsertState);
        QCOMPARE(grid()->currentIndex().row(), 1);
        QCOMPARE(session_->totals()[0], std::string("1000"));
        QVERIFY(ui_->messages().empty());
    }

    // What is typed reaches the store at once: a command posting the pending edit sees
    // it, and the editor left open does not make the stored line dirty again.
    void typedTextReachesACommandsPost()
    {
        focusCell(0, 0);
        type("012345670");
        QVERIFY(grid()->cellDelegate()->openEditor());
        QCOMPARE(store().fieldValue(detail::AFM), std::string("012345670"));
        store().setFieldValue(detail::TypeInc, "10");
        store().setFieldValue(detail::AkaInc, "1000,00");
        store().setFieldValue(detail::Kratiseis, "0");
        store().setFieldValue(detail::Kathares, "1000");
        QVERIFY(session_->postPendingEdit());
        QCOMPARE(store().countRecords(), 1L);
        QCOMPARE(stored(0, detail::AkaInc), std::string("1000"));
        QCOMPARE(grid()->model()->index(0, AkaIncColumn).data().toString(), QString("1000"));
        grid()->commitEditor();
        QCOMPARE(store().state(), DataSetState::Browse);
        QVERIFY(ui_->messages().empty());
    }

    void textOutsideTheCodePageIsDroppedWithABeep()
    {
        focusCell(0, DetailTableModel::ColSurName);
        type(QString::fromUtf8("ΑΒ€Γ✓Δ"));  // the euro sign fits Windows-1253, the tick does not
        QCOMPARE(ui_->beeps(), 1);
        grid()->commitEditor();
        QCOMPARE(store().fieldValue(detail::SurName), G("ΑΒ€ΓΔ"));
    }

    void composedTextPassesTheKeyFilter()
    {
        focusCell(0, DetailTableModel::ColHmeres);
        type("1");
        QInputMethodEvent composed;
        composed.setCommitString("2a");
        QApplication::sendEvent(QApplication::focusWidget(), &composed);
        QCOMPARE(ui_->beeps(), 1);
        grid()->commitEditor();
        QCOMPARE(store().fieldValue(detail::Hmeres), std::string("12"));
    }

    void editorHoldsTheFieldWidth()
    {
        focusCell(0, DetailTableModel::ColAFM);
        type("01234567012");
        grid()->commitEditor();
        QCOMPARE(store().fieldValue(detail::AFM), std::string("012345670"));
    }

    void amountCellTakesOneComma()
    {
        focusCell(0, AkaIncColumn);
        type("1,5,");
        QCOMPARE(ui_->beeps(), 1);
        type(QString("\b\b"));
        type(",7.");
        QCOMPARE(ui_->beeps(), 2);
        grid()->commitEditor();
        QCOMPARE(store().fieldValue(detail::AkaInc), std::string("1,7"));
        // A key typed over the whole text replaces it, comma included.
        focusCell(0, AkaIncColumn);
        type(",25");
        grid()->commitEditor();
        QCOMPARE(store().fieldValue(detail::AkaInc), std::string(",25"));
        QCOMPARE(ui_->beeps(), 2);
    }

    void refusedPostKeepsTheRow()
    {
        addLine("012345670", "ΑΛΦΑ", "1000", "0", "1000");
        focusCell(0, 0);
        press(Qt::Key_Down);
        QCOMPARE(grid()->currentIndex().row(), 1);
        QCOMPARE(store().state(), DataSetState::InsertState);
        type("123456789");  // a wrong check digit
        press(Qt::Key_Up);
        QCOMPARE(ui_->messages(),
                 std::vector<std::string>{"! Πρέπει να συμπληρώσετε υποχρεωτικά τα πεδία ΑΦΜ,Ακαθάριστες και Καθαρές "
                                          "Αποδοχές, Κρατήσεις, Είδος Αποδοχών"});
        QCOMPARE(grid()->currentIndex().row(), 1);
        QCOMPARE(store().state(), DataSetState::InsertState);
        QCOMPARE(store().countRecords(), 1L);
        QVERIFY(grid()->selectionModel()->isRowSelected(1, {}));
        // Clicking another row is refused the same way.
        ui_->clear();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualRect(grid()->model()->index(0, 1)).center());
        QCOMPARE(grid()->currentIndex().row(), 1);
        QCOMPARE(ui_->messages().size(), size_t(1));
        // Escape gives the new line up.
        press(Qt::Key_Escape);
        QCOMPARE(store().state(), DataSetState::Browse);
        QCOMPARE(grid()->model()->rowCount(), 1);
        QCOMPARE(grid()->currentIndex().row(), 0);
    }

    void conversionErrorGoesToTheErrorReport()
    {
        addLine("012345670", "ΑΛΦΑ", "1000", "0", "1000");
        addLine("111111114", "ΒΗΤΑ", "1000", "0", "1000");
        store().setRecordNumber(2);
        store().edit();
        store().setFieldValue(detail::Hmeres, "1x");  // as if pasted past the filter
        focusCell(1, 0);
        press(Qt::Key_Up);
        QCOMPARE(ui_->messages(), std::vector<std::string>{"E '1x' is not a valid integer value"});
        QCOMPARE(grid()->currentIndex().row(), 1);
        QCOMPARE(store().state(), DataSetState::EditState);
    }

    void lookupTakesTheTypedCodeAndTabGoesToGrossPay()
    {
        focusCell(0, TypeIncColumn);
        QVERIFY(detail_->lookup()->isVisible());
        const QRect cell = grid()->visualRect(grid()->currentIndex());
        QCOMPARE(detail_->lookup()->geometry().topLeft(), grid()->viewport()->mapTo(window_.get(), cell.topLeft()));
        QCOMPARE(detail_->lookup()->width(), cell.width());
        type("1");
        QCOMPARE(QApplication::focusWidget(), detail_->lookup());
        type("0");
        QCOMPARE(store().fieldValue(detail::TypeInc), std::string("10"));
        QCOMPARE(detail_->lookupBox()->currentCode(), std::string("10"));
        type("4");  // "104" is no code; "4" neither
        QCOMPARE(ui_->beeps(), 1);
        QCOMPARE(store().fieldValue(detail::TypeInc), std::string("10"));
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid()));
        QCOMPARE(grid()->currentIndex().column(), AkaIncColumn);
        QVERIFY(detail_->lookup()->isHidden());
        QCOMPARE(ui_->beeps(), 1);  // that Tab reached the grid as a move only

        // The drop-down lists code and description, 350 pixels wide.
        auto* box = detail_->lookupBox();
        QCOMPARE(box->count(), 13);
        QCOMPARE(box->model()->index(4, 0).data().toString(), QString("14"));
        QCOMPARE(box->model()->index(0, 1).data().toString(), QString::fromUtf8("Τακτικές αποδοχές"));
        QVERIFY(box->view()->minimumWidth() >= 350);
    }

    // With its list closed the box leaves the moving keys to the grid, which stores the line
    // first; only the open list's arrows choose a code.
    void lookupLeavesTheMovingKeysToTheGrid()
    {
        for (const char* afm : {"012345670", "111111114", "098765430"}) addLine(afm, "ΑΛΦΑ", "1000", "0", "1000");
        auto* box = detail_->lookupBox();
        const struct {
            Qt::Key key;
            int row, column;
        } moves[] = {{Qt::Key_Down, 2, TypeIncColumn},      {Qt::Key_Up, 0, TypeIncColumn},
                     {Qt::Key_PageDown, 2, TypeIncColumn},  {Qt::Key_PageUp, 0, TypeIncColumn},
                     {Qt::Key_End, 1, GridColumnCount - 1}, {Qt::Key_Home, 1, 0}};
        for (const auto& m : moves) {
            focusCell(1, TypeIncColumn);
            type("24");  // into the box, as a code is typed
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(box));
            press(m.key);
            QCOMPARE(grid()->currentIndex().row(), m.row);
            QCOMPARE(grid()->currentIndex().column(), m.column);
            QVERIFY(!box->view()->isVisible());
            QVERIFY(session_->postPendingEdit());
            QCOMPARE(stored(1, detail::TypeInc), std::string("24"));  // the code typed, not the next one
        }
        QCOMPARE(ui_->messages(), std::vector<std::string>{});

        // Alt+Down and F4 open the list; Escape closes it without a choice, Enter takes one.
        for (const QKeyCombination open : {Qt::AltModifier | Qt::Key_Down, QKeyCombination(Qt::Key_F4)}) {
            focusCell(0, TypeIncColumn);
            box->setFocus();
            QTest::keyClick(box, open.key(), open.keyboardModifiers());
            QTRY_VERIFY(box->view()->isVisible());
            QTest::keyClick(box->view(), Qt::Key_Down);
            QTest::keyClick(box->view(), Qt::Key_Escape);
            QTRY_VERIFY(!box->view()->isVisible());
            QCOMPARE(store().fieldValue(detail::TypeInc), std::string("10"));
        }
        QTest::keyClick(box, Qt::Key_F4);
        QTRY_VERIFY(box->view()->isVisible());
        QTest::keyClick(box->view(), Qt::Key_Down);
        QTest::keyClick(box->view(), Qt::Key_Return);
        QTRY_VERIFY(!box->view()->isVisible());
        QCOMPARE(store().fieldValue(detail::TypeInc), std::string("11"));
    }

    // The keypad's decimal key types the comma in an amount; the full stop stays refused.
    void keypadDecimalKeyTypesTheComma()
    {
        focusCell(0, AkaIncColumn);
        type("12");
        press(Qt::Key_Period, Qt::KeypadModifier);
        type("5");
        press(Qt::Key_Period);
        QCOMPARE(ui_->beeps(), 1);
        // The key that opens the editor too, and a second comma is refused as typed.
        focusCell(0, 12);  // the deductions
        press(Qt::Key_Period, Qt::KeypadModifier);
        type("5");
        press(Qt::Key_Comma, Qt::KeypadModifier);
        QCOMPARE(ui_->beeps(), 2);
        grid()->commitEditor();
        QCOMPARE(store().fieldValue(detail::AkaInc), std::string("12,5"));
        QCOMPARE(store().fieldValue(detail::Kratiseis), std::string(",5"));
        // A text column keeps the full stop.
        focusCell(0, 6);  // the street number
        press(Qt::Key_Period, Qt::KeypadModifier);
        grid()->commitEditor();
        QCOMPARE(store().fieldValue(detail::StreetNo), std::string("."));
    }

    void netPayProposedOnEnteringItsColumn()
    {
        focusCell(0, AkaIncColumn);
        type("1000");
        grid()->moveTo(0, DetailTableModel::ColKratiseis);
        type("1200");
        grid()->moveTo(0, KatharesColumn);
        QCOMPARE(ui_->messages(),
                 std::vector<std::string>{"! Οι Καθαρές Αποδοχές βγαίνουν αρνητικές. Ελέγξτε τα ποσά "
                                          "των διάφορων κρατήσεων καθώς και τις Ακαθάριστες αποδοχές"});
        QCOMPARE(ui_->beeps(), 0);
        QCOMPARE(store().fieldValue(detail::Kathares), std::string("0"));

        // A stored line is put into editing when its net-pay column is entered.
        ui_->clear();
        grid()->cancelEdit();
        addLine("012345670", "ΑΛΦΑ", "1000", "250,5", "749,5");
        focusCell(0, DetailTableModel::ColKratiseis);
        QCOMPARE(store().state(), DataSetState::Browse);
        grid()->moveTo(0, KatharesColumn);
        QCOMPARE(store().state(), DataSetState::EditState);
        QCOMPARE(store().fieldValue(detail::Kathares), std::string("749,5"));
        grid()->moveTo(0, DetailTableModel::ColKratiseis);
        type("300");
        grid()->moveTo(0, KatharesColumn);
        QCOMPARE(store().fieldValue(detail::Kathares), std::string("700"));
        QVERIFY(ui_->messages().empty());
    }

    void navigatorDeleteAsksFirst()
    {
        addLine("012345670", "ΑΛΦΑ", "1000", "0", "1000");
        addLine("111111114", "ΒΗΤΑ", "500", "0", "500");
        QCOMPARE(session_->totals()[0], std::string("1500"));
        QToolButton* del = detail_->recordNavigator()->button(RecordNavigator::nbDelete);
        QVERIFY(del->isEnabled());
        ui_->answers.push_back(Answer::No);
        del->click();
        QCOMPARE(ui_->messages(), std::vector<std::string>{"? Είστε σίγουρος;"});
        QCOMPARE(store().countRecords(), 2L);
        QCOMPARE(session_->totals()[0], std::string("1500"));
        ui_->answers.push_back(Answer::Cancel);  // the box closed without an answer
        del->click();
        QCOMPARE(store().countRecords(), 2L);
        ui_->answers.push_back(Answer::Yes);
        del->click();
        QCOMPARE(store().countRecords(), 1L);
        QCOMPARE(session_->totals()[0], std::string("1000"));
        QCOMPARE(grid()->model()->rowCount(), 1);
    }

    void keyboardInsertEscapeAndCtrlDelete()
    {
        addLine("012345670", "ΑΛΦΑ", "1000", "0", "1000");
        addLine("111111114", "ΒΗΤΑ", "500", "0", "500");
        focusCell(1, 1);
        press(Qt::Key_Insert);
        QCOMPARE(store().state(), DataSetState::InsertState);
        QCOMPARE(store().insertIndex(), 1L);
        QCOMPARE(grid()->currentIndex().row(), 1);
        QCOMPARE(grid()->model()->rowCount(), 3);
        press(Qt::Key_Escape);
        QCOMPARE(grid()->model()->rowCount(), 2);
        QCOMPARE(grid()->currentIndex().row(), 1);

        ui_->answers.push_back(Answer::No);
        press(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(ui_->messages(), std::vector<std::string>{"? Delete record?"});
        QCOMPARE(store().countRecords(), 2L);
        ui_->answers.push_back(Answer::Yes);
        press(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(store().countRecords(), 1L);
        QCOMPARE(stored(0, detail::SurName), G("ΑΛΦΑ"));
    }

    void wheelMovesOneRowPerNotch()
    {
        WheelToArrowKeys hook;
        qApp->installEventFilter(&hook);
        for (const char* afm : {"012345670", "111111114", "098765430", "555555559", "202020209"})
            addLine(afm, "ΑΛΦΑ", "100", "0", "100");
        focusCell(0, 1);
        auto wheel = [](QWidget* over, int delta) {
            const QPoint local = over->rect().center();
            QWheelEvent e(local, over->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
            QApplication::sendEvent(over, &e);
        };
        wheel(grid()->viewport(), -120);
        QCOMPARE(grid()->currentIndex().row(), 1);
        wheel(grid()->viewport(), -120);
        wheel(grid()->viewport(), -120);
        QCOMPARE(grid()->currentIndex().row(), 3);
        QCOMPARE(store().recordNumber(), 4L);
        wheel(grid()->viewport(), 120);
        QCOMPARE(grid()->currentIndex().row(), 2);
        wheel(grid()->viewport(), 60);  // half a notch waits for the other half
        QCOMPARE(grid()->currentIndex().row(), 2);
        wheel(grid()->viewport(), 60);
        QCOMPARE(grid()->currentIndex().row(), 1);
        wheel(grid()->viewport(), 0);
        QCOMPARE(grid()->currentIndex().row(), 1);

        // Report pages keep their own scrolling.
        auto* page = new QTextEdit(window_.get());
        page->setObjectName("pageView");
        page->setGeometry(0, 0, 200, 150);
        page->show();
        wheel(page->viewport(), -120);
        QCOMPARE(grid()->currentIndex().row(), 1);
        qApp->removeEventFilter(&hook);
    }

    void pleaseWaitHidesGridAndNavigator()
    {
        focusCell(0, TypeIncColumn);
        QVERIFY(detail_->lookup()->isVisible());
        detail_->setVisibleForWait(false);
        QVERIFY(!grid()->isVisible());
        QVERIFY(!detail_->navigator()->isVisible());
        QVERIFY(!detail_->lookup()->isVisible());
        detail_->setVisibleForWait(true);
        QVERIFY(grid()->isVisible());
        QVERIFY(detail_->navigator()->isVisible());
        QVERIFY(detail_->lookup()->isVisible());
        QCOMPARE(grid()->currentIndex().column(), TypeIncColumn);
    }

    // Painting reads only the rows on the screen: a million lines show and scroll as
    // quickly as ten. Timed for the report, not asserted.
    void millionLinesShowAndScroll()
    {
        tester_.reset();  // it walks every row
        for (const char* afm : {"012345670", "111111114", "098765430", "555555559", "202020209"})
            addLine(afm, "ΑΛΦΑ", "100", "0", "100");
        QElapsedTimer small;
        small.start();
        grid()->viewport()->repaint();
        const qint64 smallPaint = small.restart();
        for (int i = 0; i < 50; ++i) {
            QTest::keyClick(grid(), Qt::Key_PageDown);
            grid()->viewport()->repaint();
        }
        const qint64 smallPages = small.restart();
        qInfo("5 lines: first paint %lld ms, 50 page-downs painted %lld ms", smallPaint, smallPages);
        store().close();
        const fs::path file = session_->workspaceFiles().record2();
        {
            std::ofstream out(file, std::ios::binary);
            std::string line = "3012345670 " + G("ΠΑΠΑΔΟΠΟΥΛΟΣ      ΓΙΩΡΓΟΣ  ΝΙΚ");
            line.resize(77, ' ');
            line += "101000      0       0      0        1000      0        0        0     0    0  0       0       ";
            for (int i = 0; i < 1000000; ++i) out << line << "\r\n";
        }
        QElapsedTimer t;
        t.start();
        {
            FixedWidthTable bare;  // the same file without a grid
            bare.setSchema(detail::schema());
            bare.setFileName(file);
            bare.open();
        }
        const qint64 bareOpen = t.restart();
        store().open();
        const qint64 open = t.restart();
        qInfo("1,000,000 lines: the store alone opens in %lld ms, with the grid following in %lld ms", bareOpen, open);
        QCOMPARE(grid()->model()->rowCount(), 1000000);
        grid()->viewport()->repaint();
        const qint64 firstPaint = t.restart();
        grid()->setFocus();
        for (int i = 0; i < 50; ++i) {
            QTest::keyClick(grid(), Qt::Key_PageDown);
            grid()->viewport()->repaint();
        }
        const qint64 pages = t.restart();
        QTest::keyClick(grid(), Qt::Key_End, Qt::ControlModifier);
        grid()->viewport()->repaint();
        QCOMPARE(grid()->currentIndex().row(), 999999);
        QCOMPARE(store().recordNumber(), 1000000L);
        const qint64 toEnd = t.restart();
        for (int i = 0; i < 50; ++i) {
            grid()->verticalScrollBar()->setValue(i * 20000);
            grid()->viewport()->repaint();
        }
        const qint64 jumps = t.restart();
        QTest::keyClick(grid(), Qt::Key_Home, Qt::ControlModifier);
        t.restart();
        QTest::keyClick(grid(), Qt::Key_Insert);
        grid()->viewport()->repaint();
        QCOMPARE(grid()->model()->rowCount(), 1000001);
        QTest::keyClick(grid(), Qt::Key_Escape);
        grid()->viewport()->repaint();
        QCOMPARE(grid()->model()->rowCount(), 1000000);
        const qint64 insertAtTop = t.restart();
        qInfo(
            "1,000,000 lines: open %lld ms, first paint %lld ms, 50 page-downs painted %lld ms, "
            "Ctrl+End painted %lld ms, 50 scroll-bar jumps painted %lld ms, insert at the top and give up %lld ms",
            open, firstPaint, pages, toEnd, jumps, insertAtTop);
    }

    void screenshot()
    {
        addLine("012345670", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "18500", "3250,4", "15249,6");
        addLine("111111114", "ΓΕΩΡΓΙΟΥ", "9200", "1500", "7700");
        addLine("098765430", "ΑΝΤΩΝΙΑΔΗΣ", "24000,5", "4100", "19900,5");
        focusCell(1, AkaIncColumn);
        focusCell(1, TypeIncColumn);
        QTest::qWait(50);
        const QString left = QDir::temp().filePath("h6-grid.png");
        QVERIFY(window_->grab(QRect(0, 140, 1009, 260)).save(left));
        focusCell(0, AkaIncColumn);
        grid()->horizontalScrollBar()->setValue(grid()->horizontalScrollBar()->maximum());
        QTest::qWait(50);
        const QString right = QDir::temp().filePath("h6-grid-right.png");
        QVERIFY(window_->grab(QRect(0, 140, 1009, 260)).save(right));
        qInfo("screenshots: %s %s", qPrintable(left), qPrintable(right));
    }
};

QTEST_MAIN(DetailGridTest)
#include "DetailGridTest.moc"
