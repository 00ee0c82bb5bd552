// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <unistd.h>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/store/AtomicFile.h"
#include "core/store/DeclarationFile.h"
#include "core/store/DetailRecord.h"
#include "tests/TestUtil.h"

using namespace edlt;
using test::FailingSink;
using test::readFile;
using test::TempDir;
namespace fs = std::filesystem;

namespace {

using G = std::string (*)(std::string_view);
const G el = cp1253::lit;

std::string pad(std::string_view s, size_t width, char c = ' ')
{
    std::string out(s);
    out.resize(width, c);
    return out;
}

std::string zeros(std::string_view digits, size_t width)
{
    return std::string(width - digits.size(), '0') + std::string(digits);
}

// A line of the detail layout from field values, each padded to its width.
std::string layoutLine(std::initializer_list<std::pair<detail::Field, std::string>> values)
{
    std::string line(detail::RecordSize, ' ');
    line[0] = '3';
    for (auto& [field, value] : values) {
        const auto& def = detail::fields[field];
        const auto width = static_cast<size_t>(def.width);
        line.replace(static_cast<size_t>(def.offset), width, pad(value, width));
    }
    return line;
}

HeaderFields business()
{
    HeaderFields h;
    h.YearOfData = "2023";
    h.AFM = "123456783";
    h.CompanyName = el("ΑΛΦΑ ΑΕ");
    h.Name = el("ΚΡΥΦΟ");  // hidden boxes of a business are never written
    h.FatherName = el("ΚΡΦ");
    h.AntikeimenoErgasion = el("ΕΜΠΟΡΙΟ");
    h.Town = el("ΑΘΗΝΑ");
    h.Street = el("ΣΤΑΔΙΟΥ");
    h.Number = "12";
    h.TK = "10562";
    return h;
}

HeaderFields person()
{
    HeaderFields h = business();
    h.business = false;
    h.CompanyName = el("ΠΑΠΑΔΟΠΟΥΛΟΣ");
    h.Name = el("ΓΙΩΡΓΟΣ");
    h.FatherName = el("ΝΙΚ");
    return h;
}

std::string expectedHeader(std::string_view date = "20240115")
{
    return "0JL10    " + std::string(date) + "2023" + std::string(149, ' ') + "\r\n";
}

std::string expectedDeclarant(const HeaderFields& h)
{
    std::string r = "1" + h.YearOfData + pad(h.CompanyName, 18);
    r += h.business ? std::string(12, ' ') : pad(h.Name, 9) + pad(h.FatherName, 3);
    r += h.business ? "0" : "1";
    r += h.AFM + pad(h.AntikeimenoErgasion, 16) + pad(h.Town, 10) + pad(h.Street, 16) + pad(h.Number, 5) +
         pad(h.TK, 5) + std::string(73, ' ');
    return r + "\r\n";
}

const std::string emptyTotals = "2" + std::string(124, '0') + std::string(45, ' ') + "\r\n";

std::string write(const HeaderFields& h, const TotalsTexts& totals, const std::vector<std::string>& lines)
{
    StringSink sink;
    writeDeclarationFile(sink, h, totals, detailLinesOf(lines), "20240115");
    return sink.text();
}

// A source that yields its text and then fails.
class FailingSource : public ByteSource {
public:
    explicit FailingSource(std::string text) : text_(std::move(text)) {}
    size_t read(char* buffer, size_t size) override
    {
        if (pos_ == text_.size()) throw Error("read failed");
        size_t n = std::min(size, text_.size() - pos_);
        std::copy_n(text_.data() + pos_, n, buffer);
        pos_ += n;
        return n;
    }

private:
    std::string text_;
    size_t pos_ = 0;
};

const std::string sampleWorkspaceLine = layoutLine({
    {detail::AFM, "012345670"},        {detail::SurName, el("ΝΙΚΟΛΑΟΥ")},
    {detail::Name, el("ΜΑΡΙΑ")},       {detail::FatherName, el("ΓΕΩ")},
    {detail::City, el("ΠΑΤΡΑ")},       {detail::Street, el("ΚΟΡΙΝΘΟΥ")},
    {detail::StreetNo, "5A"},          {detail::TK, "26221"},
    {detail::TypeInc, "01"},           {detail::AkaInc, "1234,5"},
    {detail::Xartosimo, ""},           {detail::OGAXart, "0,05"},
    {detail::Kratiseis, "234,5"},      {detail::Kathares, "1000"},
    {detail::ForosParakr, "99999,99"}, {detail::ForosAnal, "0"},
    {detail::Ypokatastima, "0"},       {detail::Hmeres, "5"},
    {detail::OGAForouParakr, "12,34"}, {detail::OGAForouAnal, "99999,99"},
});

const std::string sampleFileLine = "3012345670 " + pad(el("ΝΙΚΟΛΑΟΥ"), 18) + pad(el("ΜΑΡΙΑ"), 9) + el("ΓΕΩ") +
                                   pad(el("ΠΑΤΡΑ"), 10) + pad(el("ΚΟΡΙΝΘΟΥ"), 16) + "5A   26221" + "01" + "0000123450" +
                                   "00000000" + "0000005" + "000023450" + "0000100000" + "009999999" + "000000000" +
                                   "0     " + "005" + "00001234" + "09999999" + "    ";

}  // namespace

