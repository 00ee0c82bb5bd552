// SPDX-License-Identifier: GPL-3.0-or-later
// Save As: the checks before it, the declaration file written whole, and the question
// before replacing what another program saved over the file.
#include "core/session/DeclarationSession.h"

#include <filesystem>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/rules/DeclarationRules.h"
#include "core/rules/Messages.h"
#include "core/session/DeclarationCheck.h"
#include "core/session/LongWork.h"
#include "core/store/AtomicFile.h"
#include "core/store/DetailRecord.h"

namespace edlt {

namespace {

std::string twoDigits(int v)
{
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

bool DeclarationSession::preSaveCheck()
{
    const std::vector<DeclarantFinding> findings = declarantFindings(header_, today().year);
    if (!findings.empty()) {
        const DeclarantFinding& first = findings.front();
        if (first.kind == DeclarantFinding::Kind::ConversionError) throw ConvertError(first.message);
        if (first.kind == DeclarantFinding::Kind::Refusal) ui_.beep();
        ui_.showNotice(first.message);
        ui_.focusHeaderField(first.field);
        return false;
    }
    if (!postPendingEdit()) return false;
    if (auto unconvertible = unconvertibleAmounts()) {
        ui_.showError(*unconvertible);
        return false;
    }

    copies_->foldJournal();
    copies_->copyScratch();
    FixedWidthTable& scratch = scratch_;
    scratch.open();
    std::vector<PairKey> keys;
    keys.reserve(static_cast<size_t>(scratch.countRecords()));
    long number = 0;
    for (scratch.moveFirst(); !scratch.atEnd(); scratch.moveNext()) {
        ++number;
        const std::string afm = scratch.fieldValue(detail::AFM);
        if (afm == header_.AFM) {
            ui_.beep();
            if (askYesNo(ui_, msg::lineSameAsDeclarantQuestion(afm, number)) == Answer::No) {
                scratch.close();
                return false;
            }
        }
        keys.push_back(PairKey::of(afm, scratch.fieldValue(detail::TypeInc)));
    }
    scratch.close();

    if (const auto first = firstDuplicate(duplicateGroups(keys))) {
        ui_.beep();
        ui_.showNotice(msg::duplicateLine(keys[*first].afm()));
        return false;
    }
    return true;
}

void DeclarationSession::writeDeclaration(const std::filesystem::path& path, const std::function<void()>& beforeReplace)
{
    CalendarDate d = today();
    std::string today = std::to_string(d.year) + twoDigits(d.month) + twoDigits(d.day);
    FixedWidthTable& ds = details_;
    const size_t count = ds.active() ? static_cast<size_t>(ds.countRecords()) : 0;
    LongWork work(ui_, false);  // Save As has the window shown already
    DetailLines lines{count, [&ds, &work, count](size_t i) {
                          if (i % 8192 == 0) work.progress(i, count);
                          return ds.lineAt(i);
                      }};
    AtomicFileWriter writer(path, AtomicFileWriter::Durability::Durable);
    writeDeclarationFile(writer, header_, totals(), lines, today);
    if (beforeReplace) beforeReplace();
    writer.commit();
    if (ds.active()) ds.moveFirst();
}

DeclarationSession::SaveResult DeclarationSession::saveAs()
{
    SaveResult result = SaveResult::Failed;
    guarded([&] {
        if (!preSaveCheck()) {
            result = SaveResult::CheckFailed;
            return;
        }
        if (options_.askAboutFindings) {
            const size_t refused = checkWithPleaseWait(*checker_, ui_).refusedLines();
            if (refused > 0) ui_.beep();
            if (refused > 0 && ui_.askQuestion(saveWithFindingsQuestion(refused), mbYes | mbNo | mbDefaultNo,
                                               {cp1253::lit("Ναι"), cp1253::lit("Όχι")}) != Answer::Yes) {
                result = SaveResult::Cancelled;
                return;
            }
        }
        auto path = ui_.chooseFileToSave(saveRequest());
        if (!path) {
            result = SaveResult::Cancelled;
            return;
        }
        std::error_code unknown;  // a file that cannot even be looked at fails on writing, with its cause
        if (std::filesystem::exists(*path, unknown)) {
            std::string name = cp1253::pathText(path->filename());
            if (askYesNo(ui_, msg::overwriteQuestion(name)) == Answer::No) {
                result = SaveResult::Cancelled;
                return;
            }
        }
        // Another program's read-modify-write of this file ends before this save starts,
        // and what it wrote is not replaced unasked.
        FileLock lock(*path, FileLock::Mode::Exclusive);
        if (!replacingChangedFileAccepted(*path)) {
            result = SaveResult::Cancelled;
            return;
        }
        {
            const PleaseWait wait(ui_);
            writeDeclaration(*path);
            rememberFile(*path, FileIdentity::of(*path));
        }
        markUnmodified();
        result = SaveResult::Saved;
        changed();
    });
    return result;
}

FileDialogRequest DeclarationSession::saveRequest() const
{
    FileDialogRequest request{options_.programFolder, "", header_.AFM + "-DLT", "", false};
    // The file it came from or was saved to, unless its name cannot be shown as typed.
    if (!declarationFile_.empty() && declarationFile_.has_parent_path())
        if (auto name = cp1253::fromUtf8(declarationFile_.filename().string())) {
            request.folder = declarationFile_.parent_path();
            request.proposedName = *name;
            request.fileFolder = true;
        }
    return request;
}

void DeclarationSession::rememberFile(const std::filesystem::path& path, std::optional<FileIdentity> identity)
{
    std::error_code ec;
    fileAtOpen_ = std::filesystem::weakly_canonical(path, ec);
    declarationFile_ = path;
    identityAtOpen_ = identity;
}

bool DeclarationSession::replacingChangedFileAccepted(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!identityAtOpen_ || std::filesystem::weakly_canonical(path, ec) != fileAtOpen_) return true;
    const auto now = FileIdentity::of(path);
    if (!now || now == identityAtOpen_) return true;  // gone, or as it was: nothing of another's to lose
    const std::string question =
        format(cp1253::lit("Το αρχείο %s άλλαξε από άλλο πρόγραμμα μετά το άνοιγμά του εδώ. Αν αντικατασταθεί, οι "
                           "αλλαγές εκείνου του προγράμματος θα χαθούν. Να αντικατασταθεί;"),
               {cp1253::pathText(path.filename())});
    return askYesNoDefaultNo(ui_, question) == Answer::Yes;
}

}  // namespace edlt
