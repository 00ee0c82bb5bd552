#include "app/DeclarationCheck.h"

#include <array>
#include <unordered_map>

#include "app/DeclarationSession.h"
#include "entry/CheckAFM.h"
#include "entry/DetailValidation.h"
#include "entry/Messages.h"
#include "store/Cp1253.h"
#include "store/DetailRecord.h"
#include "store/Error.h"

namespace edlt {

namespace {

// A stored line's fields, copied: the validation normalises them here, not in the store.
class CopiedLine : public LineFields {
public:
    void load(const TFixedFormatDataSet& lines, size_t index)
    {
        for (int f = 0; f < detail::FieldCount; ++f) values_[static_cast<size_t>(f)] = lines.FieldValueAt(index, f);
    }
    std::string value(int field) const override { return values_[static_cast<size_t>(field)]; }
    void set(int field, std::string_view value) override { values_[static_cast<size_t>(field)] = value; }

private:
    std::array<std::string, detail::FieldCount> values_;
};

// What the validation shows becomes a finding of the line being checked; every question
// is answered yes, so the checks go on as the command line's answer would let them.
class FindingsUI : public UnattendedUserInterface {
public:
    FindingsUI(std::vector<CheckFinding>& out, const DetailValidation*& validation) : out_(out), validation_(validation)
    {
    }
    long line = 0;

    int AskQuestion(const std::string& text, int, const std::vector<std::string>&) override
    {
        add(text, true);
        return mrYes;
    }
    void ShowNotice(const std::string& text) override { add(text, false); }
    void ShowWarning(const std::string& text) override { add(text, false); }
    void ShowError(const std::string& text) override { add(text, false); }