TEST(DeclarationFile, EmptyDeclarationIsThreeRecords)
{
    TotalsTexts totals = {"5", "5", "5", "5", "5", "5", "5", "5", "5"};  // ignored without lines
    EXPECT_EQ(write(business(), totals, {}), expectedHeader() + expectedDeclarant(business()) + emptyTotals);
    EXPECT_EQ(write(person(), totals, {}), expectedHeader() + expectedDeclarant(person()) + emptyTotals);
    // The hidden first-name boxes of a business give spaces and kind "0".
    std::string text = write(business(), totals, {});
    std::string declarant = text.substr(172, 170);
    EXPECT_EQ(declarant.substr(23, 12), std::string(12, ' '));
    EXPECT_EQ(declarant[35], '0');
}

TEST(DeclarationFile, DetailAndTotalsRecordsByteExact)
{
    ASSERT_EQ(sampleFileLine.size(), 170u);
    TotalsTexts totals = {"1234,5", "234,5", "1000", "99999,99", "", "0,05", "0", "12,34", "99999,99"};
    std::string expectedTotals = "2" + zeros("123450", 15) + zeros("23450", 15) + zeros("100000", 15) +
                                 zeros("9999999", 14) + zeros("", 13) + zeros("5", 12) + zeros("", 14) +
                                 zeros("1234", 13) + zeros("9999999", 13) + std::string(45, ' ') + "\r\n";
    std::string text = write(person(), totals, {sampleWorkspaceLine, sampleWorkspaceLine});
    EXPECT_EQ(text, expectedHeader() + expectedDeclarant(person()) + expectedTotals + sampleFileLine + "\r\n" +
                        sampleFileLine + "\r\n");
}

TEST(DeclarationFile, FieldConversions)
{
    // Days empty -> 000; the record type and fillers are fixed whatever the line holds.
    std::string line = layoutLine({{detail::AkaInc, "7"}, {detail::Hmeres, ""}});
    line[0] = 'x';
    line[10] = 'y';
    line.replace(166, 4, "zzzz");
    std::string rec = workspaceToFileLine(line);
    ASSERT_EQ(rec.size(), 170u);
    EXPECT_EQ(rec[0], '3');
    EXPECT_EQ(rec[10], ' ');
    EXPECT_EQ(rec.substr(79, 10), "0000000700");
    EXPECT_EQ(rec.substr(147, 3), "000");
    EXPECT_EQ(rec.substr(166), "    ");
    // A short line (the store can hold one) still gives a full record.
    rec = workspaceToFileLine("3123456783");
    ASSERT_EQ(rec.size(), 170u);
    EXPECT_EQ(rec.substr(79, 10), "0000000000");
    // More decimals than two are rounded half away from zero, as the store would hold them.
    EXPECT_EQ(workspaceToFileLine(layoutLine({{detail::AkaInc, "10,555"}})).substr(79, 10), "0000001056");
}

