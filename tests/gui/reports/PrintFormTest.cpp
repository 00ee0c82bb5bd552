// SPDX-License-Identifier: GPL-3.0-or-later
// The print window: its layout, the title and hint each report sets, the printer message,
// and the drawn reports: a 300-line detailed report saved as PDF has the pages of edlt-cli's
// PDF and repeats the column titles; a cancelled or failed PDF leaves no file.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/reports/BackgroundPage.h"
#include "core/reports/ReportPages.h"
#include "core/session/DeclarationSession.h"
#include "core/store/AtomicFile.h"
#include "core/store/DetailRecord.h"
#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/reports/PrintReport.h"
#include "gui/reports/ReportPreview.h"
#include "gui/reports/ReportWindow.h"
#include "render/PdfExport.h"
#include "render/ReportDocument.h"
#include "tests/TestUtil.h"
#include "tests/gui/common/WindowStart.h"
#include "tests/gui/common/WindowUI.h"

using namespace edlt;
using namespace edlt::ui;
namespace fs = std::filesystem;

namespace {

using test::WindowUI;

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}
using test::G;

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
    std::unique_ptr<ReportWindow> form_;

    static HeaderFields header()
    {
        HeaderFields h;
        h.YearOfData = "2025";
        h.AFM = "123456783";
        h.CompanyName = G("ΕΤΑΙΡΕΙΑ ΑΕ");
        return h;
    }

    static std::vector<std::string> detailLines(size_t count)
    {
        std::vector<std::string> rows;
        for (size_t i = 1; i <= count; ++i) rows.push_back(detailLine(i));
        return rows;
    }

    // A session over folder with a declaration file of count lines (folder/decl.txt) open.
    static std::unique_ptr<DeclarationSession> openDeclaration(WindowUI& ui, const fs::path& folder, size_t count)
    {
        fs::create_directories(folder);
        const fs::path declaration = folder / "decl.txt";
        {
            AtomicFileWriter out(declaration, AtomicFileWriter::Durability::ProcessSafe);
            writeDeclarationFile(out, header(), TotalsTexts{}, detailLinesOf(detailLines(count)), "20250101");
            out.commit();
        }
        auto session = std::make_unique<DeclarationSession>(ui, sessionOptions(folder));
        if (!session->start() || !session->openFile(declaration)) return nullptr;
        return session;
    }

    static DeclarationSession::Options sessionOptions(const fs::path& folder)
    {
        DeclarationSession::Options options;
        options.programFolder = folder;
        options.lockWorkspace = false;
        return options;
    }

    QString writePage(const char* name, size_t lines)
    {
        const std::vector<std::string> rows = detailLines(lines);
        TotalsTexts totals;
        totals[0] = "370350";
        const fs::path path = fs::path(dir_.path().toStdString()) / name;
        AtomicFileWriter out(path, AtomicFileWriter::Durability::ProcessSafe);
        reports::writeDetailedPaymentsPage(out, header(), totals, detailLinesOf(rows));
        out.commit();
        return QString::fromStdString(path.string());
    }

    bool waitLoaded()
    {
        QSignalSpy loaded(form_->pageView, &QWebEngineView::loadFinished);
        return loaded.wait(30000) && loaded.first().first().toBool();
    }

