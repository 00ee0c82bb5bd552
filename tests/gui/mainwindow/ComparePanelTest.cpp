// SPDX-License-Identifier: GPL-3.0-or-later
// "Σύγκριση με άλλη δήλωση…" on real widgets: the menu item, the panel with a row for each
// difference and each total, a double-click going to the line in the open declaration, and
// the CSV.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <filesystem>

#include "core/store/AtomicFile.h"
#include "core/store/DeclarationFile.h"
#include "core/store/DetailRecord.h"
#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/mainwindow/ComparePanel.h"
#include "gui/mainwindow/MainWindow.h"
#include "tests/TestUtil.h"
#include "tests/gui/common/WindowStart.h"

using namespace edlt;
using namespace edlt::ui;

class ComparePanelTest : public test::MainWindowFixture {
    Q_OBJECT

    ComparePanel& panel() { return form_->comparison(); }
    QTableView* list() { return panel().list(); }

    // A line of gross 1000 and net 800 under a tax number and a surname.
    static std::string line(const std::string& afm, const char* surname, const char* gross = "1000",
                            const char* net = "800")
    {
        std::string l(detail::RecordSize, ' ');
        l[0] = '3';
        const std::pair<detail::Field, std::string> fields[] = {
            {detail::AFM, afm},      {detail::SurName, test::G(surname)}, {detail::TypeInc, "10"},
            {detail::AkaInc, gross}, {detail::Kratiseis, "200"},          {detail::Kathares, net},
        };
        for (const auto& [f, v] : fields) l.replace(static_cast<size_t>(detail::fields[f].offset), v.size(), v);
        return l;
    }

    std::filesystem::path declaration(const char* name, const std::vector<std::string>& lines)
    {
        HeaderFields h;
        h.YearOfData = "2023";
        h.AFM = "123456783";
        h.CompanyName = test::G("ΑΛΦΑ");
        const std::filesystem::path p = folder() / name;
        AtomicFileWriter w(p);
        writeDeclarationFile(w, h, TotalsTexts{}, detailLinesOf(lines), "20240115");
        w.commit();
        return p;
    }

    void activateRow(int row)
    {
        const QRect cell = list()->visualRect(list()->model()->index(row, ComparisonModel::ColSurName));
        // The view takes a double-click only on the row the first click pressed.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }

    QString cell(int row, int column) { return list()->model()->index(row, column).data().toString(); }

private slots:
    void init() { QVERIFY(openWindow()); }

    void cleanup()
    {
        test::closeMainWindow(form_);
        QVERIFY(MessageBox::answers().empty());
    }

    void comparesListsAndGoesToTheLine()
    {
        QAction* compare = panel().action();
        QCOMPARE(compare->text(), QString::fromUtf8("&Σύγκριση με άλλη δήλωση…"));
        QVERIFY(form_->toolsMenu()->actions().contains(compare));
        QVERIFY(!compare->isEnabled());

        const auto older =
            declaration("old", {line("111111111", "ΑΛΦΑ"), line("222222222", "ΒΗΤΑ"), line("333333333", "ΓΑΜΜΑ")});
        const auto newer = declaration("new", {line("444444444", "ΔΕΛΤΑ"), line("111111111", "ΑΛΦΑ"),
                                               line("555555555", "ΕΨΙΛΟΝ"), line("222222222", "ΒΗΤΑ", "1200", "1000")});
        FileDialog::setNextFileName(QString::fromStdString(newer.string()));
        form_->menuAction(MenuCommand::Open)->trigger();
        QVERIFY(compare->isEnabled());

        FileDialog::setNextFileName(QString::fromStdString(older.string()));
        compare->trigger();
        QTRY_VERIFY(panel().isVisible());
        QCOMPARE(panel().windowTitle(), QString::fromUtf8("Σύγκριση: 1 μόνο στην παλιά, 2 μόνο στη νέα, 1 με αλλαγές"));
        // The four differences, then the nine totals and the two counts.
        QCOMPARE(list()->model()->rowCount(), 4 + 11);
        QCOMPARE(cell(0, ComparisonModel::ColKind), QString::fromUtf8("Μόνο στην παλιά"));
        QCOMPARE(cell(0, ComparisonModel::ColNewLine), QString());
        QCOMPARE(cell(2, ComparisonModel::ColSurName), QString::fromUtf8("ΕΨΙΛΟΝ"));
        QCOMPARE(cell(3, ComparisonModel::ColDetails),
                 QString::fromUtf8("Ακαθάριστες Αποδοχές: 1000 → 1200· Καθαρές Αποδοχές: 800 → 1000"));
        QCOMPARE(cell(4, ComparisonModel::ColDetails), QString::fromUtf8("Ακαθάριστες Αποδοχές: 3000 → 4200, +1200"));

        FixedWidthTable& store = form_->session().detailStore();
        // Each row of a line in the open declaration goes to it; the others stay where they are.
        const std::pair<int, long> rows[] = {{1, 1}, {3, 4}, {2, 3}, {0, 3}, {5, 3}};
        for (const auto& [row, expected] : rows) {
            activateRow(row);
            QCOMPARE(store.recordNumber(), expected);
        }

        // Sorted since the comparison: a row still goes to its line.
        form_->menuAction(MenuCommand::SortBySurname)->trigger();
        activateRow(2);
        QCOMPARE(store.recordNumber(), 4L);

        const auto csv = folder() / "sygkrisi.csv";
        FileDialog::setNextFileName(QString::fromStdString(csv.string()));
        panel().findChild<QPushButton*>("CompareCsv")->click();
        const std::string written = test::readFile(csv);
        QVERIFY(written.rfind("\xEF\xBB\xBF\"Αποτέλεσμα\";", 0) == 0);
        QVERIFY(written.find("\r\n\"Μόνο στη νέα\";;3;\"555555555\";\"10\";\"ΕΨΙΛΟΝ\";;;;\r\n") != std::string::npos);
    }
};

QTEST_MAIN(ComparePanelTest)
#include "ComparePanelTest.moc"