    void add(const std::string& text, bool question)
    {
        out_.push_back({line, text, question, validation_ ? validation_->lastField() : -1, std::nullopt});
    }

private:
    std::vector<CheckFinding>& out_;
    const DetailValidation*& validation_;
};

void checkLines(DeclarationSession& session, std::vector<CheckFinding>& out, const CheckProgress& progress)
{
    const TFixedFormatDataSet& lines = session.FixedFormatDataSet1;
    const size_t count = lines.Active() ? static_cast<size_t>(lines.CountRecords()) : 0;
    const DetailValidation* current = nullptr;
    FindingsUI ui(out, current);
    // Stored lines are never new: the duplicate search of a new line does not run, so no
    // scratch copy is needed.
    DetailValidation validation(ui, session.Ledger(), {});
    current = &validation;
    const std::string declarantAfm = session.Header().AFM;
    CopiedLine line;
    bool accepted = false;
    for (size_t i = 0; i < count; ++i) {
        if (progress && i % 65536 == 0) progress(i, count);
        ui.line = static_cast<long>(i + 1);
        line.load(lines, i);
        try {
            validation.Run(line, declarantAfm, false, accepted);
        } catch (const Error& e) {
            // A conversion error ends the line's checks as a refusal would.
            ui.add(e.message(), false);
        }
    }
    if (progress) progress(count, count);
}

// The declarant checks of Save As, each run on its own.
void checkDeclarant(DeclarationSession& session, std::vector<CheckFinding>& out)
{
    const HeaderFields& h = session.Header();
    auto finding = [&](const std::string& message, HeaderField field) {
        out.push_back({0, message, false, -1, field});
    };
    try {
        if (!session.YearAcceptable()) finding(msg::writeYear(), HeaderField::YearOfData);
    } catch (const ConvertError& e) {
        finding(e.message(), HeaderField::YearOfData);
    }
    if (h.CompanyName.empty())
        finding(h.business ? msg::writeCompanyName() : msg::writePersonName(), HeaderField::CompanyName);
    try {
        if (!CheckAFM(h.AFM)) finding(msg::wrongDeclarantAfmOnSave(), HeaderField::AFM);
    } catch (const ConvertError& e) {
        finding(e.message(), HeaderField::AFM);
    }
}

void checkDuplicates(const TFixedFormatDataSet& lines, std::vector<CheckFinding>& out)
{
    const size_t n = lines.Active() ? static_cast<size_t>(lines.CountRecords()) : 0;
    // First count each key; only keys that come again need their lines listed.
    std::vector<std::string> keys(n);
    std::unordered_map<std::string_view, uint32_t> count;
    count.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        keys[i] = lines.FieldValueAt(i, detail::AFM) + '\n' + lines.FieldValueAt(i, detail::TypeInc);
        ++count[keys[i]];
    }
    std::unordered_map<std::string_view, std::vector<size_t>> groups;
    for (size_t i = 0; i < n; ++i)
        if (count[keys[i]] > 1) groups[keys[i]].push_back(i);
    if (groups.empty()) return;
    std::unordered_map<std::string_view, size_t> seen;
    for (size_t i = 0; i < n; ++i) {
        auto g = groups.find(keys[i]);
        if (g == groups.end()) continue;
        const std::vector<size_t>& group = g->second;
        const std::string afm = lines.FieldValueAt(i, detail::AFM);
        for (size_t k = ++seen[keys[i]]; k < group.size(); ++k)
            out.push_back({static_cast<long>(group[k] + 1), msg::duplicateLine(afm), false, detail::AFM, std::nullopt});
    }
}

std::string headerKey(const HeaderFields& h)
{
    std::string key;
    for (const std::string* v : {&h.YearOfData, &h.AFM, &h.CompanyName}) key += *v + '\n';
    return key + (h.business ? "0" : "1");
}

std::string csvField(const std::string& utf8)
{
    if (utf8.find_first_of(";\"\r\n") == std::string::npos) return utf8;
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

size_t CheckResult::refusedLines() const
{
    size_t lines = 0;
    std::vector<bool> counted;
    for (const CheckFinding& f : findings) {
        if (f.question) continue;
        const size_t at = static_cast<size_t>(f.line);
        if (at >= counted.size()) counted.resize(at + 1);
        if (!counted[at]) {
            counted[at] = true;
            ++lines;
        }
    }
    return lines;
}

size_t CheckResult::questions() const
{
    size_t n = 0;
    for (const CheckFinding& f : findings) n += f.question ? 1 : 0;
    return n;
}

CheckResult CheckDeclaration(DeclarationSession& session, const CheckProgress& progress)
{
    CheckResult result;
    checkLines(session, result.findings, progress);
    checkDeclarant(session, result.findings);
    checkDuplicates(session.FixedFormatDataSet1, result.findings);
    return result;
}

DeclarationChecker::DeclarationChecker(DeclarationSession& session) : session_(session)
{
    session_.FixedFormatDataSet1.AddObserver(this);
}

DeclarationChecker::~DeclarationChecker()
{
    session_.FixedFormatDataSet1.RemoveObserver(this);
}

void DeclarationChecker::dataSetChanged(const DataSetChange& change)
{
    // Typing into the edit buffer or moving the cursor changes no stored line.
    if (change.kind == DataSetChange::Reset || change.kind == DataSetChange::RecordInserted ||
        change.kind == DataSetChange::RecordRemoved || change.kind == DataSetChange::RecordChanged) {
        result_.reset();
        ++changes_;
    }
}

bool DeclarationChecker::stale() const
{
    return !result_ || checkedHeader_ != headerKey(session_.Header()) || checkedYear_ != session_.Today().year;
}

long DeclarationChecker::lineCount() const
{
    const TFixedFormatDataSet& lines = session_.FixedFormatDataSet1;
    return lines.Active() ? lines.CountRecords() : 0;
}

const CheckResult& DeclarationChecker::result(const CheckProgress& progress)
{
    if (stale()) {
        checkedHeader_ = headerKey(session_.Header());
        checkedYear_ = session_.Today().year;
        result_ = CheckDeclaration(session_, progress);
    }
    return *result_;
}

const CheckResult& CheckWithPleaseWait(DeclarationChecker& checker, UserInterface& ui)
{
    // A few thousand lines check faster than the window could appear.
    constexpr long quickLines = 20000;
    if (!checker.stale() || checker.lineCount() < quickLines) return checker.result();
    struct PleaseWait {
        UserInterface& ui;
        explicit PleaseWait(UserInterface& u) : ui(u)
        {
            ui.SetHourglass(true);
            ui.BeginPleaseWait();
        }
        ~PleaseWait()
        {
            ui.EndPleaseWait();
            ui.SetHourglass(false);
        }
    } wait(ui);
    return checker.result([&ui](size_t done, size_t total) { ui.PleaseWaitProgress(done, total); });
}

std::string saveWithFindingsQuestion(size_t refusedLines)
{
    return cp1253::lit("Η δήλωση έχει ") + std::to_string(refusedLines) +
           cp1253::lit(" γραμμές που δεν περνούν τους ελέγχους. Να αποθηκευτεί;");
}

std::string linesWithProblemsText(size_t refusedLines)
{
    return std::to_string(refusedLines) + cp1253::lit(" γραμμές με προβλήματα");
}

std::string findingAfm(const CheckFinding& finding, const DeclarationSession& session)
{
    if (finding.line <= 0) return session.Header().AFM;
    return session.FixedFormatDataSet1.FieldValueAt(static_cast<size_t>(finding.line - 1), detail::AFM);
}

std::string findingSurname(const CheckFinding& finding, const DeclarationSession& session)
{
    if (finding.line <= 0) return session.Header().CompanyName;
    return session.FixedFormatDataSet1.FieldValueAt(static_cast<size_t>(finding.line - 1), detail::SurName);
}

const std::string& findingKindText(const CheckFinding& finding)
{
    static const std::string refusal = cp1253::lit("Λάθος"), question = cp1253::lit("Ερώτηση");
    return finding.question ? question : refusal;
}

std::string FindingsCsv(const CheckResult& result, const DeclarationSession& session)
{
    std::string csv = "\xEF\xBB\xBF" + cp1253::toUtf8(cp1253::lit("Γραμμή;ΑΦΜ;Επώνυμο;Είδος;Μήνυμα")) + "\r\n";
    for (const CheckFinding& f : result.findings) {
        csv += std::to_string(f.line);
        for (const std::string& text :
             {findingAfm(f, session), findingSurname(f, session), findingKindText(f), f.message})
            csv += ';' + csvField(cp1253::toUtf8(text));
        csv += "\r\n";
    }
    return csv;
}

}  // namespace edlt
