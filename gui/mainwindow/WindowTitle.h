// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's title: the declaration's file name and the unsaved-work marker. The
// session's modified flag is a plain value, so the title is brought up to date after every
// command and after each input event that may have changed it.
#include <QObject>
#include <QWidget>

#include "core/session/DeclarationSession.h"

namespace edlt::ui {

class WindowTitle : public QObject {
    Q_OBJECT
public:
    WindowTitle(QWidget& window, const DeclarationSession& session);
    void update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    const DeclarationSession& session_;
    bool queued_ = false;
};

}  // namespace edlt::ui
