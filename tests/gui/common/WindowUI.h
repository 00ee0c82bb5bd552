// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user interface of window tests that drive the core without the main window:
// questions are answered from a script (answers, then unscripted once it runs out), every
// text shown is logged in order as "? ", "! ", "W " or "E " and its UTF-8 text, and beeps
// are counted apart from the texts.
#include <deque>
#include <string>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/session/UserInterface.h"

namespace edlt::test {

class WindowUI : public UnattendedUserInterface {
public:
    std::vector<std::string> log;
    std::deque<Answer> answers;
    Answer unscripted = Answer::Yes;

    Answer askQuestion(const std::string& text, int, const std::vector<std::string>&) override
    {
        log.push_back("? " + cp1253::toUtf8(text));
        if (answers.empty()) return unscripted;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void showNotice(const std::string& text) override { log.push_back("! " + cp1253::toUtf8(text)); }
    void showWarning(const std::string& text) override { log.push_back("W " + cp1253::toUtf8(text)); }
    void showError(const std::string& text) override { log.push_back("E " + cp1253::toUtf8(text)); }
    void beep() override { ++beeps_; }

    int beeps() const { return beeps_; }
    const std::vector<std::string>& messages() const { return log; }
    void clear()
    {
        log.clear();
        beeps_ = 0;
    }

private:
    int beeps_ = 0;
};

}  // namespace edlt::test
