#include "app/DeclarationCheck.h"

#include <algorithm>
#include <array>
#include <exception>
#include <thread>

#include "app/DeclarationSession.h"
#include "entry/DeclarationRules.h"
#include "entry/DetailValidation.h"
#include "entry/Messages.h"
#include "base/Cp1253.h"
#include "store/DetailRecord.h"
#include "base/Error.h"

namespace edlt {

namespace {

// A stored line's fields, each read from the store when first asked for: the validation
// normalises them here, not in the store.
class CopiedLine : public LineFields {
public:
    explicit CopiedLine(const TFixedFormatDataSet& lines) : lines_(lines) {}
    void load(size_t index)
    {
        index_ = index;
        read_.fill(false);
    }
    std::string value(int field) const override { return slot(field); }
    void set(int field, std::string_view value) override { slot(field) = value; }

private:
    std::string& slot(int field) const
    {
        const size_t f = static_cast<size_t>(field);
        if (!read_[f]) {
            values_[f] = lines_.FieldValueAt(index_, field);
            read_[f] = true;
        }
        return values_[f];
    }

    const TFixedFormatDataSet& lines_;
    size_t index_ = 0;
    mutable std::array<std::string, detail::FieldCount> values_;
    mutable std::array<bool, detail::FieldCount> read_{};
};

// What the validation shows becomes a finding of the line being checked; every question
// is answered yes, so the checks go on as the command line's answer would let them.
class FindingsQuestions : public LineQuestions {
public:
    FindingsQuestions(std::vector<CheckFinding>& out, const DetailValidation*& validation)
        : out_(out), validation_(validation)
    {
    }
    long line = 0;

    void refuse(const std::string& message) override { add(message, false); }
    bool confirm(const std::string& question) override
    {
        add(question, true);
        return true;
    }

    void add(const std::string& text, bool question)
    {
        out_.push_back({line, text, question, validation_ ? validation_->lastField() : -1, std::nullopt});
    }

private:
    std::vector<CheckFinding>& out_;
    const DetailValidation*& validation_;
};

// Lines [first, last) through the line validation; the findings go to out in line order.
// Each line's pair key goes to keys[line] for the duplicate search.
void checkRange(const DeclarationSession& session, size_t first, size_t last, std::vector<CheckFinding>& out,
                std::vector<PairKey>& keys, const std::function<void(size_t)>& progress)
{
    const TFixedFormatDataSet& lines = session.DetailStore();
    const DetailValidation* current = nullptr;
    FindingsQuestions ui(out, current);
    // Stored lines are never new: the duplicate search of a new line does not run, so no
    // scratch copy is needed.
    DetailValidation validation(ui, session.Ledger(), {});
    current = &validation;
    const std::string& declarantAfm = session.Header().AFM;
    CopiedLine line(lines);
    for (size_t i = first; i < last; ++i) {
        if (progress && (i - first) % 32768 == 0) progress(i - first);
        ui.line = static_cast<long>(i + 1);
        line.load(i);
        try {
            validation.Run(line, declarantAfm, false);
        } catch (const Error& e) {
            // A conversion error ends the line's checks as a refusal would.
            ui.add(e.message(), false);
        }
        // The validation never changes these two: they are the stored values.
        keys[i] = PairKey::of(line.value(detail::AFM), line.value(detail::TypeInc));
    }
}

void checkLines(const DeclarationSession& session, std::vector<CheckFinding>& out, std::vector<PairKey>& keys,
                const CheckProgress& progress)
{
    const TFixedFormatDataSet& lines = session.DetailStore();
    const size_t count = lines.Active() ? static_cast<size_t>(lines.CountRecords()) : 0;
    keys.assign(count, PairKey{});
    // Checking only reads the lines: a second core takes the second half of a large
    // declaration, while this thread keeps the progress (and the window) going.
    const size_t half = count >= 65536 && std::thread::hardware_concurrency() > 1 ? count / 2 : count;
    std::vector<CheckFinding> secondHalf;
    std::exception_ptr failure;
    std::thread helper;
    if (half < count)
        helper = std::thread([&] {
            try {
                checkRange(session, half, count, secondHalf, keys, {});
            } catch (...) {
                failure = std::current_exception();
            }
        });
    try {
        checkRange(session, 0, half, out, keys, [&](size_t done) {
            if (progress) progress(done * count / std::max<size_t>(half, 1), count);
        });
    } catch (...) {
        if (helper.joinable()) helper.join();
        throw;
    }
    if (helper.joinable()) helper.join();
    if (failure) std::rethrow_exception(failure);
    out.insert(out.end(), std::make_move_iterator(secondHalf.begin()), std::make_move_iterator(secondHalf.end()));
    if (progress) progress(count, count);
}

void checkDeclarant(const DeclarationSession& session, std::vector<CheckFinding>& out)
{
    for (DeclarantFinding& f : declarantFindings(session.Header(), session.Today().year))
        out.push_back({0, std::move(f.message), false, -1, f.field});
}

void checkDuplicates(const TFixedFormatDataSet& lines, const std::vector<PairKey>& keys,
                     std::vector<CheckFinding>& out)
{
    for (const auto& [i, j] : duplicatePairs(duplicateGroups(keys)))
        out.push_back({static_cast<long>(j) + 1, msg::duplicateLine(lines.FieldValueAt(i, detail::AFM)), false,
                       detail::AFM, std::nullopt});
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
    std::vector<PairKey> keys;
    checkLines(session, result.findings, keys, progress);
    checkDeclarant(session, result.findings);
    checkDuplicates(session.DetailStore(), keys, result.findings);
    return result;
}

DeclarationChecker::DeclarationChecker(DeclarationSession& session) : session_(session)
{
    session_.DetailStore().AddObserver(this);
}

DeclarationChecker::~DeclarationChecker()
{
    session_.DetailStore().RemoveObserver(this);
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
    const TFixedFormatDataSet& lines = session_.DetailStore();
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
    const PleaseWait wait(ui);
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
    return session.DetailStore().FieldValueAt(static_cast<size_t>(finding.line - 1), detail::AFM);
}

std::string findingSurname(const CheckFinding& finding, const DeclarationSession& session)
{
    if (finding.line <= 0) return session.Header().CompanyName;
    return session.DetailStore().FieldValueAt(static_cast<size_t>(finding.line - 1), detail::SurName);
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
