// SPDX-License-Identifier: GPL-3.0-or-later
// The "Επεξεργασία" menu's undo and redo from the keyboard, the grid's line numbers and fixed
// columns, and what the window remembers between runs (recent files, its place) in a
// settings folder of the test's own.
#include <QFile>
#include <QHeaderView>
#include <QMenuBar>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "core/store/DetailRecord.h"
#include "gui/common/MessageBox.h"
#include "gui/grid/DetailGrid.h"
#include "gui/grid/DetailTableModel.h"
#include "gui/grid/FrozenColumns.h"
#include "gui/grid/GridHeaders.h"
#include "gui/grid/RecordGridView.h"
#include "gui/mainwindow/EditMenu.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/WindowSettings.h"
#include "tests/gui/common/Keys.h"
#include "tests/gui/common/WindowStart.h"

using namespace edlt;
using namespace edlt::ui;
using test::press;

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

}  // namespace

class EditAndSettingsWindowTest : public test::MainWindowFixture {
    Q_OBJECT

    QTemporaryDir config_;
    QTemporaryDir files_;  // outlives each test's program folder

    RecordGridView* grid() { return form_->detailGrid().grid(); }
    FixedWidthTable& store() { return form_->session().detailStore(); }
    QAction* undoAction() { return form_->editMenu().undoAction(); }
    QAction* redoAction() { return form_->editMenu().redoAction(); }

