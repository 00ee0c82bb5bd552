#pragma once
// A UserInterface for window tests that drive one dialog: questions answer yes, and
// every text shown is logged in order as "? ", "! ", "W " or "E " and its UTF-8 text.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/UserInterface.h"
#include "base/Cp1253.h"

namespace edlt::test {

class LoggingUI : public UnattendedUserInterface {
public:
    std::vector<std::string> log;
    int AskQuestion(const std::string& text, int, const std::vector<std::string>&) override
    {
        log.push_back("? " + cp1253::toUtf8(text));
        return mrYes;
    }
    void ShowNotice(const std::string& text) override { log.push_back("! " + cp1253::toUtf8(text)); }
    void ShowWarning(const std::string& text) override { log.push_back("W " + cp1253::toUtf8(text)); }
    void ShowError(const std::string& text) override { log.push_back("E " + cp1253::toUtf8(text)); }
};

}  // namespace edlt::test
