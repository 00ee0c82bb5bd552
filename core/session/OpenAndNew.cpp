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

void DeclarationSession::New()
{
    if (!UnrecoveredWorkSettled()) return;
    if (AskYesNo(ui_, msg::newDeclarationQuestion()) == Answer::No) return;
    Guarded([&] {
        details_.Close();
        copies_->forgetScratch();
        workspace_.emptyFiles();
        header_ = LoadHeaderFields(workspace_.generalData());
        copies_->openDetails();
        totals_->clear();
        ChooseBusiness();
        declarationFile_.clear();
        recovery_.keep(header_);
        MarkUnmodified();
        EnableDeclarationCommands();
        totals_->countLines();
        Changed();
        ui_.FocusHeaderField(HeaderField::YearOfData);
    });
}

void DeclarationSession::Open()
{
    if (!UnrecoveredWorkSettled()) return;
    auto path = ui_.ChooseFileToOpen({options_.programFolder, "*.*|*.*", "", ""});
    if (!path) return;
    OpenFile(*path);
}

bool DeclarationSession::OpenFile(const std::filesystem::path& path)
{
    if (!UnrecoveredWorkSettled()) return false;
    bool wasOpen = details_.Active();
    bool opened = false;
    Guarded([&] {
        // A long Open shows how far it got; the window goes before any message.
        std::optional<LongWork> work(std::in_place, ui_, true);
        details_.Close();
        copies_->forgetScratch();
        std::optional<std::string> problem;
        const auto identity = FileIdentity::of(path);
        ArenaLines lines;
        try {
            FileSource file(path);
            std::error_code unknown;
            const auto size = std::filesystem::file_size(path, unknown);
            ProgressSource source(file, unknown ? 0 : static_cast<size_t>(size), *work);
            problem = ReadDeclarationFile(source, workspace_.generalData(), workspace_.record2(), &lines);
        } catch (const FileOpenError& e) {
            problem = declaration_messages::openProblem() + e.framed();
        } catch (const WriteError& e) {
            // The workspace's disk, not the file being opened: the message names it.
            if (wasOpen) details_.Open();
            work.reset();
            ui_.ShowError(e.message());
            Changed();
            return;
        } catch (const Error&) {
            problem = declaration_messages::openProblem();
        }
        if (problem) {
            // The workspace was left as it was: the declaration that was open stays usable.
            if (wasOpen) copies_->openDetails();
            work.reset();
            if (*problem != declaration_messages::invalidFile()) ui_.Beep();
            ui_.ShowNotice(*problem);
            Changed();
            return;
        }
        bool headerRead = true;
        try {
            header_ = LoadHeaderFields(workspace_.generalData());
        } catch (const Error&) {
            headerRead = false;
        }
        RememberFile(path, identity);
        recovery_.keep(header_);
        MarkUnmodified();
        copies_->openDetails(std::move(lines));
        storedLinesChanged();
        work.reset();
        if (!headerRead) {
            ui_.Beep();
            ui_.ShowNotice(declaration_messages::headerReadProblem());
        }
        EnableDeclarationCommands();
        opened = true;
        Changed();
        // The lines are open to be fixed; the user learns which one to fix first.
        if (auto unconvertible = UnconvertibleAmounts()) ui_.ShowError(*unconvertible);
        ui_.FocusHeaderField(HeaderField::YearOfData);
    });
    return opened;
}

}  // namespace edlt
