// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-declaration check: every finding once, on its line and cell; nothing changes;
// the result kept until something changes; Save As's question; the CSV export.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "core/rules/Messages.h"
#include "core/session/DeclarationCheck.h"
#include "tests/FaultyDeclaration.h"
#include "tests/core/session/SessionFixture.h"

namespace edlt::test {
namespace {

using namespace detail;

struct Expected {
    long line;
    std::string message;
    bool question;
    int field;
};

class DeclarationCheckTest : public SessionTest {
protected:
    void open(const std::filesystem::path& file)
    {
        ASSERT_TRUE(session->openFile(file));
        ui.clear();
    }
    // A session whose Save As asks about findings, as the window's does.
    void askingSession()
    {
        session.reset();
        session = makeSession(true);
        ASSERT_TRUE(session->start());
    }
};

TEST_F(DeclarationCheckTest, EveryFindingOnceOnItsLineAndCellAndNothingChanges)
{
    writeFaultyDeclaration(dir / "faulty", true);
    open(dir / "faulty");
    session->detailStore().setRecordNumber(3);
    const std::string before = readFile(session->workspaceFiles().record2());

    const CheckResult r = checkDeclaration(*session);

    const std::vector<Expected> expected = {
        {2, msg::badLineAfm(), false, AFM},
        {3, msg::netPayMismatch(), false, Kathares},
        {4, msg::withheldAbove40Question(), true, ForosParakr},
        {4, msg::dueAbove40Question(), true, ForosAnal},
        {5, "'1x0' is not a valid integer value", false, Hmeres},
        {7, msg::badTypeInc(), false, TypeInc},
        {0, msg::writeCompanyName(), false, -1},
        {6, msg::duplicateLine("011111111"), false, AFM},
    };
    ASSERT_EQ(r.findings.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const CheckFinding& f = r.findings[i];
        EXPECT_EQ(f.line, expected[i].line) << i;
        EXPECT_EQ(cp1253::toUtf8(f.message), cp1253::toUtf8(expected[i].message)) << i;
        EXPECT_EQ(f.question, expected[i].question) << i;
        EXPECT_EQ(f.field, expected[i].field) << i;
    }
    EXPECT_EQ(r.findings[6].headerField, HeaderField::CompanyName);
    EXPECT_EQ(r.refusedLines(), 6u);  // 2, 3, 5, 6, 7 and the declarant
    EXPECT_EQ(r.questions(), 2u);

    // Checking asked nothing, showed nothing and changed nothing.
    EXPECT_TRUE(ui.log.empty());
    EXPECT_FALSE(session->modified());
    EXPECT_EQ(session->detailStore().recordNumber(), 3);
    EXPECT_EQ(session->detailStore().state(), DataSetState::Browse);
    EXPECT_EQ(readFile(session->workspaceFiles().record2()), before);
}

TEST_F(DeclarationCheckTest, TheResultIsKeptUntilLinesOrHeaderChange)
{
    writeFaultyDeclaration(dir / "faulty");
    open(dir / "faulty");
    DeclarationChecker& checker = session->checker();
    EXPECT_TRUE(checker.stale());
    const CheckResult* first = &checker.result();
    EXPECT_FALSE(checker.stale());
    EXPECT_EQ(first->refusedLines(), 5u);

    session->detailStore().setRecordNumber(1);  // moving changes nothing
    EXPECT_FALSE(checker.stale());
    session->setHeaderText(HeaderField::CompanyName, "");
    EXPECT_TRUE(checker.stale());
    EXPECT_EQ(checker.result().refusedLines(), 6u);

    // Fixing line 7's income type removes its finding.
    FixedWidthTable& ds = session->detailStore();
    const unsigned long changes = checker.changes();
    ds.setRecordNumber(7);
    ds.edit();
    ds.setFieldValue(TypeInc, "11");
    ASSERT_TRUE(session->postPendingEdit());
    EXPECT_GT(checker.changes(), changes);
    EXPECT_TRUE(checker.stale());
    EXPECT_EQ(checker.result().refusedLines(), 5u);
}

TEST_F(DeclarationCheckTest, ALargeDeclarationIsCheckedInHalvesWithProgress)
{
    // Enough lines for the second core; findings in both halves and a pair across them.
    const size_t n = 70000;
    std::vector<std::string> lines;
    lines.reserve(n);
    for (size_t i = 0; i < n; ++i) lines.push_back(detailLine(validAfm(i), "ΑΛΦΑ"));
    lines[10] = detailLine("123456789", "ΒΗΤΑ");
    lines[n - 10] = detailLine("123456789", "ΒΗΤΑ", {{TypeInc, "11"}});
    lines[n - 1] = lines[0];
    HeaderFields h;
    h.YearOfData = "2023";
    h.AFM = "123456783";
    h.CompanyName = G("ΑΛΦΑ ΑΕ");
    AtomicFileWriter w(dir / "large");
    writeDeclarationFile(w, h, TotalsTexts{}, detailLinesOf(lines), "20240115");
    w.commit();
    open(dir / "large");

    std::vector<size_t> done;
    const CheckResult r = checkDeclaration(*session, [&](size_t d, size_t total) {
        EXPECT_EQ(total, n);
        done.push_back(d);
    });
    ASSERT_EQ(r.findings.size(), 3u);
    EXPECT_EQ(r.findings[0].line, 11);
    EXPECT_EQ(r.findings[1].line, long(n - 9));
    EXPECT_EQ(r.findings[1].message, msg::badLineAfm());
    EXPECT_EQ(r.findings[2].line, long(n));
    EXPECT_EQ(r.findings[2].message, msg::duplicateLine(field(1, AFM)));
    ASSERT_FALSE(done.empty());
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(done.back(), n);

    // In the background: the same findings, told once ready.
    auto lineAndMessage = [](const CheckResult& result) {
        std::vector<std::pair<long, std::string>> out;
        for (const CheckFinding& f : result.findings) out.emplace_back(f.line, f.message);
        return out;
    };
    DeclarationChecker& checker = session->checker();
    std::atomic<int> ready{0};
    ASSERT_TRUE(checker.startInBackground([&] { ++ready; }));
    EXPECT_FALSE(checker.startInBackground({}));
    EXPECT_TRUE(checker.stale());
    while (!checker.collect()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(ready, 1);
    EXPECT_FALSE(checker.stale());
    EXPECT_EQ(lineAndMessage(checker.result()), lineAndMessage(r));

    // A change to the lines stops a running check; the result is then the changed lines'.
    FixedWidthTable& ds = session->detailStore();
    ds.setRecordNumber(11);
    ds.edit();
    ds.setFieldValue(AFM, field(12, AFM));
    ASSERT_TRUE(session->postPendingEdit());
    ASSERT_TRUE(checker.startInBackground({}));
    ds.setRecordNumber(11);
    ds.deleteRecord();
    EXPECT_FALSE(checker.checkingInBackground());
    EXPECT_FALSE(checker.collect());
    const std::vector<std::pair<long, std::string>> afterDelete = {{long(n - 10), msg::badLineAfm()},
                                                                   {long(n - 1), msg::duplicateLine(field(1, AFM))}};
    EXPECT_EQ(lineAndMessage(checker.result()), afterDelete);
}

TEST_F(DeclarationCheckTest, SaveAsAsksOnceWhileRefusalsRemain)
{
    askingSession();
    HeaderFields h;
    h.YearOfData = "2023";
    h.AFM = "123456783";
    h.CompanyName = G("ΑΛΦΑ ΑΕ");
    auto write = [&](const char* name, const std::vector<std::string>& lines) {
        AtomicFileWriter w(dir / name);
        writeDeclarationFile(w, h, TotalsTexts{}, detailLinesOf(lines), "20240115");
        w.commit();
    };
    write("bad", {detailLine("123456789", "ΒΗΤΑ"), detailLine("022222222", "ΓΑΜΜΑ", {{Kathares, "1"}}),
                  detailLine("033333333", "ΔΕΛΤΑ", {{ForosParakr, "400"}, {ForosAnal, "400"}})});
    write("good", {detailLine("011111111", "ΑΛΦΑ")});
    const std::string question = "? Η δήλωση έχει 2 γραμμές που δεν περνούν τους ελέγχους. Να αποθηκευτεί;";

    open(dir / "bad");
    ui.answers = {Answer::No};
    EXPECT_EQ(session->saveAs(), DeclarationSession::SaveResult::Cancelled);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{question});
    EXPECT_TRUE(ui.fileRequests.empty());

    ui.clear();
    ui.answers = {Answer::Yes};
    ui.files = {dir / "saved"};
    EXPECT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{question});
    // The file format does not change: the lines go out as they stand.
    EXPECT_EQ(readFile(dir / "saved").size(), readFile(dir / "bad").size());

