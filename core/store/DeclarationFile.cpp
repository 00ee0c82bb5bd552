// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/DeclarationFile.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <exception>
#include <system_error>
#include <thread>

#include "core/base/Amount.h"
#include "core/base/Convert.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/base/Handoff.h"
#include "core/base/Text.h"
#include "core/base/TwoCores.h"
#include "core/store/AtomicFile.h"
#include "core/store/DeclarantRecord.h"
#include "core/store/DetailRecord.h"

namespace edlt {
namespace {

using detail::Field;
using detail::RecordSize;

constexpr std::string_view lineBreak = "\r\n";
// Output is handed to the sink in blocks of about this size rather than record by record.
constexpr size_t sinkBlock = 1 << 18;

// The detail fields behind the totals Edit1..Edit9, for messages.
const std::array<std::string, 9>& totalsCaptions()
{
    static const std::array<std::string, 9> captions = {
        cp1253::lit("Σύνολο Ακαθάριστων Αποδοχών"),
        cp1253::lit("Σύνολο Κρατήσεων"),
        cp1253::lit("Σύνολο Καθαρών Αποδοχών"),
        cp1253::lit("Σύνολο Φόρου που Παρακρατήθηκε"),
        cp1253::lit("Σύνολο Χαρτοσήμου"),
        cp1253::lit("Σύνολο ΟΓΑ Χαρτοσήμου"),
        cp1253::lit("Σύνολο Φόρου που Αναλογεί"),
        cp1253::lit("Σύνολο ΟΓΑ Φόρου που Παρακρατήθηκε"),
        cp1253::lit("Σύνολο ΟΓΑ Φόρου που Αναλογεί"),
    };
    return captions;
}

// A field of a line as the store reads it: empty when the line ends before it.
std::string_view fieldOf(std::string_view line, size_t offset, size_t width)
{
    if (line.size() <= offset) return {};
    return line.substr(offset, width);
}

// The last guard of the file's shape: whatever a field was given, a record stays one line
// of its width. Only line breaks are blanked: a line read from a file holds none, and text
// typed or imported is cleaned where it comes in, so every byte read is written back as it
// was (the check tells of the control characters a file holds).
void blankLineBreaks(std::string& out, size_t from)
{
    auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
    std::replace_if(out.begin() + static_cast<ptrdiff_t>(from), out.end(), isBreak, ' ');
}

// Builds one record in place at the end of out; any value that would not fit its field
// marks the record bad, and finish() refuses it, so a record is never other than 170 bytes.
class RecordBuffer {
public:
    explicit RecordBuffer(std::string& out) : out_(out), start_(out.size()) {}

    void put(std::string_view s) { out_.append(s); }
    void fill(size_t count, char c) { out_.append(count, c); }

    void padded(std::string_view value, size_t width, const char* name)
    {
        if (value.size() > width) {
            fault(name);
            value = value.substr(0, width);
        }
        out_.append(value);
        out_.append(width - value.size(), ' ');
    }

    void zeroFilled(std::string_view digits, size_t width, const char* name)
    {
        if (digits.size() > width) {
            fault(name);
            digits = digits.substr(0, width);
        }
        out_.append(width - digits.size(), '0');
        out_.append(digits);
    }

    void finish()
    {
        blankLineBreaks(out_, start_);
        size_t size = out_.size() - start_;
        if (!faultField_ && size != static_cast<size_t>(RecordSize)) faultField_ = "record";
        if (faultField_) {
            out_.resize(start_);
            throw Error(
                format(cp1253::lit("Εσωτερικό σφάλμα: η τιμή του πεδίου %s δεν χωράει στην εγγραφή της δήλωσης"),
                       {faultField_}));
        }
        out_.append(lineBreak);
    }

private:
    void fault(const char* name)
    {
        if (!faultField_) faultField_ = name;
    }