TEST(DeclarationFile, RefusesWhatCannotBeWritten)
{
    auto refuses = [](const std::string& line, const std::string& message) {
        try {
            workspaceToFileLine(line);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), message);
        }
    };
    refuses(layoutLine({{detail::AkaInc, "100000000"}}),
            el("Το ποσό 100000000 στο πεδίο «Ακαθάριστες Αποδοχές» είναι πολύ μεγάλο και δεν χωράει στη δήλωση"));
    refuses(layoutLine({{detail::Xartosimo, "-1"}}), el("Το ποσό στο πεδίο «Χαρτόσημο» δεν μπορεί να είναι αρνητικό"));
    refuses(layoutLine({{detail::AkaInc, "12a"}}), "'12a' is not a valid floating point value");
    refuses(layoutLine({{detail::Hmeres, "ab"}}), "'ab' is not a valid integer value");
    refuses(layoutLine({{detail::Hmeres, "-5"}}), el("Μη αποδεκτός αριθμός ημερών απασχόλησης: -5"));
    // The largest amount a field holds is written.
    EXPECT_EQ(workspaceToFileLine(layoutLine({{detail::OGAXart, "99999,9"}})).substr(97, 7), "9999990");

    // A total too large for its field, and nothing at all reaches the sink.
    TotalsTexts totals;
    totals[5] = "10000000000";  // 12-wide field
    StringSink sink;
    try {
        writeDeclarationFile(sink, business(), totals, detailLinesOf({sampleWorkspaceLine}), "20240115");
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), el("Το ποσό 10000000000 στο πεδίο «Σύνολο ΟΓΑ Χαρτοσήμου» είναι πολύ μεγάλο και "
                                  "δεν χωράει στη δήλωση"));
    }
    EXPECT_TRUE(sink.text().empty());
    totals[5] = "-3";
    EXPECT_THROW(write(business(), totals, {sampleWorkspaceLine}), Error);

    // A header value longer than its box is never cut.
    HeaderFields h = business();
    h.Town = "ABCDEFGHIJK";
    EXPECT_THROW(write(h, {}, {}), Error);
    h = person();
    h.FatherName = "ABCD";
    EXPECT_THROW(write(h, {}, {}), Error);
}