    // Questions alone, or nothing, ask nothing.
    open(dir / "good");
    ui.files = {dir / "saved2"};
    EXPECT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(DeclarationCheckTest, ForbiddenBytesAreFindingsOfTheirFieldAndSaveAsWritesThemBack)
{
    struct Case {
        Field field;
        std::string bytes;
        const char* message;  // UTF-8
    };
    const std::vector<Case> cases = {
        {SurName, std::string("A\0B", 3),
         "Το πεδίο «Επώνυμο» περιέχει τον χαρακτήρα \\x00, που δεν επιτρέπεται στη δήλωση"},
        {Name, "A\tB\x1B\t", "Το πεδίο «Όνομα» περιέχει τους χαρακτήρες \\x09 \\x1B, που δεν επιτρέπονται στη δήλωση"},
        {City, "\x7F", "Το πεδίο «Πόλη» περιέχει τον χαρακτήρα \\x7F, που δεν επιτρέπεται στη δήλωση"},
        {Street, "\xFF\x81\xD2",
         "Το πεδίο «Οδός» περιέχει τους χαρακτήρες \\xFF \\x81 \\xD2, που δεν επιτρέπονται στη δήλωση"},
        {SurName, G("ΑΛΦΑ ΩΜΕΓΑ"), nullptr},  // Greek letters are bytes of the code page
    };
    std::vector<std::string> lines;
    for (const Case& c : cases) lines.push_back(detailLine(validAfm(lines.size()), "Α", {{c.field, c.bytes}}));
    HeaderFields h;
    h.YearOfData = "2023";
    h.AFM = "123456783";
    h.CompanyName = G("ΑΛΦΑ ΑΕ");
    h.Town = "X\x1B";
    AtomicFileWriter w(dir / "bytes");
    writeDeclarationFile(w, h, TotalsTexts{}, detailLinesOf(lines), "20240115");
    w.commit();
    open(dir / "bytes");

    const CheckResult r = checkDeclaration(*session);
    std::vector<Expected> expected;
    for (size_t i = 0; i < cases.size(); ++i)
        if (cases[i].message) expected.push_back({long(i + 1), G(cases[i].message), false, cases[i].field});
    expected.push_back(
        {0, G("Το πεδίο «Πόλη» περιέχει τον χαρακτήρα \\x1B, που δεν επιτρέπεται στη δήλωση"), false, -1});
    ASSERT_EQ(r.findings.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(r.findings[i].line, expected[i].line) << i;
        EXPECT_EQ(cp1253::toUtf8(r.findings[i].message), cp1253::toUtf8(expected[i].message)) << i;
        EXPECT_EQ(r.findings[i].field, expected[i].field) << i;
    }
    EXPECT_EQ(r.findings.back().headerField, HeaderField::Town);

    // Opening kept every byte, and Save As writes the declarant and the lines back as read.
    ui.files = {dir / "saved"};
    ASSERT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
    const std::string read = readFile(dir / "bytes"), saved = readFile(dir / "saved");
    EXPECT_EQ(saved.substr(172, 172), read.substr(172, 172));
    EXPECT_EQ(saved.substr(3 * 172), read.substr(3 * 172));
}

TEST_F(DeclarationCheckTest, CsvIsUtf8WithAByteOrderMarkAndQuotesWhereNeeded)
{
    writeFaultyDeclaration(dir / "faulty");
    open(dir / "faulty");
    CheckResult r;
    r.findings = {{2, msg::badLineAfm(), false, AFM, std::nullopt},
                  {4, msg::withheldAbove40Question(), true, ForosParakr, std::nullopt},
                  {0, G("Τι \"λέει\""), false, -1, HeaderField::YearOfData}};
    EXPECT_EQ(findingsCsv(r, *session),
              "\xEF\xBB\xBF"
              "Γραμμή;ΑΦΜ;Επώνυμο;Είδος;Μήνυμα\r\n"
              "2;123456789;ΒΗΤΑ;Λάθος;Έχετε συμπληρώσει μη αποδεκτό ΑΦΜ στην εγγραφή αναλυτικών αμοιβών\r\n"
              "4;033333333;ΔΕΛΤΑ;Ερώτηση;\"Ο Φόρος που Παρακρατήθηκε είναι μεγαλύτερος του 40% των Καθαρών Αποδοχών. "
              "Είστε βέβαιος ότι θέλετε να συνεχίσετε με την αποθήκευση;\"\r\n"
              "0;123456783;ΑΛΦΑ ΑΕ;Λάθος;\"Τι \"\"λέει\"\"\"\r\n");
}

// The program's own counts agree with their number.
TEST(DeclarationCheckTexts, OneLineIsSingular)
{
    const std::pair<size_t, const char*> problems[] = {
        {1, "1 γραμμή με προβλήματα"}, {2, "2 γραμμές με προβλήματα"}, {11, "11 γραμμές με προβλήματα"}};
    for (const auto& [n, text] : problems) EXPECT_EQ(cp1253::toUtf8(linesWithProblemsText(n)), text);
    EXPECT_EQ(cp1253::toUtf8(saveWithFindingsQuestion(1)),
              "Η δήλωση έχει 1 γραμμή που δεν περνά τους ελέγχους. Να αποθηκευτεί;");
    EXPECT_EQ(cp1253::toUtf8(saveWithFindingsQuestion(3)),
              "Η δήλωση έχει 3 γραμμές που δεν περνούν τους ελέγχους. Να αποθηκευτεί;");
}

}  // namespace
}  // namespace edlt::test
