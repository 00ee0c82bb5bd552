// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/core/session/SessionFixture.h"

#include "core/import/SpreadsheetImport.h"

using namespace edlt;
using namespace edlt::test;
using Outcome = SpreadsheetImport::Outcome;

namespace {

namespace fs = std::filesystem;
using Row = std::vector<std::string>;

Row validRow(const std::string& afm, const std::string& type = "10", const std::string& gross = "1000",
             const std::string& deductions = "200", const std::string& net = "800")
{
    return {afm, G("ΠΑΠΑΣ"), G("ΓΙΑΝΝΗΣ"), "",  G("ΑΘΗΝΑ"), "",  "", "",  type, gross,
            "0", "0",        deductions,   net, "0",        "0", "", "5", "0",  "0"};
}

sheet::ReadResult sheetOf(const std::vector<Row>& rows)
{
    sheet::ReadResult r;
    r.block.rows = rows.size();
    r.block.cols = rows.empty() ? 0 : rows[0].size();
    for (const Row& row : rows)
        for (const std::string& c : row) r.block.append(c);
    return r;
}

class SpreadsheetImportTest : public SessionTest {
protected:
    Outcome import(const std::vector<Row>& rows)
    {
        SpreadsheetImport imp(*session, ui);
        return imp.importBlock(sheetOf(rows));
    }
    const std::string generic =
        "! Υπήρξε πρόβλημα κατά το άνοιγμα του αρχείου. Βεβαιωθείτε ότι έχετε εγκατεστημένο "
        "Excel στον υπολογιστή σας και/ή το αρχείο που προσπαθείτε να ανοίξετε είναι αρχείο Excel.";
    const std::string stop = "! Παρουσιάστηκαν σφάλματα κατά την εισαγωγή των στοιχείων. Η εισαγωγή διακόπηκε";
};

}  // namespace

TEST_F(SpreadsheetImportTest, RowsGoToTheTopInReverseOrder)
{
    newDeclaration();
    ASSERT_TRUE(addLine("111111114", "10", "1", "0", "1"));
    ASSERT_TRUE(addLine("222222228", "10", "2", "0", "2"));
    session->setModified(false);
    EXPECT_EQ(
        import({validRow("012345670"), validRow("333333331"), validRow("012345670", "11", "10,555", "0,555", "10")}),
        Outcome::Imported);
    EXPECT_TRUE(ui.messages().empty());
    std::vector<std::string> afms;
    for (long i = 1; i <= 5; ++i) afms.push_back(field(i, detail::AFM));
    EXPECT_EQ(afms, (std::vector<std::string>{"012345670", "333333331", "012345670", "111111114", "222222228"}));
    EXPECT_EQ(field(1, detail::AkaInc), "10,56");  // stored through the line checks
    EXPECT_EQ(session->recordCounterText(), G("5 Εγγραφές-4 μοναδικοί ΑΦΜ"));
    EXPECT_EQ(session->totals()[0], "2013,56");
    EXPECT_TRUE(session->modified());
    // The deferred workspace ends exactly as storing row by row leaves it.
    const std::string first(session->detailStore().lineAt(0));
    EXPECT_EQ(readFile(session->workspaceFiles().record2()).substr(0, first.size()), first);
    EXPECT_EQ(readFile(session->workspaceFiles().record21()), readFile(session->workspaceFiles().record2()));
    EXPECT_EQ(readFile(session->workspaceFiles().record2()).size(), 5u * 172);
}

