// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/KeyboardLocks.h"

#include <QGuiApplication>

#ifdef EDLT_HAVE_XKB
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

namespace edlt::ui {

struct KeyboardLocks::Impl {
#ifdef EDLT_HAVE_XKB
    Display* display = nullptr;

    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl()
    {
        if (display) XCloseDisplay(display);
    }
    unsigned modifierMask(KeySym sym) const
    {
        return sym == XK_Caps_Lock ? LockMask : XkbKeysymToModifiers(display, sym);
    }
    bool locked(KeySym sym) const
    {
        if (!display) return false;
        XkbStateRec state;
        if (XkbGetState(display, XkbUseCoreKbd, &state) != Success) return false;
        return (state.locked_mods & modifierMask(sym)) != 0;
    }
    void lock(KeySym sym, bool on)
    {
        if (!display) return;
        unsigned mask = modifierMask(sym);
        if (mask == 0) return;
        // Not checked: Caps Lock is a typing convenience, and a keyboard that refuses it
        // leaves nothing for the user to do.
        XkbLockModifiers(display, XkbUseCoreKbd, mask, on ? mask : 0);
        XFlush(display);
    }
    bool indicator(const char* name) const
    {
        if (!display) return false;
        Bool state = False;
        Atom atom = XInternAtom(display, name, False);
        XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr);
        return state;
    }
    void setIndicator(const char* name, bool on)
    {
        if (!display) return;
        Atom atom = XInternAtom(display, name, False);
        XkbSetNamedIndicator(display, atom, True, on, False, nullptr);
        XFlush(display);
    }
#endif
};

KeyboardLocks::KeyboardLocks(QObject* parent) : QObject(parent), impl_(std::make_unique<Impl>())
{
#ifdef EDLT_HAVE_XKB
    // Only on an X11 session; its own connection keeps this apart from Qt's.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) impl_->display = XOpenDisplay(nullptr);
#endif
}

KeyboardLocks::~KeyboardLocks() = default;

#ifdef EDLT_HAVE_XKB
bool KeyboardLocks::capsLock() const
{
    return impl_->locked(XK_Caps_Lock);
}
void KeyboardLocks::setCapsLock(bool on)
{
    if (capsLock() != on) impl_->lock(XK_Caps_Lock, on);
}
bool KeyboardLocks::numLock() const
{
    return impl_->locked(XK_Num_Lock);
}
void KeyboardLocks::setNumLock(bool on)
{
    if (numLock() != on) impl_->lock(XK_Num_Lock, on);
}
bool KeyboardLocks::scrollLock() const
{
    return impl_->indicator("Scroll Lock");
}
void KeyboardLocks::setScrollLock(bool on)
{
    if (scrollLock() != on) impl_->setIndicator("Scroll Lock", on);
}
#else
bool KeyboardLocks::capsLock() const
{
    return false;
}
void KeyboardLocks::setCapsLock(bool) {}
bool KeyboardLocks::numLock() const
{
    return false;
}
void KeyboardLocks::setNumLock(bool) {}
bool KeyboardLocks::scrollLock() const
{
    return false;
}
void KeyboardLocks::setScrollLock(bool) {}
#endif

}  // namespace edlt::ui
