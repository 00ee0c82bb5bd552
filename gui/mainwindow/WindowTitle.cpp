// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/WindowTitle.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>

#include "gui/common/Text.h"

namespace edlt::ui {

WindowTitle::WindowTitle(QWidget& window, const DeclarationSession& session)
    : QObject(&window), window_(window), session_(session)
{
    qApp->installEventFilter(this);
    update();
}

void WindowTitle::update()
{
    queued_ = false;
    QString title = tr8("e-ΔΛΤ");
    if (!session_.startPanelVisible()) {
        const auto& file = session_.declarationFile();
        title += tr8(" — ") + (file.empty() ? tr8("Νέα δήλωση") : QFile::decodeName(file.filename().string().c_str())) +
                 QStringLiteral("[*]");
    }
    if (window_.windowTitle() != title) window_.setWindowTitle(title);
    window_.setWindowModified(!session_.startPanelVisible() && session_.modified());
}

bool WindowTitle::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Drop:
        if (!queued_) {
            queued_ = true;
            QTimer::singleShot(0, this, &WindowTitle::update);
        }
        break;
    default: break;
    }
    return false;
}

}  // namespace edlt::ui