TEST_F(SpreadsheetImportTest, ValidationPassMessagesStoreNothing)
{
    newDeclaration();
    struct Case {
        std::vector<Row> rows;
        std::string message;
    };
    Row headings = validRow("ΑΦΜ");
    Row type30 = validRow("012345670", "30");
    Row days = validRow("012345670");
    days[17] = "";
    Row fullStop = validRow("012345670", "10", "1234.50", "0", "1234.50");
    Row emptyAmount = validRow("012345670");
    emptyAmount[18] = "";
    Row longAmount = validRow("012345670");
    longAmount[10] = "123456789";  // stamp duty is 8 wide: never cut into another amount
    Row lostZero = validRow("12345670");
    const Case cases[] = {
        {{headings, validRow("012345670")},
         "! Λάθος στη γραμμή 1 του αρχείου: H στήλη ΑΦΜ (Νο 1) δεν περιέχει αποδεκτό ΑΦΜ. Διορθώστε το για να "
         "προχωρήσετε στην εισαγωγή."},
        {{validRow("012345670"), Row(20, "")},
         "! Λάθος στη γραμμή 2 του αρχείου: H στήλη ΑΦΜ (Νο 1) δεν περιέχει αποδεκτό ΑΦΜ. Διορθώστε το για να "
         "προχωρήσετε στην εισαγωγή."},
        {{lostZero},
         "! Λάθος στη γραμμή 1 του αρχείου: H στήλη ΑΦΜ (Νο 1) δεν περιέχει αποδεκτό ΑΦΜ. Διορθώστε το "
         "για να προχωρήσετε στην εισαγωγή."},
        {{type30},
         "! Λάθος στη γραμμή 1 του αρχείου: Η στήλη Είδος Αποδοχών (Νο 9) πρέπει να έχει τιμή "
         "10-15,16,20-25. Διορθώστε το για να προχωρήσετε στην εισαγωγή."},
        {{days},
         "! Λάθος στη γραμμή 1 του αρχείου: Η στήλη Σύνολο Ημερών Απασχόλησης (Νο 18) πρέπει να έχει ακέραια "
         "τιμή <=365. Διορθώστε το για να προχωρήσετε στην εισαγωγή."},
        {{fullStop},
         "! Λάθος στη γραμμή 1 του αρχείου: Η στήλη Νο 10 πρέπει να είναι αριθμός (η υποδιαστολή είναι το "
         "κόμμα). Διορθώστε το για να προχωρήσετε στην εισαγωγή."},
        {{emptyAmount},
         "! Λάθος στη γραμμή 1 του αρχείου: Η στήλη Νο 19 πρέπει να είναι αριθμός (η υποδιαστολή είναι "
         "το κόμμα). Διορθώστε το για να προχωρήσετε στην εισαγωγή."},
        {{longAmount},
         "! Λάθος στη γραμμή 1 του αρχείου: Το ποσό της στήλης Νο 11 δεν χωράει στο πεδίο του. "
         "Διορθώστε το για να προχωρήσετε στην εισαγωγή."},
    };
    for (const Case& c : cases) {
        ui.clear();
        EXPECT_EQ(import(c.rows), Outcome::RowRefused);
        EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(session->detailStore().countRecords(), 0);
    }
}

TEST_F(SpreadsheetImportTest, GenericFailures)
{
    newDeclaration();
    Row letter = validRow("01234567A");
    Row narrow = validRow("012345670");
    narrow.pop_back();  // the block ends at column S
    const std::string narrower = generic + "\nΤο φύλλο έχει λιγότερες από 20 στήλες.";
    const struct {
        std::vector<Row> rows;
        std::string message;
    } cases[] = {
        {{letter}, generic},
        {{narrow}, narrower},
        {{{"x"}}, narrower},
        {{}, generic + "\nΤο φύλλο είναι κενό."},
    };
    for (const auto& c : cases) {
        ui.clear();
        EXPECT_EQ(import(c.rows), Outcome::Unreadable);
        EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message});
    }
    ui.clear();
    SpreadsheetImport imp(*session, ui);
    writeFile(dir / "notasheet.xls", "plain words, not a workbook\x01\x02");
    EXPECT_EQ(imp.importFile(dir / "nowhere.xlsx"), Outcome::Unreadable);
    EXPECT_EQ(session->detailStore().countRecords(), 0);
}

TEST_F(SpreadsheetImportTest, ARefusedRowStopsTheInsertion)
{
    newDeclaration();
    Row days = validRow("333333331");
    days[17] = "400";
    EXPECT_EQ(import({validRow("012345670"), validRow("111111114"), days, validRow("222222228")}), Outcome::Stopped);
    EXPECT_EQ(
        ui.messages(),
        (std::vector<std::string>{
            "! Οι ημέρες απασχόλησης πρέπει να είναι <= 365. Διορθώστε το για να προχωρήσει η αποθήκευση.", stop}));
    EXPECT_EQ(session->detailStore().countRecords(), 2);  // the rows before it stay
    EXPECT_EQ(session->detailStore().state(), DataSetState::InsertState);
    EXPECT_EQ(session->detailStore().fieldValue("Hmeres"), "400");
    EXPECT_EQ(readFile(session->workspaceFiles().record2()).size(), 2u * 172);
    EXPECT_EQ(session->recordCounterText(), G("2 Εγγραφές-2 μοναδικοί ΑΦΜ"));
    session->detailStore().Cancel();

    // A row repeating an earlier row of the same sheet is a duplicate by the time it is stored.
    ui.clear();
    EXPECT_EQ(import({validRow("444444445"), validRow("444444445")}), Outcome::Stopped);
    EXPECT_EQ(ui.messages().back(), stop);
    EXPECT_EQ(session->detailStore().countRecords(), 3);
    session->detailStore().Cancel();

    // The declarant's own number asks; "Όχι" stops the import.
    ui.clear();
    ui.answers = {Answer::No};
    EXPECT_EQ(import({validRow("123456783")}), Outcome::Stopped);
    EXPECT_EQ(ui.messages().back(), stop);
}

