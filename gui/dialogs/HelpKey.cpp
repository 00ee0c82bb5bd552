// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/HelpKey.h"

#include <QApplication>
#include <QKeyEvent>

namespace edlt::ui {

F1KeyPreview::F1KeyPreview(QWidget* window) : QObject(window), window_(window)
{
    qApp->installEventFilter(this);
}

F1KeyPreview::~F1KeyPreview()
{
    qApp->removeEventFilter(this);
}

bool F1KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) && window_ && watched->isWidgetType() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 && static_cast<QWidget*>(watched)->window() == window_) {
        // Claiming the shortcut stage keeps any control's own F1 (What's This) away.
        if (type == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        emit pressed();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace edlt::ui
