// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's question and notice boxes: buttons in the fixed order Yes, No, OK,
// Cancel with the captions the caller gives, titled with the application title; the
// close box answers Cancel. Tests pre-answer them with setNextAnswer.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <deque>

#include "core/session/UserInterface.h"

namespace edlt::ui {

class MessageBox {
public:
    enum class Kind { Plain, Warning };

    static Answer ask(QWidget* parent, const QString& text, int buttons, const QStringList& captions,
                      Kind kind = Kind::Plain);
    static void notice(QWidget* parent, const QString& text, Kind kind = Kind::Plain);

    // Test hooks: the next boxes answer these without being shown, and every box's
    // text is remembered in order.
    static void setNextAnswer(Answer answer) { answers().push_back(answer); }
    static QStringList& shownTexts();
    static void clearTestState();
    static std::deque<Answer>& answers();
};

}  // namespace edlt::ui