TEST_F(SpreadsheetImportTest, CsvFileEndToEnd)
{
    newDeclaration();
    std::string csv;
    for (const char* afm : {"012345670", "111111114"}) {
        Row r = validRow(afm);
        for (size_t i = 0; i < r.size(); ++i) csv += (i ? ";" : "") + cp1253::toUtf8(r[i]);
        csv += "\r\n";
    }
    writeFile(dir / "sheet.csv", csv);
    ui.files = {dir / "sheet.csv"};
    SpreadsheetImport imp(*session, ui);
    EXPECT_EQ(imp.chooseAndImport(), Outcome::Imported);
    EXPECT_EQ(ui.fileRequests.back().folder, dir.path());
    EXPECT_EQ(field(1, detail::AFM), "111111114");
    EXPECT_EQ(field(2, detail::SurName), G("ΠΑΠΑΣ"));

    ui.files = {std::nullopt};
    EXPECT_EQ(imp.chooseAndImport(), Outcome::Cancelled);
    EXPECT_EQ(session->detailStore().countRecords(), 2);
}

TEST_F(SpreadsheetImportTest, HeadingsRowOfARealWorkbook)
{
    newDeclaration();
    SpreadsheetImport imp(*session, ui);
    EXPECT_EQ(imp.importFile(std::string(EDLT_TEST_DATA) + "/sheets/typical.xlsx"), Outcome::RowRefused);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].rfind("! Λάθος στη γραμμή 1 του αρχείου: H στήλη ΑΦΜ", 0), 0u);
}

// Sheets saved by LibreOffice, gnumeric and a CSV writer: formula results, a cell typed
// with a line break, a tab, amounts with more decimals than their field, a notes column V
// with a character outside the code page. Every kind gives the same block, and the file
// written after the import holds only whole records.
TEST_F(SpreadsheetImportTest, RealSheetsInEveryKindGiveTheSameRecords)
{
    const std::vector<Row> expected = {
        {"012345670",  G("ΝΙΚΟΛΑΟΥ ΜΑΡΙΑ"),
         G("ΓΙΩΡΓΟΣ"), G("ΝΙΚ"),
         G("ΑΘΗΝΑ"),   G("ΕΡΜΟΥ 12"),
         "12",         "10564",
         "10",         "1234,56",
         "44,44416",   "0",
         "200",        "1034,56",
         "50",         "50",
         "0",          "365",
         "0",          "0"},
        {"123456783", G("ΤΕΛΟΣ"), G("Α Β"), "",     G("ΠΑΤΡΑ"), G("ΟΔΟΣ 1"), "", "",  "11", "1000",
         "0",         "0",        "0",      "1000", "0",        "0",         "", "1", "0",  "0"},
    };
    for (const std::string name : {"real-lo.xlsx", "real-lo.ods", "real-lo.xls", "real-gnumeric.xls", "real.csv"}) {
        SCOPED_TRACE(name);
        std::vector<Row> want = expected;
        if (name == "real-lo.xlsx") want[1][2] = G("ΑΒ");  // LibreOffice drops a tab when it writes .xlsx
        const std::string path = std::string(EDLT_TEST_DATA) + "/sheets/real/" + name;
        sheet::ReadResult sheet = sheet::readSpreadsheet(path);
        std::vector<Row> rows(sheet.block.rows);
        for (size_t r = 0; r < sheet.block.rows; ++r)
            for (size_t c = 0; c < sheet.block.cols; ++c) rows[r].emplace_back(sheet.block.at(r, c));
        EXPECT_EQ(rows, want);

        newDeclaration();
        ui.clear();
        ui.answers = {Answer::Yes};  // the first row has the declarant's tax number
        SpreadsheetImport imp(*session, ui);
        ASSERT_EQ(imp.importFile(path), Outcome::Imported);
        EXPECT_EQ(field(2, detail::Xartosimo), "44,44");
        EXPECT_EQ(field(2, detail::Street), G("ΕΡΜΟΥ 12"));
        session->writeDeclaration(dir / "out.txt");
        const std::string file = readFile(dir / "out.txt");
        ASSERT_EQ(file.size(), 5u * 172);
        for (size_t at = 0; at < file.size(); at += 172) {
            EXPECT_EQ(file.substr(at + 170, 2), "\r\n");
            EXPECT_EQ(file.substr(at, 170).find_first_of("\r\n\t"), std::string::npos);
        }
    }
    // The same sheet written by a script that never computed its formulas.
    newDeclaration();
    ui.clear();
    SpreadsheetImport imp(*session, ui);
    EXPECT_EQ(imp.importFile(std::string(EDLT_TEST_DATA) + "/sheets/real/real-noval.xlsx"), Outcome::RowRefused);
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{
                  "! Λάθος στη γραμμή 1 του αρχείου: Η στήλη Νο 2 περιέχει τύπο χωρίς αποθηκευμένη τιμή. "
                  "Ανοίξτε και αποθηκεύστε το αρχείο σε πρόγραμμα λογιστικών φύλλων και δοκιμάστε ξανά."});
}

