// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A UserInterface for scenario tests: answers come from a script, and everything shown
// is recorded in order as readable UTF-8 lines.
#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/session/UserInterface.h"

namespace edlt::test {

class ScriptedUI : public UserInterface {
public:
    std::vector<std::string> log;
    std::deque<Answer> answers;
    std::deque<std::optional<std::filesystem::path>> files;
    std::vector<FileDialogRequest> fileRequests;

    Answer askQuestion(const std::string& text, int, const std::vector<std::string>&) override
    {
        log.push_back("? " + cp1253::toUtf8(text));
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << cp1253::toUtf8(text);
            return Answer::Yes;
        }
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void showNotice(const std::string& text) override { log.push_back("! " + cp1253::toUtf8(text)); }
    void showWarning(const std::string& text) override { log.push_back("W " + cp1253::toUtf8(text)); }
    void showError(const std::string& text) override { log.push_back("E " + cp1253::toUtf8(text)); }
    void beep() override { log.push_back("beep"); }
    std::optional<std::filesystem::path> chooseFileToOpen(const FileDialogRequest& r) override { return pick(r); }
    std::optional<std::filesystem::path> chooseFileToSave(const FileDialogRequest& r) override { return pick(r); }
    void focusHeaderField(HeaderField f) override { log.push_back("focus " + std::to_string(static_cast<int>(f))); }
    void focusDetailLine() override { log.push_back("focus line"); }
    void beginPleaseWait() override { log.push_back("wait"); }
    void endPleaseWait() override { log.push_back("/wait"); }
    void setHourglass(bool) override {}

    // The log without beeps and focus moves, for checking messages alone.
    std::vector<std::string> messages() const
    {
        std::vector<std::string> out;
        for (const std::string& l : log)
            if (l != "beep" && l.rfind("focus", 0) != 0 && l != "wait" && l != "/wait") out.push_back(l);
        return out;
    }
    void clear() { log.clear(); }

private:
    std::optional<std::filesystem::path> pick(const FileDialogRequest& r)
    {
        fileRequests.push_back(r);
        if (files.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

}  // namespace edlt::test
