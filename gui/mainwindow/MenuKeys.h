// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The menus from the keyboard: F10 opens the menu bar's first menu, and the Greek underlined
// letters also answer to the Latin letters on the same keys, so Alt+letter and a letter in
// an open menu work whichever keyboard layout is active.
#include <QObject>
#include <QPointer>

class QMenuBar;

namespace edlt::ui {

class MenuKeys : public QObject {
    Q_OBJECT
public:
    explicit MenuKeys(QMenuBar& bar);
    ~MenuKeys() override;

    // The Greek letter on the key of a Latin letter (standard Greek layout), or a null QChar.
    static QChar greekOnKey(QChar latin);
    // Opens the bar's first menu, as F10 does.
    void openMenuBar();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QMenuBar> bar_;
};

}  // namespace edlt::ui
