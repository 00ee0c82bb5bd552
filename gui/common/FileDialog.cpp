// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QListView>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <algorithm>

namespace edlt::ui {
namespace {

std::optional<QString> scripted()
{
    auto& queue = FileDialog::names();
    if (queue.empty()) return std::nullopt;
    QString name = queue.front();
    queue.pop_front();
    return name;
}

QString& lastFolder()
{
    static QString folder;
    return folder;
}

// The user's Documents folder as xdg-user-dir names it, asked once a run.
QString documentsFolder()
{
    static const QString folder = [] {
        QProcess p;
        p.start(QStringLiteral("xdg-user-dir"), {QStringLiteral("DOCUMENTS")});
        if (!p.waitForFinished(5000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return QString();
        const QString line = QString::fromLocal8Bit(p.readAllStandardOutput()).section('\n', 0, 0);
        return QFileInfo(line).isAbsolute() && QFileInfo(line).isDir() ? line : QString();
    }();
    return folder;
}

std::optional<QString> remembered(std::optional<QString> name)
{
    if (name && !name->isEmpty()) {
        lastFolder() = QFileInfo(*name).absolutePath();
        return name;
    }
    return std::nullopt;
}

// Qt sizes the places list for short English names: "Υπολογιστής" would be cut.
void fitPlaces(QFileDialog& dialog)
{
    auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    if (!places || !places->model()) return;
    int widest = 0;
    for (int row = 0; row < places->model()->rowCount(); ++row)
        widest =
            std::max(widest, places->fontMetrics().horizontalAdvance(places->model()->index(row, 0).data().toString()));
    const int margins = 4 * places->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, places) + 12;
    places->setMinimumWidth(widest + places->iconSize().width() + margins + 2 * places->frameWidth() +
                            places->verticalScrollBar()->sizeHint().width());
}

std::optional<QString> chosen(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return remembered(dialog.selectedUrls().value(0).toLocalFile());
}

}  // namespace

std::unique_ptr<QFileDialog> FileDialog::make(QWidget* parent, const QString& title, const QString& path,
                                              const QString& filter, QFileDialog::AcceptMode mode)
{
    auto dialog = std::make_unique<QFileDialog>(parent, title, path, qtFilter(filter));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog->setFileMode(QFileDialog::ExistingFile);
    } else {
        // The program asks about replacing a file itself, in its own words.
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    }
    fitPlaces(*dialog);
    return dialog;
}

QString FileDialog::qtFilter(const QString& filter)
{
    if (filter.isEmpty()) return {};
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
    QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        if (patterns == "*.*") patterns = "*";
        // Qt lists the patterns after the description itself: a description that already
        // shows them would show them twice.
        QString description = parts[i];
        description.remove(shownPatterns);
        out << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return out.join(";;");
}

QString FileDialog::startFolder(const QString& fallback)
{
    if (!lastFolder().isEmpty() && QFileInfo(lastFolder()).isDir()) return lastFolder();
    if (QString documents = documentsFolder(); !documents.isEmpty()) return documents;
    if (QString home = QDir::homePath(); QFileInfo(home).isDir()) return home;
    return fallback;
}

std::deque<QString>& FileDialog::names()
{
    static std::deque<QString> queue;
    return queue;
}

std::optional<QString> FileDialog::open(QWidget* parent, const QString& folder, const QString& filter,
                                        const QString& title)
{
    if (!names().empty()) return remembered(scripted());
    return chosen(*make(parent, title, startFolder(folder), filter, QFileDialog::AcceptOpen));
}

std::optional<QString> FileDialog::save(QWidget* parent, const QString& folder, const QString& proposedName,
                                        const QString& filter, const QString& title, bool fileFolder)
{
    lastProposedPath() =
        QDir(fileFolder && QFileInfo(folder).isDir() ? folder : startFolder(folder)).filePath(proposedName);
    if (!names().empty()) return remembered(scripted());
    return chosen(*make(parent, title, lastProposedPath(), filter, QFileDialog::AcceptSave));
}

QString& FileDialog::lastProposedPath()
{
    static QString proposed;
    return proposed;
}

}  // namespace edlt::ui
