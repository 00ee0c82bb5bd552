// SPDX-License-Identifier: GPL-3.0-or-later
// A person's whole path through the main window, on real widgets: start, New, the header
// with its refusals, three lines typed in the grid, totals, sort, Save As, Open, exit.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "core/base/Cp1253.h"
#include "core/import/Sheet.h"
#include "core/session/UserInterface.h"
#include "core/store/DetailRecord.h"
#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/grid/DetailGrid.h"
#include "gui/grid/RecordGridView.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PleaseWaitDialog.h"
#include "tests/gui/common/Keys.h"
#include "tests/gui/common/WindowStart.h"

using namespace edlt;
using namespace edlt::ui;
using test::press;
using test::type;

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

}  // namespace

class MainWindowTest : public test::MainWindowFixture {
    Q_OBJECT

    QLineEdit* box(const char* name) { return form_->findChild<QLineEdit*>(name); }
    RecordGridView* grid() { return form_->detailGrid().grid(); }
    FixedWidthTable& store() { return form_->session().detailStore(); }
    void trigger(MenuCommand command) { form_->menuAction(command)->trigger(); }

    // Leaves a header box by Tab and lets its check run.
    void tabOutOf(QLineEdit* b)
    {
        b->setFocus();
        QTRY_VERIFY(b->hasFocus());
        press(Qt::Key_Tab);
        QTest::qWait(50);
    }

    void fillBox(const char* name, const QString& text)
    {
        QLineEdit* b = box(name);
        b->setFocus();
        QTRY_VERIFY(b->hasFocus());
        b->selectAll();
        type(text);
    }

    void typeLine(int row, const char* afm, const char* surname, const char* type_, const char* gross,
                  const char* deductions)
    {
        grid()->setFocus();
        QTRY_VERIFY(grid()->hasFocus());
        grid()->moveTo(row, 0);
        type(U(afm));
        press(Qt::Key_Tab);
        type(U(surname));
        for (int i = 0; i < 7; ++i) press(Qt::Key_Tab);
        type(U(type_));
        press(Qt::Key_Tab);
        type(U(gross));
        for (int i = 0; i < 3; ++i) press(Qt::Key_Tab);
        type(U(deductions));
        press(Qt::Key_Tab);  // the net pay is proposed here
    }

private slots:
    void init() { QVERIFY(openWindow()); }

    void cleanup()
    {
        test::closeMainWindow(form_);
        QVERIFY(MessageBox::answers().empty());
    }

    void startsWithItsControlsAndNoDeclaration()
    {
        QCOMPARE(form_->windowTitle(), U("e-ΔΛΤ"));
        QCOMPARE(form_->centralWidget()->size(), QSize(1007, 660));
        QVERIFY(form_->findChild<QWidget*>("startPanel")->isVisible());
        QVERIFY(!form_->menuAction(MenuCommand::SaveAs)->isEnabled());
        QVERIFY(!form_->menuAction(MenuCommand::Print)->isEnabled());
        QVERIFY(!form_->menuAction(MenuCommand::Find)->isEnabled());
        QVERIFY(!form_->menuAction(MenuCommand::Import)->isEnabled());
        QVERIFY(!form_->menuAction(MenuCommand::ExportLines)->isEnabled());
        QVERIFY(form_->menuAction(MenuCommand::New)->isEnabled());
        for (const char* name : {"YearOfData", "AFM", "AntikeimenoErgasion", "CompanyName", "Name", "FatherName",
                                 "Town", "Street", "Number", "TK", "grossPayTotal", "ogaTaxDueTotal"})
            QVERIFY2(box(name), name);
        QCOMPARE(box("AFM")->maxLength(), 9);
        QCOMPARE(box("CompanyName")->maxLength(), 18);
        QVERIFY(form_->findChild<QWidget*>("detailGrid"));
        QVERIFY(form_->findChild<QWidget*>("recordNavigator"));
        QVERIFY(form_->findChild<QPushButton*>("sortByTaxNumberButton"));
    }

