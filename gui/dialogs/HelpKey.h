// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's key preview for F1: whatever Shift, Ctrl or Alt are held, F1 pressed
// anywhere in that window is reported (pressed) instead of reaching the control.
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace edlt::ui {

class F1KeyPreview : public QObject {
    Q_OBJECT
public:
    // Watches the whole application (so it sees keys before any control of the window);
    // lives as a child of window.
    explicit F1KeyPreview(QWidget* window);
    ~F1KeyPreview() override;

signals:
    void pressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
};

}  // namespace edlt::ui
