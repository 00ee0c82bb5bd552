// SPDX-License-Identifier: GPL-3.0-or-later
// New and Open: the workspace files made again, empty or from a declaration file.
#include "core/session/DeclarationSession.h"

#include <filesystem>
#include <optional>
#include <utility>

#include "core/base/ByteStream.h"
#include "core/base/Error.h"
#include "core/rules/Messages.h"
#include "core/session/LongWork.h"
#include "core/store/AtomicFile.h"
#include "core/store/FileLock.h"

namespace edlt {

void DeclarationSession::newDeclaration()
{
    if (!unrecoveredWorkSettled()) return;
    if (askYesNo(ui_, msg::newDeclarationQuestion()) == Answer::No) return;
    if (!unsavedChangesSettled()) return;
    guarded([&] {
        details_.close();
        copies_->forgetScratch();
        workspace_.emptyFiles();
        header_ = loadHeaderFields(workspace_.generalData());
        copies_->openDetails();
        totals_->clear();
        chooseBusiness();
        declarationFile_.clear();
        recovery_.keep(header_);
        markUnmodified();
        enableDeclarationCommands();
        totals_->countLines();
        changed();
        ui_.focusHeaderField(HeaderField::YearOfData);
    });
}

void DeclarationSession::open()
{
    if (!unrecoveredWorkSettled() || !unsavedChangesSettled()) return;
    auto path = ui_.chooseFileToOpen({options_.programFolder, "*.*|*.*", "", "", false});
    if (!path) return;
    readDeclaration(*path);
}

bool DeclarationSession::openFile(const std::filesystem::path& path)
{
    if (!unrecoveredWorkSettled() || !unsavedChangesSettled()) return false;
    return readDeclaration(path);
}

bool DeclarationSession::readDeclaration(const std::filesystem::path& path)
{
    bool wasOpen = details_.active();
    bool opened = false;
    guarded([&] {
        // A long Open shows how far it got; the window goes before any message.
        std::optional<LongWork> work(std::in_place, ui_, true);
        details_.close();
        copies_->forgetScratch();
        std::optional<std::string> problem;
        const auto identity = FileIdentity::of(path);
        ArenaLines lines;
        try {
            FileSource file(path);
            std::error_code unknown;
            const auto size = std::filesystem::file_size(path, unknown);
            ProgressSource source(file, unknown ? 0 : static_cast<size_t>(size), *work);
            problem = readDeclarationFile(source, workspace_.generalData(), workspace_.record2(), &lines);
        } catch (const FileOpenError& e) {
            problem = declaration_messages::openProblem() + e.framed();
        } catch (const WriteError& e) {
            // The workspace's disk, not the file being opened: the message names it.
            if (wasOpen) details_.open();
            work.reset();
            ui_.showError(e.message());
            changed();
            return;
        } catch (const Error&) {
            problem = declaration_messages::openProblem();
        }
        if (problem) {
            // The workspace was left as it was: the declaration that was open stays usable.
            if (wasOpen) copies_->openDetails();
            work.reset();
            if (*problem != declaration_messages::invalidFile()) ui_.beep();
            ui_.showNotice(*problem);
            changed();
            return;
        }
        bool headerRead = true;
        try {
            header_ = loadHeaderFields(workspace_.generalData());
        } catch (const Error&) {
            headerRead = false;
        }
        rememberFile(path, identity);
        recovery_.keep(header_);
        markUnmodified();
        copies_->openDetails(std::move(lines));
        storedLinesChanged();
        work.reset();
        if (!headerRead) {
            ui_.beep();
            ui_.showNotice(declaration_messages::headerReadProblem());
        }
        enableDeclarationCommands();
        opened = true;
        changed();
        // The lines are open to be fixed; the user learns which one to fix first.
        if (auto unconvertible = unconvertibleAmounts()) ui_.showError(*unconvertible);
        ui_.focusHeaderField(HeaderField::YearOfData);
    });
    return opened;
}

}  // namespace edlt
