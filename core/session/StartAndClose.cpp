// SPDX-License-Identifier: GPL-3.0-or-later
// The session's start-up, the recovery of work a run that did not exit normally left, and
// closing.
#include "core/session/DeclarationSession.h"

#include <filesystem>
#include <new>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/base/RunAndReport.h"
#include "core/rules/Messages.h"
#include "core/session/ProgramPaths.h"
#include "core/store/PrivateFolder.h"

namespace edlt {

namespace {

const std::string& recoveryQuestion()
{
    static const std::string question = cp1253::lit(
        "Βρέθηκαν στοιχεία δήλωσης που δεν αποθηκεύτηκαν (η εφαρμογή δεν τερματίστηκε κανονικά). Θέλετε να τα "
        "ανακτήσετε;");
    return question;
}

std::string unrecoveredMessage(const std::string& cause)
{
    return format(cp1253::lit("Η ανάκτηση της προηγούμενης εργασίας δεν ολοκληρώθηκε (%s). Τα στοιχεία της "
                              "φυλάσσονται και θα προταθούν ξανά στην επόμενη εκκίνηση."),
                  {cause});
}

}  // namespace

bool DeclarationSession::start()
{
    // Payroll data is private: the workspace and the pages are closed to other users, or
    // the program does not start.
    try {
        if (!options_.pageFolder.empty()) PrivateFolder::open(options_.pageFolder);
        workspace_.makePrivate();
    } catch (const Error& e) {
        ui_.showError(e.message());
        return false;
    }
    if (options_.lockWorkspace) {
        switch (lock_.acquire(workspace_.folder())) {
        case WorkspaceLock::Result::Acquired: break;
        case WorkspaceLock::Result::HeldByAnother: ui_.showNotice(msg::alreadyRunning()); return false;
        case WorkspaceLock::Result::Unavailable: ui_.showError(lock_.problem()); return false;
        }
    }
    try {
        workspace_.create();
    } catch (const Error&) {
        // An existing or unmakeable folder is not a start-up failure.
    }
    try {
        std::error_code ec;
        if (!std::filesystem::exists(incomeTypes_.fileName(), ec))
            throw Error(missingDataFileMessage(incomeTypes_.fileName()));
        incomeTypes_.open();
    } catch (const Error& e) {
        ui_.showError(e.message());
    }
    changed();
    if (options_.lockWorkspace && hasRecoverableWork() && askYesNo(ui_, recoveryQuestion()) == Answer::Yes)
        recoverWork();
    return true;
}

bool DeclarationSession::hasRecoverableWork() const
{
    return recovery_.holdsWork();
}

void DeclarationSession::recoverWork()
{
    std::string cause;
    const bool recovered = runAndReport(
        [&] {
            try {
                details_.close();
                copies_->recoverDetails();
                header_ = recovery_.kept();
                storedLinesChanged();
            } catch (const std::bad_alloc&) {
                throw Error(cp1253::lit("δεν υπάρχει αρκετή μνήμη"));
            }
        },
        [&](const std::string& message) { cause = message; }, Reported::AllExceptions);
    if (!recovered) {
        // Nothing of it is written or removed: the next start offers it again.
        details_.markLinesSaved();
        guarded([&] { details_.close(); });
        header_ = {};
        while (!cause.empty() && (cause.back() == '.' || cause.back() == ' ')) cause.pop_back();
        unrecoveredCause_ = cause;
        ui_.showError(unrecoveredMessage(cause));
        changed();
        return;
    }
    unrecoveredCause_.reset();
    enableDeclarationCommands();
    markModified();
    changed();
    ui_.focusHeaderField(HeaderField::YearOfData);
}

bool DeclarationSession::unrecoveredWorkSettled()
{
    if (!unrecoveredCause_) return true;
    if (askYesNo(ui_, recoveryQuestion()) == Answer::Yes) {
        recoverWork();
        return false;
    }
    unrecoveredCause_.reset();  // declined: it goes as any declaration the user leaves
    return true;
}

bool DeclarationSession::unsavedChangesSettled()
{
    if (!modified_) return true;
    const Answer answer = askYesNoCancel(ui_, msg::saveChangesQuestion());
    if (answer == Answer::Cancel) return false;
    // A save that did not happen stops the command: the work is not lost.
    return answer != Answer::Yes || saveAs() == SaveResult::Saved;
}

bool DeclarationSession::requestClose()
{
    if (!unsavedChangesSettled()) return false;
    if (unrecoveredCause_) {
        // Neither recovered nor declined: it stays as it is, for the next start.
        ui_.showWarning(unrecoveredMessage(*unrecoveredCause_));
        lock_.release();
        return true;
    }
    try {
        details_.close();
    } catch (const Error&) {
        // Closing writes the workspace lines, which are deleted next: nothing is lost.
    }
    recovery_.discard();
    copies_->discardJournal();
    workspace_.clear();
    if (lock_.held()) {
        lock_.release();
        std::error_code ec;
        std::filesystem::remove(workspace_.folder(), ec);
    }
    return true;
}

}  // namespace edlt
