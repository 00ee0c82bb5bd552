// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// KeyboardLocks: reads and sets the keyboard's lock keys. On X11 through XKB; on other
// platforms (Wayland, offscreen) it does nothing, as the lock state is not ours to set.
#include <QObject>
#include <QString>
#include <memory>

namespace edlt::ui {

class KeyboardLocks : public QObject {
    Q_OBJECT
public:
    explicit KeyboardLocks(QObject* parent = nullptr);
    ~KeyboardLocks() override;

    QString about() const { return QStringLiteral("KeyboardLocks: Caps Lock, Num Lock and Scroll Lock"); }
    void setAbout(const QString&) {}
    bool capsLock() const;
    void setCapsLock(bool on);
    bool numLock() const;
    void setNumLock(bool on);
    bool scrollLock() const;
    void setScrollLock(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace edlt::ui
