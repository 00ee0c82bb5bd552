// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the declaration session shows or asks goes through this interface: the
// window implements it with widgets, the command line prints, tests script the answers.
// All texts are Windows-1253.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/store/HeaderFields.h"

namespace edlt {

// The button a question was answered with.
enum class Answer { Ok, Cancel, Yes, No };
// Button kinds, combined as a mask; shown in this fixed order: Yes, No, OK, Cancel.
enum ButtonKind { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
// Not a button: No is the default instead of Yes (a question whose yes loses work).
constexpr int mbDefaultNo = 16;

struct FileDialogRequest {
    std::filesystem::path folder;  // where the dialog starts
    std::string filter;            // "*.*|*.*" style, pairs of description|pattern
    std::string proposedName;      // Windows-1253; empty for none
    std::string title;             // Windows-1253; empty for the standard title
    // The folder is the file's own (Save As of an opened file): the dialog starts there, not
    // in the folder last used.
    bool fileFolder = false;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A modal question titled with the application title; returns the button pressed,
    // Cancel when the box was closed without a button.
    virtual Answer askQuestion(const std::string& text, int buttons, const std::vector<std::string>& captions) = 0;
    // A notice with the one button OK.
    virtual void showNotice(const std::string& text) = 0;
    // The warning kind of notice (the find command's).
    virtual void showWarning(const std::string& text) = 0;
    // The general error report: a command ended on an error nobody caught.
    virtual void showError(const std::string& text) = 0;
    virtual void beep() = 0;

    virtual std::optional<std::filesystem::path> chooseFileToOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<std::filesystem::path> chooseFileToSave(const FileDialogRequest& request) = 0;

    virtual void focusHeaderField(HeaderField field) = 0;
    // Back to the cell of the detail line being edited, after a command could not store it.
    virtual void focusDetailLine() {}
    // To the field (its index in the detail record) a refused line's message is about.
    virtual void focusDetailField(int /*field*/) {}

    // The please-wait protocol: hourglass, grid and navigator hidden, please-wait window shown
    // and painted; End undoes it all.
    virtual void beginPleaseWait() = 0;
    virtual void endPleaseWait() = 0;
    virtual void setHourglass(bool on) = 0;
    // Between BeginPleaseWait and EndPleaseWait: how much of the work is done.
    virtual void pleaseWaitProgress(size_t /*done*/, size_t /*total*/) {}

    // The session's visible state changed (header, totals, label, commands, start panel).
    virtual void sessionChanged() {}
};

// For code that runs without anyone watching (checks, benchmarks, tests): no beep, no
// dialogs (they cancel), no focus, no please-wait; questions and notices are left to it.
class UnattendedUserInterface : public UserInterface {
public:
    void beep() override {}
    std::optional<std::filesystem::path> chooseFileToOpen(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::filesystem::path> chooseFileToSave(const FileDialogRequest&) override { return std::nullopt; }
    void focusHeaderField(HeaderField) override {}
    void beginPleaseWait() override {}
    void endPleaseWait() override {}
    void setHourglass(bool) override {}
};

// The please-wait protocol with the hourglass, for as long as this lives.
class PleaseWait {
public:
    explicit PleaseWait(UserInterface& ui) : ui_(ui)
    {
        ui_.setHourglass(true);
        ui_.beginPleaseWait();
    }
    ~PleaseWait()
    {
        ui_.endPleaseWait();
        ui_.setHourglass(false);
    }
    PleaseWait(const PleaseWait&) = delete;
    PleaseWait& operator=(const PleaseWait&) = delete;

private:
    UserInterface& ui_;
};

// The plain two-way question: "Ναι", "Όχι".
Answer askYesNo(UserInterface& ui, const std::string& text);
// The same with "Όχι" as the default button.
Answer askYesNoDefaultNo(UserInterface& ui, const std::string& text);
// The question with cancel: "Ναι", "Όχι", "Άκυρο".
Answer askYesNoCancel(UserInterface& ui, const std::string& text);

}  // namespace edlt
