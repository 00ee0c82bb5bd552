// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Typing as the keyboard does, for window tests: each character is a key press and release
// carrying its text (the key code of its Latin letter or digit, Backspace for "\b").
#include <QApplication>
#include <QtTest>

namespace edlt::test {

inline Qt::Key keyOf(QChar c)
{
    if (c == QChar(8)) return Qt::Key_Backspace;
    return Qt::Key(c.unicode() < 0x80 ? c.toUpper().unicode() : 0);
}

// Into the given widget.
inline void typeInto(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QTest::sendKeyEvent(QTest::KeyAction::Press, w, keyOf(c), QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::KeyAction::Release, w, keyOf(c), QString(c), Qt::NoModifier);
    }
}

// Into whatever has the focus; the release goes where the focus is after the press.
inline void typeChar(QChar c)
{
    QWidget* w = QApplication::focusWidget();
    QVERIFY2(w, "nothing has the focus");
    QTest::sendKeyEvent(QTest::KeyAction::Press, w, keyOf(c), QString(c), Qt::NoModifier);
    if ((w = QApplication::focusWidget()))
        QTest::sendKeyEvent(QTest::KeyAction::Release, w, keyOf(c), QString(c), Qt::NoModifier);
}

inline void type(const QString& text)
{
    for (QChar c : text) typeChar(c);
}

inline void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* w = QApplication::focusWidget();
    QVERIFY2(w, "nothing has the focus");
    QTest::keyClick(w, key, mods);
}

}  // namespace edlt::test
