// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The print window: a modal window whose HTML view shows a report page, with the print
// button and a button that saves the shown page as PDF. One instance lives for the whole
// run; every report sets the page, the title and the landscape hint before showing it.
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "core/reports/BackgroundPage.h"
#include "render/ReportDocument.h"

class QLabel;
class QProgressDialog;
class QPushButton;
class QTimer;
class QWebEngineView;

namespace edlt::ui {

class ReportPreview;

class ReportWindow : public QDialog {
    Q_OBJECT
public:
    explicit ReportWindow(QWidget* parent = nullptr);

    // Navigates to the page, sets the title and the hint, and shows the window modally;
    // returns when the user closes it. Throws edlt::Error when the page cannot be read.
    void showReport(const QString& pagePath, const QString& title, bool landscapeHint);
    // The same without the modal wait (the window is shown and the call returns).
    void loadReport(const QString& pagePath, const QString& title, bool landscapeHint);
    // A drawn report (detailed payments, totals) in the preview instead of the HTML view;
    // pagePath is the page file written for it, which names the proposed PDF. writing, when
    // given, is that page still being written: printing waits for it, and the window closes
    // if it fails (the command then tells the user).
    void showDocument(std::shared_ptr<const reports::ReportDocument> document, const QString& pagePath,
                      const QString& title, bool landscapeHint, std::shared_ptr<BackgroundPage> writing = nullptr);
    void loadDocument(std::shared_ptr<const reports::ReportDocument> document, const QString& pagePath,
                      const QString& title, bool landscapeHint, std::shared_ptr<BackgroundPage> writing = nullptr);

    // The file name "Αποθήκευση PDF" proposes for the next report shown; empty for the
    // page file's own name.
    void setProposedPdfName(const QString& name) { proposedPdfName_ = name; }

    QLabel* landscapeHintLabel = nullptr;
    QWebEngineView* pageView = nullptr;
    ReportPreview* preview = nullptr;    // in pageView's place for drawn reports
    QPushButton* printButton = nullptr;  // "Εκτύπωση"
    QPushButton* savePdfButton = nullptr;

    // Prints the page shown after the user's print dialog; false when it failed. Tests
    // put their own in.
    std::function<bool()> printPage;

    void onPrintClicked();
    void onSavePdfClicked();

protected:
    // Only the close box closes the window.
    void keyPressEvent(QKeyEvent* event) override;

signals:
    // The PDF the user asked for was written (true) or could not be (false).
    void pdfSaved(const QString& path, bool ok);

private:
    void pageLoaded(bool ok);
    // The page being written: closes the window once it has failed (when nothing is busy).
    void checkWriting();
    // Waits for the page being written, if any; false (and the window closing) when it failed.
    bool pageWritten();
    // Waits for the page being written, if any, under the wait cursor.
    void awaitWriting();
    // The print and PDF buttons, enabled once the page can be printed whole.
    void setPageReady(bool ready);
    void prepare(const QString& pagePath, const QString& title, bool landscapeHint, bool drawn);
    bool printDocument();
    void saveDocumentPdf(const QString& path);
    void saveWebPdf(const QString& path);
    void pdfFinished(const QString& path, bool ok, int cause);
    // A progress window with a cancel button for count pages; the callback tells it each page.
    std::function<bool(int, int)> progressFor(QProgressDialog& dialog);

    std::shared_ptr<const reports::ReportDocument> document_;
    std::shared_ptr<BackgroundPage> writing_;
    QTimer* writingTimer_ = nullptr;
    QString pagePath_;
    QString proposedPdfName_;
    bool landscape_ = false;
    bool pdfBusy_ = false;
};

}  // namespace edlt::ui