    std::string& out_;
    size_t start_;
    const char* faultField_ = nullptr;
};

// Decimal digits of a non-negative whole number.
std::string_view digitsOf(int64_t value, char (&buffer)[24])
{
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string_view(buffer, static_cast<size_t>(result.ptr - buffer));
}

// The cents of an amount text, refused with the Greek message when the field cannot hold it.
int64_t centsForField(std::string_view text, int width, std::string_view caption)
{
    Amount amount = text.empty() ? Amount() : Amount::parse(text);
    int64_t cents = amount.cents();
    char buffer[24];
    if (cents < 0 || digitsOf(cents, buffer).size() > static_cast<size_t>(width)) {
        if (auto problem = amountWriteProblem(amount, width, caption)) throw Error(*problem);
        throw Error(format(cp1253::lit("Το ποσό %s στο πεδίο «%s» δεν χωράει στη δήλωση"), {text, caption}));
    }
    return cents;
}

void putCents(std::string& out, size_t at, int64_t cents, size_t width)
{
    char buffer[24];
    std::string_view digits = digitsOf(cents, buffer);
    std::fill_n(out.begin() + static_cast<ptrdiff_t>(at), width - digits.size(), '0');
    std::copy(digits.begin(), digits.end(), out.begin() + static_cast<ptrdiff_t>(at + width - digits.size()));
}

// Appends the file record of a workspace line; text fields keep their bytes, since reading
// them trimmed and padding them again to the same width gives the same bytes.
void appendFileRecord(std::string& out, std::string_view line)
{
    const size_t start = out.size();
    std::string_view body = line.substr(0, std::min(line.size(), static_cast<size_t>(RecordSize)));
    out.append(body);
    out.append(RecordSize - body.size(), ' ');
    try {
        out[start + detail::fields[detail::RecordType].offset] = '3';
        out[start + detail::fields[detail::FILLER].offset] = ' ';
        for (Field f : detail::amountFields) {
            const detail::FieldDef& def = detail::fields[f];
            const auto offset = static_cast<size_t>(def.offset), width = static_cast<size_t>(def.width);
            std::string_view value = trimRight(fieldOf(line, offset, width));
            int64_t cents = centsForField(value, def.width, detail::amountCaption(f));
            putCents(out, start + offset, cents, width);
        }
        const detail::FieldDef& days = detail::fields[detail::Hmeres];
        std::string_view dayText = trimRight(fieldOf(line, days.offset, days.width));
        int64_t dayCount = 0;
        if (!trim(dayText).empty()) {
            dayCount = strToInt(dayText);
            if (dayCount < 0 || dayCount > 999)
                throw Error(format(cp1253::lit("Μη αποδεκτός αριθμός ημερών απασχόλησης: %s"), {trim(dayText)}));
        }
        putCents(out, start + days.offset, dayCount, days.width);
        const detail::FieldDef& filler2 = detail::fields[detail::FILLER2];
        std::fill_n(out.begin() + static_cast<ptrdiff_t>(start + filler2.offset), filler2.width, ' ');
        blankLineBreaks(out, start);
    } catch (...) {
        out.resize(start);
        throw;
    }
}

void appendHeaderRecord(std::string& out, const HeaderFields& h, std::string_view today)
{
    RecordBuffer r(out);
    r.put("0");
    r.put("JL10    ");
    r.padded(today, 8, "date");
    r.padded(h.YearOfData, 4, "YearOfData");
    r.fill(149, ' ');
    r.finish();
}

void appendDeclarantRecord(std::string& out, const HeaderFields& h)
{
    RecordBuffer r(out);
    r.put("1");
    for (const declarant::FieldDef& f : declarant::fields) {
        if (f.offset == declarant::KindOffset + 1) r.put(h.business ? "0" : "1");  // the kind, before AFM
        const bool blank = h.business && (f.field == HeaderField::Name || f.field == HeaderField::FatherName);
        r.padded(blank ? std::string_view() : std::string_view(h.value(f.field)), static_cast<size_t>(f.width), f.name);
    }
    r.fill(RecordSize - declarant::FillerOffset, ' ');
    r.finish();
}

void appendTotalsRecord(std::string& out, const TotalsTexts& totals, bool anyLines)
{
    RecordBuffer r(out);
    r.put("2");
    if (!anyLines) {
        r.fill(124, '0');
    } else {
        for (size_t i = 0; i < totals.size(); ++i) {
            int64_t cents = centsForField(trimRight(totals[i]), totalsWidths[i], totalsCaptions()[i]);
            char buffer[24];
            r.zeroFilled(digitsOf(cents, buffer), static_cast<size_t>(totalsWidths[i]), "totals");
        }
    }
    r.fill(45, ' ');
    r.finish();
}

[[noreturn]] void refuseAmount(size_t lineNumber)
{
    const std::string& base = declaration_messages::openProblem();
    if (lineNumber == 0) throw Error(base + cp1253::lit(". Μη αποδεκτό ποσό"));
    throw Error(format(base + cp1253::lit(". Μη αποδεκτό ποσό στη γραμμή %d"), {std::to_string(lineNumber)}));
}

// Whether every byte of field is a digit, eight at a time.
bool allDigits(std::string_view field)
{
    size_t i = 0;
    for (; i + 8 <= field.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, field.data() + i, 8);
        // Each byte minus '0' must stay below 10: no borrow out of a byte, no byte above 9.
        const uint64_t low = w - 0x3030303030303030ULL;
        const uint64_t high = w + 0x4646464646464646ULL;  // sets a byte's top bit when above '9'
        if (((low | high) & 0x8080808080808080ULL) != 0) return false;
    }
    for (; i < field.size(); ++i)
        if (field[i] < '0' || field[i] > '9') return false;
    return true;
}

constexpr int maxAmountWidth()
{
    int widest = 0;
    for (Field f : detail::amountFields) widest = std::max(widest, detail::fields[f].width);
    return widest;
}

// Copies n <= 16 bytes with fixed-size moves (two overlapping ones): the calls to memmove
// for a few bytes cost more than the work around them.
inline void copySmall(char* to, const char* from, size_t n)
{
    if (n >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else {
        for (size_t i = 0; i < n; ++i) to[i] = from[i];
    }
}

// Writes the workspace line of a 170-byte detail record at rec (RecordSize bytes).
void writeWorkspaceLine(char* rec, std::string_view line, size_t lineNumber)
{
    if (line.size() != static_cast<size_t>(RecordSize)) throw Error(declaration_messages::wrongLineLength());
    if (rec != line.data()) std::memcpy(rec, line.data(), line.size());  // else made in place

    const detail::FieldDef& days = detail::fields[detail::Hmeres];
    if (auto d = tryStrToInt(line.substr(days.offset, days.width))) {
        char buffer[24];
        auto res = std::to_chars(buffer, buffer + sizeof buffer, *d);
        size_t len = static_cast<size_t>(res.ptr - buffer);  // at most 3: three characters read
        std::fill_n(rec + days.offset, days.width, ' ');
        std::copy(buffer, buffer + len, rec + days.offset);
    }

    for (Field f : detail::amountFields) {
        const detail::FieldDef& def = detail::fields[f];
        const auto width = static_cast<size_t>(def.width);
        static_assert(maxAmountWidth() <= 16);
        const std::string_view field = line.substr(static_cast<size_t>(def.offset), width);
        // "0.##" of the cents the digits hold: the whole part without leading zeros, then
        // the decimals without trailing zeros, blank-filled to the field's width.
        char text[32];
        std::memset(text, ' ', sizeof text);
        size_t len = 0;
        if (allDigits(field)) {
            // As nearly every record has it: the text is made from the digits themselves.
            size_t lead = 0;
            while (lead + 2 < width && field[lead] == '0') ++lead;
            if (lead + 2 == width) {
                text[len++] = '0';
            } else {
                copySmall(text, field.data() + lead, width - 2 - lead);
                len = width - 2 - lead;
            }
            const char tenths = field[width - 2], hundredths = field[width - 1];
            if (tenths != '0' || hundredths != '0') {
                text[len++] = ',';
                text[len++] = tenths;
                if (hundredths != '0') text[len++] = hundredths;
            }
        } else {
            auto cents = tryStrToInt64(field);
            if (!cents) continue;  // not a whole number: kept as it stands
            if (*cents < 0) refuseAmount(lineNumber);
            auto res = std::to_chars(text, text + sizeof text, *cents / 100);
            char* end = res.ptr;
            int fraction = static_cast<int>(*cents % 100);
            if (fraction != 0) {
                *end++ = ',';
                *end++ = static_cast<char>('0' + fraction / 10);
                if (fraction % 10 != 0) *end++ = static_cast<char>('0' + fraction % 10);
            }
            len = static_cast<size_t>(end - text);
        }
        if (len > width) refuseAmount(lineNumber);
        copySmall(rec + def.offset, text, width);
    }
}

bool startsWithHeaderMark(std::string_view line)
{
    constexpr std::string_view mark = "0JL10";
    if (line.size() < mark.size()) return false;
    for (size_t i = 0; i < mark.size(); ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != mark[i]) return false;
    }
    return true;
}

}  // namespace

