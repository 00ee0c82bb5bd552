// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/WheelToArrowKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>

namespace edlt::ui {

WheelToArrowKeys::WheelToArrowKeys(QObject* parent) : QObject(parent) {}

bool WheelToArrowKeys::scrollsItself(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w->inherits("QWebEngineView")) return true;
        const QString& name = w->objectName();
        if (name == QLatin1String("pageView") || name == QLatin1String("helpBrowser")) return true;
    }
    return false;
}

bool WheelToArrowKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel) return false;
    // The window system hands the wheel to a window first; it is taken at the widget.
    auto* receiver = qobject_cast<QWidget*>(watched);
    if (!receiver) return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    const QWidget* under = QApplication::widgetAt(wheel->globalPosition().toPoint());
    if (scrollsItself(receiver) || scrollsItself(under)) return false;

    const int delta = wheel->angleDelta().y();
    if (delta == 0) {
        // A sideways wheel scrolls as usual; the start and end marks of a touchpad
        // gesture carry no turn at all and move nothing.
        if (wheel->angleDelta().x() != 0) return false;
        wheel->accept();
        return true;
    }
    if ((delta > 0) != (pending_ > 0)) pending_ = 0;
    pending_ += delta;
    QWidget* target = QApplication::focusWidget();
    while (pending_ >= Notch || pending_ <= -Notch) {
        const bool up = pending_ > 0;
        pending_ += up ? -Notch : Notch;
        if (!target) continue;
        const Qt::Key key = up ? Qt::Key_Up : Qt::Key_Down;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
        target = QApplication::focusWidget();
    }
    wheel->accept();
    return true;
}

}  // namespace edlt::ui