TEST(DeclarationFile, FailingSinkLeavesTheExistingFile)
{
    TempDir dir;
    fs::path target = dir.path() / "123456783-DLT";
    writeFileAtomically(target, "old declaration");
    std::vector<std::string> lines(5000, sampleWorkspaceLine);
    for (size_t limit : {size_t(0), size_t(100), size_t(300000)}) {
        AtomicFileWriter file(target);
        FailingSink sink(file, limit);
        EXPECT_THROW(writeDeclarationFile(sink, business(), {}, detailLinesOf(lines), "20240115"), Error);
    }
    EXPECT_EQ(readFile(target), "old declaration");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(DeclarationFile, FileToWorkspace)
{
    EXPECT_EQ(fileToWorkspaceLine(sampleFileLine), sampleWorkspaceLine.substr(0, 89) + pad("0", 8) +
                                                       sampleWorkspaceLine.substr(97));  // empty stamp duty -> 0
    std::string line = sampleFileLine;
    line.replace(147, 3, "000");
    EXPECT_EQ(fileToWorkspaceLine(line).substr(147, 3), "0  ");
    line.replace(147, 3, "3x1");  // not a number: kept
    EXPECT_EQ(fileToWorkspaceLine(line).substr(147, 3), "3x1");
    line.replace(79, 10, "00001234 5");  // not a whole number: kept
    EXPECT_EQ(fileToWorkspaceLine(line).substr(79, 10), "00001234 5");
    line.replace(79, 10, "  +0012345");  // blanks and sign, as whole numbers are read
    EXPECT_EQ(fileToWorkspaceLine(line).substr(79, 10), "123,45    ");
}

TEST(DeclarationFile, LargeAndNegativeAmounts)
{
    std::string line = sampleFileLine;
    // Beyond 32 bits, converted when the decimal form fits the field.
    line.replace(79, 10, "2147483650");
    EXPECT_EQ(fileToWorkspaceLine(line, 7).substr(79, 10), "21474836,5");
    line.replace(79, 10, "9999999900");
    EXPECT_EQ(fileToWorkspaceLine(line, 7).substr(79, 10), "99999999  ");
    const std::string refused = el("Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου. Μη αποδεκτό ποσό στη γραμμή 7");
    for (std::string value : {"2147483648", "9999999999", "-000000001"}) {
        line.replace(79, 10, value);
        try {
            fileToWorkspaceLine(line, 7);
            ADD_FAILURE() << value;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), refused);
        }
    }
    line = sampleFileLine;
    line.replace(89, 8, "12345678");  // 123456,78 does not fit the 8-wide stamp duty
    EXPECT_THROW(fileToWorkspaceLine(line, 7), Error);
    EXPECT_THROW(fileToWorkspaceLine(sampleFileLine.substr(1)), Error);
}

class DeclarationFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        general = dir.path() / "generalData";
        record2 = dir.path() / "record2";
        writeFileAtomically(general, "old general\r\n");
        writeFileAtomically(record2, "old lines\r\n");
    }

    // Every read also checks the lines handed to the store: those record2 was written
    // with, and none after a refusal.
    std::optional<std::string> read(std::string text)
    {
        StringSource source(std::move(text));
        ArenaLines lines;
        lines.lines.push_back(lines.arena.add("stale"));
        auto problem = readDeclarationFile(source, general, record2, &lines);
        std::string joined;
        for (std::string_view l : lines.lines) joined += std::string(l) + "\r\n";
        EXPECT_EQ(joined, problem ? "" : readFile(record2));
        return problem;
    }

    void expectRejected(const std::string& text, const std::string& message)
    {
        EXPECT_EQ(read(text), message);
        EXPECT_EQ(readFile(general), "old general\r\n");
        EXPECT_EQ(readFile(record2), "old lines\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
    }

    TempDir dir;
    fs::path general, record2;
    std::string valid = expectedHeader() + expectedDeclarant(person()) + emptyTotals + sampleFileLine + "\r\n";
};

TEST_F(DeclarationFileTest, ReadsIntoTheWorkspace)
{
    EXPECT_EQ(read(valid), std::nullopt);
    EXPECT_EQ(readFile(general), expectedDeclarant(person()));
    EXPECT_EQ(readFile(record2), fileToWorkspaceLine(sampleFileLine) + "\r\n");
    EXPECT_EQ(fileToWorkspaceLine(sampleFileLine).substr(79, 10), "1234,5    ");

    // Header letters in any case; the header's length and date are not checked.
    EXPECT_EQ(read("0jl10\n"), std::nullopt);
    EXPECT_EQ(readFile(general), "");
    EXPECT_EQ(readFile(record2), "");
}

