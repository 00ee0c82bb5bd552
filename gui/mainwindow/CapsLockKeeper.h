// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Caps Lock belongs to the program only while one of its windows other than a file dialog
// is active (file names are case-sensitive); the user's own state comes back when the
// program loses the focus, when a file dialog opens and at every exit, also on SIGTERM,
// SIGINT and a crash. The print, page-setup and printer-properties dialogs count as file
// dialogs (a PDF's path is typed there).
// Where the lock cannot be set (Wayland) it is left alone.
//
// A SIGKILL gives no chance to restore it: the user's state is written to a record in the
// workspace before the lock is switched, and the next start, holding the workspace alone,
// puts back what a dead run's record says.
#include <QObject>
#include <filesystem>
#include <optional>

namespace edlt::ui {

class KeyboardLocks;

class CapsLockKeeper : public QObject {
    Q_OBJECT
public:
    explicit CapsLockKeeper(QObject* parent = nullptr);
    ~CapsLockKeeper() override;

    // Starts following, with the user's state recorded in record (in a workspace this
    // program holds): a record found there is a dead run's, and its state is put back first.
    void attach(std::filesystem::path record);
    // At exit: the user's state, and no more following.
    void restore();
    // Following again after a restore (a close that was cancelled).
    void resume();
    // SIGTERM and SIGINT restore the state and then end the program as they would have;
    // a crash signal restores it as far as a dying program can.
    void restoreOnSignals();

private:
    void follow();
    void decide();
    bool writeRecord(bool userState) const;
    void removeRecord() const;

    KeyboardLocks* locks_;
    std::filesystem::path record_;   // empty until attached: nothing is switched before
    std::optional<bool> userState_;  // set while the program holds the lock on
    bool finished_ = false;
    bool queued_ = false;
};

}  // namespace edlt::ui