    void aPersonsWholePath()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::New);
        QCOMPARE(MessageBox::shownTexts().last(), U("Δημιουργία νέου αρχείου;"));
        QVERIFY(!form_->findChild<QWidget*>("startPanel")->isVisible());
        QVERIFY(form_->menuAction(MenuCommand::SaveAs)->isEnabled());
        QTRY_VERIFY(box("YearOfData")->hasFocus());
        QCOMPARE(form_->findChild<QLabel*>("recordCounter")->text(), U("0 Εγγραφές"));

        // A refused year and tax number hold the focus.
        fillBox("YearOfData", "1899");
        MessageBox::setNextAnswer(Answer::Ok);
        tabOutOf(box("YearOfData"));
        QCOMPARE(MessageBox::shownTexts().last(), U("Γράψτε το έτος που αφορούν τα στοιχεία, με τέσσερα ψηφία"));
        QTRY_VERIFY(box("YearOfData")->hasFocus());
        fillBox("YearOfData", "2025");
        fillBox("AFM", "12345678a9");  // the letter is dropped
        QCOMPARE(box("AFM")->text(), U("123456789"));
        MessageBox::setNextAnswer(Answer::Ok);
        tabOutOf(box("AFM"));
        QCOMPARE(MessageBox::shownTexts().last(), U("Λάθος ΑΦΜ Υπόχρεου"));
        QTRY_VERIFY(box("AFM")->hasFocus());
        fillBox("AFM", "123456783");
        QCOMPARE(box("AFM")->text(), U("123456783"));
        tabOutOf(box("AFM"));
        fillBox("CompanyName", U("ΕΤΑΙΡΕΙΑ ΑΕ"));
        QVERIFY(form_->session().modified());

        // Three lines: one refused with its message, one whose question is answered first
        // "Όχι" then "Ναι".
        typeLine(0, "111111114", "ΒΗΤΑ", "10", "1000", "200");
        press(Qt::Key_Down);
        QCOMPARE(store().countRecords(), 1L);
        typeLine(1, "012345670", "ΑΛΦΑ", "10", "500", "0");
        grid()->moveTo(1, 14);  // tax withheld 300 of net 500: above 40 %
        type("300");
        MessageBox::setNextAnswer(Answer::No);
        press(Qt::Key_Down);
        QCOMPARE(MessageBox::shownTexts().last(),
                 U("Ο Φόρος που Παρακρατήθηκε είναι μεγαλύτερος από τον Αναλογούντα Φόρο. Είστε βέβαιος ότι θέλετε να "
                   "συνεχίσετε με την αποθήκευση;"));
        QCOMPARE(store().countRecords(), 1L);
        QCOMPARE(grid()->currentIndex().row(), 1);
        MessageBox::setNextAnswer(Answer::Yes);
        MessageBox::setNextAnswer(Answer::Yes);  // then the 40 % question
        press(Qt::Key_Down);
        QVERIFY(MessageBox::shownTexts().last().contains(U("40%")));
        QCOMPARE(store().countRecords(), 2L);
        typeLine(2, "111111114", "ΓΑΜΜΑ", "10", "10", "0");
        MessageBox::setNextAnswer(Answer::Ok);
        press(Qt::Key_Down);  // the same tax number and income type again
        QVERIFY(MessageBox::shownTexts().last().startsWith(U("Ο ΑΦΜ: 111111114 έχει εισαχθεί 2 φορές")));
        QCOMPARE(store().countRecords(), 2L);
        press(Qt::Key_Escape);
        QCOMPARE(store().state(), DataSetState::Browse);

        QCOMPARE(form_->findChild<QLabel*>("recordCounter")->text(), U("2 Εγγραφές-2 μοναδικοί ΑΦΜ"));
        QCOMPARE(box("grossPayTotal")->text(), U("1500"));
        QCOMPARE(box("netPayTotal")->text(), U("1300"));
        QCOMPARE(box("taxWithheldTotal")->text(), U("300"));

        // Sort by surname: ΑΛΦΑ before ΒΗΤΑ.
        form_->findChild<QPushButton*>("sortBySurnameButton")->click();
        QCOMPARE(store().fieldValueAt(0, detail::SurName), cp1253::lit("ΑΛΦΑ"));

        grid()->setFocus();
        grid()->grab().save(QDir::temp().filePath("edlt-main-window.png"));
        form_->grab().save(QDir::temp().filePath("edlt-main-window-full.png"));

        // Save As, then Open the file again: the same grid and totals.
        const QString saved = dir_->filePath("saved-DLT");
        FileDialog::setNextFileName(saved);
        trigger(MenuCommand::SaveAs);
        QVERIFY(QFile::exists(saved));
        // The next dialog of this run starts where the last name was chosen.
        QCOMPARE(FileDialog::startFolder({}), QFileInfo(saved).absolutePath());
        QVERIFY(!form_->session().modified());
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::New);
        QCOMPARE(store().countRecords(), 0L);
        FileDialog::setNextFileName(saved);
        trigger(MenuCommand::Open);
        QCOMPARE(store().countRecords(), 2L);
        QCOMPARE(box("CompanyName")->text(), U("ΕΤΑΙΡΕΙΑ ΑΕ"));
        QCOMPARE(box("grossPayTotal")->text(), U("1500"));
        QCOMPARE(form_->findChild<QLabel*>("recordCounter")->text(), U("2 Εγγραφές-2 μοναδικοί ΑΦΜ"));
        QCOMPARE(store().fieldValueAt(0, detail::SurName), cp1253::lit("ΑΛΦΑ"));

        // Exit without changes asks nothing; with changes it asks, and "Άκυρο" keeps it open.
        fillBox("Town", U("ΑΘΗΝΑ"));
        MessageBox::setNextAnswer(Answer::Cancel);
        QVERIFY(!form_->close());
        QCOMPARE(MessageBox::shownTexts().last(), U("Έχετε κάνει αλλαγές. Θέλετε να αποθηκευτούν σε αρχείο;"));
        MessageBox::setNextAnswer(Answer::No);
        QVERIFY(form_->close());
        QVERIFY(!std::filesystem::exists(folder() / "temp"));
        form_.reset();
    }

    void exitWithoutChangesAsksNothing()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::New);
        const auto shown = static_cast<int>(MessageBox::shownTexts().size());
        QVERIFY(form_->close());
        QCOMPARE(MessageBox::shownTexts().size(), shown);
        form_.reset();
    }

    void radioButtonsSwitchTheNameBoxes()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::New);
        QVERIFY(!box("Name")->isVisible());
        form_->findChild<QRadioButton*>("personRadio")->click();
        QVERIFY(box("Name")->isVisible());
        QCOMPARE(form_->findChild<QLabel*>("companyNameLabel")->text(), U("Επωνυμο: (*)"));
        fillBox("Name", U("ΓΙΑΝΝΗΣ"));
        form_->findChild<QRadioButton*>("businessRadio")->click();
        QVERIFY(!box("Name")->isVisible());
        QCOMPARE(box("Name")->text(), U("ΓΙΑΝΝΗΣ"));
    }

    void importThroughTheMenu()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::New);
        // Many rows reach the grid at once, not one by one.
        QFile csv(dir_->filePath("sheet.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        const int rows = 20000;
        for (int i = 0; i < rows; ++i) {
            const int base = 10000000 + i * 37;
            QString digits = QString::number(base);
            int sum = 0;
            for (int k = 0; k < 8; ++k) sum += digits[k].digitValue() << (8 - k);
            digits += QString::number(sum % 11 % 10);
            csv.write(QString("%1;ΠΑΠΑΣ;;;;;;;10;1000;0;0;100;900;0;0;;5;0;0\r\n").arg(digits).toUtf8());
        }
        csv.close();
        FileDialog::setNextFileName(csv.fileName());
        QElapsedTimer timer;
        timer.start();
        trigger(MenuCommand::Import);
        qInfo("imported %d rows through the window in %lld ms", rows, static_cast<long long>(timer.elapsed()));
        QCOMPARE(store().countRecords(), long(rows));
        QCOMPARE(grid()->model()->rowCount(), rows);
        QCOMPARE(box("grossPayTotal")->text(), QString::number(rows * 1000));
        QVERIFY(form_->session().modified());
        // And out again: a bare name becomes .xlsx, and an existing sheet is kept on "Όχι".
        FileDialog::setNextFileName(dir_->filePath("lines"));
        trigger(MenuCommand::ExportLines);
        const std::filesystem::path sheet = dir_->filePath("lines.xlsx").toStdString();
        QCOMPARE(edlt::sheet::readSpreadsheet(sheet).block.rows, size_t(rows));
        const auto written = std::filesystem::last_write_time(sheet);
        FileDialog::setNextFileName(dir_->filePath("lines.xlsx"));
        MessageBox::setNextAnswer(Answer::No);
        trigger(MenuCommand::ExportLines);
        QCOMPARE(std::filesystem::last_write_time(sheet), written);
    }

    void importAsksAboutAHiddenFirstSheet()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::New);
        const QString causes = QString(EDLT_TEST_DATA) + "/sheets/causes/";
        // Όχι, the default: this year's line from the visible second sheet.
        MessageBox::clearTestState();
        MessageBox::setNextAnswer(Answer::No);
        FileDialog::setNextFileName(causes + "hidden-first.xlsx");
        trigger(MenuCommand::Import);
        QCOMPARE(MessageBox::shownTexts(),
                 QStringList{U("Το πρώτο φύλλο «2023» είναι κρυφό. Να εισαχθούν τα στοιχεία του;")});
        QCOMPARE(store().countRecords(), 1L);
        QCOMPARE(QString::fromStdString(store().fieldValueAt(0, detail::AFM)), U("111111114"));
    }

    void aLineACommandCannotStoreKeepsTheFocusOnItsCell()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::New);
        store().appendNew();
        for (auto [field, value] : {std::pair{"AFM", "012345670"},
                                    {"TypeInc", "10"},
                                    {"AkaInc", "12.5"},
                                    {"Kratiseis", "0"},
                                    {"Kathares", "12"}})
            store().setFieldValue(field, value);
        const QModelIndex cell = grid()->currentIndex();
        MessageBox::setNextAnswer(Answer::Ok);
        QTest::mouseClick(form_->findChild<QPushButton*>("sortByTaxNumberButton"), Qt::LeftButton);
        QCOMPARE(MessageBox::shownTexts().last(), U("'12.5' is not a valid floating point value"));
        QCOMPARE(store().state(), DataSetState::InsertState);
        QTRY_VERIFY(grid()->hasFocus());
        QCOMPARE(grid()->currentIndex(), cell);
        store().Cancel();
    }

    void theHeaderCheckAClickQueuedWaitsForItsCommand()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::New);
        QLineEdit* year = box("YearOfData");
        year->setFocus();
        QTRY_VERIFY(year->hasFocus());
        // What had been shown when the please-wait window went, and whether its label was painted.
        struct Watch : QObject {
            QWidget* label;
            bool painted = false;
            qsizetype shownAtEnd = -1;
            explicit Watch(QWidget* l) : label(l) {}
            bool eventFilter(QObject* o, QEvent* e) override
            {
                if (o == label && e->type() == QEvent::Paint) painted = true;
                if (o != label && e->type() == QEvent::Hide) shownAtEnd = MessageBox::shownTexts().size();
                return false;
            }
        } watch(form_->pleaseWaitWindow().findChild<QLabel*>("pleaseWaitText"));
        form_->pleaseWaitWindow().installEventFilter(&watch);
        watch.label->installEventFilter(&watch);
        const qsizetype before = MessageBox::shownTexts().size();
        MessageBox::setNextAnswer(Answer::Ok);
        QTest::mouseClick(form_->findChild<QPushButton*>("sortByTaxNumberButton"), Qt::LeftButton);
        QVERIFY(watch.painted);
        QVERIFY(form_->pleaseWaitWindow().rect().contains(watch.label->geometry()));
        QCOMPARE(watch.shownAtEnd, before);
        QTRY_COMPARE(MessageBox::shownTexts().size(), before + 1);
        QCOMPARE(MessageBox::shownTexts().last(), U("Γράψτε το έτος που αφορούν τα στοιχεία, με τέσσερα ψηφία"));

        // Long work shows a bar below the label; it goes with the window.
        PleaseWaitDialog& pleaseWait = form_->pleaseWaitWindow();
        auto* bar = pleaseWait.findChild<QProgressBar*>("progressBar");
        pleaseWait.showNow();
        pleaseWait.setProgress(1, 4);
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->value(), 25);
        QVERIFY(pleaseWait.rect().contains(bar->geometry()));
        pleaseWait.hide();
        QVERIFY(bar->isHidden());
    }

    void aFileWithAnAmountThatIsNotANumberOpensToBeFixed()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::New);
        for (const char* afm : {"012345670", "111111114"}) {
            store().appendNew();
            for (auto [field, value] :
                 {std::pair{"AFM", afm}, {"TypeInc", "10"}, {"AkaInc", "10"}, {"Kratiseis", "0"}, {"Kathares", "10"}})
                store().setFieldValue(field, value);
            store().post();
        }
        QCOMPARE(box("grossPayTotal")->text(), U("20"));
        const std::filesystem::path file = folder() / "bad";
        form_->session().writeDeclaration(file);
        std::string bytes;
        {
            std::ifstream in(file, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        bytes.replace(4 * 172 + 79, 10, "00001x0000");  // the second line's gross
        std::ofstream(file, std::ios::binary) << bytes;

        FileDialog::setNextFileName(QString::fromStdString(file.string()));
        MessageBox::setNextAnswer(Answer::No);  // the two lines typed are given up
        MessageBox::setNextAnswer(Answer::Ok);
        trigger(MenuCommand::Open);
        QCOMPARE(MessageBox::shownTexts().last(), U("Γραμμή 2: '00001x0000' is not a valid floating point value"));
        QVERIFY(!form_->findChild<QWidget*>("startPanel")->isVisible());
        QVERIFY(form_->menuAction(MenuCommand::SaveAs)->isEnabled());
        QCOMPARE(store().countRecords(), 2L);
        QCOMPARE(box("grossPayTotal")->text(), QString());
        QCOMPARE(form_->findChild<QLabel*>("recordCounter")->text(), U("2 Εγγραφές"));
    }

    void totalsBoxesBeepAndKeepTheirText()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        trigger(MenuCommand::New);
        QLineEdit* e = box("grossPayTotal");
        e->setFocus();
        QTest::keyClicks(e, "12");
        QCOMPARE(e->text(), QString());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