namespace declaration_messages {
const std::string& invalidFile()
{
    static const std::string text = cp1253::lit("Μη έγκυρο αρχείο");
    return text;
}
const std::string& openProblem()
{
    static const std::string text = cp1253::lit("Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου");
    return text;
}
const std::string& wrongLineLength()
{
    static const std::string text =
        cp1253::lit("Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου. Το μήκος της γραμμής είναι λανθασμένο");
    return text;
}
const std::string& headerReadProblem()
{
    static const std::string text = cp1253::lit("Παρουσιάστηκε πρόβλημα κατά την ανάγνωση των γενικών στοιχείων");
    return text;
}
}  // namespace declaration_messages

DetailLines detailLinesOf(const std::vector<std::string>& lines)
{
    return {lines.size(), [&lines](size_t i) { return std::string_view(lines[i]); }};
}

void writeDeclarationFile(ByteSink& sink, const HeaderFields& header, const TotalsTexts& totals,
                          const DetailLines& lines, std::string_view todayYYYYMMDD)
{
    std::string out;
    appendHeaderRecord(out, header, todayYYYYMMDD);
    appendDeclarantRecord(out, header);
    appendTotalsRecord(out, totals, lines.count > 0);
    // The records are made a batch at a time, half a batch on each core, and written in
    // order; a failing line stops the work where one core alone would have stopped.
    constexpr size_t batchLines = 8 * sinkBlock / (RecordSize + lineBreak.size());
    std::string halves[2];
    auto convert = [&lines](std::string& to, size_t from, size_t end) {
        to.clear();
        // Sorted lines lie anywhere in memory: the ones a few places ahead are fetched early.
        constexpr size_t ahead = 6;
        for (size_t i = from; i < end; ++i) {
            if (i + ahead < end) {
                const std::string_view next = lines.lineAt(i + ahead);
                for (size_t at = 0; at < next.size(); at += 64) __builtin_prefetch(next.data() + at);
            }
            appendFileRecord(to, lines.lineAt(i));
            to.append(lineBreak);
        }
    };
    for (size_t from = 0; from < lines.count; from += batchLines) {
        const size_t end = std::min(lines.count, from + batchLines);
        const size_t middle = from + (end - from) / 2;
        runBoth(
            end - from == batchLines, [&] { convert(halves[0], from, middle); },
            [&] { convert(halves[1], middle, end); });
        out.append(halves[0]);
        sink.write(out);
        sink.write(halves[1]);
        out.clear();
    }
    if (!out.empty()) sink.write(out);
}

