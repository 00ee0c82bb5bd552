// The print window: its layout, the title and hint each report sets, the printer message,
// and a 300-line detailed report saved as PDF whose second page repeats the column headers.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "app/ui/FileDialog.h"
#include "app/ui/MessageBox.h"
#include "reports/ReportPages.h"
#include "reports/ui/PrintReport.h"
#include "reports/ui/TPrintForm.h"
#include "app/DeclarationSession.h"
#include "store/AtomicFile.h"
#include "store/Cp1253.h"
#include "store/DetailRecord.h"
#include "store/Error.h"
#include "tests/LoggingUI.h"

using namespace edlt;
using namespace edlt::ui;
namespace fs = std::filesystem;

namespace {

using test::LoggingUI;

QString u(const char* utf8) { return QString::fromUtf8(utf8); }
std::string G(const char* utf8) { return cp1253::lit(utf8); }

// A workspace line with the fields a report shows.
std::string detailLine(size_t n)
{
    std::string line(detail::RecordSize, ' ');
    auto put = [&line](detail::Field f, const std::string& value) {
        line.replace(static_cast<size_t>(detail::fields[f].offset), value.size(), value);
    };
    const std::string number = std::to_string(n);
    put(detail::RecordType, "3");
    put(detail::AFM, std::string(9 - number.size(), '0') + number);
    put(detail::SurName, G("ΠΑΠΑΔΟΠΟΥΛΟΣ"));
    put(detail::Name, G("ΓΙΩΡΓΟΣ"));
    put(detail::City, G("ΑΘΗΝΑ"));
    put(detail::TypeInc, "10");
    put(detail::AkaInc, "1234,5");
    put(detail::Kathares, "1234,5");
    return line;
}

QString pdfText(const QString& pdf, int page)
{
    QProcess p;
    p.start("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), "-enc", "UTF-8", pdf, "-"});
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& pdf)
{
    QProcess p;
    p.start("pdfinfo", {pdf});
    p.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return 0;
}

}  // namespace

class PrintFormTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<TPrintForm> form_;

    QString writePage(const char* name, size_t lines)
    {
        HeaderFields h;
        h.YearOfData = "2025";
        h.AFM = "123456783";
        h.CompanyName = G("ΕΤΑΙΡΕΙΑ ΑΕ");
        std::vector<std::string> rows;
        for (size_t i = 1; i <= lines; ++i) rows.push_back(detailLine(i));
        TotalsTexts totals;
        totals[0] = "370350";
        const fs::path path = fs::path(dir_.path().toStdString()) / name;
        AtomicFileWriter out(path, AtomicFileWriter::Durability::ProcessSafe);
        reports::WriteDetailedPaymentsPage(out, h, totals, detailLinesOf(rows));
        out.commit();
        return QString::fromStdString(path.string());
    }

    bool waitLoaded()
    {
        QSignalSpy loaded(form_->WebBrowser1, &QWebEngineView::loadFinished);
        return loaded.wait(30000) && loaded.first().first().toBool();
    }

private slots:
    void init()
    {
        MessageBox::clearTestState();
        FileDialog::names().clear();
        form_ = std::make_unique<TPrintForm>();
    }
    void cleanup() { form_.reset(); }

