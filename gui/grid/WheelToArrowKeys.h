// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// WheelToArrowKeys: the application-wide hook that turns the mouse wheel into the Up and
// Down arrow keys for the control that has the focus, so the wheel moves the grid one
// line per notch. Report and help pages keep their own scrolling. Install it on qApp.
#include <QObject>

class QWidget;

namespace edlt::ui {

class WheelToArrowKeys : public QObject {
    Q_OBJECT
public:
    // One notch of a wheel, in eighths of a degree.
    static constexpr int Notch = 120;

    explicit WheelToArrowKeys(QObject* parent = nullptr);
    // True for a web page view or the report and help browsers, or a widget inside one.
    static bool scrollsItself(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int pending_ = 0;  // turn short of a notch, from fine-grained wheels and touchpads
};

}  // namespace edlt::ui
