// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs/edlt-cli/CliUserInterface.h"

#include <iostream>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/session/ProgramPaths.h"
#include "core/store/DeclarationFile.h"
#include "programs/edlt-cli/Cli.h"

namespace edlt::cli {

Answer CliUserInterface::askQuestion(const std::string& text, int, const std::vector<std::string>&)
{
    // A question is not an error line: it is printed as asked, without the file's name.
    std::string subject;
    std::swap(subject, subject_);
    show(text, printQuestions_);
    std::swap(subject, subject_);
    return answerYes_ ? Answer::Yes : Answer::No;
}

void CliUserInterface::showError(const std::string& text)
{
    ++errors_;
    if (channel_ != Channel::None) noteFailure();
    show(text, true);
}

void CliUserInterface::show(const std::string& text, bool printIt)
{
    shown_.push_back(text);
    if (printIt) print(text);
}

void CliUserInterface::print(const std::string& cp1253Text) const
{
    std::string text = lineNumber_ ? std::to_string(*lineNumber_) + ": " + cp1253Text : cp1253Text;
    if (channel_ == Channel::Stderr && !subject_.empty()) {
        const size_t firstEnd = text.find('\n');
        text = namingFile(text.substr(0, firstEnd), subject_) +
               (firstEnd == std::string::npos ? std::string() : text.substr(firstEnd));
    }
    // A message of two lines (an open failure and its cause) is printed as two lines.
    for (size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = text.find('\n', start);
        const std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        switch (channel_) {
        case Channel::None: break;
        case Channel::Stdout: printOut(line); break;
        case Channel::Stderr: printErr(line); break;
        }
    }
}

void requireUnchangedInput(const std::filesystem::path& opened, const std::optional<FileIdentity>& identity,
                           const std::filesystem::path& out)
{
    std::error_code ec, ec2;
    if (opened.empty() || std::filesystem::weakly_canonical(out, ec) != std::filesystem::weakly_canonical(opened, ec2))
        return;
    if (FileIdentity::of(out) == identity) return;
    throw Error(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s. Άλλο πρόγραμμα το άλλαξε μετά την "
                                   "ανάγνωσή του και οι αλλαγές του θα χάνονταν"),
                       {cp1253::pathText(out)}));
}

CommandSession::CommandSession(bool answerYes) : ui(answerYes)
{
    DeclarationSession::Options options;
    options.programFolder = dataFolder(executableFolder());
    options.workspaceParent = folder_.path();
    options.lockWorkspace = false;
    session_ = std::make_unique<DeclarationSession>(ui, std::move(options));
    ui.setChannel(CliUserInterface::Channel::None);
    session_->start();
    ui.clear();
    ui.setChannel(CliUserInterface::Channel::Stderr);
}

bool CommandSession::open(const std::string& file)
{
    ui.setChannel(CliUserInterface::Channel::Stderr);
    // What Open tells is about the file: each message names it.
    ui.setSubject(file);
    struct SubjectEnd {
        CliUserInterface& ui;
        ~SubjectEnd() { ui.setSubject({}); }
    } subjectEnd{ui};
    if (file != "-") {
        opened_ = file;
        openedIdentity_ = FileIdentity::of(opened_);
        return session_->openFile(file);
    }
    const std::filesystem::path copy = scratchFile("stdin");
    if (!copyStandardInput(copy)) {
        // As Open says of such a file.
        printFailure(namingFile(declaration_messages::wrongLineLength(), file));
        return false;
    }
    return session_->openFile(copy);
}

void CommandSession::write(const std::string& out)
{
    if (out != "-")
        return session_->writeDeclaration(out, [&] { requireUnchangedInput(opened_, openedIdentity_, out); });
    const std::filesystem::path result = scratchFile("stdout");
    session_->writeDeclaration(result);
    copyToStandardOutput(result);
}

}  // namespace edlt::cli