    void builtAsDesigned()
    {
        QCOMPARE(form_->objectName(), QString("PrintForm"));
        QCOMPARE(form_->windowTitle(), u("Εκτύπωση"));
        QCOMPARE(form_->size(), QSize(1000, 672));
        QCOMPARE(form_->minimumSize(), form_->maximumSize());
        QCOMPARE(form_->Label1->text(), u("Για σωστή εκτύπωση επιλέξτε οριζόντιο προσανατολισμό (landscape) "));
        QCOMPARE(form_->Label1->pos(), QPoint(48, 8));
        QCOMPARE(form_->WebBrowser1->objectName(), QString("WebBrowser1"));
        QCOMPARE(form_->WebBrowser1->geometry(), QRect(8, 25, 985, 568));
        QCOMPARE(form_->Button1->text(), u("Εκτύπωση"));
        QCOMPARE(form_->Button1->geometry(), QRect(440, 600, 145, 65));
        QCOMPARE(form_->SavePdfButton->text(), u("Αποθήκευση PDF"));
        // First in the tab order.
        QCOMPARE(form_->nextInFocusChain(), static_cast<QWidget*>(form_->Button1));
        QVERIFY(!(form_->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(form_->windowFlags() & Qt::WindowMinimizeButtonHint));
    }

    void showReportIsModalAndOnlyTheCloseBoxEndsIt()
    {
        const QString page = writePage("DLT.htm", 1);
        bool checked = false;
        QTimer::singleShot(0, form_.get(), [&] {
            QVERIFY(form_->isVisible());
            QVERIFY(form_->isModal());
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(form_.get(), &escape);
            QVERIFY(form_->isVisible());
            checked = true;
            form_->close();
        });
        form_->showReport(page, u("Εκτύπωση"), true);
        QVERIFY(checked);
        QVERIFY(!form_->isVisible());
    }

    void missingPageIsAnError()
    {
        bool thrown = false;
        try {
            form_->showReport(dir_.path() + "/none.htm", u("Εκτύπωση"), false);
        } catch (const Error&) {
            thrown = true;
        }
        QVERIFY(thrown);
        QVERIFY(!form_->isVisible());
    }

    void printFailureShowsTheMessageAndKeepsTheWindow()
    {
        form_->loadReport(writePage("DLT.htm", 1), u("Εκτύπωση"), true);
        QVERIFY(waitLoaded());
        int asked = 0;
        form_->printPage = [&] { return ++asked > 1; };
        MessageBox::setNextAnswer(1);
        form_->Button1->click();
        QCOMPARE(MessageBox::shownTexts(),
                 QStringList{u("Υπήρξε ένα πρόβλημα κατά την εκτύπωση. Βεβαιωθείτε ότι έχετε ορίσει κάποιον εκτυπωτή")});
        QVERIFY(form_->isVisible());
        QCOMPARE(form_->cursor().shape(), Qt::ArrowCursor);
        // A second try that works shows nothing more.
        form_->Button1->click();
        QCOMPARE(asked, 2);
        QCOMPARE(MessageBox::shownTexts().size(), 1);
    }

    void pdfOfALongReportRepeatsTheHeadersOnEveryPage()
    {
        form_->loadReport(writePage("DLT.htm", 300), u("Εκτύπωση"), true);
        QVERIFY(waitLoaded());
        QCOMPARE(form_->WebBrowser1->title(), u("ΟΡΙΣΤΙΚΗ ΔΗΛΩΣΗ ΔΛΤ"));  // the page's code page was honoured
        const QString pdf = dir_.path() + "/report.pdf";
        FileDialog::setNextFileName(pdf);
        QSignalSpy saved(form_.get(), &TPrintForm::pdfSaved);
        form_->SavePdfButton->click();
        QVERIFY(saved.wait(60000));
        QCOMPARE(saved.first().at(0).toString(), pdf);
        QVERIFY(saved.first().at(1).toBool());
        QVERIFY(pdfPages(pdf) >= 3);

        const QString first = pdfText(pdf, 1), second = pdfText(pdf, 2);
        QVERIFY2(first.contains(u("ΕΤΑΙΡΕΙΑ ΑΕ")), qPrintable(first.left(2000)));
        QVERIFY(first.contains(u("ΣΤΟΙΧΕΙΑ ΥΠΟΧΡΕΟΥ")));
        QVERIFY(first.contains(u("ΠΑΠΑΔΟΠΟΥΛΟΣ")));
        // Page 2 opens with the issuing authority and the column headers again.
        for (const char* header : {"ΚΕΝΤΡΙΚΗ ΔΙΟΙΚΗΣΗ", "Επώνυμο", "Ακαθάριστες", "Χαρτόσημο", "Διεύθυνση", "αναλογεί"})
            QVERIFY2(second.contains(u(header)), qPrintable(u(header) + "\n" + second.left(2000)));
        QVERIFY(second.indexOf(u("Επώνυμο")) < second.indexOf(u("ΠΑΠΑΔΟΠΟΥΛΟΣ")));
        QVERIFY(!second.contains(u("ΣΤΟΙΧΕΙΑ ΥΠΟΧΡΕΟΥ")));
        QVERIFY(MessageBox::shownTexts().isEmpty());
    }

    void pdfThatCannotBeWrittenIsReported()
    {
        form_->loadReport(writePage("DLT.htm", 1), u("Εκτύπωση"), true);
        QVERIFY(waitLoaded());
        const QString pdf = dir_.path() + "/no/such/folder/report.pdf";
        FileDialog::setNextFileName(pdf);
        MessageBox::setNextAnswer(1);
        QSignalSpy saved(form_.get(), &TPrintForm::pdfSaved);
        form_->SavePdfButton->click();
        QVERIFY(saved.wait(60000));
        QVERIFY(!saved.first().at(1).toBool());
        QCOMPARE(MessageBox::shownTexts().size(), 1);
        QVERIFY(MessageBox::shownTexts().first().startsWith(u("Δεν ήταν δυνατή η αποθήκευση του αρχείου PDF")));
        QVERIFY(form_->SavePdfButton->isEnabled());
        QVERIFY(form_->isVisible());
    }

    void menuCommandsShowTheirPagesOrTheMessage()
    {
        const fs::path folder = fs::path(dir_.path().toStdString()) / "program";
        fs::create_directories(folder / "Addon");
        LoggingUI ui;
        DeclarationSession::Options options;
        options.programFolder = folder;
        options.lockWorkspace = false;
        DeclarationSession session(ui, options);
        QVERIFY(session.Start());
        session.New();
        session.SetHeaderText(HeaderField::CompanyName, G("ΕΤΑΙΡΕΙΑ ΑΕ"));
        ui.log.clear();

        QStringList titles;
        QList<bool> hints;
        auto closeWhenShown = [&] {
            QTimer::singleShot(0, form_.get(), [&] {
                titles << form_->windowTitle();
                hints << form_->Label1->isVisible();
                form_->close();
            });
        };
        closeWhenShown();
        QVERIFY(PrintReport(ReportKind::DetailedPayments, session, ui, *form_));
        closeWhenShown();
        QVERIFY(PrintReport(ReportKind::Totals, session, ui, *form_));
        QCOMPARE(titles, (QStringList{u("Εκτύπωση"), u("Εκτύπωση Συνόλων")}));
        QCOMPARE(hints, (QList<bool>{true, false}));
        QCOMPARE(form_->WebBrowser1->url().toLocalFile(), QString::fromStdString((folder / "DLT.htm").string()));
        QVERIFY(ui.log.empty());

        // No template blocks in this program folder: the first page cannot be prepared.
        QVERIFY(!PrintReport(ReportKind::FirstPage, session, ui, *form_));
        QCOMPARE(ui.log, std::vector<std::string>{"! Υπήρξε κάποιο πρόβλημα κατά την προετοιμασία της εκτύπωσης"});
        QVERIFY(!form_->isVisible());
        session.RequestClose();
    }

};

QTEST_MAIN(PrintFormTest)
#include "PrintFormTest.moc"
