#include "reports/ui/TPrintForm.h"

#include <cerrno>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QWebEngineView>

#include "app/ui/FileDialog.h"
#include "app/ui/MessageBox.h"
#include "app/ui/Text.h"
#include "reports/ReportCommand.h"
#include "store/AtomicFile.h"
#include "store/Error.h"
#include "tools/ui/WebPrint.h"

namespace edlt::ui {

TPrintForm::TPrintForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("PrintForm");
    setWindowTitle(tr8("Εκτύπωση"));
    // A fixed frame whose title bar has only the close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(1000, 672);
    setModal(true);

    // The print button comes first in the tab order, so it is created first.
    Button1 = new QPushButton(tr8("Εκτύπωση"), this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(440, 600, 145, 65);
    connect(Button1, &QPushButton::clicked, this, &TPrintForm::Button1Click);

    SavePdfButton = new QPushButton(tr8("Αποθήκευση PDF"), this);
    SavePdfButton->setObjectName("SavePdfButton");
    SavePdfButton->setGeometry(600, 600, 145, 65);
    connect(SavePdfButton, &QPushButton::clicked, this, &TPrintForm::SavePdfClick);

    Label1 = new QLabel(tr8("Για σωστή εκτύπωση επιλέξτε οριζόντιο προσανατολισμό (landscape) "), this);
    Label1->setObjectName("Label1");
    Label1->move(48, 8);
    Label1->adjustSize();

    WebBrowser1 = new QWebEngineView(this);
    WebBrowser1->setObjectName("WebBrowser1");
    WebBrowser1->setGeometry(8, 25, 985, 568);
    WebBrowser1->setFocusPolicy(Qt::ClickFocus);
    connect(WebBrowser1, &QWebEngineView::loadFinished, this, &TPrintForm::pageLoaded);

    printPage = [this] {
        // A cancelled print dialog is the user's choice, not a failure.
        return PrintWebPage(WebBrowser1, this) != WebPrintResult::Failed;
    };

    if (QScreen* s = QApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
}

void TPrintForm::loadReport(const QString& pagePath, const QString& title, bool landscapeHint)
{
    // The view would show its own error page for a missing file; the command reports it instead.
    const QFileInfo page(pagePath);
    if (!page.isFile() || !page.isReadable())
        throw Error(format("Cannot open file \"%s\". %s",
                           {toCp(pagePath).value_or(std::string("?")), systemErrorText(ENOENT)}));
    landscape_ = landscapeHint;
    setWindowTitle(title);
    Label1->setVisible(landscapeHint);
    WebBrowser1->setUrl(QUrl::fromLocalFile(page.absoluteFilePath()));
    show();
    Button1->setFocus();
}

void TPrintForm::showReport(const QString& pagePath, const QString& title, bool landscapeHint)
{
    loadReport(pagePath, title, landscapeHint);
    exec();
}

void TPrintForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TPrintForm::pageLoaded(bool ok)
{
    // A page that was on disk but cannot be shown: the same message as a failed preparation.
    if (ok || !isVisible()) return;
    MessageBox::notice(this, fromCp(report_messages::preparationProblem()));
    reject();
}

void TPrintForm::Button1Click()
{
    const bool ok = printPage && printPage();
    // Whatever happened, the pointer is the ordinary one again.
    unsetCursor();
    if (!ok) MessageBox::notice(this, fromCp(report_messages::printProblem()));
}

void TPrintForm::SavePdfClick()
{
    if (pdfBusy_) return;
    const QString proposed = QFileInfo(WebBrowser1->url().toLocalFile()).completeBaseName() + ".pdf";
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    const auto chosen = FileDialog::save(this, folder, proposed, tr8("Αρχεία PDF|*.pdf"), tr8("Αποθήκευση PDF"));
    if (!chosen) return;
    const QString path = *chosen;

    pdfBusy_ = true;
    SavePdfButton->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The wide detailed report fits only across the page, as its hint tells the user.
    const QPageLayout layout(QPageSize(QPageSize::A4), landscape_ ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    WebBrowser1->printToPdf(
        [this, path](const QByteArray& pdf) {
            bool ok = !pdf.isEmpty();
            if (ok) {
                try {
                    writeFileAtomically(std::filesystem::path(QFile::encodeName(path).toStdString()),
                                        std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
                } catch (const Error&) {
                    ok = false;
                }
            }
            QApplication::restoreOverrideCursor();
            SavePdfButton->setEnabled(true);
            pdfBusy_ = false;
            if (!ok) MessageBox::notice(this, tr8("Δεν ήταν δυνατή η αποθήκευση του αρχείου PDF ") + path);
            emit pdfSaved(path, ok);
        },
        layout);
}

}  // namespace edlt::ui