    // A new declaration with count stored lines.
    void newDeclarationWithLines(int count)
    {
        MessageBox::setNextAnswer(Answer::Yes);
        form_->menuAction(MenuCommand::New)->trigger();
        DeclarationSession& s = form_->session();
        s.setHeaderText(HeaderField::YearOfData, "2025");
        s.setHeaderText(HeaderField::AFM, "123456783");
        s.setHeaderText(HeaderField::CompanyName, "ETAIREIA");
        for (int i = 0; i < count; ++i) {
            store().appendNew();
            const std::string afm[] = {"012345670", "111111114", "222222228"};
            for (auto [f, v] : {std::pair{detail::AFM, afm[i % 3]},
                                {detail::TypeInc, std::string(i < 3 ? "10" : "11")},
                                {detail::AkaInc, std::string("100")},
                                {detail::Kratiseis, std::string("0")},
                                {detail::Kathares, std::string("100")}})
                store().setFieldValue(f, v);
            QVERIFY(s.postPendingEdit());
        }
        form_->refresh();
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path())); }
    void init() { QVERIFY(openWindow()); }
    void cleanup() { test::closeMainWindow(form_); }

    void undoAndRedoFromTheKeyboard()
    {
        const QList<QAction*> menus = form_->menuBar()->actions();
        QCOMPARE(menus.size() >= 3, true);
        QCOMPARE(menus[1]->text(), U("&Επεξεργασία"));
        QCOMPARE(menus[2], form_->printMenu()->menuAction());
        QVERIFY(!undoAction()->isEnabled());

        newDeclarationWithLines(3);
        QCOMPARE(undoAction()->text(), U("&Αναίρεση: νέα γραμμή"));
        grid()->setFocus();
        QTRY_VERIFY(grid()->hasFocus());
        store().setRecordNumber(2);
        store().deleteRecord();
        form_->refresh();
        QCOMPARE(undoAction()->text(), U("&Αναίρεση: διαγραφή γραμμής"));
        form_->session().setModified(false);
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(store().countRecords(), 3);
        QVERIFY(form_->session().modified());
        QCOMPARE(redoAction()->text(), U("&Επανάληψη: διαγραφή γραμμής"));
        press(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(store().countRecords(), 2);
        press(Qt::Key_Z, Qt::ControlModifier);
        press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(store().countRecords(), 2);

        // A cell being typed: Ctrl+Z takes the line's edit back first, as Esc.
        grid()->moveTo(0, DetailTableModel::ColSurName);
        test::type("XYZ");
        QVERIFY(store().state() == DataSetState::EditState);
        press(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(store().state() == DataSetState::Browse);
        QCOMPARE(store().countRecords(), 2);
        QCOMPARE(QString::fromStdString(store().fieldValueAt(0, detail::SurName)), QString());
        QVERIFY(MessageBox::shownTexts().size() == 1);  // New's question only
    }

    void lineNumbersAndFixedColumns()
    {
        newDeclarationWithLines(3);
        DetailTableModel* model = form_->detailGrid().model();
        QCOMPARE(model->headerData(2, Qt::Vertical, DetailTableModel::LineNumberRole).toInt(), 3);
        QVERIFY(grid()->verticalHeader()->width() > IndicatorHeader::IndicatorWidth);
        // A row being inserted has no number yet; those after it keep theirs.
        store().setRecordNumber(2);
        store().insert();
        QVERIFY(!model->headerData(1, Qt::Vertical, DetailTableModel::LineNumberRole).isValid());
        QCOMPARE(model->headerData(2, Qt::Vertical, DetailTableModel::LineNumberRole).toInt(), 2);
        store().Cancel();

        FrozenColumns* frozen = grid()->frozenColumns();
        QVERIFY(frozen);
        QVERIFY(!frozen->isVisible());  // at the left edge the grid shows them itself
        grid()->horizontalScrollBar()->setValue(grid()->horizontalScrollBar()->maximum());
        QTRY_VERIFY(frozen->isVisible());
        QVERIFY(!frozen->isColumnHidden(DetailTableModel::ColAFM));
        QVERIFY(!frozen->isColumnHidden(DetailTableModel::ColSurName));
        QVERIFY(frozen->isColumnHidden(DetailTableModel::ColName));
        QCOMPARE(frozen->x(), grid()->verticalHeader()->width() + grid()->frameWidth());
        // A click on a fixed column moves the grid's own cursor there.
        const QRect cell = frozen->visualRect(model->index(2, DetailTableModel::ColSurName));
        QTest::mouseClick(frozen->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(store().recordNumber(), 3L);
        QCOMPARE(grid()->currentIndex().column(), int(DetailTableModel::ColSurName));
        QTRY_VERIFY(!frozen->isVisible());
    }

    void aRefusedLineShowsTheFieldItsMessageIsAbout()
    {
        newDeclarationWithLines(1);
        struct Case {
            const char* field;
            detail::Field f;
            const char* value;
            int column;
        };
        for (const Case& c : {Case{"net pay", detail::Kathares, "50", DetailTableModel::ColKathares},
                              Case{"days", detail::Hmeres, "400", DetailTableModel::ColHmeres}}) {
            store().appendNew();
            for (auto [f, v] : {std::pair{detail::AFM, "333333331"},
                                {detail::TypeInc, "10"},
                                {detail::AkaInc, "100"},
                                {detail::Kratiseis, "0"},
                                {detail::Kathares, "100"}})
                store().setFieldValue(f, v);
            store().setFieldValue(c.f, c.value);
            grid()->setFocus();
            MessageBox::setNextAnswer(Answer::Ok);
            grid()->moveTo(0, DetailTableModel::ColAFM);
            QTRY_COMPARE(grid()->currentIndex().column(), c.column);
            QCOMPARE(grid()->currentIndex().row(), 1);
            QVERIFY2(store().state() == DataSetState::InsertState, c.field);
            store().Cancel();
        }
    }

    void recentFilesAndPlaceAreRemembered()
    {
        newDeclarationWithLines(2);
        const std::filesystem::path file = std::filesystem::path(QFile::encodeName(files_.path()).toStdString()) /
                                           "saved-DLT";
        form_->session().writeDeclaration(file);
        QVERIFY(form_->session().openFile(file));
        form_->refresh();
        QAction* first = form_->findChild<QAction*>("recentFile1");
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->text(), "&1 " + QString::fromStdString(file.string()));
        QVERIFY(!form_->findChild<QAction*>("recentFile2")->isVisible());
        form_->move(40, 30);
        QTest::qWait(50);
        const QPoint place = form_->pos();
        test::closeMainWindow(form_);

        const QString conf = WindowSettings::fileName();
        QCOMPARE(conf, config_.path() + "/edlt/edlt.conf");
        QVERIFY(QFile::exists(conf));
        QCOMPARE(std::filesystem::status(conf.toStdString()).permissions() & std::filesystem::perms::all,
                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

        QVERIFY(openWindow());
        form_->hide();
        form_->showAtStart();
        QTRY_COMPARE(form_->pos(), place);
        first = form_->findChild<QAction*>("recentFile1");
        QVERIFY(first->isVisible());
        MessageBox::setNextAnswer(Answer::Cancel);  // none is expected
        first->trigger();
        QCOMPARE(MessageBox::shownTexts(), QStringList());
        QCOMPARE(form_->session().declarationFile(), file);
        QCOMPARE(store().countRecords(), 2);
        test::closeMainWindow(form_);

        // A damaged settings file is passed over.
        {
            std::ofstream damaged(conf.toStdString(), std::ios::binary | std::ios::trunc);
            damaged << "[recent\n\x01\x02 files=@Variant(\\0\\0\\0\\x7f" << std::string(3, '\0');
        }
        QVERIFY(openWindow());
        QVERIFY(!form_->findChild<QAction*>("recentFile1")->isVisible() ||
                !form_->findChild<QAction*>("recentFile1")->text().isEmpty());
        form_->showAtStart();
        QVERIFY(form_->isVisible());
    }
};

QTEST_MAIN(EditAndSettingsWindowTest)
#include "EditAndSettingsWindowTest.moc"
