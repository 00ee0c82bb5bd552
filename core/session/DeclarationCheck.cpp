// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/DeclarationCheck.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <exception>
#include <system_error>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/base/TwoCores.h"
#include "core/rules/DeclarationRules.h"
#include "core/rules/DetailValidation.h"
#include "core/rules/Messages.h"
#include "core/rules/TotalsLedger.h"
#include "core/store/DetailRecord.h"

namespace edlt {

namespace {

// A stored line's fields, each cut from the stored line when first asked for: the
// validation normalises them here, not in the store. Only the lines are read (never the
// store's cursor or state), so a check in the background can run beside the window.
class CopiedLine : public LineFields {
public:
    explicit CopiedLine(const FixedWidthTable& lines) : lines_(lines) {}
    void load(size_t index)
    {
        text_ = lines_.lineAt(index);
        read_.fill(false);
    }
    std::string value(int field) const override { return slot(field); }
    void set(int field, std::string_view value) override
    {
        // Written over: the stored text need not be cut out first.
        const size_t f = static_cast<size_t>(field);
        values_[f] = value;
        read_[f] = true;
    }

private:
    std::string& slot(int field) const
    {
        const size_t f = static_cast<size_t>(field);
        if (!read_[f]) {
            values_[f] = detail::fieldValue(text_, static_cast<detail::Field>(field));
            read_[f] = true;
        }
        return values_[f];
    }

    const FixedWidthTable& lines_;
    std::string_view text_;
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

// What checking the lines needs, taken on the window's thread: the lines themselves are
// only read, and do not change while the check runs.
struct LinePass {
    const FixedWidthTable& lines;
    const TotalsLedger& ledger;
    std::string declarantAfm;
    size_t count = 0;
    // The ledger's pair counts tell whether the duplicate search can find anything.
    bool duplicates = false;
    const std::atomic<bool>* stop = nullptr;  // set: give up as soon as possible

