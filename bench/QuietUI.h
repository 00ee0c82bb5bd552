// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A UserInterface for benchmarks: never asks anyone (questions answer yes) and remembers
// what was shown, since every operation measured must pass without a message.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/session/UserInterface.h"

namespace edlt::bench {

class QuietUI : public UnattendedUserInterface {
public:
    int shown = 0;     // questions and notices since the last reset
    std::string last;  // the last text shown (Windows-1253)

    Answer askQuestion(const std::string& text, int, const std::vector<std::string>&) override
    {
        note(text);
        return Answer::Yes;
    }
    void showNotice(const std::string& text) override { note(text); }
    void showWarning(const std::string& text) override { note(text); }
    void showError(const std::string& text) override { note(text); }

private:
    void note(const std::string& text)
    {
        ++shown;
        last = text;
    }
};

}  // namespace edlt::bench
