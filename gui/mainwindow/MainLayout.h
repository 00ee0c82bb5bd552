// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's size: fixed while normal (a drag to another size is undone), so the
// controls keep the places users know; any size when maximised, with the bands, the grid
// and the totals following the client area.
#include <QMainWindow>
#include <QObject>

namespace edlt::ui {

class MainLayout : public QObject {
    Q_OBJECT
public:
    MainLayout(QMainWindow& window, QWidget& client);

    // The fixed size changed (a panel shown or hidden).
    void fixedSizeChanged();
    // Shown at the fixed size, centred; maximised where that size does not fit the screen.
    void show();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();

    QMainWindow& window_;
    QWidget& client_;
    QSize fixedSize_;
};

}  // namespace edlt::ui