    static LinePass of(const DeclarationView& declaration)
    {
        const FixedWidthTable& lines = declaration.detailStore();
        LinePass pass{lines, declaration.ledger(), declaration.header().AFM};
        pass.count = lines.active() ? static_cast<size_t>(lines.countRecords()) : 0;
        pass.duplicates = declaration.ledger().hasDuplicatePairs();
        return pass;
    }
    bool stopped() const { return stop && stop->load(std::memory_order_relaxed); }
};

// Bytes no field of the declaration may hold: control characters, which the tax office's
// reader takes for something else, and the bytes Windows-1253 leaves undefined. A file
// opened keeps them (nothing changes bytes unasked), so the check is where they show.
constexpr std::array<bool, 256> forbiddenBytes = [] {
    std::array<bool, 256> table{};
    for (size_t b = 0; b < 0x20; ++b) table[b] = true;
    for (char c : std::string_view("\x7F\x81\x88\x8A\x8C\x8D\x8E\x8F\x90\x98\x9A\x9C\x9D\x9E\x9F\xAA\xD2\xFF"))
        table[static_cast<unsigned char>(c)] = true;
    return table;
}();

bool holdsForbiddenByte(std::string_view text)
{
    bool any = false;
    for (char c : text) any |= forbiddenBytes[static_cast<unsigned char>(c)];
    return any;
}

// "Το πεδίο «Επώνυμο» περιέχει τον χαρακτήρα \x1B, που δεν επιτρέπεται στη δήλωση", each
// byte once, in the order met; nullopt when the value holds none.
std::optional<std::string> forbiddenBytesMessage(const std::string& fieldName, std::string_view value)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string shown;
    size_t count = 0;
    std::array<bool, 256> seen{};
    for (char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if (!forbiddenBytes[b] || seen[b]) continue;
        seen[b] = true;
        shown += std::string(count++ ? " " : "") + "\\x" + hex[b >> 4] + hex[b & 15];
    }
    if (count == 0) return std::nullopt;
    return format(
        cp1253::lit(count == 1 ? "Το πεδίο «%s» περιέχει τον χαρακτήρα %s, που δεν επιτρέπεται στη δήλωση"
                               : "Το πεδίο «%s» περιέχει τους χαρακτήρες %s, που δεν επιτρέπονται στη δήλωση"),
        {fieldName, shown});
}

// The detail fields read as text; amounts and days are read as numbers, whose conversion
// message already shows their bytes.
const std::array<std::pair<detail::Field, const char*>, 10>& detailTextFields()
{
    return detail::textFieldCaptions;
}

void checkLineBytes(std::string_view line, long lineNumber, std::vector<CheckFinding>& out)
{
    if (!holdsForbiddenByte(line)) return;
    for (const auto& [field, name] : detailTextFields()) {
        const detail::FieldDef& def = detail::fields[field];
        if (line.size() <= static_cast<size_t>(def.offset)) break;
        const std::string_view value = line.substr(static_cast<size_t>(def.offset), static_cast<size_t>(def.width));
        if (auto message = forbiddenBytesMessage(cp1253::lit(name), value))
            out.push_back({lineNumber, std::move(*message), false, field, std::nullopt});
    }
}

// Lines [first, last) through the line validation; the findings go to out in line order.
// Each line's pair key goes to keys[line] for the duplicate search.
void checkRange(const LinePass& pass, size_t first, size_t last, std::vector<CheckFinding>& out,
                std::vector<PairKey>& keys, const std::function<void(size_t)>& progress)
{
    const DetailValidation* current = nullptr;
    FindingsQuestions ui(out, current);
    // Stored lines are never new: the duplicate search of a new line does not run, so no
    // scratch copy is needed.
    DetailValidation validation(ui, pass.ledger, {});
    current = &validation;
    CopiedLine line(pass.lines);
    for (size_t i = first; i < last; ++i) {
        if ((i - first) % 1024 == 0) {
            if (pass.stopped()) return;
            if (progress && (i - first) % 32768 == 0) progress(i - first);
        }
        ui.line = static_cast<long>(i + 1);
        line.load(i);
        try {
            validation.run(line, pass.declarantAfm, false);
        } catch (const Error& e) {
            // A conversion error ends the line's checks as a refusal would.
            ui.add(e.message(), false);
            out.back().conversion = dynamic_cast<const ConvertError*>(&e) != nullptr;
        }
        checkLineBytes(pass.lines.lineAt(i), ui.line, out);
        // The validation never changes these two: they are the stored values.
        if (pass.duplicates) keys[i] = PairKey::of(line.value(detail::AFM), line.value(detail::TypeInc));
    }
}

void checkLines(const LinePass& pass, std::vector<CheckFinding>& out, std::vector<PairKey>& keys,
                const CheckProgress& progress)
{
    const size_t count = pass.count;
    keys.assign(pass.duplicates ? count : 0, PairKey{});
    // Checking only reads the lines: a second core takes the second half of a large
    // declaration, while this thread keeps the progress (and the window) going.
    const size_t half = count >= 65536 && std::thread::hardware_concurrency() > 1 ? count / 2 : count;
    std::vector<CheckFinding> secondHalf;
    runBoth(
        half < count,
        [&] {
            checkRange(pass, 0, half, out, keys, [&](size_t done) {
                if (progress) progress(done * count / std::max<size_t>(half, 1), count);
            });
        },
        [&] { checkRange(pass, half, count, secondHalf, keys, {}); });
    out.insert(out.end(), std::make_move_iterator(secondHalf.begin()), std::make_move_iterator(secondHalf.end()));
    if (progress) progress(count, count);
}

void checkDeclarant(const DeclarationView& declaration, std::vector<CheckFinding>& out)
{
    const HeaderFields& h = declaration.header();
    for (DeclarantFinding& f : declarantFindings(h, declaration.today().year))
        out.push_back({0, std::move(f.message), false, -1, f.field, f.kind == DeclarantFinding::Kind::ConversionError});
    static constexpr std::pair<HeaderField, const char*> names[] = {
        {HeaderField::YearOfData, "Έτος"},
        {HeaderField::AFM, "ΑΦΜ"},
        {HeaderField::AntikeimenoErgasion, "Αντικείμενο Εργασιών"},
        {HeaderField::CompanyName, nullptr},
        {HeaderField::Name, "Όνομα"},
        {HeaderField::FatherName, "Όνομα Πατέρα"},
        {HeaderField::Town, "Πόλη"},
        {HeaderField::Street, "Οδός"},
        {HeaderField::Number, "Αριθμός"},
        {HeaderField::TK, "ΤΚ"},
    };
    for (const auto& [field, name] : names) {
        // A business's name and father's name are not written: nothing of theirs reaches the file.
        if (h.business && (field == HeaderField::Name || field == HeaderField::FatherName)) continue;
        const std::string caption = cp1253::lit(name ? name : h.business ? "Επωνυμία" : "Επώνυμο");
        if (auto message = forbiddenBytesMessage(caption, h.value(field)))
            out.push_back({0, std::move(*message), false, -1, field});
    }
}

void checkDuplicates(const LinePass& pass, const std::vector<PairKey>& keys, std::vector<CheckFinding>& out)
{
    if (!pass.duplicates) return;
    for (const auto& [i, j] : duplicatePairs(duplicateGroups(keys)))
        out.push_back({static_cast<long>(j) + 1,
                       msg::duplicateLine(std::string(detail::fieldValue(pass.lines.lineAt(i), detail::AFM))), false,
                       detail::AFM, std::nullopt});
}

// A check in the background gives up for a lower priority than the window's thread (and
// the threads it starts inherit it), so scrolling and typing stay quick meanwhile.
void yieldToTheWindow()
{
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
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

CheckResult checkDeclaration(const DeclarationView& declaration, const CheckProgress& progress)
{
    const LinePass pass = LinePass::of(declaration);
    CheckResult result;
    std::vector<PairKey> keys;
    checkLines(pass, result.findings, keys, progress);
    checkDeclarant(declaration, result.findings);
    checkDuplicates(pass, keys, result.findings);
    return result;
}

// A check of the lines running on its own thread.
struct DeclarationChecker::Background {
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};  // the findings (or failure) are there to take
    std::atomic<size_t> done{0};
    size_t total = 0;
    std::vector<CheckFinding> lineFindings, pairFindings;
    std::exception_ptr failure;
    std::thread thread;
};

DeclarationChecker::DeclarationChecker(const DeclarationView& declaration) : declaration_(declaration) {}

DeclarationChecker::~DeclarationChecker()
{
    stopBackground();
}

namespace {

bool changesLines(const DataSetChange& change)
{
    // Typing into the edit buffer or moving the cursor changes no stored line.
    return change.kind == DataSetChange::Reset || change.kind == DataSetChange::RecordInserted ||
           change.kind == DataSetChange::RecordRemoved || change.kind == DataSetChange::RecordChanged;
}

}  // namespace

void DeclarationChecker::dataSetAboutToChange(const DataSetChange& change)
{
    // The lines a background check reads must not change under it: it stops first.
    if (changesLines(change)) stopBackground();
}

void DeclarationChecker::dataSetChanged(const DataSetChange& change)
{
    if (changesLines(change)) {
        stopBackground();  // a change told without being announced
        result_.reset();
        ++changes_;
    }
}

bool DeclarationChecker::stale() const
{
    return !result_ || checkedHeader_ != headerKey(declaration_.header()) || checkedYear_ != declaration_.today().year;
}

long DeclarationChecker::lineCount() const
{
    const FixedWidthTable& lines = declaration_.detailStore();
    return lines.active() ? lines.countRecords() : 0;
}

bool DeclarationChecker::quick() const
{
    // A few thousand lines check faster than the window could appear.
    constexpr long quickLines = 20000;
    return lineCount() < quickLines;
}

const CheckResult& DeclarationChecker::result(const CheckProgress& progress)
{
    // The progress lets the window paint, and so take a finished check in itself meanwhile.
    while (background_ && !background_->finished.load()) {
        if (progress) progress(background_->done.load(), background_->total);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (background_) takeBackground();
    if (stale()) {
        checkedHeader_ = headerKey(declaration_.header());
        checkedYear_ = declaration_.today().year;
        result_ = checkDeclaration(declaration_, progress);
    }
    return *result_;
}

bool DeclarationChecker::startInBackground(std::function<void()> ready)
{
    if (background_ || !stale()) return false;
    auto job = std::make_unique<Background>();
    LinePass pass = LinePass::of(declaration_);
    pass.stop = &job->stop;
    job->total = pass.count;
    Background& j = *job;
    try {
        job->thread = std::thread([&j, pass, ready = std::move(ready)] {
            yieldToTheWindow();
            try {
                std::vector<PairKey> keys;
                checkLines(pass, j.lineFindings, keys, [&j](size_t done, size_t) { j.done = done; });
                if (!pass.stopped()) checkDuplicates(pass, keys, j.pairFindings);
            } catch (...) {
                j.failure = std::current_exception();
            }
            if (pass.stopped()) return;
            j.finished = true;
            if (ready) ready();
        });
    } catch (const std::system_error&) {
        return false;  // checked on this thread instead
    }
    background_ = std::move(job);
    return true;
}

void DeclarationChecker::stopBackground()
{
    if (!background_) return;
    background_->stop = true;
    background_->thread.join();
    background_.reset();
}

bool DeclarationChecker::collect()
{
    if (!background_ || !background_->finished.load()) return false;
    takeBackground();
    return true;
}

void DeclarationChecker::takeBackground()
{
    const std::unique_ptr<Background> job = std::move(background_);
    job->thread.join();
    if (job->failure) std::rethrow_exception(job->failure);
    // The lines are those the check read; the declarant's checks take the header as it is now.
    CheckResult result;
    result.findings = std::move(job->lineFindings);
    checkDeclarant(declaration_, result.findings);
    result.findings.insert(result.findings.end(), std::make_move_iterator(job->pairFindings.begin()),
                           std::make_move_iterator(job->pairFindings.end()));
    checkedHeader_ = headerKey(declaration_.header());
    checkedYear_ = declaration_.today().year;
    result_ = std::move(result);
}

const CheckResult& checkWithPleaseWait(DeclarationChecker& checker, UserInterface& ui)
{
    if (!checker.stale() || checker.quick()) return checker.result();
    const PleaseWait wait(ui);
    return checker.result([&ui](size_t done, size_t total) { ui.pleaseWaitProgress(done, total); });
}

std::string saveWithFindingsQuestion(size_t refusedLines)
{
    return cp1253::lit("Η δήλωση έχει ") + std::to_string(refusedLines) +
           cp1253::lit(refusedLines == 1 ? " γραμμή που δεν περνά τους ελέγχους. Να αποθηκευτεί;"
                                         : " γραμμές που δεν περνούν τους ελέγχους. Να αποθηκευτεί;");
}

std::string linesWithProblemsText(size_t refusedLines)
{
    return std::to_string(refusedLines) +
           cp1253::lit(refusedLines == 1 ? " γραμμή με προβλήματα" : " γραμμές με προβλήματα");
}

std::string findingAfm(const CheckFinding& finding, const DeclarationView& declaration)
{
    if (finding.line <= 0) return declaration.header().AFM;
    return declaration.detailStore().fieldValueAt(static_cast<size_t>(finding.line - 1), detail::AFM);
}

std::string findingSurname(const CheckFinding& finding, const DeclarationView& declaration)
{
    if (finding.line <= 0) return declaration.header().CompanyName;
    return declaration.detailStore().fieldValueAt(static_cast<size_t>(finding.line - 1), detail::SurName);
}

const std::string& findingKindText(const CheckFinding& finding)
{
    static const std::string refusal = cp1253::lit("Λάθος"), question = cp1253::lit("Ερώτηση");
    return finding.question ? question : refusal;
}

std::string findingsCsv(const CheckResult& result, const DeclarationView& declaration)
{
    std::string csv = "\xEF\xBB\xBF" + cp1253::toUtf8(cp1253::lit("Γραμμή;ΑΦΜ;Επώνυμο;Είδος;Μήνυμα")) + "\r\n";
    for (const CheckFinding& f : result.findings) {
        csv += std::to_string(f.line);
        for (const std::string& text :
             {findingAfm(f, declaration), findingSurname(f, declaration), findingKindText(f), f.message})
            csv += ';' + csvField(cp1253::toUtf8(text));
        csv += "\r\n";
    }
    return csv;
}

}  // namespace edlt
