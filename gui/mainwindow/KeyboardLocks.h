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

    QString About() const { return QStringLiteral("KeyboardLocks: Caps Lock, Num Lock and Scroll Lock"); }
    void SetAbout(const QString&) {}
    bool CapsLock() const;
    void SetCapsLock(bool on);
    bool NumLock() const;
    void SetNumLock(bool on);
    bool ScrollLock() const;
    void SetScrollLock(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace edlt::ui
