// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;
using detail::Field;

class LineValidationTest : public SessionTest {};

namespace {

const char* netMsg =
    "! Οι Καθαρές αποδοχές δε συμφωνούν με τα υπόλοιπα ποσά που έχετε δηλώσει.Ελέγξτε τα ποσά των διάφορων "
    "κρατήσεων καθώς και τις Ακαθάριστες αποδοχές";
const char* mandatoryMsg =
    "! Πρέπει να συμπληρώσετε υποχρεωτικά τα πεδία ΑΦΜ,Ακαθάριστες και Καθαρές Αποδοχές, Κρατήσεις, Είδος Αποδοχών";
const char* q40Withheld =
    "? Ο Φόρος που Παρακρατήθηκε είναι μεγαλύτερος του 40% των Καθαρών Αποδοχών. Είστε βέβαιος ότι θέλετε να "
    "συνεχίσετε με την αποθήκευση;";
const char* q40Due =
    "? Ο Φόρος που Αναλογεί είναι μεγαλύτερος του 40% των Καθαρών Αποδοχών. Είστε βέβαιος ότι θέλετε να συνεχίσετε "
    "με την αποθήκευση;";
const char* qAboveDue =
    "? Ο Φόρος που Παρακρατήθηκε είναι μεγαλύτερος από τον Αναλογούντα Φόρο. Είστε βέβαιος ότι θέλετε να "
    "συνεχίσετε με την αποθήκευση;";

}  // namespace

TEST_F(LineValidationTest, ArithmeticRulesAndTheStateARefusalLeaves)
{
    newDeclaration();
    EXPECT_TRUE(addLine("012345670", "10", "1000", "200", "800"));
    EXPECT_EQ(session->recordCounterText(), G("1 Εγγραφές-1 μοναδικοί ΑΦΜ"));

    EXPECT_FALSE(addLine("111111114", "10", "1000,00", "200", "800,01", {{Field::Xartosimo, ""}}));
    EXPECT_FALSE(session->lastLineAccepted());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{netMsg});
    FixedWidthTable& ds = session->detailStore();
    EXPECT_EQ(ds.state(), DataSetState::InsertState);
    EXPECT_EQ(ds.fieldValue("AkaInc"), "1000");  // normalised before the refusal
    EXPECT_EQ(ds.fieldValue("Xartosimo"), "0");  // empty numbers became zero
    EXPECT_EQ(ds.fieldValue("RecordType"), "3");
    ds.setFieldValue("Kathares", "800");
    EXPECT_TRUE(session->postPendingEdit());
    EXPECT_EQ(ds.lineAt(1).size(), 170u);

    ui.clear();
    EXPECT_FALSE(addLine("222222228", "10", "1000", "", "800"));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{mandatoryMsg});
    ds.Cancel();

    for (const char* type : {"17", "1", ""}) {
        ui.clear();
        EXPECT_FALSE(addLine("222222228", type, "1000", "0", "1000"));
        EXPECT_EQ(ui.messages(),
                  std::vector<std::string>{
                      "! Έχετε συμπληρώσει μη αποδεκτή τιμή Είδους Αποδοχών στην εγγραφή αναλυτικών αμοιβών"});
        ds.Cancel();
    }
    EXPECT_TRUE(addLine("222222228", "30", "1000", "0", "1000"));

    ui.clear();
    EXPECT_FALSE(addLine("333333331", "10", "1000", "0", "1000", {{Field::Hmeres, "366"}}));
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{
                  "! Οι ημέρες απασχόλησης πρέπει να είναι <= 365. Διορθώστε το για να προχωρήσει η αποθήκευση."});
    ds.setFieldValue("Hmeres", "365");
    EXPECT_TRUE(session->postPendingEdit());
}

TEST_F(LineValidationTest, FortyPercentQuestionsInOrder)
{
    newDeclaration();
    EXPECT_TRUE(
        addLine("012345670", "10", "1000", "0", "1000", {{Field::ForosParakr, "400"}, {Field::ForosAnal, "400"}}));
    EXPECT_TRUE(ui.messages().empty());  // exactly 40 % asks nothing

    ui.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(addLine("012345670", "11", "1000", "0", "1000",
                        {{Field::ForosParakr, "400,01"}, {Field::ForosAnal, "400,01"}}));
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{q40Withheld, q40Due}));

    ui.clear();
    ui.answers = {Answer::No};
    EXPECT_FALSE(
        addLine("012345670", "12", "1000", "0", "1000", {{Field::ForosParakr, "300"}, {Field::ForosAnal, "250"}}));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{qAboveDue});
    EXPECT_FALSE(session->lastLineAccepted());
    // Closing the box is not "Όχι": the checks go on.
    ui.answers = {Answer::Cancel};
    EXPECT_TRUE(session->postPendingEdit());
}

TEST_F(LineValidationTest, BoundsAgainstGrossPay)
{
    newDeclaration();
    struct Case {
        Field field;
        const char* start;
    } cases[] = {
        {Field::Xartosimo, "! Το ποσό Χαρτοσήμου"},
        {Field::OGAXart, "! Το ποσό ΟΓΑ Χαρτοσήμου"},
        {Field::ForosParakr, "! Ο Φόρος που Παρακρατήθηκε είναι μεγαλύτερος από τις Ακαθάριστες"},
        {Field::ForosAnal, "! Ο Αναλογούντας Φόρος"},
        {Field::OGAForouParakr, "! Το ποσό \"ΟΓΑ Φόρου που παρ/κε\""},
        {Field::OGAForouAnal, "! Το ποσό \"ΟΓΑ Φόρου που αναλογεί\""},
    };
    for (const Case& c : cases) {
        ui.clear();
        ui.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
        EXPECT_FALSE(addLine("012345670", "10", "100", "0", "100", {{c.field, "100,01"}}));
        ASSERT_FALSE(ui.messages().empty());
        EXPECT_EQ(ui.messages().back().rfind(c.start, 0), 0u) << ui.messages().back();
        session->detailStore().Cancel();
    }
}

