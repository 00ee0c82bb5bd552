#include "app/DeclarationSession.h"

#include <ctime>
#include <unistd.h>
#include <unordered_map>
#include <utility>

#include "app/DeclarationCheck.h"
#include "app/LongWork.h"
#include "app/ProgramPaths.h"
#include "entry/CheckAFM.h"
#include "base/Convert.h"
#include "entry/DetailValidation.h"
#include "entry/ExchangeSort.h"
#include "entry/Messages.h"
#include "entry/TotalsLedger.h"
#include "store/AtomicFile.h"
#include "store/CopyFile.h"
#include "base/Cp1253.h"
#include "store/DetailRecord.h"
#include "base/Error.h"
#include "base/RunAndReport.h"
#include "store/FieldText.h"
#include "store/FileLock.h"
#include "store/WorkspaceJournal.h"

namespace edlt {

// Every change to the stored lines marks the declaration modified, deletes included;
// typing is marked by the grid itself (GridKeyTyped).
class DeclarationSession::ModifiedWatch : public DataSetObserver {
public:
    explicit ModifiedWatch(DeclarationSession& s) : s_(s) { s_.FixedFormatDataSet1.AddObserver(this); }
    ~ModifiedWatch() override { s_.FixedFormatDataSet1.RemoveObserver(this); }
    void dataSetChanged(const DataSetChange& c) override
    {
        if (c.kind == DataSetChange::RecordInserted ||
            c.kind == DataSetChange::RecordChanged || c.kind == DataSetChange::RecordRemoved)
            s_.DeclarationModified = true;
    }

private:
    DeclarationSession& s_;
};

namespace {

// Sets every field of the edit buffer to its bytes in a whole line.
void setLineFields(TFixedFormatDataSet& ds, std::string_view line)
{
    for (const TFixedFormatDataSet::FieldInfo& f : ds.Fields())
        if (static_cast<size_t>(f.offset) < line.size())
            ds.SetFieldValue(static_cast<int>(&f - ds.Fields().data()),
                             line.substr(static_cast<size_t>(f.offset), static_cast<size_t>(f.width)));
}

std::string* headerSlot(HeaderFields& h, HeaderField f)
{
    switch (f) {
    case HeaderField::YearOfData: return &h.YearOfData;
    case HeaderField::AFM: return &h.AFM;
    case HeaderField::AntikeimenoErgasion: return &h.AntikeimenoErgasion;
    case HeaderField::CompanyName: return &h.CompanyName;
    case HeaderField::Name: return &h.Name;
    case HeaderField::FatherName: return &h.FatherName;
    case HeaderField::Town: return &h.Town;
    case HeaderField::Street: return &h.Street;
    case HeaderField::Number: return &h.Number;
    case HeaderField::TK: return &h.TK;
    }
    return nullptr;
}

// Which totals box shows each amount field's sum, in the amount fields' schema order.
constexpr std::array<int, 9> boxOfAmount = {0, 4, 5, 1, 2, 3, 6, 7, 8};

std::string twoDigits(int v)
{
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

DeclarationSession::DeclarationSession(UserInterface& ui, Options options)
    : ui_(ui),
      options_(std::move(options)),
      workspace_(options_.workspaceParent.empty() ? options_.programFolder : options_.workspaceParent)
{
    label32_ = cp1253::lit(" Εγγραφές (Πελάτες)");
    for (TFixedFormatDataSet* ds : {&FixedFormatDataSet1, &FixedFormatDataSet2, &FixedFormatDataSet3}) {
        ds->SetFileMustExist(true);
        ds->SetReadOnly(false);
        ds->SetTrimSpace(true);
    }
    FixedFormatDataSet1.SetSchema(detail::schema());
    FixedFormatDataSet3.SetSchema(detail::schema());
    FixedFormatDataSet2.SetSchema({"typeinc=2", "Desc=52"});
    FixedFormatDataSet1.SetFileName(workspace_.record2());
    FixedFormatDataSet3.SetFileName(workspace_.record21());
    FixedFormatDataSet2.SetFileName(options_.programFolder / "Addon" / "typeofinc.txt");

    ledger_ = std::make_unique<TotalsLedger>(FixedFormatDataSet1);
    validation_ = std::make_unique<DetailValidation>(ui_, *ledger_, [this] { RefreshScratchCopy(); });
    modifiedWatch_ = std::make_unique<ModifiedWatch>(*this);
    journal_ = std::make_unique<WorkspaceJournal>(FixedFormatDataSet1, workspace_.record2(), workspace_.journal(),
                                                  options_.journalEntryLimit);
    checker_ = std::make_unique<DeclarationChecker>(*this);
    FixedFormatDataSet1.OnNewRecord = [this](TFixedFormatDataSet&) { IsNewRecord = true; };
    FixedFormatDataSet1.AfterEdit = [this](TFixedFormatDataSet&) { IsNewRecord = false; };
    FixedFormatDataSet1.BeforePost = [this](TFixedFormatDataSet& ds) { return FixedFormatDataSet1BeforePost(ds); };
    FixedFormatDataSet1.AfterPost = [this](TFixedFormatDataSet&) { RecomputeTotals(); };
    FixedFormatDataSet1.AfterDelete = [this](TFixedFormatDataSet&) { RecomputeTotals(); };
}

DeclarationSession::~DeclarationSession()
{
    // Observers go before the stores they watch.
    checker_.reset();
    modifiedWatch_.reset();
    journal_.reset();
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
    // Payroll data is private: the workspace and the pages are closed to other users.
    try {
        if (!options_.pageFolder.empty()) CreatePrivateFolder(options_.pageFolder);
        CreatePrivateFolder(workspace_.folder());
    } catch (const Error& e) {
        ui_.ShowError(e.message());
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
        if (!std::filesystem::exists(FixedFormatDataSet2.FileName(), ec))
            throw Error(MissingDataFileMessage(FixedFormatDataSet2.FileName()));
        FixedFormatDataSet2.Open();
    } catch (const Error& e) {
        ui_.ShowError(e.message());
    }
    Changed();
    if (options_.lockWorkspace && HasRecoverableWork()) {
        static const std::string question = cp1253::lit(
            "Βρέθηκαν στοιχεία δήλωσης που δεν αποθηκεύτηκαν (η εφαρμογή δεν τερματίστηκε κανονικά). Θέλετε να τα "
            "ανακτήσετε;");
        if (AskYesNo(ui_, question) == mrYes) RecoverWork();
    }
    return true;
}

bool DeclarationSession::HasRecoverableWork() const
{
    std::error_code ec;
    if (std::filesystem::exists(HeaderFile(), ec)) return true;
    if (WorkspaceJournal::holdsChanges(workspace_.record2(), workspace_.journal())) return true;
    return std::filesystem::file_size(workspace_.record2(), ec) > 0 && !ec;
}

void DeclarationSession::RecoverWork()
{
    Guarded([&] {
        std::error_code ec;
        if (!std::filesystem::exists(workspace_.record2(), ec)) workspace_.emptyFiles();
        // One value a line, in the order of the header boxes, then the kind.
        std::vector<std::string> values;
        try {
            FileSource source(HeaderFile());
            LineReader reader(source, 256);
            std::string line;
            while (reader.next(line)) values.push_back(line);
        } catch (const Error&) {
            values.clear();  // no header kept: the lines alone are recovered
        }
        HeaderFields h;
        std::string* slots[] = {&h.YearOfData, &h.AFM, &h.AntikeimenoErgasion, &h.CompanyName, &h.Name,
                                &h.FatherName, &h.Town, &h.Street, &h.Number, &h.TK};
        for (size_t i = 0; i < std::size(slots) && i < values.size(); ++i) *slots[i] = values[i];
        h.business = values.size() <= std::size(slots) || values[std::size(slots)] != "1";
        header_ = h;
        FixedFormatDataSet1.Close();
        scratchInSync_ = false;
        OpenDetails();
        RecomputeTotals();
        EnableDeclarationCommands();
        DeclarationModified = true;
        Changed();
        ui_.FocusHeaderField(HeaderField::YearOfData);
    });
}

void DeclarationSession::SaveHeader()
{
    if (!options_.lockWorkspace) return;  // a private workspace is never recovered
    const HeaderFields& h = header_;
    std::string text;
    for (const std::string* v : {&h.YearOfData, &h.AFM, &h.AntikeimenoErgasion, &h.CompanyName, &h.Name,
                                 &h.FatherName, &h.Town, &h.Street, &h.Number, &h.TK})
        text += *v + "\r\n";
    text += h.business ? "0\r\n" : "1\r\n";
    try {
        writeFileAtomically(HeaderFile(), text, AtomicFileWriter::Durability::ProcessSafe);
    } catch (const Error&) {
        // Only a safety copy: the declaration itself is unaffected.
    }
}

void DeclarationSession::SetHeaderText(HeaderField field, const std::string& text)
{
    std::string* slot = headerSlot(header_, field);
    const std::string cleaned = cleanFieldText(text);  // a header box is a field of a record too
    if (*slot == cleaned) return;
    *slot = cleaned.substr(0, static_cast<size_t>(HeaderMaxLength(field)));
    DeclarationModified = true;
    SaveHeader();
}

int DeclarationSession::HeaderMaxLength(HeaderField field)
{
    switch (field) {
    case HeaderField::YearOfData: return 4;
    case HeaderField::AFM: return 9;
    case HeaderField::AntikeimenoErgasion: return 16;
    case HeaderField::CompanyName: return 18;
    case HeaderField::Name: return 9;
    case HeaderField::FatherName: return 3;
    case HeaderField::Town: return 10;
    case HeaderField::Street: return 16;
    case HeaderField::Number: return 5;
    case HeaderField::TK: return 5;
    }
    return 0;
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
    if (AskYesNo(ui_, msg::newDeclarationQuestion()) == mrNo) return;
    Guarded([&] {
        FixedFormatDataSet1.Close();
        scratchInSync_ = false;
        workspace_.emptyFiles();
        header_ = LoadHeaderFields(workspace_.generalData());
        OpenDetails();
        edit_ = {};
        RadioButton1Click();
        DeclarationModified = false;
        declarationFile_.clear();
        SaveHeader();
        EnableDeclarationCommands();
        label32_ = cp1253::lit("0 Εγγραφές");
        Changed();
        ui_.FocusHeaderField(HeaderField::YearOfData);
    });
}

void DeclarationSession::Open()
{
    auto path = ui_.ChooseFileToOpen({options_.programFolder, "*.*|*.*", "", ""});
    if (!path) return;
    OpenFile(*path);
}

bool DeclarationSession::OpenFile(const std::filesystem::path& path)
{
    bool wasOpen = FixedFormatDataSet1.Active();
    bool opened = false;
    Guarded([&] {
        // A long Open shows how far it got; the window goes before any message.
        std::optional<LongWork> work(std::in_place, ui_, true);
        FixedFormatDataSet1.Close();
        scratchInSync_ = false;
        std::optional<std::string> problem;
        const auto identity = FileIdentity::of(path);
        std::vector<std::string> lines;
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
            if (wasOpen) FixedFormatDataSet1.Open();
            work.reset();
            ui_.ShowError(e.message());
            Changed();
            return;
        } catch (const Error&) {
            problem = declaration_messages::openProblem();
        }
        if (problem) {
            // The workspace was left as it was: the declaration that was open stays usable.
            if (wasOpen) OpenDetails();
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
        DeclarationModified = false;
        RememberFile(path, identity);
        SaveHeader();
        // The workspace file was just written with these lines: any journal is of the old one.
        journal_->reset();
        FixedFormatDataSet1.OpenWithLines(std::move(lines));
        label32_ = std::to_string(FixedFormatDataSet1.CountRecords()) + cp1253::lit(" Εγγραφές");
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
    if (header_.YearOfData.empty()) return false;
    int32_t year = strToInt(header_.YearOfData);
    return year >= 1900 && year <= Today().year;
}

bool DeclarationSession::PreSaveCheck()
{
    if (!YearAcceptable()) {
        ui_.Beep();
        ui_.ShowNotice(msg::writeYear());
        ui_.FocusHeaderField(HeaderField::YearOfData);
        return false;
    }
    if (header_.CompanyName.empty()) {
        ui_.Beep();
        ui_.ShowNotice(header_.business ? msg::writeCompanyName() : msg::writePersonName());
        ui_.FocusHeaderField(HeaderField::CompanyName);
        return false;
    }
    if (!CheckAFM(header_.AFM)) {
        ui_.ShowNotice(msg::wrongDeclarantAfmOnSave());
        ui_.FocusHeaderField(HeaderField::AFM);
        return false;
    }
    if (!PostPendingEdit()) return false;
    if (auto unconvertible = UnconvertibleAmounts()) {
        ui_.ShowError(*unconvertible);
        return false;
    }

    FoldJournal();
    CopyScratch();
    TFixedFormatDataSet& scratch = FixedFormatDataSet3;
    scratch.Open();
    std::vector<std::pair<std::string, std::string>> keys;
    keys.reserve(static_cast<size_t>(scratch.CountRecords()));
    long number = 0;
    for (scratch.MoveFirst(); !scratch.AtEnd(); scratch.MoveNext()) {
        ++number;
        std::string afm = scratch.FieldValue(detail::AFM);
        if (afm == header_.AFM) {
            ui_.Beep();
            if (AskYesNo(ui_, msg::lineSameAsDeclarantQuestion(afm, number)) == mrNo) {
                scratch.Close();
                return false;
            }
        }
        keys.emplace_back(std::move(afm), scratch.FieldValue(detail::TypeInc));
    }
    scratch.Close();

    // The first pair in line order (each line with every later one) sharing both keys:
    // the first line whose key comes again later.
    std::unordered_map<std::string, size_t> remaining;
    auto joined = [](const std::pair<std::string, std::string>& k) { return k.first + '\n' + k.second; };
    for (const auto& k : keys) ++remaining[joined(k)];
    for (const auto& k : keys) {
        size_t& left = remaining[joined(k)];
        if (left >= 2) {
            ui_.Beep();
            ui_.ShowNotice(msg::duplicateLine(k.first));
            return false;
        }
        --left;
    }
    return true;
}

void DeclarationSession::WriteDeclaration(const std::filesystem::path& path)
{
    CalendarDate d = Today();
    std::string today = std::to_string(d.year) + twoDigits(d.month) + twoDigits(d.day);
    TFixedFormatDataSet& ds = FixedFormatDataSet1;
    const size_t count = ds.Active() ? static_cast<size_t>(ds.CountRecords()) : 0;
    LongWork work(ui_, false);  // Save As has the window shown already
    DetailLines lines{count, [&ds, &work, count](size_t i) {
                          if (i % 8192 == 0) work.progress(i, count);
                          return std::string_view(ds.LineAt(i));
                      }};
    AtomicFileWriter writer(path, AtomicFileWriter::Durability::Durable);
    WriteDeclarationFile(writer, header_, edit_, lines, today);
    writer.commit();
    if (ds.Active()) ds.MoveFirst();
}

DeclarationSession::SaveResult DeclarationSession::SaveAs()
{
    SaveResult result = SaveResult::Failed;
    Guarded([&] {
        SaveCheckPassed = PreSaveCheck();
        if (!SaveCheckPassed) {
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
        ui_.SetHourglass(true);
        ui_.BeginPleaseWait();
        try {
            WriteDeclaration(*path);
            RememberFile(*path, FileIdentity::of(*path));
        } catch (...) {
            ui_.EndPleaseWait();
            ui_.SetHourglass(false);
            throw;
        }
        ui_.EndPleaseWait();
        ui_.SetHourglass(false);
        DeclarationModified = false;
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
    if (DeclarationModified) {
        int answer = AskYesNoCancel(ui_, msg::saveChangesQuestion());
        if (answer == mrCancel) return false;
        // A save that did not happen keeps the program open: the work is not lost.
        if (answer == mrYes && SaveAs() != SaveResult::Saved) return false;
    }
    try {
        FixedFormatDataSet1.Close();
    } catch (const Error&) {
        // Closing writes the workspace lines, which are deleted next: nothing is lost.
    }
    // A file left behind only makes the next start offer to recover it: nothing is lost.
    std::error_code ec;
    std::filesystem::remove(HeaderFile(), ec);
    journal_->reset();
    workspace_.clear();
    if (lock_.held()) {
        lock_.release();
        std::filesystem::remove(workspace_.folder(), ec);
    }
    return true;
}

bool DeclarationSession::AFMExit()
{
    bool ok = false;
    if (!Guarded([&] { ok = CheckAFM(header_.AFM); })) return true;  // the error report; focus moves on
    if (ok) return true;
    ui_.ShowNotice(msg::wrongDeclarantAfm());
    ui_.FocusHeaderField(HeaderField::AFM);
    return false;
}

bool DeclarationSession::YearOfDataExit()
{
    bool ok = false;
    if (!Guarded([&] { ok = YearAcceptable(); })) return true;
    if (ok) return true;
    ui_.Beep();
    ui_.ShowNotice(msg::writeYear());
    ui_.FocusHeaderField(HeaderField::YearOfData);
    return false;
}

void DeclarationSession::RadioButton1Click()
{
    DeclarationModified = true;
    header_.business = true;
    SaveHeader();
    Changed();
}

void DeclarationSession::RadioButton2Click()
{
    DeclarationModified = true;
    header_.business = false;
    SaveHeader();
    Changed();
}

bool DeclarationSession::PostPendingEdit()
{
    PostAccepted = true;
    TFixedFormatDataSet& ds = FixedFormatDataSet1;
    const DataSetState state = ds.State();
    // Nothing being edited: the store's "not in edit or insert mode" is not worth a word.
    if (state != DataSetState::EditState && state != DataSetState::InsertState) return true;
    PendingLine pending{state, std::string(ds.CurrentText()), {},
                        state == DataSetState::EditState ? ds.Cursor() : ds.InsertIndex()};
    if (state == DataSetState::EditState) pending.stored = ds.LineAt(static_cast<size_t>(ds.Cursor()));
    try {
        ds.Post();  // a refusal shows its own message and clears PostAccepted
    } catch (const Error& e) {
        // A conversion error, or a workspace file that could not be written (the line is
        // then in the store already): the user is told, and keeps editing the line.
        PostAccepted = false;
        if (ds.State() == DataSetState::Browse) ReopenPendingLine(pending);
        ui_.ShowError(e.message());
        ui_.FocusDetailLine();
    }
    return PostAccepted;
}

void DeclarationSession::ReopenPendingLine(const PendingLine& pending)
{
    TFixedFormatDataSet& ds = FixedFormatDataSet1;
    // The line was checked already; undoing its post writes no workspace file until the end.
    auto validation = std::exchange(ds.BeforePost, nullptr);
    BeginDeferredWorkspace();
    const auto finish = [&] {
        ds.BeforePost = std::move(validation);
        try {
            // The workspace files may hold the line from a half-done write: the stored lines again.
            EndDeferredWorkspace();
        } catch (const Error&) {
            // The same failure the user is being shown; the lines are whole in memory.
        }
    };
    try {
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
    } catch (...) {
        finish();
        throw;
    }
    finish();
    Changed();
}

bool DeclarationSession::FixedFormatDataSet1BeforePost(TFixedFormatDataSet& ds)
{
    return validation_->Run(ds, header_.AFM, IsNewRecord, PostAccepted);
}

void DeclarationSession::RecomputeTotals()
{
    TFixedFormatDataSet& ds = FixedFormatDataSet1;
    label32_ = std::to_string(ds.CountRecords()) + cp1253::lit(" Εγγραφές");
    // Many stores in a row show their outcome once, at the end.
    if (!deferred_) Changed();
    if (deferred_) {
        workspaceDirty_ = true;
        journal_->dropPending();
    } else if (!ds.StoreChanged() && ds.FileName() == workspace_.record2()) {
        // The lines are exactly what the workspace file holds (just opened): only the
        // scratch copy may need them.
        CopyScratch();
    } else {
        StoreWorkspaceChanges();
    }
    if (ledger_->unconvertibleLines() > 0) {
        // Never figures that leave lines out, nor those of the lines before.
        edit_ = {};
    } else {
        std::array<Amount, 9> sums = ledger_->sums();
        for (size_t i = 0; i < sums.size(); ++i) edit_[static_cast<size_t>(boxOfAmount[i])] = sums[i].text();
        label32_ += "-" + std::to_string(ledger_->distinctTaxNumbers()) + cp1253::lit(" μοναδικοί ΑΦΜ");
    }
    if (!deferred_) Changed();
}

std::optional<std::string> DeclarationSession::UnconvertibleAmounts() const
{
    return ledger_->unconvertibleMessage();
}

// Both workspace files get the stored lines: written once, the scratch copy made a second
// name of the same content (files here are only ever replaced whole, so that is a copy).
void DeclarationSession::SaveWorkspaceLines()
{
    scratchInSync_ = false;
    FixedFormatDataSet1.SaveLinesTo(workspace_.record2());
    journal_->reset();
    if (!replaceWithLink(workspace_.record2(), workspace_.record21())) CopyFile(workspace_.record2(), workspace_.record21());
    scratchInSync_ = true;
}

// A store or delete reaches the workspace as one journal entry; the file of lines is
// rewritten whole only when the journal has grown past a fraction of it.
void DeclarationSession::StoreWorkspaceChanges()
{
    if (journal_->wantsCompaction()) {
        SaveWorkspaceLines();
        return;
    }
    journal_->flush();
    FixedFormatDataSet1.MarkLinesSaved();
}

// Readers of the workspace file (the scratch copy) need every line in it.
void DeclarationSession::FoldJournal()
{
    if (FixedFormatDataSet1.Active() && journal_->holdsEntries()) SaveWorkspaceLines();
}

// The detail store over the workspace file, with what a journal left folded in first.
void DeclarationSession::OpenDetails()
{
    WorkspaceJournal::fold(workspace_.record2(), workspace_.journal());
    journal_->reset();
    FixedFormatDataSet1.Open();
}

void DeclarationSession::RefreshScratchCopy()
{
    if (deferred_)
        scratchCopyPending_ = true;
    else
        CopyScratch();
}

void DeclarationSession::CopyScratch()
{
    if (scratchInSync_) return;
    if (!replaceWithLink(workspace_.record2(), workspace_.record21())) CopyFile(workspace_.record2(), workspace_.record21());
    scratchInSync_ = true;
}

void DeclarationSession::BeginDeferredWorkspace()
{
    deferred_ = true;
    workspaceDirty_ = scratchCopyPending_ = false;
}

void DeclarationSession::EndDeferredWorkspace()
{
    deferred_ = false;
    // Stored lines rewrite both files (any later copy would copy the same lines); a copy
    // alone means only a refused new line reached the duplicate search.
    if (workspaceDirty_) {
        SaveWorkspaceLines();
    } else if (scratchCopyPending_) {
        CopyScratch();
    }
    workspaceDirty_ = scratchCopyPending_ = false;
}

void DeclarationSession::Sort(SortKey key)
{
    if (!PostPendingEdit()) return;
    TFixedFormatDataSet& ds = FixedFormatDataSet1;
    if (!ds.Active()) return;  // no declaration: the buttons are under the start panel then
    ui_.SetHourglass(true);
    ui_.BeginPleaseWait();
    Guarded([&] {
        // The stored lines at the record size: what concatenating every field's full value
        // gives. Views into the store: a million lines are not copied.
        const size_t n = static_cast<size_t>(ds.CountRecords());
        const size_t recordSize = static_cast<size_t>(ds.RecordSize());
        std::vector<std::string_view> lines(n);
        for (size_t i = 0; i < n; ++i) lines[i] = std::string_view(ds.LineAt(i)).substr(0, recordSize);
        const size_t headLength = key == SortKey::Surname ? static_cast<size_t>(detail::fields[detail::SurName].offset) : 0;
        std::vector<std::string_view> keys(n);
        for (size_t i = 0; i < n; ++i) keys[i] = lines[i].substr(std::min(headLength, lines[i].size()));
        std::vector<size_t> order = exchangeSortOrder(keys);
        scratchInSync_ = false;
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
        OpenDetails();
        ds.MoveFirst();
    });
    ui_.EndPleaseWait();
    ui_.SetHourglass(false);
    if (!FixedFormatDataSet1.Active()) {
        // A failed rewrite left the old file in place: show the lines it holds.
        Guarded([&] { OpenDetails(); });
    }
    DeclarationModified = true;
    Changed();
}

}  // namespace edlt
