// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/reports/ReportWindow.h"

#include <cerrno>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <algorithm>

#include "core/base/Error.h"
#include "core/reports/ReportCommand.h"
#include "core/store/AtomicFile.h"
#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/common/Text.h"
#include "gui/common/WebPrint.h"
#include "gui/reports/FormStyle.h"
#include "gui/reports/ReportPreview.h"
#include "render/PdfExport.h"

namespace edlt::ui {

ReportWindow::ReportWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName("reportWindow");
    setWindowTitle(tr8("Εκτύπωση"));
    // A fixed frame whose title bar has only the close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(1000, 672);
    setModal(true);

    // The print button comes first in the tab order, so it is created first.
    printButton = new QPushButton(tr8("Εκτύπωση"), this);
    printButton->setObjectName("printButton");
    printButton->setGeometry(440, 600, 145, 65);
    connect(printButton, &QPushButton::clicked, this, &ReportWindow::onPrintClicked);

    savePdfButton = new QPushButton(tr8("Αποθήκευση PDF"), this);
    savePdfButton->setObjectName("savePdfButton");
    savePdfButton->setGeometry(600, 600, 145, 65);
    connect(savePdfButton, &QPushButton::clicked, this, &ReportWindow::onSavePdfClicked);

    landscapeHintLabel = new QLabel(tr8("Για σωστή εκτύπωση επιλέξτε οριζόντιο προσανατολισμό (landscape) "), this);
    landscapeHintLabel->setObjectName("landscapeHint");
    landscapeHintLabel->adjustSize();
    // Its last pixel row above the page pane, which starts at 25: descenders are not cut.
    landscapeHintLabel->move(48, std::min(8, 24 - landscapeHintLabel->height()));

    pageView = new QWebEngineView(this);
    pageView->setObjectName("pageView");
    pageView->setGeometry(8, 25, 985, 568);
    pageView->setFocusPolicy(Qt::ClickFocus);
    // The pages need no script of their own: one that got into a report value through a
    // gap in its escaping still does not run. The form's style runs in a world of its own.
    pageView->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    addFormStyle(pageView);
    connect(pageView, &QWebEngineView::loadStarted, this, [this] {
        if (!document_) setPageReady(false);
    });
    connect(pageView, &QWebEngineView::loadFinished, this, &ReportWindow::pageLoaded);

    preview = new ReportPreview(this);
    preview->setGeometry(pageView->geometry());
    preview->hide();

    printPage = [this] {
        if (document_) return printDocument();
        // A cancelled print dialog is the user's choice, not a failure.
        return printWebPage(pageView, this) != WebPrintResult::Failed;
    };

    // A page written while its report is shown is looked at a few times a second.
    writingTimer_ = new QTimer(this);
    writingTimer_->setInterval(100);
    connect(writingTimer_, &QTimer::timeout, this, &ReportWindow::checkWriting);

