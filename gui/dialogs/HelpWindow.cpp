// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/HelpWindow.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QWebEngineView>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/session/ProgramPaths.h"
#include "gui/common/MessageBox.h"
#include "gui/common/Text.h"
#include "gui/common/WebPrint.h"

namespace edlt::ui {
namespace {

QLabel* topic(QWidget* parent, const char* name, const char* caption, int top)
{
    auto* label = new QLabel(tr8(caption), parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setCursor(Qt::PointingHandCursor);
    // A link the keyboard reaches too: Tab gives it the focus, Enter or Space opens it.
    label->setFocusPolicy(Qt::StrongFocus);
    label->setAccessibleName(label->text());
    label->setAccessibleDescription(tr8("Σύνδεσμος"));
    label->setStyleSheet("QLabel { color:#0a246a; } QLabel:focus { text-decoration: underline; }");
    label->setGeometry(12, top, std::max(170, label->sizeHint().width()), 22);
    return label;
}

}  // namespace

HelpWindow::HelpWindow(const std::filesystem::path& programFolder, QWidget* parent)
    : QDialog(parent), folder_(programFolder)
{
    setObjectName("helpWindow");
    setWindowTitle(tr8("Οδηγίες εφαρμογής"));
    // A window of its own in the task bar: minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(1000, 680);

    auto* prompt = new QLabel(tr8("Επιλέξτε θέμα:"), this);
    prompt->setObjectName("topicPrompt");
    prompt->setGeometry(12, 16, 170, 20);
    setupLink = topic(this, "setupLink", "Οδηγίες εγκατάστασης", 52);
    usageLink = topic(this, "usageLink", "Οδηγίες χρήσης εφαρμογής", 84);
    termsLink = topic(this, "termsLink", "Όροι χρήσης εφαρμογής", 116);
    for (QLabel* l : {setupLink, usageLink, termsLink}) l->installEventFilter(this);

    printButton = new QPushButton(tr8("Εκτύπωση"), this);
    printButton->setObjectName("printButton");
    printButton->setGeometry(12, 160, 145, 41);
    connect(printButton, &QPushButton::clicked, this, &HelpWindow::onPrintClicked);

    helpBrowser = new QWebEngineView(this);
    helpBrowser->setObjectName("helpBrowser");
    // The pane starts after the widest topic.
    int paneLeft = 192;
    for (QLabel* l : {setupLink, usageLink, termsLink}) paneLeft = std::max(paneLeft, l->geometry().right() + 10);
    helpBrowser->setGeometry(paneLeft, 0, width() - paneLeft, height());

    printPage = [this] {
        // A cancelled print dialog is the user's choice, not a failure.
        return printWebPage(helpBrowser, this) != WebPrintResult::Failed;
    };

    if (QScreen* s = QApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
    showSetupPage();
}

QUrl HelpWindow::pageUrl(const char* name) const
{
    const std::filesystem::path page = folder_ / "Help" / name;
    return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(page.string())));
}

void HelpWindow::navigate(const char* name)
{
    page_ = pageUrl(name);
    const std::filesystem::path file = folder_ / "Help" / name;
    int error = 0;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;  // the pane would list the folder
    if (fd >= 0) ::close(fd);
    if (error == 0) {
        helpBrowser->setUrl(page_);
        return;
    }
    // Said in the page's place rather than in a box: F1 reaches here from anywhere.
    const std::string message = error == ENOENT
                                    ? missingDataFileMessage(file)
                                    : format(cp1253::lit("Δεν ήταν δυνατό να ανοίξει η σελίδα βοήθειας (%s: %s)"),
                                             {cp1253::pathText(file), systemErrorText(error)});
    helpBrowser->setHtml(QStringLiteral("<p>%1</p>").arg(fromCp(message).toHtmlEscaped()));
}

void HelpWindow::showSetupPage()
{
    navigate("setup.htm");
}
void HelpWindow::showUsagePage()
{
    navigate("usermanual.htm");
}
void HelpWindow::showTermsPage()
{
    navigate("oroi.htm");
}

void HelpWindow::showRestored()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void HelpWindow::onManualTriggered()
{
    showSetupPage();
    showRestored();
}

void HelpWindow::onHelpKeyPressed()
{
    showUsagePage();
    showRestored();
}

void HelpWindow::onPrintClicked()
{
    const bool ok = printPage && printPage();
    // Whatever happened, the pointer is the ordinary one again.
    unsetCursor();
    if (!ok)
        MessageBox::notice(this,
                           tr8("Υπήρξε ένα πρόβλημα κατά την εκτύπωση. Βεβαιωθείτε ότι έχετε ορίσει κάποιον εκτυπωτή"));
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto opens = [event] {
        if (event->type() == QEvent::MouseButtonRelease)
            return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    };
    if (opens()) {
        if (watched == setupLink) showSetupPage();
        else if (watched == usageLink)
            showUsagePage();
        else if (watched == termsLink)
            showTermsPage();
        // Enter must not go on to the dialog's default button.
        if (event->type() == QEvent::KeyPress) return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace edlt::ui
