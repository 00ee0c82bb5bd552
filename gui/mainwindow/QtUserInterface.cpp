// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/QtUserInterface.h"

#include <QApplication>
#include <QFile>

#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/common/Text.h"

namespace edlt::ui {
namespace {

std::filesystem::path toPath(const QString& name)
{
    return std::filesystem::path(QFile::encodeName(name).toStdString());
}

QString fromPath(const std::filesystem::path& p)
{
    return QFile::decodeName(QByteArray::fromStdString(p.string()));
}

}  // namespace

Answer QtUserInterface::askQuestion(const std::string& text, int buttons, const std::vector<std::string>& captions)
{
    QStringList qcaptions;
    for (const std::string& c : captions) qcaptions << fromCp(c);
    return MessageBox::ask(window_, fromCp(text), buttons, qcaptions);
}

void QtUserInterface::showNotice(const std::string& text)
{
    MessageBox::notice(window_, fromCp(text));
}

void QtUserInterface::showWarning(const std::string& text)
{
    MessageBox::notice(window_, fromCp(text), MessageBox::Kind::Warning);
}

void QtUserInterface::showError(const std::string& text)
{
    // The general error report: the error's own message in a plain box.
    MessageBox::notice(window_, fromCp(text));
}

void QtUserInterface::beep()
{
    ++beeps_;
    QApplication::beep();
}

std::optional<std::filesystem::path> QtUserInterface::chooseFileToOpen(const FileDialogRequest& r)
{
    auto name = FileDialog::open(window_, fromPath(r.folder), fromCp(r.filter), fromCp(r.title));
    if (!name) return std::nullopt;
    return toPath(*name);
}

std::optional<std::filesystem::path> QtUserInterface::chooseFileToSave(const FileDialogRequest& r)
{
    auto name = FileDialog::save(window_, fromPath(r.folder), fromCp(r.proposedName), fromCp(r.filter), fromCp(r.title),
                                 r.fileFolder);
    if (!name) return std::nullopt;
    return toPath(*name);
}

void QtUserInterface::focusHeaderField(HeaderField field)
{
    emit focusHeaderRequested(field);
}

void QtUserInterface::focusDetailLine()
{
    emit focusDetailLineRequested();
}

void QtUserInterface::beginPleaseWait()
{
    emit pleaseWaitChanged(true);
}

void QtUserInterface::endPleaseWait()
{
    emit pleaseWaitChanged(false);
}

void QtUserInterface::pleaseWaitProgress(size_t done, size_t total)
{
    emit progressChanged(done, total);
}

void QtUserInterface::setHourglass(bool on)
{
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++hourglassDepth_;
    } else if (hourglassDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --hourglassDepth_;
    }
}

void QtUserInterface::sessionChanged()
{
    emit stateChanged();
}

}  // namespace edlt::ui
