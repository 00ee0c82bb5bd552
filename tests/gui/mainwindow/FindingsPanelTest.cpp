// SPDX-License-Identifier: GPL-3.0-or-later
// "Έλεγχος δήλωσης" on real widgets: the hint after Open, the panel with each finding once,
// going to each finding's line and cell, a fix taking its finding away, the CSV, and the
// Save As question's default answer.
#include <QApplication>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <set>

#include "core/session/DeclarationCheck.h"
#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/grid/DetailGrid.h"
#include "gui/grid/DetailTableModel.h"
#include "gui/grid/RecordGridView.h"
#include "gui/mainwindow/FindingsPanel.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PleaseWaitDialog.h"
#include "tests/FaultyDeclaration.h"
#include "tests/gui/common/WindowStart.h"

using namespace edlt;
using namespace edlt::ui;

class FindingsPanelTest : public test::MainWindowFixture {
    Q_OBJECT

    FindingsPanel& panel() { return form_->findings(); }
    QTableView* list() { return panel().list(); }
    FixedWidthTable& store() { return form_->session().detailStore(); }

    void activateRow(int viewRow)
    {
        const QRect cell = list()->visualRect(list()->model()->index(viewRow, FindingsModel::ColMessage));
        // The view takes a double-click only on the row the first click pressed.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }

private slots:
    void init() { QVERIFY(openWindow()); }

    void cleanup()
    {
        test::closeMainWindow(form_);
        QVERIFY(MessageBox::answers().empty());
    }

    void theWholePath()
    {
        QAction* check = form_->menuAction(MenuCommand::Check);
        QCOMPARE(check->shortcut(), QKeySequence(Qt::Key_F7));
        QVERIFY(!check->isEnabled());

        test::writeFaultyDeclaration(folder() / "faulty", true);
        FileDialog::setNextFileName(QString::fromStdString((folder() / "faulty").string()));
        form_->menuAction(MenuCommand::Open)->trigger();
        QVERIFY(check->isEnabled());
        QLabel* hint = panel().hint();
        QVERIFY(hint->isVisible());
        QVERIFY(hint->text().contains(QString::fromUtf8("6 γραμμές με προβλήματα")));
        QVERIFY(!panel().isVisible());

        emit hint->linkActivated(QStringLiteral("#findings"));
        QTRY_VERIFY(panel().isVisible());
        QCOMPARE(panel().windowTitle(), QString::fromUtf8("Έλεγχος δήλωσης: 6 γραμμές με προβλήματα, 2 ερωτήσεις"));
        // Each finding once; questions marked apart.
        QCOMPARE(list()->model()->rowCount(), 8);
        std::set<std::pair<QString, QString>> seen;
        int questions = 0;
        for (int r = 0; r < 8; ++r) {
            auto cell = [&](int c) { return list()->model()->index(r, c).data().toString(); };
            QVERIFY(seen.insert({cell(FindingsModel::ColLine), cell(FindingsModel::ColMessage)}).second);
            questions += cell(FindingsModel::ColKind) == QString::fromUtf8("Ερώτηση");
        }
        QCOMPARE(questions, 2);
        QCOMPARE(list()->model()->index(0, FindingsModel::ColLine).data().toString(), QStringLiteral("0"));
        QCOMPARE(list()->model()->index(1, FindingsModel::ColSurName).data().toString(), QString::fromUtf8("ΒΗΤΑ"));
        // For the help page and for looking at: the window with its panel.
        form_->grab().save(QDir::temp().filePath("edlt-findings-panel.png"));

        // Sorting by the line number counts, not text.
        list()->sortByColumn(FindingsModel::ColLine, Qt::DescendingOrder);
        QCOMPARE(list()->model()->index(0, FindingsModel::ColLine).data().toString(), QStringLiteral("7"));
        list()->sortByColumn(FindingsModel::ColLine, Qt::AscendingOrder);

        // Each line's finding leads to its line and the cell it is about.
        for (int r = 1; r < 8; ++r) {
            const CheckFinding& f = panel().model()->finding(panel().modelRow(r));
            activateRow(r);
            QCOMPARE(store().recordNumber(), f.line);
            RecordGridView* grid = form_->detailGrid().grid();
            QCOMPARE(grid->currentIndex().row(), static_cast<int>(f.line - 1));
            QCOMPARE(grid->currentIndex().column(), DetailTableModel::columnOf(f.field));
        }
        // Enter works as a double-click; the declarant's finding goes to its box.
        list()->setFocus();
        list()->selectRow(0);
        QTest::keyClick(list(), Qt::Key_Return);
        QTRY_VERIFY(form_->findChild<QLineEdit*>("CompanyName")->hasFocus());

        // Fixing line 3's net pay takes its finding away, and nothing else.
        store().setRecordNumber(3);
        store().edit();
        store().setFieldValue(detail::Kathares, "800");
        QVERIFY(form_->session().postPendingEdit());
        QTRY_COMPARE(list()->model()->rowCount(), 7);
        QVERIFY(panel().windowTitle().contains(QString::fromUtf8("5 γραμμές με προβλήματα")));
        QVERIFY(hint->text().contains(QString::fromUtf8("5 γραμμές")));

        // The CSV of the list.
        const std::filesystem::path csv = folder() / "list.csv";
        FileDialog::setNextFileName(QString::fromStdString(csv.string()));
        panel().findChild<QPushButton*>("FindingsCsv")->click();
        const std::string bytes = test::readFile(csv);
        QVERIFY(bytes.rfind("\xEF\xBB\xBF", 0) == 0);
        QCOMPARE(std::count(bytes.begin(), bytes.end(), '\n'), 8L);

        // Printing asks for the printer first; cancelling it prints nothing.
        bool asked = false;
        QTimer::singleShot(300, [&asked] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                asked = true;
                box->close();
            }
        });
        panel().findChild<QPushButton*>("FindingsPrint")->click();
        QVERIFY(asked);
    }

    void aLargeDeclarationIsCheckedBesideTheWindow()
    {
        // Open paints the grid without waiting for the check; its hint comes when it is done.
        test::writeFaultyDeclaration(folder() / "large", true, 30000);
        DeclarationChecker& checker = form_->session().checker();
        auto open = [&] {
            // A line stored since the last open is given up.
            if (form_->session().modified()) MessageBox::setNextAnswer(Answer::No);
            FileDialog::setNextFileName(QString::fromStdString((folder() / "large").string()));
            form_->menuAction(MenuCommand::Open)->trigger();
        };
        open();
        QVERIFY(checker.checkingInBackground());
        QVERIFY(form_->detailGrid().grid()->isVisible());
        QVERIFY(!form_->pleaseWaitWindow().isVisible());
        QTRY_VERIFY(panel().hint()->isVisible());
        QVERIFY(panel().hint()->text().contains(QString::fromUtf8("6 γραμμές με προβλήματα")));
        // Clear of the record counter, which takes two lines at this size.
        QVERIFY(!panel().hint()->geometry().intersects(form_->findChild<QWidget*>("recordCounter")->geometry()));

        // A line stored meanwhile stops it; the list is then that of the lines as they are.
        open();
        QVERIFY(checker.checkingInBackground());
        store().setRecordNumber(3);
        store().edit();
        store().setFieldValue(detail::Kathares, "800");
        QVERIFY(form_->session().postPendingEdit());
        QVERIFY(!checker.checkingInBackground());
        QTest::qWait(50);
        QVERIFY(!panel().hint()->isVisible());
        form_->menuAction(MenuCommand::Check)->trigger();
        QTRY_VERIFY(panel().isVisible());
        QCOMPARE(panel().windowTitle(), QString::fromUtf8("Έλεγχος δήλωσης: 5 γραμμές με προβλήματα, 2 ερωτήσεις"));

        // The list asked for while the check runs waits for it.
        open();
        QVERIFY(checker.checkingInBackground());
        form_->menuAction(MenuCommand::Check)->trigger();
        QVERIFY(!checker.checkingInBackground());
        QCOMPARE(panel().windowTitle(), QString::fromUtf8("Έλεγχος δήλωσης: 6 γραμμές με προβλήματα, 2 ερωτήσεις"));
        QCOMPARE(list()->model()->rowCount(), 8);
    }

    void saveQuestionDefaultsToNo()
    {
        // Enter in the question presses "Όχι" (the default); the first button is "Ναι".
        QTimer::singleShot(200, [] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            QTest::keyClick(box, Qt::Key_Return);
        });
        const Answer answer = MessageBox::ask(form_.get(), QString::fromUtf8("Να αποθηκευτεί;"),
                                              mbYes | mbNo | mbDefaultNo,
                                              {QString::fromUtf8("Ναι"), QString::fromUtf8("Όχι")});
        QVERIFY(answer == Answer::No);
    }
};

QTEST_MAIN(FindingsPanelTest)
#include "FindingsPanelTest.moc"