TEST_F(DeclarationFileTest, LineEndsAndSecondDeclarant)
{
    HeaderFields other = business();
    other.CompanyName = "SECOND";
    std::string d1 = expectedDeclarant(person()), d2 = expectedDeclarant(other);
    d1.resize(170);
    d2.resize(170);
    std::string file = "0JL10\r" + d1 + "\n" + d2 + "\r" + sampleFileLine + "\r\n" + sampleFileLine;  // no final break
    EXPECT_EQ(read(file), std::nullopt);
    EXPECT_EQ(readFile(general), d1 + "\r\n" + d2 + "\r\n");
    std::string ws = fileToWorkspaceLine(sampleFileLine) + "\r\n";
    EXPECT_EQ(readFile(record2), ws + ws);
    HeaderFields loaded = loadHeaderFields(general);
    EXPECT_EQ(loaded.CompanyName, person().CompanyName);
    EXPECT_FALSE(loaded.business);
}

TEST_F(DeclarationFileTest, RejectionsLeaveTheWorkspaceAlone)
{
    const std::string& invalid = declaration_messages::invalidFile();
    const std::string& problem = declaration_messages::openProblem();
    const std::string& length = declaration_messages::wrongLineLength();
    expectRejected("", invalid);
    expectRejected("0JL1", invalid);
    expectRejected("\r\n" + valid, invalid);
    expectRejected(std::string("\x00\xff\x13JL10", 7), invalid);
    expectRejected(valid + "\r\n", length);  // a final extra empty line
    expectRejected(valid + "\r\n\r\n", length);
    expectRejected(valid + sampleFileLine.substr(0, 169), length);
    expectRejected(valid + sampleFileLine + " \r\n", length);  // 171
    expectRejected(valid + sampleFileLine + std::string(5'000'000, 'x'), length);
    expectRejected(valid + "4" + sampleFileLine.substr(1) + "\r\n", problem);
    expectRejected(valid + "x", problem);  // type before length
    std::string badAmount = sampleFileLine;
    badAmount.replace(79, 10, "-000000001");
    expectRejected(valid + badAmount + "\r\n",
                   el("Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου. Μη αποδεκτό ποσό στη γραμμή 5"));
    // A truncated file: the last record ends early.
    expectRejected(valid.substr(0, valid.size() - 40), length);
    // Thousands of lines: the problem met first in line order wins, whichever comes later.
    auto many = [&](size_t badAmountAt, size_t shortAt) {
        std::string file = valid;
        for (size_t number = 5; number < 12000; ++number)
            file += number == badAmountAt ? badAmount + "\r\n"
                    : number == shortAt   ? sampleFileLine.substr(0, 169) + "\r\n"
                                          : sampleFileLine + "\r\n";
        return file;
    };
    expectRejected(many(9001, 9500),
                   el("Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου. Μη αποδεκτό ποσό στη γραμμή 9001"));
    expectRejected(many(9001, 5000), length);

    FailingSource failing(valid);
    EXPECT_EQ(readDeclarationFile(failing, general, record2), problem);
    FailingSource failingAtOnce("");
    EXPECT_EQ(readDeclarationFile(failingAtOnce, general, record2), problem);
    EXPECT_EQ(readFile(record2), "old lines\r\n");
}

// Thousands of random and mutated files: every one is read or refused with a known
// message, and a refused one never touches the workspace.
TEST_F(DeclarationFileTest, RandomAndMutatedFiles)
{
    std::mt19937 rng(20240115);
    const std::string amountRefusal =
        el("Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου. Μη αποδεκτό ποσό στη γραμμή ");
    std::string base = valid + sampleFileLine + "\r\n" + sampleFileLine + "\r\n";
    const char alphabet[] = "0123JLjl\r\n -+,9\xff\xc1";
    for (int round = 0; round < 3000; ++round) {
        std::string file;
        if (round % 4 == 0) {
            size_t n = rng() % 800;
            for (size_t i = 0; i < n; ++i)
                file += rng() % 3 ? alphabet[rng() % (sizeof alphabet - 1)] : static_cast<char>(rng());
            if (rng() % 2) file.insert(0, "0JL10");
        } else {
            file = base;
            int edits = 1 + static_cast<int>(rng() % 4);
            for (int e = 0; e < edits; ++e) {
                size_t at = rng() % (file.size() + 1);
                switch (rng() % 4) {
                case 0:
                    if (at < file.size()) file[at] = alphabet[rng() % (sizeof alphabet - 1)];
                    break;
                case 1:
                    if (at < file.size()) file.erase(at, 1 + rng() % 3);
                    break;
                case 2: file.insert(at, 1, alphabet[rng() % (sizeof alphabet - 1)]); break;
                default: file.resize(at); break;
                }
            }
        }
        std::optional<std::string> result;
        ASSERT_NO_THROW(result = read(file)) << round;
        if (!result) {
            writeFileAtomically(general, "old general\r\n");
            writeFileAtomically(record2, "old lines\r\n");
            continue;
        }
        bool known = *result == declaration_messages::invalidFile() || *result == declaration_messages::openProblem() ||
                     *result == declaration_messages::wrongLineLength() || result->rfind(amountRefusal, 0) == 0;
        ASSERT_TRUE(known) << round << ": " << cp1253::toUtf8(*result);
        ASSERT_EQ(readFile(record2), "old lines\r\n");
        ASSERT_EQ(readFile(general), "old general\r\n");
    }
}

