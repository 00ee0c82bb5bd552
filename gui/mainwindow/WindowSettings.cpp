// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/WindowSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "gui/mainwindow/MainWindow.h"

namespace edlt::ui {

namespace {

QString pathText(const std::filesystem::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

}  // namespace

WindowSettings::WindowSettings(MainWindow& window) : QObject(&window), window_(window)
{
    load();
    auto* fileMenu = window.findChild<QMenu*>("fileMenu");
    QAction* exit = window.menuAction(MenuCommand::Exit);
    for (int i = 0; i < RecentCount; ++i) {
        auto* a = new QAction(&window);
        a->setObjectName(QString("recentFile%1").arg(i + 1));
        connect(a, &QAction::triggered, this, [this, i] {
            if (i < recent_.size()) window_.openRecent(QFile::encodeName(recent_[i]).toStdString());
        });
        fileMenu->insertAction(exit, a);
        recentActions_.push_back(a);
    }
    separator_ = fileMenu->insertSeparator(exit);
    showRecent();
}

QString WindowSettings::fileName()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.config";
    return base + "/edlt/edlt.conf";
}

void WindowSettings::load()
{
    QSettings settings(fileName(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) return;
    // Whatever else a hand or another program put there is left out.
    const QVariant list = settings.value("recent/files");
    for (const QString& file : list.toStringList())
        if (!file.isEmpty() && !recent_.contains(file) && recent_.size() < RecentCount) recent_.append(file);
    geometry_ = settings.value("window/geometry").toByteArray();
}

void WindowSettings::save()
{
    const QString name = fileName();
    const QByteArray folder = QFile::encodeName(QFileInfo(name).absolutePath());
    if (!QDir().mkpath(QString::fromLocal8Bit(folder))) return;
    ::chmod(folder.constData(), 0700);
    {
        // A file that could not be read is written afresh; a new one is private from the start.
        QSettings old(name, QSettings::IniFormat);
        if (old.status() != QSettings::NoError) QFile::remove(name);
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) ::close(fd);
    }
    QSettings settings(name, QSettings::IniFormat);
    settings.setValue("recent/files", recent_);
    if (!geometry_.isEmpty()) settings.setValue("window/geometry", geometry_);
    settings.sync();
    ::chmod(QFile::encodeName(name).constData(), 0600);
}

bool WindowSettings::restoreWindow()
{
    if (geometry_.isEmpty() || !window_.restoreGeometry(geometry_)) return false;
    if (window_.windowState() & Qt::WindowMaximized) window_.showMaximized();
    else
        window_.show();
    return true;
}

void WindowSettings::saveWindow()
{
    geometry_ = window_.saveGeometry();
    save();
}

void WindowSettings::noteDeclarationFile()
{
    const std::filesystem::path& file = window_.session().declarationFile();
    if (file.empty() || file == lastNoted_) return;
    lastNoted_ = file;
    const QString text = pathText(std::filesystem::absolute(file));
    if (!recent_.isEmpty() && recent_.front() == text) return;
    recent_.removeAll(text);
    recent_.prepend(text);
    while (recent_.size() > RecentCount) recent_.removeLast();
    showRecent();
    save();
}

void WindowSettings::showRecent()
{
    for (int i = 0; i < RecentCount; ++i) {
        QAction* a = recentActions_[static_cast<size_t>(i)];
        a->setVisible(i < recent_.size());
        if (i < recent_.size()) {
            QString shown = recent_[i];
            a->setText(QString("&%1 %2").arg(i + 1).arg(shown.replace('&', "&&")));
        }
    }
    separator_->setVisible(!recent_.isEmpty());
}

}  // namespace edlt::ui