    if (QScreen* s = QApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
}

void ReportWindow::prepare(const QString& pagePath, const QString& title, bool landscapeHint, bool drawn)
{
    pagePath_ = pagePath;
    landscape_ = landscapeHint;
    setWindowTitle(title);
    landscapeHintLabel->setVisible(landscapeHint);
    pageView->setVisible(!drawn);
    preview->setVisible(drawn);
    // A web page prints and saves only once it has loaded whole: earlier, the form comes out cut off.
    setPageReady(drawn);
}

void ReportWindow::setPageReady(bool ready)
{
    printButton->setEnabled(ready);
    savePdfButton->setEnabled(ready && !pdfBusy_);
    if (ready) printButton->setFocus();
}

void ReportWindow::loadReport(const QString& pagePath, const QString& title, bool landscapeHint)
{
    // The view would show its own error page for a missing file; the command reports it instead.
    const QFileInfo page(pagePath);
    if (!page.isFile() || !page.isReadable())
        throw Error(format("Cannot open file \"%s\". %s",
                           {toCp(pagePath).value_or(std::string("?")), systemErrorText(ENOENT)}));
    document_.reset();
    preview->setDocument(nullptr);
    writingTimer_->stop();
    writing_.reset();
    prepare(page.absoluteFilePath(), title, landscapeHint, false);
    pageView->setUrl(QUrl::fromLocalFile(page.absoluteFilePath()));
    show();
    if (printButton->isEnabled()) printButton->setFocus();
}

void ReportWindow::loadDocument(std::shared_ptr<const reports::ReportDocument> document, const QString& pagePath,
                                const QString& title, bool landscapeHint, std::shared_ptr<BackgroundPage> writing)
{
    document_ = std::move(document);
    writing_ = std::move(writing);
    if (writing_) writingTimer_->start();
    else
        writingTimer_->stop();
    prepare(pagePath, title, landscapeHint, true);
    preview->setDocument(document_);
    show();
    if (printButton->isEnabled()) printButton->setFocus();
}

void ReportWindow::showDocument(std::shared_ptr<const reports::ReportDocument> document, const QString& pagePath,
                                const QString& title, bool landscapeHint, std::shared_ptr<BackgroundPage> writing)
{
    loadDocument(std::move(document), pagePath, title, landscapeHint, std::move(writing));
    exec();
    // The document reads the declaration's lines; it must not outlive the command, which
    // also sees the page's writing to its end.
    preview->setDocument(nullptr);
    document_.reset();
    writingTimer_->stop();
    // Closed before the page was whole: the command waits for it, and the pointer says so.
    awaitWriting();
    writing_.reset();
}

void ReportWindow::checkWriting()
{
    if (!writing_ || !writing_->finished()) return;
    writingTimer_->stop();
    // A report whose page could not be written is not left on screen as if it had been.
    if (!writing_->wait()) reject();
}

void ReportWindow::awaitWriting()
{
    if (!writing_ || writing_->finished()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    writing_->wait();
    QApplication::restoreOverrideCursor();
}

bool ReportWindow::pageWritten()
{
    if (!writing_) return true;
    awaitWriting();
    writingTimer_->stop();
    if (writing_->wait()) return true;
    reject();
    return false;
}

void ReportWindow::showReport(const QString& pagePath, const QString& title, bool landscapeHint)
{
    loadReport(pagePath, title, landscapeHint);
    exec();
}

void ReportWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ReportWindow::pageLoaded(bool ok)
{
    if (ok && !document_) setPageReady(true);
    // A page that was on disk but cannot be shown: the same message as a failed preparation.
    if (ok || !isVisible()) return;
    MessageBox::notice(this, fromCp(report_messages::preparationProblem()));
    reject();
}

void ReportWindow::onPrintClicked()
{
    // Printed only once the command has prepared the report whole.
    if (!pageWritten()) return;
    const bool ok = printPage && printPage();
    // Whatever happened, the pointer is the ordinary one again.
    unsetCursor();
    if (!ok) MessageBox::notice(this, fromCp(report_messages::printProblem()));
}

std::function<bool(int, int)> ReportWindow::progressFor(QProgressDialog& dialog)
{
    dialog.setObjectName("reportProgress");
    // Without a title of its own the window would show the program's Latin name.
    if (dialog.windowTitle().isEmpty()) dialog.setWindowTitle(windowTitle());
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setValue(0);
    auto shown = std::make_shared<QElapsedTimer>();
    shown->start();
    // Telling the dialog every page would cost more than drawing it; ten times a second is enough.
    return [&dialog, shown](int done, int total) {
        if (done == 1 || done == total || shown->elapsed() >= 100) {
            dialog.setMaximum(total);
            dialog.setValue(done);
            shown->restart();
        }
        return !dialog.wasCanceled();
    };
}

bool ReportWindow::printDocument()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(document_->pageLayout());
    printer.setFullPage(true);
    // A clerk may print a few pages of a long report: the dialog offers a page range.
    const int pages = document_->pageCount();
    printer.setFromTo(1, pages);
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setMinMax(1, pages);
    if (dialog.exec() != QDialog::Accepted) return true;  // the user's choice, not a failure
    if (!printer.isValid()) return false;
    reports::PageRange range;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0)
        range = {printer.fromPage() - 1, std::max(printer.fromPage(), printer.toPage()) - 1};
    QProgressDialog progress(tr8("Εκτύπωση…"), tr8("Άκυρο"), 0, pages, this);
    progress.setWindowTitle(tr8("Εκτύπωση"));
    try {
        if (!reports::paintPages(*document_, printer, progressFor(progress), range)) printer.abort();
    } catch (const Error&) {
        return false;
    }
    return printer.printerState() != QPrinter::Error;
}

void ReportWindow::onSavePdfClicked()
{
    if (pdfBusy_ || !pageWritten()) return;
    const QString proposed = proposedPdfName_.isEmpty() ? QFileInfo(pagePath_).completeBaseName() + ".pdf"
                                                        : proposedPdfName_;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    const auto chosen = FileDialog::save(this, folder, proposed, tr8("Αρχεία PDF|*.pdf"), tr8("Αποθήκευση PDF"));
    if (!chosen) return;
    // A name typed without an extension gets the one its content has.
    const QString path = QFileInfo(*chosen).suffix().isEmpty() ? *chosen + ".pdf" : *chosen;

    pdfBusy_ = true;
    savePdfButton->setEnabled(false);
    if (document_) saveDocumentPdf(path);
    else
        saveWebPdf(path);
}

void ReportWindow::saveDocumentPdf(const QString& path)
{
    QProgressDialog progress(tr8("Αποθήκευση PDF…"), tr8("Άκυρο"), 0, document_->pageCount(), this);
    progress.setWindowTitle(tr8("Δημιουργία PDF"));
    try {
        const bool written = reports::writePdf(*document_, std::filesystem::path(QFile::encodeName(path).toStdString()),
                                               progressFor(progress));
        // Cancelled: nothing was written and nothing is said.
        pdfFinished(path, written, 0);
    } catch (const reports::PdfFileError& e) {
        pdfFinished(path, false, e.cause);
    }
}

void ReportWindow::saveWebPdf(const QString& path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The wide detailed report fits only across the page, as its hint tells the user.
    const QPageLayout layout(QPageSize(QPageSize::A4), landscape_ ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    pageView->printToPdf(
        [this, path](const QByteArray& pdf) {
            QApplication::restoreOverrideCursor();
            if (pdf.isEmpty()) return pdfFinished(path, false, EIO);
            try {
                errno = 0;
                writeFileAtomically(std::filesystem::path(QFile::encodeName(path).toStdString()),
                                    std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
            } catch (const Error&) {
                // The writer throws right after the failed call, so errno still holds its cause.
                return pdfFinished(path, false, errno ? errno : EIO);
            }
            pdfFinished(path, true, 0);
        },
        layout);
}

void ReportWindow::pdfFinished(const QString& path, bool ok, int cause)
{
    savePdfButton->setEnabled(true);
    pdfBusy_ = false;
    if (cause != 0)
        MessageBox::notice(this, tr8("Δεν ήταν δυνατή η αποθήκευση του αρχείου PDF") + " (" + path + ": " +
                                     fromCp(systemErrorText(cause)) + ")");
    emit pdfSaved(path, ok);
}

}  // namespace edlt::ui