TEST(DeclarationFile, FileWorkspaceFileIsByteIdentical)
{
    TempDir dir;
    std::string line2 = sampleFileLine;
    line2.replace(79, 10, "0000000001");
    line2.replace(147, 3, "365");
    std::string totals = "2" + zeros("123451", 15) + zeros("46900", 15) + zeros("200000", 15) + zeros("19999998", 14) +
                         zeros("0", 13) + zeros("10", 12) + zeros("0", 14) + zeros("2468", 13) + zeros("19999998", 13) +
                         std::string(45, ' ') + "\r\n";
    std::string file = expectedHeader("20230101") + expectedDeclarant(person()) + totals + sampleFileLine + "\r\n" +
                       line2 + "\r\n";
    StringSource source(file);
    ASSERT_EQ(readDeclarationFile(source, dir.path() / "g", dir.path() / "r"), std::nullopt);

    std::vector<std::string> lines;
    FileSource ws(dir.path() / "r");
    LineReader reader(ws);
    for (std::string l; reader.next(l);) lines.push_back(l);
    HeaderFields h = loadHeaderFields(dir.path() / "g");
    TotalsTexts texts = {"1234,51", "469", "2000", "199999,98", "0", "0,1", "0", "24,68", "199999,98"};
    StringSink out;
    writeDeclarationFile(out, h, texts, detailLinesOf(lines), "20230101");
    EXPECT_EQ(out.text(), file);
}

TEST(DeclarationFile, LoadHeaderFields)
{
    StringSource empty("");
    HeaderFields h = loadHeaderFields(empty);
    EXPECT_FALSE(h.business);
    EXPECT_EQ(h.YearOfData, "");
    EXPECT_EQ(h.CompanyName, "");
    EXPECT_FALSE(loadHeaderFields(fs::path("/nonexistent/generalData")).business);

    StringSource source(expectedDeclarant(business()) + expectedDeclarant(person()));
    h = loadHeaderFields(source);
    HeaderFields want = business();
    want.Name = want.FatherName = "";
    EXPECT_TRUE(h.business);
    for (auto field : {&HeaderFields::YearOfData, &HeaderFields::AFM, &HeaderFields::CompanyName, &HeaderFields::Name,
                       &HeaderFields::FatherName, &HeaderFields::AntikeimenoErgasion, &HeaderFields::Town,
                       &HeaderFields::Street, &HeaderFields::Number, &HeaderFields::TK})
        EXPECT_EQ(h.*field, want.*field);

    // A short line: year and tax number as they stand, anything but "0" is a natural person.
    StringSource shortLine("1 20 X");
    h = loadHeaderFields(shortLine);
    EXPECT_EQ(h.YearOfData, " 20 ");
    EXPECT_EQ(h.CompanyName, "X");
    EXPECT_FALSE(h.business);
}
