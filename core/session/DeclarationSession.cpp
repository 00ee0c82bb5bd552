#include "core/session/DeclarationSession.h"

#include <ctime>
#include <new>
#include <unistd.h>
#include <utility>

#include "core/session/DeclarationCheck.h"
#include "core/session/LongWork.h"
#include "core/session/ProgramPaths.h"
#include "core/rules/CheckAFM.h"
#include "core/rules/DeclarationRules.h"
#include "core/base/Convert.h"
#include "core/rules/DetailValidation.h"
#include "core/rules/ExchangeSort.h"
#include "core/rules/Messages.h"
#include "core/rules/TotalsLedger.h"
#include "core/store/AtomicFile.h"
#include "core/store/DeclarantRecord.h"
#include "core/base/Cp1253.h"
#include "core/store/DetailRecord.h"
#include "core/base/Error.h"
#include "core/base/RunAndReport.h"
#include "core/store/FieldText.h"
#include "core/store/FileLock.h"
#include "core/store/PrivateFolder.h"

namespace edlt {

// Every change to the stored lines marks the declaration modified, deletes included;
// typing is marked by the grid itself (GridKeyTyped). Its hooks check a line before it is
// stored and bring the totals up to date after.
class DeclarationSession::ModifiedWatch : public DataSetObserver {
public:
    explicit ModifiedWatch(DeclarationSession& s) : s_(s) { s_.details_.AddObserver(this); }
    ~ModifiedWatch() override { s_.details_.RemoveObserver(this); }
    void dataSetChanged(const DataSetChange& c) override
    {
        if (c.kind == DataSetChange::RecordInserted ||
            c.kind == DataSetChange::RecordChanged || c.kind == DataSetChange::RecordRemoved)
            s_.MarkModified();
    }
    bool followsFields() const override { return false; }
    void newRecord(FixedWidthTable&) override { s_.isNewRecord_ = true; }
    void afterEdit(FixedWidthTable&) override { s_.isNewRecord_ = false; }
    bool beforePost(FixedWidthTable& ds) override { return s_.ValidateLine(ds); }
    void afterPost(FixedWidthTable&) override { s_.RecomputeTotals(); }
    void afterDelete(FixedWidthTable&) override { s_.RecomputeTotals(); }

private:
    DeclarationSession& s_;
};

namespace {

// Sets every field of the edit buffer to its bytes in a whole line.
void setLineFields(FixedWidthTable& ds, std::string_view line)
{
    for (const FixedWidthTable::FieldInfo& f : ds.Fields())
        if (static_cast<size_t>(f.offset) < line.size())
            ds.SetFieldValue(static_cast<int>(&f - ds.Fields().data()),
                             line.substr(static_cast<size_t>(f.offset), static_cast<size_t>(f.width)));
}

// The line checks refuse and ask through the user interface, with a beep first.
class AskingLineQuestions : public LineQuestions {
public:
    explicit AskingLineQuestions(UserInterface& ui) : ui_(ui) {}
    void refuse(const std::string& message) override
    {
        ui_.Beep();
        ui_.ShowNotice(message);
    }
    bool confirm(const std::string& question) override
    {
        ui_.Beep();
        return AskYesNo(ui_, question) != mrNo;
    }

private:
    UserInterface& ui_;
};

// Which totals box shows each amount field's sum, in the amount fields' schema order.
constexpr std::array<int, 9> boxOfAmount = {0, 4, 5, 1, 2, 3, 6, 7, 8};

// The counter's words, converted once: a store made them again every time.
const std::string& recordsWord()
{
    static const std::string word = cp1253::lit(" Εγγραφές");
    return word;
}

const std::string& distinctWord()
{
    static const std::string word = cp1253::lit(" μοναδικοί ΑΦΜ");
    return word;
}

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

std::string twoDigits(int v)
{
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

DeclarationSession::DeclarationSession(UserInterface& ui, Options options)
    : ui_(ui),
      options_(std::move(options)),
      workspace_(options_.workspaceParent.empty() ? options_.programFolder : options_.workspaceParent),
      recovery_(workspace_, options_.lockWorkspace)
{
    recordCounter_ = cp1253::lit(" Εγγραφές (Πελάτες)");
    for (FixedWidthTable* ds : {&details_, &incomeTypes_, &scratch_}) {
        ds->SetFileMustExist(true);
        ds->SetReadOnly(false);
        ds->SetTrimSpace(true);
    }
    details_.SetSchema(detail::schema());
    scratch_.SetSchema(detail::schema());
    incomeTypes_.SetSchema({"typeinc=2", "Desc=52"});
    details_.SetFileName(workspace_.record2());
    scratch_.SetFileName(workspace_.record21());
    incomeTypes_.SetFileName(options_.programFolder / "Addon" / "typeofinc.txt");

    ledger_ = std::make_unique<TotalsLedger>(details_);
    lineQuestions_ = std::make_unique<AskingLineQuestions>(ui_);
    validation_ = std::make_unique<DetailValidation>(*lineQuestions_, *ledger_, [this] { copies_->refreshScratch(); });
    modifiedWatch_ = std::make_unique<ModifiedWatch>(*this);
    copies_ = std::make_unique<WorkspaceCopies>(details_, workspace_, options_.journalEntryLimit);
    checker_ = std::make_unique<DeclarationChecker>(*this);
}

DeclarationSession::~DeclarationSession()
{
    // Observers go before the stores they watch.
    checker_.reset();
    modifiedWatch_.reset();
    copies_.reset();
    validation_.reset();
    ledger_.reset();
}

CalendarDate DeclarationSession::Today() const
{
    if (options_.today) return options_.today();
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

bool DeclarationSession::Guarded(const std::function<void()>& f)
{
    if (RunAndReport(f, [this](const std::string& message) { ui_.ShowError(message); })) return true;
    Changed();
    return false;
}

bool DeclarationSession::Start()
{
    // Payroll data is private: the workspace and the pages are closed to other users, or
    // the program does not start.
    try {
        if (!options_.pageFolder.empty()) PrivateFolder::open(options_.pageFolder);
        workspace_.makePrivate();
    } catch (const Error& e) {
        ui_.ShowError(e.message());
        return false;
    }
    if (options_.lockWorkspace) {
        switch (lock_.acquire(workspace_.folder())) {
        case WorkspaceLock::Result::Acquired: break;
        case WorkspaceLock::Result::HeldByAnother: ui_.ShowNotice(msg::alreadyRunning()); return false;
        case WorkspaceLock::Result::Unavailable: ui_.ShowError(lock_.problem()); return false;
        }
    }
    try {
        workspace_.create();
    } catch (const Error&) {
        // An existing or unmakeable folder is not a start-up failure.
    }
    try {
        std::error_code ec;
        if (!std::filesystem::exists(incomeTypes_.FileName(), ec))
            throw Error(MissingDataFileMessage(incomeTypes_.FileName()));
        incomeTypes_.Open();
    } catch (const Error& e) {
        ui_.ShowError(e.message());
    }
    Changed();
    if (options_.lockWorkspace && HasRecoverableWork() && AskYesNo(ui_, recoveryQuestion()) == mrYes) RecoverWork();
    return true;
}

bool DeclarationSession::HasRecoverableWork() const
{
    return recovery_.holdsWork();
}

void DeclarationSession::RecoverWork()
{
    std::string cause;
    const bool recovered = RunAndReport(
        [&] {
            try {
                details_.Close();
                copies_->recoverDetails();
                header_ = recovery_.kept();
                RecomputeTotals();
            } catch (const std::bad_alloc&) {
                throw Error(cp1253::lit("δεν υπάρχει αρκετή μνήμη"));
            }
        },
        [&](const std::string& message) { cause = message; }, Reported::AllExceptions);
    if (!recovered) {
        // Nothing of it is written or removed: the next start offers it again.
        details_.MarkLinesSaved();
        Guarded([&] { details_.Close(); });
        header_ = {};
        while (!cause.empty() && (cause.back() == '.' || cause.back() == ' ')) cause.pop_back();
        unrecoveredCause_ = cause;
        ui_.ShowError(unrecoveredMessage(cause));
        Changed();
        return;
    }
    unrecoveredCause_.reset();
    EnableDeclarationCommands();
    MarkModified();
    Changed();
    ui_.FocusHeaderField(HeaderField::YearOfData);
}

bool DeclarationSession::UnrecoveredWorkSettled()
{
    if (!unrecoveredCause_) return true;
    if (AskYesNo(ui_, recoveryQuestion()) == mrYes) {
        RecoverWork();
        return false;
    }
    unrecoveredCause_.reset();  // declined: it goes as any declaration the user leaves
    return true;
}

void DeclarationSession::SetModified(bool modified)
{
    if (modified)
        MarkModified();
    else
        modified_ = false;
}

void DeclarationSession::MarkModified()
{
    modified_ = true;
    recovery_.markChanged();
}

void DeclarationSession::MarkUnmodified()
{
    modified_ = false;
    recovery_.markSaved();
}

void DeclarationSession::SetHeaderText(HeaderField field, const std::string& text)
{
    std::string& slot = header_.value(field);
    const std::string cleaned = cleanFieldText(text);  // a header box is a field of a record too
    if (slot == cleaned) return;
    slot = cleaned.substr(0, static_cast<size_t>(declarant::widthOf(field)));
    MarkModified();
    recovery_.keep(header_);
}

const std::string& DeclarationSession::CompanyNameCaption() const
{
    return header_.business ? msg::companyNameCaption() : msg::surnameCaption();
}

void DeclarationSession::EnableDeclarationCommands()
{
    commandsEnabled_ = true;
    startPanelVisible_ = false;
}

void DeclarationSession::New()
{
    if (!UnrecoveredWorkSettled()) return;
    if (AskYesNo(ui_, msg::newDeclarationQuestion()) == mrNo) return;
    Guarded([&] {
        details_.Close();
        copies_->forgetScratch();
        workspace_.emptyFiles();
        header_ = LoadHeaderFields(workspace_.generalData());
        copies_->openDetails();
        totals_ = {};
        totalsStale_ = false;
        ChooseBusiness();
        declarationFile_.clear();
        recovery_.keep(header_);
        MarkUnmodified();
        EnableDeclarationCommands();
        recordCounter_ = cp1253::lit("0 Εγγραφές");
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
        RecomputeTotals();
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

bool DeclarationSession::YearAcceptable()
{
    return yearAcceptable(header_.YearOfData, Today().year);
}

bool DeclarationSession::PreSaveCheck()
{
    const std::vector<DeclarantFinding> findings = declarantFindings(header_, Today().year);
    if (!findings.empty()) {
        const DeclarantFinding& first = findings.front();
        if (first.kind == DeclarantFinding::Kind::ConversionError) throw ConvertError(first.message);
        if (first.kind == DeclarantFinding::Kind::Refusal) ui_.Beep();
        ui_.ShowNotice(first.message);
        ui_.FocusHeaderField(first.field);
        return false;
    }
    if (!PostPendingEdit()) return false;
    if (auto unconvertible = UnconvertibleAmounts()) {
        ui_.ShowError(*unconvertible);
        return false;
    }

    copies_->foldJournal();
    copies_->copyScratch();
    FixedWidthTable& scratch = scratch_;
    scratch.Open();
    std::vector<PairKey> keys;
    keys.reserve(static_cast<size_t>(scratch.CountRecords()));
    long number = 0;
    for (scratch.MoveFirst(); !scratch.AtEnd(); scratch.MoveNext()) {
        ++number;
        const std::string afm = scratch.FieldValue(detail::AFM);
        if (afm == header_.AFM) {
            ui_.Beep();
            if (AskYesNo(ui_, msg::lineSameAsDeclarantQuestion(afm, number)) == mrNo) {
                scratch.Close();
                return false;
            }
        }
        keys.push_back(PairKey::of(afm, scratch.FieldValue(detail::TypeInc)));
    }
    scratch.Close();

    if (const auto first = firstDuplicate(duplicateGroups(keys))) {
        ui_.Beep();
        ui_.ShowNotice(msg::duplicateLine(keys[*first].afm()));
        return false;
    }
    return true;
}

void DeclarationSession::WriteDeclaration(const std::filesystem::path& path, const std::function<void()>& beforeReplace)
{
    CalendarDate d = Today();
    std::string today = std::to_string(d.year) + twoDigits(d.month) + twoDigits(d.day);
    FixedWidthTable& ds = details_;
    const size_t count = ds.Active() ? static_cast<size_t>(ds.CountRecords()) : 0;
    LongWork work(ui_, false);  // Save As has the window shown already
    DetailLines lines{count, [&ds, &work, count](size_t i) {
                          if (i % 8192 == 0) work.progress(i, count);
                          return ds.LineAt(i);
                      }};
    AtomicFileWriter writer(path, AtomicFileWriter::Durability::Durable);
    WriteDeclarationFile(writer, header_, Totals(), lines, today);
    if (beforeReplace) beforeReplace();
    writer.commit();
    if (ds.Active()) ds.MoveFirst();
}

DeclarationSession::SaveResult DeclarationSession::SaveAs()
{
    SaveResult result = SaveResult::Failed;
    Guarded([&] {
        if (!PreSaveCheck()) {
            result = SaveResult::CheckFailed;
            return;
        }
        if (options_.askAboutFindings) {
            const size_t refused = CheckWithPleaseWait(*checker_, ui_).refusedLines();
            if (refused > 0) ui_.Beep();
            if (refused > 0 &&
                ui_.AskQuestion(saveWithFindingsQuestion(refused), mbYes | mbNo | mbDefaultNo,
                                {cp1253::lit("Ναι"), cp1253::lit("Όχι")}) != mrYes) {
                result = SaveResult::Cancelled;
                return;
            }
        }
        auto path = ui_.ChooseFileToSave({options_.programFolder, "", header_.AFM + "-DLT", ""});
        if (!path) {
            result = SaveResult::Cancelled;
            return;
        }
        std::error_code unknown;  // a file that cannot even be looked at fails on writing, with its cause
        if (std::filesystem::exists(*path, unknown)) {
            std::string name = cp1253::pathText(path->filename());
            if (AskYesNo(ui_, msg::overwriteQuestion(name)) == mrNo) {
                result = SaveResult::Cancelled;
                return;
            }
        }
        // Another program's read-modify-write of this file ends before this save starts,
        // and what it wrote is not replaced unasked.
        FileLock lock(*path, FileLock::Mode::Exclusive);
        if (!ReplacingChangedFileAccepted(*path)) {
            result = SaveResult::Cancelled;
            return;
        }
        {
            const PleaseWait wait(ui_);
            WriteDeclaration(*path);
            RememberFile(*path, FileIdentity::of(*path));
        }
        MarkUnmodified();
        result = SaveResult::Saved;
        Changed();
    });
    return result;
}

void DeclarationSession::RememberFile(const std::filesystem::path& path, std::optional<FileIdentity> identity)
{
    std::error_code ec;
    fileAtOpen_ = std::filesystem::weakly_canonical(path, ec);
    declarationFile_ = path;
    identityAtOpen_ = identity;
}

bool DeclarationSession::ReplacingChangedFileAccepted(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!identityAtOpen_ || std::filesystem::weakly_canonical(path, ec) != fileAtOpen_) return true;
    const auto now = FileIdentity::of(path);
    if (!now || now == identityAtOpen_) return true;  // gone, or as it was: nothing of another's to lose
    const std::string question =
        format(cp1253::lit("Το αρχείο %s άλλαξε από άλλο πρόγραμμα μετά το άνοιγμά του εδώ. Αν αντικατασταθεί, οι "
                           "αλλαγές εκείνου του προγράμματος θα χαθούν. Να αντικατασταθεί;"),
               {cp1253::pathText(path.filename())});
    return AskYesNoDefaultNo(ui_, question) == mrYes;
}

bool DeclarationSession::RequestClose()
{
    if (modified_) {
        int answer = AskYesNoCancel(ui_, msg::saveChangesQuestion());
        if (answer == mrCancel) return false;
        // A save that did not happen keeps the program open: the work is not lost.
        if (answer == mrYes && SaveAs() != SaveResult::Saved) return false;
    }
    if (unrecoveredCause_) {
        // Neither recovered nor declined: it stays as it is, for the next start.
        ui_.ShowWarning(unrecoveredMessage(*unrecoveredCause_));
        lock_.release();
        return true;
    }
    try {
        details_.Close();
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

bool DeclarationSession::LeaveAfmBox()
{
    bool ok = false;
    if (!Guarded([&] { ok = CheckAFM(header_.AFM); })) return true;  // the error report; focus moves on
    if (ok) return true;
    ui_.ShowNotice(msg::wrongDeclarantAfm());
    ui_.FocusHeaderField(HeaderField::AFM);
    return false;
}

bool DeclarationSession::LeaveYearBox()
{
    bool ok = false;
    if (!Guarded([&] { ok = YearAcceptable(); })) return true;
    if (ok) return true;
    ui_.Beep();
    ui_.ShowNotice(msg::writeYear());
    ui_.FocusHeaderField(HeaderField::YearOfData);
    return false;
}

void DeclarationSession::ChooseBusiness()
{
    MarkModified();
    header_.business = true;
    recovery_.keep(header_);
    Changed();
}

void DeclarationSession::ChoosePerson()
{
    MarkModified();
    header_.business = false;
    recovery_.keep(header_);
    Changed();
}

bool DeclarationSession::PostPendingEdit()
{
    postAccepted_ = true;
    FixedWidthTable& ds = details_;
    const DataSetState state = ds.State();
    // Nothing being edited: the store's "not in edit or insert mode" is not worth a word.
    if (state != DataSetState::EditState && state != DataSetState::InsertState) return true;
    PendingLine pending{state, std::string(ds.CurrentText()), {},
                        state == DataSetState::EditState ? ds.Cursor() : ds.InsertIndex()};
    if (state == DataSetState::EditState) pending.stored = std::string(ds.LineAt(static_cast<size_t>(ds.Cursor())));
    try {
        ds.Post();  // a refusal shows its own message and clears postAccepted_
    } catch (const Error& e) {
        // A conversion error, or a workspace file that could not be written (the line is
        // then in the store already): the user is told, and keeps editing the line.
        postAccepted_ = false;
        if (ds.State() == DataSetState::Browse) ReopenPendingLine(pending);
        ui_.ShowError(e.message());
        ui_.FocusDetailLine();
    }
    return postAccepted_;
}

void DeclarationSession::ReopenPendingLine(const PendingLine& pending)
{
    FixedWidthTable& ds = details_;
    {
        // The line was checked already; undoing its post writes no workspace file until the
        // end, which writes the stored lines again over what a half-done write may have left.
        WorkspaceCopies::Deferral deferral(*copies_);
        const ChecksSuspended unchecked(ds);
        if (pending.state == DataSetState::EditState) {
            ds.Edit();
            setLineFields(ds, pending.stored);
            ds.Post();
            ds.Edit();
        } else {
            ds.Delete();
            if (pending.position >= ds.CountRecords()) {
                ds.AppendNew();
            } else {
                ds.SetRecordNumber(pending.position + 1);
                ds.Insert();
            }
        }
        setLineFields(ds, pending.typed);
    }
    Changed();
}

bool DeclarationSession::PostCheckedLine()
{
    postAccepted_ = true;
    try {
        details_.Post();
    } catch (const Error&) {
        // A conversion error leaves postAccepted_ clear; the totals' own errors do not.
    }
    return postAccepted_;
}

bool DeclarationSession::ValidateLine(FixedWidthTable& ds)
{
    postAccepted_ = false;  // also when the checks throw
    postAccepted_ = validation_->Run(ds, header_.AFM, isNewRecord_);
    return postAccepted_;
}

void DeclarationSession::RecomputeTotals()
{
    if (copies_->deferred()) {
        // Many stores in a row show their outcome once, at the end: the figures are made
        // when they are next read, not after every line.
        copies_->linesChanged();
        totalsStale_ = true;
        return;
    }
    totalsStale_ = false;
    recordCounter_ = std::to_string(details_.CountRecords()) + recordsWord();
    Changed();
    copies_->linesChanged();
    buildTotalsTexts();
    Changed();
}

void DeclarationSession::refreshTotals() const
{
    if (!totalsStale_) return;
    totalsStale_ = false;
    buildTotalsTexts();
}

void DeclarationSession::buildTotalsTexts() const
{
    recordCounter_ = std::to_string(details_.CountRecords()) + recordsWord();
    if (ledger_->unconvertibleLines() > 0) {
        // Never figures that leave lines out, nor those of the lines before.
        totals_ = {};
    } else {
        std::array<Amount, 9> sums = ledger_->sums();
        for (size_t i = 0; i < sums.size(); ++i) totals_[static_cast<size_t>(boxOfAmount[i])] = sums[i].text();
        recordCounter_ += "-" + std::to_string(ledger_->distinctTaxNumbers()) + distinctWord();
    }
}

std::optional<std::string> DeclarationSession::UnconvertibleAmounts() const
{
    return ledger_->unconvertibleMessage();
}

void DeclarationSession::SaveWorkspaceLines()
{
    copies_->saveLines();
    scratch_.Close();  // its readers read the file afresh
}

void DeclarationSession::Sort(SortKey key)
{
    if (!PostPendingEdit()) return;
    FixedWidthTable& ds = details_;
    if (!ds.Active()) return;  // no declaration: the buttons are under the start panel then
    MarkModified();  // before the new order reaches the workspace
    {
        const PleaseWait wait(ui_);
        Guarded([&] {
            // The stored lines at the record size: what concatenating every field's full value
            // gives. Views into the store: a million lines are not copied.
            const size_t n = static_cast<size_t>(ds.CountRecords());
            const size_t recordSize = static_cast<size_t>(ds.RecordSize());
            std::vector<std::string_view> lines(n);
            for (size_t i = 0; i < n; ++i) lines[i] = ds.LineAt(i).substr(0, recordSize);
            const size_t headLength = key == SortKey::Surname ? static_cast<size_t>(detail::fields[detail::SurName].offset) : 0;
            std::vector<std::string_view> keys(n);
            for (size_t i = 0; i < n; ++i) keys[i] = lines[i].substr(std::min(headLength, lines[i].size()));
            std::vector<size_t> order = exchangeSortOrder(keys);
            copies_->forgetScratch();
            AtomicFileWriter writer(workspace_.record2(), AtomicFileWriter::Durability::ProcessSafe);
            for (size_t i : order) {
                writer.write(lines[i]);
                writer.write("\r\n");
            }
            keys = {};
            lines = {};
            writer.commit();
            // The sorted file holds every line: closing must not write the old order over it.
            ds.MarkLinesSaved();
            ds.Close();
            copies_->openDetails();
            ds.MoveFirst();
        });
    }
    if (!details_.Active()) {
        // A failed rewrite left the old file in place: show the lines it holds.
        Guarded([&] { copies_->openDetails(); });
    }
    Changed();
}

}  // namespace edlt