std::string workspaceToFileLine(std::string_view line)
{
    std::string out;
    out.reserve(RecordSize);
    appendFileRecord(out, line);
    return out;
}

std::string fileToWorkspaceLine(std::string_view line, size_t lineNumber)
{
    std::string out(static_cast<size_t>(RecordSize), ' ');
    writeWorkspaceLine(out.data(), line, lineNumber);
    return out;
}

namespace {

constexpr size_t storedSize = RecordSize + lineBreak.size();

// Turns the detail records handed over into workspace lines, in place, and writes them to
// record2, on a thread of its own: reading the file and converting its lines take a core
// each. The first problem in line order is the one reported, as if done one by one.
class DetailConverter {
public:
    // Without record2 the lines are only converted.
    explicit DetailConverter(AtomicFileWriter* record2) : record2_(record2), thread_([this] { run(); }) {}
    ~DetailConverter()
    {
        try {
            finish();
        } catch (...) {  // an exception is already on its way out
        }
    }
    DetailConverter(const DetailConverter&) = delete;
    DetailConverter& operator=(const DetailConverter&) = delete;

    // rec holds the record as read, then its line break (storedSize bytes).
    void add(char* rec, size_t lineNumber)
    {
        batch_.push_back({rec, lineNumber});
        if (batch_.size() == batchSize) handOver();
    }

