// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reaching the main window without a mouse: accessible names from the captions beside the
// controls, and Ctrl+Tab / Ctrl+Shift+Tab out of the grid (its Tab moves between cells).
#include <QObject>
#include <QWidget>

namespace edlt::ui {

// Names the header boxes, the totals boxes, the grid and the navigator's buttons after
// their captions (which become their buddies).
void nameControls(QWidget& client);

class GridTabOut : public QObject {
    Q_OBJECT
public:
    GridTabOut(QWidget& grid, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& grid_;
};

}  // namespace edlt::ui
