#pragma once
// The main window's size: its designed size while normal (a drag to another size is
// undone), any size when maximised, with the bands, the grid and the totals following the
// client area.
#include <QMainWindow>
#include <QObject>

namespace edlt::ui {

class MainLayout : public QObject {
    Q_OBJECT
public:
    MainLayout(QMainWindow& window, QWidget& client);

    // The designed size changed (a panel shown or hidden).
    void designChanged();
    // Shown at the designed size, centred; maximised where that size does not fit the screen.
    void show();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();

    QMainWindow& window_;
    QWidget& client_;
    QSize design_;
};

}  // namespace edlt::ui