    // Waits for every line handed over; the conversion message of the first line refused,
    // or rethrows the error writing record2.
    std::optional<std::string> finish()
    {
        if (thread_.joinable()) {
            handOver();
            batches_.close();
            thread_.join();
        }
        if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
        return problem_;
    }

private:
    struct Item {
        char* rec;
        size_t lineNumber;
    };
    static constexpr size_t batchSize = 4096;

    void handOver()
    {
        if (batch_.empty()) return;
        batches_.put(std::move(batch_));  // dropped when the converter has stopped
        batch_ = {};
        batch_.reserve(batchSize);
    }

    void run()
    {
        // Adjacent lines are one run of the arena (a block of megabytes), written with one call.
        const char* runStart = nullptr;
        size_t runSize = 0;
        auto flush = [&] {
            if (runSize > 0 && record2_) record2_->write(std::string_view(runStart, runSize));
            runSize = 0;
        };
        try {
            while (auto items = batches_.take()) {
                for (const Item& item : *items) {
                    if (item.rec != runStart + runSize) {
                        flush();
                        runStart = item.rec;
                    }
                    try {
                        writeWorkspaceLine(item.rec, std::string_view(item.rec, RecordSize), item.lineNumber);
                    } catch (const Error& e) {
                        problem_ = e.message();
                        batches_.leave();
                        return;
                    }
                    runSize += storedSize;
                }
            }
            flush();
        } catch (...) {
            failure_ = std::current_exception();
            batches_.leave();
        }
    }

