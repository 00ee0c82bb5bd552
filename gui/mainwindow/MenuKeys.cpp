// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/MenuKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace edlt::ui {
namespace {

// The underlined letter of a caption, upper case; null when it has none.
QChar mnemonicOf(const QAction* action)
{
    const QString text = action->text();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] != QLatin1Char('&')) return text[i + 1].toUpper();
        ++i;
    }
    return {};
}

QAction* withMnemonic(const QList<QAction*>& actions, QChar letter)
{
    for (QAction* a : actions)
        if (a->isVisible() && !a->isSeparator() && mnemonicOf(a) == letter) return a;
    return nullptr;
}

// The Greek letter a menu answers to for a typed Latin one: only when the Latin letter is
// not underlined there itself.
QChar greekFor(const QList<QAction*>& actions, const QString& typed)
{
    if (typed.size() != 1) return {};
    const QChar latin = typed[0].toUpper();
    const QChar greek = MenuKeys::greekOnKey(latin);
    if (greek.isNull() || withMnemonic(actions, latin) || !withMnemonic(actions, greek)) return {};
    return greek;
}

}  // namespace

MenuKeys::MenuKeys(QMenuBar& bar) : QObject(&bar), bar_(&bar)
{
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar.window());
    f10->setObjectName("menuBarShortcut");
    f10->setContext(Qt::WindowShortcut);
    connect(f10, &QShortcut::activated, this, &MenuKeys::openMenuBar);
    qApp->installEventFilter(this);
}

MenuKeys::~MenuKeys()
{
    qApp->removeEventFilter(this);
}

QChar MenuKeys::greekOnKey(QChar latin)
{
    static const char16_t greek[26] = {u'Α', u'Β', u'Ψ', u'Δ', u'Ε', u'Φ', u'Γ', u'Η', u'Ι', u'Ξ', u'Κ', u'Λ', u'Μ',
                                       u'Ν', u'Ο', u'Π', 0,    u'Ρ', u'Σ', u'Τ', u'Θ', u'Ω', 0,    u'Χ', u'Υ', u'Ζ'};
    const char16_t c = latin.toUpper().unicode();
    if (c < u'A' || c > u'Z') return {};
    const char16_t g = greek[c - u'A'];
    return g ? QChar(g) : QChar();
}

void MenuKeys::openMenuBar()
{
    if (!bar_) return;
    for (QAction* a : bar_->actions())
        if (a->isVisible() && a->isEnabled() && a->menu()) {
            bar_->setActiveAction(a);
            return;
        }
}

bool MenuKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !bar_ || !watched->isWidgetType()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
        // A letter in an open menu.
        if (mods != Qt::NoModifier && mods != Qt::AltModifier) return false;
        const QChar greek = greekFor(menu->actions(), key->text());
        if (greek.isNull()) return false;
        QKeyEvent translated(QEvent::KeyPress, greek.unicode(), Qt::NoModifier, QString(greek));
        QCoreApplication::sendEvent(menu, &translated);
        return true;
    }
    // Alt+letter that no shortcut took, in the bar's window.
    if (mods != Qt::AltModifier || static_cast<QWidget*>(watched)->window() != bar_->window()) return false;
    const QString typed = key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z ? QString(QChar(key->key())) : QString();
    const QChar greek = greekFor(bar_->actions(), typed);
    if (greek.isNull()) return false;
    QAction* menu = withMnemonic(bar_->actions(), greek);
    if (!menu->isEnabled()) return false;
    bar_->setActiveAction(menu);
    return true;
}

}  // namespace edlt::ui
