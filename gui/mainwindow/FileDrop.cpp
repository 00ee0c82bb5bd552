// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/FileDrop.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <cctype>
#include <functional>

namespace edlt::ui {

FileDrop::FileDrop(QWidget& window, std::function<bool()> importAllowed)
    : QObject(&window), importAllowed_(std::move(importAllowed))
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

std::filesystem::path FileDrop::droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
    return std::filesystem::path(QFile::encodeName(data->urls().front().toLocalFile()).toStdString());
}

bool FileDrop::isSheet(const std::filesystem::path& file)
{
    std::string ext = file.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".xls" || ext == ".xlsx" || ext == ".ods" || ext == ".csv";
}

bool FileDrop::acceptable(const QMimeData* data) const
{
    const auto file = droppedFile(data);
    if (file.empty()) return false;
    return !isSheet(file) || importAllowed_();
}

bool FileDrop::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (acceptable(drag->mimeData())) drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!acceptable(drop->mimeData())) return true;
        drop->acceptProposedAction();
        const auto file = droppedFile(drop->mimeData());
        // After the drop has finished: the dragging program is not kept waiting by the work.
        QTimer::singleShot(0, this, [this, file] {
            if (isSheet(file)) emit importRequested(file);
            else
                emit openRequested(file);
        });
        return true;
    }
    default: return false;
    }
}

}  // namespace edlt::ui