    AtomicFileWriter* record2_;
    std::vector<Item> batch_;
    Handoff<std::vector<Item>> batches_{8};
    std::optional<std::string> problem_;
    std::exception_ptr failure_;
    std::thread thread_;  // last: it starts once the rest is ready
};

// Reads and checks the file; the declarant record goes to generalData and the workspace
// lines to record2 when they are given (neither is committed here).
std::optional<std::string> readRecords(ByteSource& source, AtomicFileWriter* generalData, AtomicFileWriter* record2,
                                       ArenaLines* lines, std::string* firstDeclarant = nullptr)
{
    // One byte past a record is enough to know a line is too long; longer ones are cut.
    LineReader reader(source, RecordSize + 1, true);
    std::string line;
    try {
        if (!reader.next(line) || !startsWithHeaderMark(line)) return declaration_messages::invalidFile();
        if (reader.lastLineTooLong()) return declaration_messages::wrongLineLength();
    } catch (const Error&) {
        return declaration_messages::openProblem();
    }

    // Each record goes into the arena as read, with its line break, and is made a workspace
    // line there: record2 is written straight from the arena's blocks.
    ArenaLines unkept;
    ArenaLines& out = lines ? *lines : unkept;
    DetailConverter converter(record2);
    bool haveDeclarant = false;
    auto readLines = [&]() -> std::optional<std::string> {
        size_t lineNumber = 1;
        for (;;) {
            try {
                if (!reader.next(line)) return std::nullopt;
            } catch (const Error&) {
                return declaration_messages::openProblem();
            }
            ++lineNumber;
            if (!line.empty() && line[0] != '1' && line[0] != '2' && line[0] != '3')
                return declaration_messages::openProblem();
            if (line.size() != static_cast<size_t>(RecordSize) || reader.lastLineTooLong())
                return declaration_messages::wrongLineLength();
            if (line[0] == '1') {
                if (generalData) {
                    generalData->write(line);
                    generalData->write(lineBreak);
                }
                if (firstDeclarant && !haveDeclarant) {
                    *firstDeclarant = line;
                    haveDeclarant = true;
                }
            } else if (line[0] == '3') {
                char* rec = out.arena.allocate(storedSize);
                std::memcpy(rec, line.data(), line.size());
                std::memcpy(rec + RecordSize, lineBreak.data(), lineBreak.size());
                converter.add(rec, lineNumber);
                if (lines) lines->lines.emplace_back(rec, static_cast<size_t>(RecordSize));
            }
        }
    };
    std::optional<std::string> problem;
    try {
        problem = readLines();
    } catch (...) {
        // A line refused before the failure is what a reading one by one would have met first.
        if (auto earlier = converter.finish()) return earlier;
        throw;
    }
    // The converter has only lines before the reader's problem: its own comes first.
    if (auto earlier = converter.finish()) return earlier;
    return problem;
}

std::optional<std::string> readDeclaration(ByteSource& source, const std::filesystem::path& generalDataPath,
                                           const std::filesystem::path& record2Path, ArenaLines* lines)
{
    // Both files are built beside the real ones and replace them only when the whole
    // file was accepted, so a rejected file leaves the open declaration as it was.
    AtomicFileWriter generalData(generalDataPath, AtomicFileWriter::Durability::ProcessSafe);
    AtomicFileWriter record2(record2Path, AtomicFileWriter::Durability::ProcessSafe);
    if (auto problem = readRecords(source, &generalData, &record2, lines)) return problem;
    record2.commit();
    generalData.commit();
    return std::nullopt;
}

}  // namespace

std::optional<std::string> readDeclarationLines(ByteSource& source, ArenaLines& workspaceLines,
                                                std::string* firstDeclarant)
{
    workspaceLines.clear();
    if (firstDeclarant) firstDeclarant->clear();
    std::optional<std::string> problem;
    try {
        problem = readRecords(source, nullptr, nullptr, &workspaceLines, firstDeclarant);
    } catch (...) {
        workspaceLines.clear();
        throw;
    }
    if (problem) workspaceLines.clear();
    return problem;
}

std::optional<std::string> readDeclarationFile(ByteSource& source, const std::filesystem::path& generalDataPath,
                                               const std::filesystem::path& record2Path, ArenaLines* workspaceLines)
{
    if (!workspaceLines) return readDeclaration(source, generalDataPath, record2Path, nullptr);
    workspaceLines->clear();
    std::optional<std::string> problem;
    try {
        problem = readDeclaration(source, generalDataPath, record2Path, workspaceLines);
    } catch (...) {
        workspaceLines->clear();
        throw;
    }
    if (problem) workspaceLines->clear();
    return problem;
}

HeaderFields loadHeaderFields(ByteSource& generalData)
{
    LineReader reader(generalData, RecordSize);
    std::string line;
    reader.next(line);
    HeaderFields h;
    for (const declarant::FieldDef& f : declarant::fields) {
        std::string_view value = fieldOf(line, static_cast<size_t>(f.offset), static_cast<size_t>(f.width));
        h.value(f.field) = f.trimmed ? trimRight(value) : value;
    }
    h.business = line.size() > static_cast<size_t>(declarant::KindOffset) && line[declarant::KindOffset] == '0';
    return h;
}

HeaderFields loadHeaderFields(const std::filesystem::path& generalDataPath)
{
    std::error_code ec;
    if (!std::filesystem::exists(generalDataPath, ec)) {
        StringSource empty("");
        return loadHeaderFields(empty);
    }
    FileSource source(generalDataPath);
    return loadHeaderFields(source);
}

}  // namespace edlt