private slots:
    void init()
    {
        test::clearPreparedAnswers();
        form_ = std::make_unique<ReportWindow>();
    }
    void cleanup() { form_.reset(); }

    void controlsAndTheirPlaces()
    {
        QCOMPARE(form_->objectName(), QString("reportWindow"));
        QCOMPARE(form_->windowTitle(), u("Εκτύπωση"));
        QCOMPARE(form_->size(), QSize(1000, 672));
        QCOMPARE(form_->minimumSize(), form_->maximumSize());
        QCOMPARE(form_->landscapeHintLabel->text(),
                 u("Για σωστή εκτύπωση επιλέξτε οριζόντιο προσανατολισμό (landscape) "));
        QCOMPARE(form_->landscapeHintLabel->x(), 48);
        QVERIFY(form_->landscapeHintLabel->geometry().bottom() < form_->findChild<QWidget*>("pageView")->y());
        QCOMPARE(form_->pageView->objectName(), QString("pageView"));
        QCOMPARE(form_->pageView->geometry(), QRect(8, 25, 985, 568));
        QCOMPARE(form_->printButton->text(), u("Εκτύπωση"));
        QCOMPARE(form_->printButton->geometry(), QRect(440, 600, 145, 65));
        QCOMPARE(form_->savePdfButton->text(), u("Αποθήκευση PDF"));
        // First in the tab order.
        QCOMPARE(form_->nextInFocusChain(), static_cast<QWidget*>(form_->printButton));
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
        MessageBox::setNextAnswer(Answer::Ok);
        form_->printButton->click();
        QCOMPARE(
            MessageBox::shownTexts(),
            QStringList{u("Υπήρξε ένα πρόβλημα κατά την εκτύπωση. Βεβαιωθείτε ότι έχετε ορίσει κάποιον εκτυπωτή")});
        QVERIFY(form_->isVisible());
        QCOMPARE(form_->cursor().shape(), Qt::ArrowCursor);
        // A second try that works shows nothing more.
        form_->printButton->click();
        QCOMPARE(asked, 2);
        QCOMPARE(MessageBox::shownTexts().size(), 1);
    }

    // A script that got into a page does not run; the form's own style still does.
    void scriptsOfAPageDoNotRun()
    {
        QVERIFY(!form_->pageView->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
        const QString page = dir_.path() + "/script.htm";
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "<html><head><title>quiet</title></head><body><table><tr><td>1</td></tr></table>"
            "<script>document.title = 'ran';</script><img src=x onerror=\"document.title='ran'\"></body></html>");
        file.close();
        form_->loadReport(page, u("Εκτύπωση"), false);
        QVERIFY(waitLoaded());
        QVariant styled;
        form_->pageView->page()->runJavaScript("!!document.getElementById('edlt-form-style')",
                                               QWebEngineScript::ApplicationWorld,
                                               [&styled](const QVariant& v) { styled = v; });
        QTRY_VERIFY(styled.isValid());
        QVERIFY(styled.toBool());
        QCOMPARE(form_->pageView->title(), QString("quiet"));
    }

    void buttonsWaitForThePageAndAPdfNameGetsItsExtension()
    {
        form_->loadReport(writePage("DLT.htm", 1), u("Εκτύπωση"), true);
        QVERIFY(!form_->printButton->isEnabled());
        QVERIFY(!form_->savePdfButton->isEnabled());
        QVERIFY(waitLoaded());
        QVERIFY(form_->printButton->isEnabled());
        QVERIFY(form_->savePdfButton->isEnabled());

        QSignalSpy saved(form_.get(), &ReportWindow::pdfSaved);
        for (const char* name : {"/first", "/first.page"}) {
            FileDialog::setNextFileName(dir_.path() + name);
            form_->savePdfButton->click();
            QVERIFY(saved.wait(60000));
        }
        QVERIFY(QFileInfo::exists(dir_.path() + "/first.pdf"));
        QVERIFY(QFileInfo::exists(dir_.path() + "/first.page"));
    }

    void windowPdfHasTheCommandLinePagesAndRepeatsTheTitles()
    {
        const fs::path folder = fs::path(dir_.path().toStdString()) / "program";
        const fs::path declaration = folder / "decl.txt";
        WindowUI ui;
        const auto opened = openDeclaration(ui, folder, 300);
        QVERIFY(opened);
        DeclarationSession& session = *opened;

        const QString pdf = dir_.path() + "/window.pdf";
        FileDialog::setNextFileName(pdf);
        QTimer::singleShot(0, form_.get(), [&] {
            QVERIFY(form_->preview->isVisible());
            QVERIFY(!form_->pageView->isVisible());
            form_->savePdfButton->click();
            form_->close();
        });
        QVERIFY(printReport(ReportKind::DetailedPayments, session, ui, *form_));
        QVERIFY(MessageBox::shownTexts().isEmpty());
        session.requestClose();

        const QString cliPdf = dir_.path() + "/cli.pdf";
        QProcess cli;
        cli.start(EDLT_CLI_PATH, {"report", "detail", QString::fromStdString(declaration.string()), "--out", cliPdf});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);

        const int pages = pdfPages(pdf);
        QVERIFY(pages >= 3);
        QCOMPARE(pdfPages(cliPdf), pages);
        for (int page = 1; page <= pages; ++page) QCOMPARE(pdfText(pdf, page), pdfText(cliPdf, page));
        const QString first = pdfText(pdf, 1), second = pdfText(pdf, 2), last = pdfText(pdf, pages);
        for (const char* text : {"ΕΤΑΙΡΕΙΑ ΑΕ", "ΣΤΟΙΧΕΙΑ ΥΠΟΧΡΕΟΥ", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "1234,5"})
            QVERIFY2(first.contains(u(text)), qPrintable(u(text) + "\n" + first.left(2000)));
        // Page 2 opens with the issuing authority and the column titles again.
        for (const char* title : {"ΚΕΝΤΡΙΚΗ ΔΙΟΙΚΗΣΗ", "Επώνυμο", "Ακαθάριστες", "Χαρτόσημο", "Διεύθυνση", "αναλογεί"})
            QVERIFY2(second.contains(u(title)), qPrintable(u(title) + "\n" + second.left(2000)));
        QVERIFY(!second.contains(u("ΣΤΟΙΧΕΙΑ ΥΠΟΧΡΕΟΥ")));
        QVERIFY(last.contains(u("ΣΥΝΟΛΟ")) && last.contains(u("370350")));
    }

    // The preview draws the report's first page from the open declaration while its page is
    // still being written; printing waits for the page, and a page that fails closes the
    // window (the command then tells the user), whether or not print was pressed.
    void previewShowsTheReportWhileItsPageIsWritten()
    {
        WindowUI ui;
        const auto session = openDeclaration(ui, fs::path(dir_.path().toStdString()) / "writing", 300);
        QVERIFY(session);
        const struct {
            bool fails, pressPrint;
        } cases[] = {{false, true}, {true, true}, {true, false}};
        for (const auto& c : cases) {
            std::promise<void> gate;
            const std::shared_future<void> opened = gate.get_future().share();
            const bool fails = c.fails;
            auto writing = std::make_shared<BackgroundPage>([opened, fails] {
                opened.wait();
                if (fails) throw Error("no room for the page");
            });
            form_->loadDocument(reports::ReportDocument::forSession(ReportKind::DetailedPayments, *session),
                                dir_.path() + "/DLT.htm", u("Εκτύπωση"), true, writing);
            form_->preview->viewport()->repaint();
            QTest::qWait(250);
            QVERIFY(form_->isVisible() && !writing->finished());
            QCOMPARE(form_->preview->currentPage(), 0);
            const QString pdf = dir_.path() + "/first.pdf";
            QVERIFY(reports::writePdf(*form_->preview->document(), pdf.toStdString(), {}, {0, 0}));
            const QString first = pdfText(pdf, 1);
            QVERIFY2(first.contains("000000001") && first.contains(u("ΠΑΠΑΔΟΠΟΥΛΟΣ")), qPrintable(first.left(2000)));
            QVERIFY(!first.contains("000000300"));

            bool printed = false, printedWhenWritten = false;
            form_->printPage = [&] {
                printed = true;
                printedWhenWritten = writing->finished();
                return true;
            };
            if (c.pressPrint) {
                std::thread release([&gate] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                    gate.set_value();
                });
                form_->printButton->click();
                release.join();
            } else {
                gate.set_value();
            }
            QTRY_COMPARE(form_->isVisible(), !c.fails);
            QCOMPARE(printed, c.pressPrint && !c.fails);
            QCOMPARE(printedWhenWritten, printed);
            QVERIFY(MessageBox::shownTexts().isEmpty());
            form_->hide();
        }
    }

    void cancelledOrFailedPdfLeavesNoFile()
    {
        const std::vector<std::string> rows = detailLines(20000);
        TotalsTexts totals;
        const auto document = std::make_shared<const reports::ReportDocument>(ReportKind::DetailedPayments, header(),
                                                                              totals, detailLinesOf(rows));
        form_->loadDocument(document, dir_.path() + "/DLT.htm", u("Εκτύπωση"), true);
        QSignalSpy saved(form_.get(), &ReportWindow::pdfSaved);

        // Cancelled as soon as the progress window shows: no PDF, no temporary, no message.
        QTemporaryDir target;
        FileDialog::setNextFileName(target.path() + "/cancelled.pdf");
        QTimer::singleShot(0, form_.get(), [&] {
            auto* progress = form_->findChild<QProgressDialog*>("reportProgress");
            QVERIFY(progress);
            QCOMPARE(progress->windowTitle(), u("Δημιουργία PDF"));
            progress->cancel();
        });
        form_->savePdfButton->click();
        QCOMPARE(saved.size(), 1);
        QVERIFY(!saved.first().at(1).toBool());
        QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
        QVERIFY(MessageBox::shownTexts().isEmpty());

        // A folder that is not there, for a drawn report and for the first page's web view.
        const QString missing = dir_.path() + "/no/such/folder/report.pdf";
        const QString expected = u("Δεν ήταν δυνατή η αποθήκευση του αρχείου PDF (") + missing + ": " +
                                 QString::fromStdString(cp1253::toUtf8(systemErrorText(ENOENT))) + ")";
        FileDialog::setNextFileName(missing);
        MessageBox::setNextAnswer(Answer::Ok);
        form_->savePdfButton->click();
        QCOMPARE(MessageBox::shownTexts(), QStringList{expected});

        form_->loadReport(writePage("DLT.htm", 1), u("Εκτύπωση"), true);
        QVERIFY(waitLoaded());
        FileDialog::setNextFileName(missing);
        MessageBox::setNextAnswer(Answer::Ok);
        form_->savePdfButton->click();
        QVERIFY(saved.wait(60000));
        QCOMPARE(MessageBox::shownTexts(), (QStringList{expected, expected}));
        QCOMPARE(saved.size(), 3);
        QVERIFY(form_->savePdfButton->isEnabled());
        QVERIFY(form_->isVisible());
    }

    // The first page of 20,000 lines saved as PDF: Liberation Sans for the page's Arial, and
    // the form's texts whole. EDLT_FIRST_PAGE_PDF keeps a copy to look at.
    void firstPagePdfIsSetInTheFormsFont()
    {
        const fs::path folder = fs::path(dir_.path().toStdString()) / "with-blocks";
        WindowUI ui;
        const auto session = openDeclaration(ui, folder, 20000);
        QVERIFY(session);
        fs::copy(fs::path(EDLT_TEST_DATA) / ".." / ".." / "data" / "Addon", folder / "Addon",
                 fs::copy_options::recursive);

        const QString pdf = dir_.path() + "/first.pdf";
        FileDialog::setNextFileName(pdf);
        QSignalSpy saved(form_.get(), &ReportWindow::pdfSaved);
        QTimer::singleShot(0, form_.get(), [&] {
            QVERIFY(waitLoaded());
            form_->savePdfButton->click();
            QVERIFY(saved.wait(60000));
            form_->close();
        });
        QVERIFY(printReport(ReportKind::FirstPage, *session, ui, *form_));
        session->requestClose();
        QCOMPARE(saved.size(), 1);
        // The name proposed is one a clerk knows, with the declarant's tax number.
        QCOMPARE(QFileInfo(FileDialog::lastProposedPath()).fileName(), u("123456783-1η σελίδα.pdf"));
        if (qEnvironmentVariableIsSet("EDLT_FIRST_PAGE_PDF"))
            QFile::copy(pdf, qEnvironmentVariable("EDLT_FIRST_PAGE_PDF"));

        QProcess fonts;
        fonts.start("pdffonts", {pdf});
        QVERIFY(fonts.waitForFinished(30000));
        const QString fontList = QString::fromUtf8(fonts.readAllStandardOutput());
        QVERIFY2(fontList.contains("LiberationSans"), qPrintable(fontList));
        const QString text = pdfText(pdf, 1);
        for (const char* whole :
             {"Αποδοχές απο 1/1/2025 έως 31/12/2025", "2026", "ΕΤΑΙΡΕΙΑ ΑΕ", "123456783", "24690000"})
            QVERIFY2(text.contains(u(whole)), qPrintable(u(whole) + "\n" + text));
    }

    void menuCommandsShowTheirPagesOrTheMessage()
    {
        const fs::path folder = fs::path(dir_.path().toStdString()) / "program";
        fs::create_directories(folder / "Addon");
        WindowUI ui;
        DeclarationSession session(ui, sessionOptions(folder));
        QVERIFY(session.start());
        session.newDeclaration();
        session.setHeaderText(HeaderField::CompanyName, G("ΕΤΑΙΡΕΙΑ ΑΕ"));
        ui.log.clear();

        QStringList titles;
        QList<bool> hints, drawn;
        auto closeWhenShown = [&] {
            QTimer::singleShot(0, form_.get(), [&] {
                titles << form_->windowTitle();
                hints << form_->landscapeHintLabel->isVisible();
                drawn << (form_->preview->isVisible() && form_->preview->document() != nullptr);
                form_->close();
            });
        };
        closeWhenShown();
        QVERIFY(printReport(ReportKind::DetailedPayments, session, ui, *form_));
        closeWhenShown();
        QVERIFY(printReport(ReportKind::Totals, session, ui, *form_));
        QCOMPARE(titles, (QStringList{u("Εκτύπωση"), u("Εκτύπωση Συνόλων")}));
        QCOMPARE(hints, (QList<bool>{true, false}));
        // Both pages are written and drawn by the window itself; the web view is left for the first page.
        QCOMPARE(drawn, (QList<bool>{true, true}));
        QVERIFY(fs::is_regular_file(folder / "DLT.htm"));
        QVERIFY(!form_->preview->document());  // it read the session's lines, so it ends with the command
        QVERIFY(ui.log.empty());

        // No template blocks in this program folder: the first page cannot be prepared.
        QVERIFY(!printReport(ReportKind::FirstPage, session, ui, *form_));
        QCOMPARE(ui.log, std::vector<std::string>{"! Υπήρξε κάποιο πρόβλημα κατά την προετοιμασία της εκτύπωσης"});
        QVERIFY(!form_->isVisible());
        session.requestClose();
    }
};

QTEST_MAIN(PrintFormTest)
#include "PrintFormTest.moc"
