#pragma once
// The main window's key preview for F1: whatever Shift, Ctrl or Alt are held, F1 pressed
// anywhere in that window runs the help action instead of reaching the control.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace edlt::ui {

class F1KeyPreview : public QObject {
    Q_OBJECT
public:
    // Watches the whole application (so it sees keys before any control of the window);
    // lives as a child of window.
    F1KeyPreview(QWidget* window, std::function<void()> onF1);
    ~F1KeyPreview() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    std::function<void()> onF1_;
};

}  // namespace edlt::ui