TEST_F(SpreadsheetImportTest, UnreadableWorkbooksSayWhy)
{
    newDeclaration();
    const fs::path causes = fs::path(EDLT_TEST_DATA) / "sheets" / "causes";
    const struct {
        fs::path file;
        const char* cause;
    } cases[] = {
        {causes / "protected.xlsx", "Το αρχείο προστατεύεται με κωδικό."},
        {causes / "protected.xls", "Το αρχείο προστατεύεται με κωδικό."},
        {causes / "protected.ods", "Το αρχείο προστατεύεται με κωδικό."},
        {causes / "binary.xlsb", "Το αρχείο είναι βιβλίο εργασίας σε δυαδική μορφή (.xlsb), που δεν διαβάζεται."},
        {causes / "webpage.xls", "Το αρχείο είναι ιστοσελίδα, όχι βιβλίο εργασίας."},
        {causes / "xml2003.xls",
         "Το αρχείο είναι υπολογιστικό φύλλο XML 2003, όχι βιβλίο εργασίας (.xls, .xlsx, .ods)."},
        {causes / "no-sheet.xlsx", "Το βιβλίο εργασίας δεν έχει φύλλο."},
        {causes / "cut-short.xlsx",
         "Το αρχείο είναι κατεστραμμένο (το συμπιεσμένο πακέτο του είναι ατελές ή αλλοιωμένο)."},
        {causes / "narrow.xlsx", "Το φύλλο έχει λιγότερες από 20 στήλες."},
        {fs::path(EDLT_TEST_DATA) / "sheets" / "empty.ods", "Το φύλλο είναι κενό."},
    };
    for (const auto& c : cases) {
        ui.clear();
        EXPECT_EQ(SpreadsheetImport(*session, ui).importFile(c.file), Outcome::Unreadable) << c.file;
        EXPECT_EQ(ui.messages(), std::vector<std::string>{generic + "\n" + c.cause}) << c.file;
    }
    EXPECT_EQ(session->detailStore().countRecords(), 0);
    // A damaged entry inside a whole archive says the same as one cut short.
    std::string bytes = readFile(causes / "hidden-first.xlsx");
    const size_t sheet = bytes.find("xl/worksheets/sheet2.xml");
    ASSERT_NE(sheet, std::string::npos);
    bytes[sheet + 60] = static_cast<char>(bytes[sheet + 60] ^ 0x5A);
    writeFile(dir / "damaged.xlsx", bytes);
    ui.clear();
    ui.answers = {Answer::No};
    EXPECT_EQ(SpreadsheetImport(*session, ui).importFile(dir / "damaged.xlsx"), Outcome::Unreadable);
    EXPECT_EQ(ui.messages().back(),
              generic + "\nΤο αρχείο είναι κατεστραμμένο (το συμπιεσμένο πακέτο του είναι ατελές ή αλλοιωμένο).");
}

TEST_F(SpreadsheetImportTest, AHiddenFirstSheetIsImportedOnlyWhenAnsweredYes)
{
    const fs::path causes = fs::path(EDLT_TEST_DATA) / "sheets" / "causes";
    for (const char* kind : {"xlsx", "xls", "ods"}) {
        for (Answer answer : {Answer::No, Answer::Yes}) {
            session->setModified(false);
            newDeclaration();
            ui.clear();
            ui.answers = {answer};
            EXPECT_EQ(SpreadsheetImport(*session, ui).importFile(causes / (std::string("hidden-first.") + kind)),
                      Outcome::Imported)
                << kind;
            EXPECT_EQ(ui.messages(),
                      std::vector<std::string>{"? Το πρώτο φύλλο «2023» είναι κρυφό. Να εισαχθούν τα στοιχεία του;"})
                << kind;
            ASSERT_EQ(session->detailStore().countRecords(), 1) << kind;
            // Last year's line on the hidden sheet, this year's on the visible one.
            EXPECT_EQ(field(1, detail::AFM), answer == Answer::Yes ? "012345670" : "111111114") << kind;
            EXPECT_EQ(field(1, detail::SurName), G(answer == Answer::Yes ? "ΠΕΡΣΙΝΟΣ" : "ΦΕΤΙΝΟΣ")) << kind;
        }
    }
}
