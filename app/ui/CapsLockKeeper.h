#pragma once
// Caps Lock belongs to the program only while one of its windows other than a file dialog
// is active (file names are case-sensitive); the user's own state comes back when the
// program loses the focus, when a file dialog opens and at every exit, also on SIGTERM,
// SIGINT and a crash. Where the lock cannot be set (Wayland) it is left alone.
#include <QObject>
#include <optional>

namespace edlt::ui {

class TKeyLed;

class CapsLockKeeper : public QObject {
    Q_OBJECT
public:
    explicit CapsLockKeeper(QObject* parent = nullptr);
    ~CapsLockKeeper() override;

    // At exit: the user's state, and no more following.
    void restore();
    // SIGTERM and SIGINT restore the state and then end the program as they would have;
    // a crash signal restores it as far as a dying program can.
    void restoreOnSignals();

private:
    void follow();
    void decide();

    TKeyLed* led_;
    std::optional<bool> userState_;  // set while the program holds the lock on
    bool finished_ = false;
    bool queued_ = false;
};

}  // namespace edlt::ui