TEST_F(LineValidationTest, AmountsAreNormalisedOrRefusedWhenTheyCannotBeWritten)
{
    newDeclaration();
    EXPECT_TRUE(addLine("012345670", "10", "10,555", "0,555", "10", {{Field::Xartosimo, ","}, {Field::OGAXart, "5,"}}));
    EXPECT_EQ(field(1, Field::AkaInc), "10,56");
    EXPECT_EQ(field(1, Field::Kratiseis), "0,56");
    EXPECT_EQ(field(1, Field::Xartosimo), "0");
    EXPECT_EQ(field(1, Field::OGAXart), "5");

    ui.clear();
    // 1E9 fits the typed width but not once written out: never cut into another amount.
    EXPECT_FALSE(addLine("012345670", "11", "1E9", "0", "1E9"));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].find("πολύ μεγάλο"), std::string::npos);
    EXPECT_EQ(session->detailStore().fieldValue("AkaInc"), "1E9");
    session->detailStore().Cancel();

    ui.clear();
    EXPECT_FALSE(addLine("012345670", "11", "100", "0", "100", {{Field::Hmeres, "-5"}}));
    EXPECT_EQ(ui.messages().size(), 1u);
    session->detailStore().Cancel();

    // A pasted full stop is a conversion error: refused, LastLineAccepted false, its message shown.
    ui.clear();
    EXPECT_FALSE(addLine("012345670", "11", "1234.50", "0", "1234.50"));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"E '1234.50' is not a valid floating point value"});
    EXPECT_EQ(session->detailStore().state(), DataSetState::InsertState);
}

TEST_F(LineValidationTest, DuplicatesAndTheDeclarantsOwnNumber)
{
    newDeclaration();
    EXPECT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    EXPECT_TRUE(addLine("012345670", "11", "100", "0", "100"));
    EXPECT_TRUE(addLine("111111114", "10", "100", "0", "100"));
    ui.clear();
    EXPECT_FALSE(addLine("012345670", "10", "5", "0", "5"));
    EXPECT_EQ(
        ui.messages(),
        std::vector<std::string>{
            "! Ο ΑΦΜ: 012345670 έχει εισαχθεί 2 φορές στις αναλυτικές αμοιβές με τον ίδιο κωδικό Είδους Αποδοχών"});
    session->detailStore().Cancel();
    // The scratch copy was refreshed from the workspace file before the search.
    EXPECT_EQ(readFile(session->workspaceFiles().record21()), readFile(session->workspaceFiles().record2()));

    // Editing a stored line into a duplicate passes here; saving finds it.
    FixedWidthTable& ds = session->detailStore();
    ds.setRecordNumber(2);
    ds.edit();
    ds.setFieldValue("TypeInc", "10");
    EXPECT_TRUE(session->postPendingEdit());
    ui.clear();
    EXPECT_FALSE(session->preSaveCheck());
    EXPECT_EQ(
        ui.messages(),
        std::vector<std::string>{
            "! Ο ΑΦΜ: 012345670 έχει εισαχθεί 2 φορές στις αναλυτικές αμοιβές με τον ίδιο κωδικό Είδους Αποδοχών"});

    // The declarant's own number asks first; "Όχι" leaves the line unstored.
    ui.clear();
    ui.answers = {Answer::No};
    EXPECT_FALSE(addLine("123456783", "10", "5", "0", "5"));
    EXPECT_EQ(ui.messages().size(), 1u);
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(session->postPendingEdit());
}

TEST_F(LineValidationTest, TotalsLeaveOutTypes15And16AndFormatOnce)
{
    newDeclaration();
    EXPECT_TRUE(addLine("012345670", "10", "0,33", "0", "0,33"));
    EXPECT_TRUE(
        addLine("111111114", "10", "0,33", "0", "0,33", {{Field::ForosParakr, "0,1"}, {Field::ForosAnal, "0,1"}}));
    EXPECT_TRUE(addLine("222222228", "10", "0,33", "0", "0,33"));
    EXPECT_TRUE(addLine("333333331", "15", "1000", "0", "1000"));
    EXPECT_TRUE(addLine("333333331", "16", "1000", "0", "1000"));
    EXPECT_TRUE(addLine("012345670", "11", "1000", "200", "800", {{Field::Xartosimo, "3,6"}}));
    const TotalsTexts& t = session->totals();
    EXPECT_EQ(t[0], "1000,99");  // Edit1 gross
    EXPECT_EQ(t[1], "200");      // Edit2 deductions
    EXPECT_EQ(t[2], "800,99");   // Edit3 net
    EXPECT_EQ(t[3], "0,1");      // Edit4 withheld
    EXPECT_EQ(t[4], "3,6");      // Edit5 stamp duty
    EXPECT_EQ(t[6], "0,1");      // Edit7 due
    EXPECT_EQ(t[8], "0");
    EXPECT_EQ(session->recordCounterText(), G("6 Εγγραφές-4 μοναδικοί ΑΦΜ"));
    EXPECT_EQ(readFile(session->workspaceFiles().record21()), readFile(session->workspaceFiles().record2()));

    FixedWidthTable& ds = session->detailStore();
    while (ds.countRecords() > 0) ds.deleteRecord();
    EXPECT_EQ(session->recordCounterText(), G("0 Εγγραφές-0 μοναδικοί ΑΦΜ"));
    for (const std::string& box : session->totals()) EXPECT_EQ(box, "0");
    EXPECT_EQ(readFile(session->workspaceFiles().record2()), "");
}
