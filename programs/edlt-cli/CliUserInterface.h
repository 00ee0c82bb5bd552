// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line's UserInterface: it never asks. Questions get the configured answer;
// what the session shows is printed (UTF-8) where the running command wants it, and is
// also kept, so a command can tell afterwards whether anything went wrong.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/session/DeclarationSession.h"
#include "core/session/UserInterface.h"
#include "core/store/FileLock.h"
#include "programs/edlt-cli/PrivateWorkspace.h"

namespace edlt::cli {

class CliUserInterface : public UserInterface {
public:
    enum class Channel { None, Stdout, Stderr };

    // Every question is answered with yes (Answer::Yes) or no (Answer::No).
    explicit CliUserInterface(bool answerYes = false) : answerYes_(answerYes) {}

    void setAnswer(bool yes) { answerYes_ = yes; }
    // Where notices, warnings and errors are printed; questions too when printQuestions.
    void setChannel(Channel channel, bool printQuestions = false)
    {
        channel_ = channel;
        printQuestions_ = printQuestions;
    }
    // Each printed text is preceded by "<n>: " (the check's findings); nullopt for none.
    void setLineNumber(std::optional<long> number) { lineNumber_ = number; }
    // The file what is printed on stderr is about, named after each message that does not
    // name it already; empty for none.
    void setSubject(std::string file) { subject_ = std::move(file); }
    // What both file dialogs return; nullopt cancels them.
    void setFileChoice(std::optional<std::filesystem::path> path) { fileChoice_ = std::move(path); }

    // Everything shown since the last clear, Windows-1253, in order (questions included).
    const std::vector<std::string>& shown() const { return shown_; }
    // How many general error reports (ShowError) were shown since the last clear.
    int errorCount() const { return errors_; }
    void clear()
    {
        shown_.clear();
        errors_ = 0;
    }

    Answer askQuestion(const std::string& text, int buttons, const std::vector<std::string>& captions) override;
    void showNotice(const std::string& text) override { show(text, true); }
    void showWarning(const std::string& text) override { show(text, true); }
    void showError(const std::string& text) override;
    void beep() override {}
    std::optional<std::filesystem::path> chooseFileToOpen(const FileDialogRequest&) override { return fileChoice_; }
    std::optional<std::filesystem::path> chooseFileToSave(const FileDialogRequest&) override { return fileChoice_; }
    void focusHeaderField(HeaderField) override {}
    void beginPleaseWait() override {}
    void endPleaseWait() override {}
    void setHourglass(bool) override {}

    // Prints one text on the current channel, with the line prefix when one is set.
    void print(const std::string& cp1253Text) const;

private:
    void show(const std::string& text, bool printIt);

    bool answerYes_;
    Channel channel_ = Channel::Stderr;
    bool printQuestions_ = false;
    std::optional<long> lineNumber_;
    std::string subject_;
    std::optional<std::filesystem::path> fileChoice_;
    std::vector<std::string> shown_;
    int errors_ = 0;
};

// What a command that works on a declaration needs, in the order they must be torn down:
// the session goes first, then the folder holding its workspace.
// Throws the Error CommandSession::write throws when out is the file opened (as identity)
// and no longer the one read.
void requireUnchangedInput(const std::filesystem::path& opened, const std::optional<FileIdentity>& identity,
                           const std::filesystem::path& out);

class CommandSession {
public:
    // A session over a private workspace, started; the program folder is the executable's.
    // What start-up shows (a missing income-type list, which no command reads) is not printed.
    explicit CommandSession(bool answerYes = false);

    CliUserInterface ui;
    DeclarationSession& session() { return *session_; }

    // Opens a declaration file as Open does; its message goes to stderr when refused.
    // "-" reads it from standard input (through a copy in the private folder).
    bool open(const std::string& file);
    // Writes the declaration as Save As does to out, or to standard output for "-". Written
    // back to the file opened, it throws Error (nothing written) when that file is no
    // longer the one read: another program that takes no lock changed or replaced it.
    void write(const std::string& out);
    // A file in the private folder, for what goes to standard output in the end.
    std::filesystem::path scratchFile(const char* name) const { return folder_.path() / name; }

private:
    PrivateWorkspace folder_;
    std::unique_ptr<DeclarationSession> session_;
    std::filesystem::path opened_;  // as it was named, empty for standard input
    std::optional<FileIdentity> openedIdentity_;
};

}  // namespace edlt::cli
