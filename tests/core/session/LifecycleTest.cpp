// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/core/session/SessionFixture.h"

#include "core/session/WorkspaceLock.h"
#include "core/store/AtomicFile.h"

using namespace edlt;
using namespace edlt::test;
using detail::Field;

class LifecycleTest : public SessionTest {};

namespace {
const std::string focusYear = "focus " + std::to_string(static_cast<int>(HeaderField::YearOfData));
const std::string focusAfm = "focus " + std::to_string(static_cast<int>(HeaderField::AFM));
const std::string focusName = "focus " + std::to_string(static_cast<int>(HeaderField::CompanyName));
}  // namespace

TEST_F(LifecycleTest, StartPanelMenusAndNew)
{
    EXPECT_TRUE(session->startPanelVisible());
    EXPECT_FALSE(session->declarationCommandsEnabled());
    EXPECT_EQ(session->incomeTypeStore().countRecords(), 1);

    ui.answers = {Answer::No};
    session->newDeclaration();
    EXPECT_TRUE(session->startPanelVisible());

    newDeclaration();
    EXPECT_FALSE(session->startPanelVisible());
    EXPECT_TRUE(session->declarationCommandsEnabled());
    EXPECT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    session->choosePerson();
    session->setHeaderText(HeaderField::Name, G("ΓΙΑΝΝΗΣ"));

    ui.answers = {Answer::No};  // "Όχι" leaves everything as it was
    session->newDeclaration();
    EXPECT_EQ(session->detailStore().countRecords(), 1);

    ui.answers = {Answer::Yes, Answer::No};  // then the unsaved line given up
    session->newDeclaration();
    EXPECT_EQ(session->detailStore().countRecords(), 0);
    EXPECT_TRUE(session->header().business);
    EXPECT_EQ(session->header().AFM, "");
    EXPECT_EQ(session->header().Name, "");
    for (const std::string& box : session->totals()) EXPECT_EQ(box, "");
    EXPECT_EQ(session->recordCounterText(), G("0 Εγγραφές"));
    EXPECT_FALSE(session->modified());
    EXPECT_EQ(ui.log.back(), focusYear);
}

TEST_F(LifecycleTest, HeaderExitsAndTheKindOfDeclarant)
{
    newDeclaration();
    session->setHeaderText(HeaderField::AFM, "");
    EXPECT_FALSE(session->leaveAfmBox());
    EXPECT_EQ(ui.log, (std::vector<std::string>{"! Λάθος ΑΦΜ Υπόχρεου", focusAfm}));
    ui.clear();
    session->setHeaderText(HeaderField::AFM, "12345678X");
    EXPECT_TRUE(session->leaveAfmBox());  // the conversion error is reported; the focus moves on
    EXPECT_EQ(ui.log, std::vector<std::string>{"E '12345678X' is not a valid integer value"});

    for (const char* year : {"1899", "2027", "", "999"}) {
        ui.clear();
        session->setHeaderText(HeaderField::YearOfData, year);
        EXPECT_FALSE(session->leaveYearBox()) << year;
        EXPECT_EQ(ui.log, (std::vector<std::string>{
                              "beep", "! Γράψτε το έτος που αφορούν τα στοιχεία, με τέσσερα ψηφία", focusYear}));
    }
    for (const char* year : {"1900", "2026"}) {
        session->setHeaderText(HeaderField::YearOfData, year);
        EXPECT_TRUE(session->leaveYearBox());
    }

    session->setModified(false);
    session->setHeaderText(HeaderField::FatherName, G("ΓΕΩ"));
    EXPECT_TRUE(session->modified());  // every change marks the declaration
    session->setModified(false);
    session->chooseBusiness();  // even when it is already selected
    EXPECT_TRUE(session->modified());
    session->choosePerson();
    EXPECT_EQ(session->companyNameCaption(), G("Επωνυμο: (*)"));
    session->chooseBusiness();
    EXPECT_EQ(session->companyNameCaption(), G("Επωνυμία Επιχείρησης: (*)"));
    EXPECT_EQ(session->header().FatherName, G("ΓΕΩ"));  // hidden, not cleared
}

TEST_F(LifecycleTest, PreSaveCheckStepsInOrder)
{
    newDeclaration();
    session->setHeaderText(HeaderField::YearOfData, "1899");
    EXPECT_FALSE(session->preSaveCheck());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"! Γράψτε το έτος που αφορούν τα στοιχεία, με τέσσερα ψηφία"});
    session->setHeaderText(HeaderField::YearOfData, "2025");

    ui.clear();
    session->setHeaderText(HeaderField::CompanyName, "");
    EXPECT_FALSE(session->preSaveCheck());
    EXPECT_EQ(ui.log, (std::vector<std::string>{"beep", "! Γράψτε την Επωνυμία της επιχείρησης", focusName}));
    ui.clear();
    session->choosePerson();
    EXPECT_FALSE(session->preSaveCheck());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"! Γράψτε το Ονοματεπώνυμο του υπόχρεου"});
    session->setHeaderText(HeaderField::CompanyName, G("ΠΑΠΑΣ"));

    ui.clear();
    session->setHeaderText(HeaderField::AFM, "123456789");
    EXPECT_FALSE(session->preSaveCheck());
    EXPECT_EQ(ui.log, (std::vector<std::string>{"! Έχετε δώσει λανθασμένο ΑΦΜ Υπόχρεου", focusAfm}));
    session->setHeaderText(HeaderField::AFM, "123456783");

    ui.answers = {Answer::Yes};
    EXPECT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    EXPECT_TRUE(addLine("123456783", "10", "100", "0", "100"));
    ui.clear();
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(session->preSaveCheck());
    EXPECT_EQ(
        ui.messages(),
        std::vector<std::string>{
            "? Ο ΑΦΜ: 123456783 που έχει εισαχθεί στη γραμμή 2 των αναλυτικών αμοιβών είναι ίδιος με τον ΑΦΜ υπόχρεου. "
            "Είστε σίγουρος ότι αυτό είναι σωστό;"});
    ui.answers = {Answer::No};
    EXPECT_FALSE(session->preSaveCheck());

    // A pending line that fails its validation stops the check silently after its own message.
    ui.clear();
    session->detailStore().appendNew();
    session->detailStore().setFieldValue("AFM", "012345670");
    EXPECT_FALSE(session->preSaveCheck());
    EXPECT_EQ(ui.messages().size(), 1u);
}

TEST_F(LifecycleTest, SaveAsThenOpenGivesTheSameDeclaration)
{
    newDeclaration();
    session->setHeaderText(HeaderField::Town, G("ΑΘΗΝΑ"));
    EXPECT_TRUE(addLine("012345670", "10", "1234,5", "234,5", "1000",
                        {{Field::SurName, G("ΠΑΠΑΔΟΠΟΥΛΟΣ")}, {Field::Hmeres, "5"}}));
    EXPECT_TRUE(addLine("111111114", "11", "10", "0", "10"));
    EXPECT_TRUE(addLine("012345670", "21", "20", "0", "20"));
    ui.clear();
    ui.files = {dir / "out"};
    EXPECT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
    EXPECT_EQ(ui.fileRequests.back().proposedName, "123456783-DLT");
    EXPECT_EQ(ui.fileRequests.back().folder, dir.path());
    EXPECT_FALSE(session->modified());
    EXPECT_EQ(ui.log, (std::vector<std::string>{"wait", "/wait"}));
    const std::string saved = readFile(dir / "out");
    ASSERT_EQ(saved.size(), 6u * 172);
    EXPECT_EQ(saved.substr(0, 21), "0JL10    202612072025");
    EXPECT_EQ(saved.substr(3 * 172 + 79, 10), "0000123450");  // gross 1234,5 in cents
    EXPECT_EQ(saved.substr(3 * 172 + 147, 3), "005");

    // Overwriting asks with the file's own name; "Όχι" writes nothing.
    ui.clear();
    ui.files = {dir / "out"};
    ui.answers = {Answer::No};
    session->setHeaderText(HeaderField::Town, G("ΠΑΤΡΑ"));
    EXPECT_EQ(session->saveAs(), DeclarationSession::SaveResult::Cancelled);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"? Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο out;"});
    EXPECT_EQ(readFile(dir / "out"), saved);

    ui.answers = {Answer::Yes, Answer::No};  // the change of town given up
    session->newDeclaration();
    ui.clear();
    ui.files = {dir / "out"};
    EXPECT_TRUE(session->openFile(dir / "out"));
    EXPECT_EQ(session->recordCounterText(), G("3 Εγγραφές-2 μοναδικοί ΑΦΜ"));
    EXPECT_EQ(session->header().Town, G("ΑΘΗΝΑ"));
    EXPECT_EQ(session->header().CompanyName, G("ΕΤΑΙΡΕΙΑ ΑΕ"));
    EXPECT_TRUE(session->header().business);
    EXPECT_EQ(session->totals()[0], "1264,5");
    EXPECT_EQ(field(1, Field::AkaInc), "1234,5");
    EXPECT_EQ(field(1, Field::Hmeres), "5");
    EXPECT_FALSE(session->modified());

    // Saved again unchanged, the file is the same byte for byte.
    ui.files = {dir / "again"};
    EXPECT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
    EXPECT_EQ(readFile(dir / "again"), saved);
}

TEST_F(LifecycleTest, ARefusedFileLeavesTheOpenDeclarationUsable)
{
    newDeclaration();
    EXPECT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    const std::vector<std::string> before = workspaceLines();
    writeFile(dir / "bad", "0JL10    20250101" + std::string(153, ' ') + "\r\n9xx\r\n");
    const std::string changes = "? Έχετε κάνει αλλαγές. Θέλετε να αποθηκευτούν σε αρχείο;";
    ui.clear();
    ui.answers = {Answer::No};  // the work given up, and then the file refused: the work stays
    EXPECT_FALSE(session->openFile(dir / "bad"));
    EXPECT_EQ(ui.log,
              (std::vector<std::string>{changes, "beep", "! Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου"}));
    EXPECT_EQ(workspaceLines(), before);
    EXPECT_EQ(session->detailStore().countRecords(), 1);

    writeFile(dir / "notours", "hello\r\n");
    ui.clear();
    ui.answers = {Answer::No};
    EXPECT_FALSE(session->openFile(dir / "notours"));
    EXPECT_EQ(ui.log, (std::vector<std::string>{changes, "! Μη έγκυρο αρχείο"}));  // no beep for this one
}

TEST_F(LifecycleTest, AnAmountThatIsNotANumberIsOpenedToBeFixed)
{
    newDeclaration();
    EXPECT_TRUE(addLine("012345670", "10", "10", "0", "10"));
    EXPECT_TRUE(addLine("111111114", "10", "10", "0", "10"));
    EXPECT_TRUE(addLine("012345670", "11", "10", "0", "10"));
    ui.files = {dir / "good"};
    ASSERT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
    std::string bad = readFile(dir / "good");
    for (size_t line : {1u, 2u}) bad.replace((3 + line) * 172 + 79, 10, "00001x0000");  // gross of lines 2 and 3
    writeFile(dir / "bad", bad);
    const std::string message = "E Γραμμή 2: '00001x0000' is not a valid floating point value";

    // Opened over a declaration with totals: the lines are there to fix, no figures are.
    ui.answers = {Answer::Yes};
    session->newDeclaration();
    ui.clear();
    EXPECT_TRUE(session->openFile(dir / "bad"));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{message + " (και άλλη 1 γραμμή)"});
    EXPECT_EQ(session->detailStore().countRecords(), 3);
    EXPECT_TRUE(session->declarationCommandsEnabled());
    EXPECT_FALSE(session->startPanelVisible());
    EXPECT_EQ(session->totals(), TotalsTexts{});
    EXPECT_EQ(session->recordCounterText(), G("3 Εγγραφές"));

    // Save As refuses while such a line remains; fixing one names the next.
    const auto saveRefused = [&](const std::string& expected) {
        ui.clear();
        EXPECT_EQ(session->saveAs(), DeclarationSession::SaveResult::CheckFailed);
        EXPECT_EQ(ui.messages(), std::vector<std::string>{expected});
        EXPECT_FALSE(std::filesystem::exists(dir / "out"));
    };
    saveRefused(message + " (και άλλη 1 γραμμή)");
    FixedWidthTable& ds = session->detailStore();
    for (long line : {2L, 3L}) {
        ds.setRecordNumber(line);
        ds.edit();
        ds.setFieldValue(static_cast<int>(Field::AkaInc), "10");
        EXPECT_TRUE(session->postPendingEdit());
        if (line == 2) {
            saveRefused("E Γραμμή 3: '00001x0000' is not a valid floating point value");
            EXPECT_EQ(session->totals()[0], "");
        }
    }
    EXPECT_EQ(session->totals()[0], "30");
    EXPECT_EQ(session->recordCounterText(), G("3 Εγγραφές-2 μοναδικοί ΑΦΜ"));
    ui.files = {dir / "out"};
    EXPECT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
}

TEST_F(LifecycleTest, ClosingAsksOnlyAboutUnsavedWork)
{
    newDeclaration();
    session->setModified(false);
    EXPECT_TRUE(session->requestClose());
    EXPECT_TRUE(ui.log.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "temp"));
}

TEST_F(LifecycleTest, ClosingQuestionAnswers)
{
    newDeclaration();
    EXPECT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    const std::string q = "? Έχετε κάνει αλλαγές. Θέλετε να αποθηκευτούν σε αρχείο;";

    ui.answers = {Answer::Cancel};
    EXPECT_FALSE(session->requestClose());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{q});

    ui.answers = {Answer::Yes};
    ui.files = {std::nullopt};  // the save dialog cancelled: the work stays open
    EXPECT_FALSE(session->requestClose());
    EXPECT_TRUE(std::filesystem::exists(session->workspaceFiles().record2()));

    writeFile(dir / "exists", "old");
    ui.answers = {Answer::Yes, Answer::No};  // then refusing to overwrite
    ui.files = {dir / "exists"};
    EXPECT_FALSE(session->requestClose());
    EXPECT_EQ(readFile(dir / "exists"), "old");

    session->setHeaderText(HeaderField::YearOfData, "");
    ui.answers = {Answer::Yes};  // the save check fails
    EXPECT_FALSE(session->requestClose());

    ui.answers = {Answer::No};
    EXPECT_TRUE(session->requestClose());
    EXPECT_FALSE(std::filesystem::exists(dir / "temp"));
}

TEST_F(LifecycleTest, ClosingWithSave)
{
    newDeclaration();
    EXPECT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    ui.answers = {Answer::Yes};
    ui.files = {dir / "saved"};
    EXPECT_TRUE(session->requestClose());
    EXPECT_EQ(readFile(dir / "saved").size(), 4u * 172);
}

// Another program's save between this one's open and Save As is not overwritten unasked.
TEST_F(LifecycleTest, SaveAsOverAFileAnotherProgramChangedAsksFirst)
{
    newDeclaration();
    EXPECT_TRUE(addLine("111111114", "11", "10", "0", "10"));
    ui.files = {dir / "out"};
    ASSERT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
    const std::string others = readFile(dir / "out") + "";
    writeFileAtomically(dir / "out", others);
    const std::string question =
        "? Το αρχείο out άλλαξε από άλλο πρόγραμμα μετά το άνοιγμά του εδώ. Αν "
        "αντικατασταθεί, οι αλλαγές εκείνου του προγράμματος θα χαθούν. Να αντικατασταθεί;";
    for (Answer answer : {Answer::No, Answer::Yes}) {
        ui.clear();
        ui.files = {dir / "out"};
        ui.answers = {Answer::Yes, answer};
        EXPECT_EQ(session->saveAs(), answer == Answer::Yes ? DeclarationSession::SaveResult::Saved
                                                           : DeclarationSession::SaveResult::Cancelled);
        ASSERT_GE(ui.messages().size(), 2u);
        EXPECT_EQ(ui.messages()[1], question);
    }
    // Once saved here, the file is this program's again: only the usual question.
    ui.clear();
    ui.files = {dir / "out"};
    ui.answers = {Answer::Yes};
    EXPECT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
    EXPECT_EQ(ui.messages().size(), 1u);
}

TEST_F(LifecycleTest, OneProgramPerWorkspace)
{
    ScriptedUI other;
    DeclarationSession::Options o;
    o.programFolder = dir.path();
    DeclarationSession second(other, o);
    EXPECT_FALSE(second.start());
    ASSERT_EQ(other.log.size(), 1u);
    EXPECT_EQ(other.log[0].rfind("! Το e-ΔΛΤ εκτελείται ήδη", 0), 0u);

    newDeclaration();
    session->setModified(false);
    EXPECT_TRUE(session->requestClose());
    session.reset();
    // A lock file left behind by a run that died is free again.
    test::writeFile(dir / "temp" / WorkspaceLock::fileName, "");
    DeclarationSession third(other, o);
    EXPECT_TRUE(third.start());

    // A workspace that is not a private folder stops the program, naming the folder.
    test::TempDir elsewhere;
    test::writeFile(elsewhere / "temp", "");
    o.programFolder = elsewhere.path();
    other.clear();
    DeclarationSession fourth(other, o);
    EXPECT_FALSE(fourth.start());
    ASSERT_FALSE(other.log.empty());
    EXPECT_EQ(other.log.back(), "E Ο φάκελος εργασίας " + (elsewhere / "temp").string() +
                                    " δεν είναι ιδιωτικός (δεν είναι φάκελος). Το e-ΔΛΤ δεν μπορεί να ξεκινήσει.");
}

TEST_F(LifecycleTest, SortsKeepTheExchangeOrderAndMarkTheDeclaration)
{
    newDeclaration();
    // Same line from character 12 on, different tax numbers: B, B', A with A's key lowest.
    EXPECT_TRUE(addLine("111111114", "10", "100", "0", "100", {{Field::SurName, "B"}}));
    EXPECT_TRUE(addLine("222222228", "10", "100", "0", "100", {{Field::SurName, "B"}}));
    EXPECT_TRUE(addLine("333333331", "10", "100", "0", "100", {{Field::SurName, "A"}}));
    session->setModified(false);
    ui.clear();
    session->SortBySurname();
    EXPECT_EQ(field(1, Field::AFM), "333333331");
    EXPECT_EQ(field(2, Field::AFM), "222222228");
    EXPECT_EQ(field(3, Field::AFM), "111111114");
    EXPECT_TRUE(session->modified());
    EXPECT_EQ(session->detailStore().recordNumber(), 1);
    EXPECT_EQ(ui.log, (std::vector<std::string>{"wait", "/wait"}));
    EXPECT_NE(readFile(session->workspaceFiles().record2()), readFile(session->workspaceFiles().record21()));

    session->SortByTaxNumber();
    EXPECT_EQ(field(1, Field::AFM), "111111114");
    EXPECT_EQ(field(3, Field::AFM), "333333331");
    EXPECT_EQ(session->recordCounterText(), G("3 Εγγραφές-3 μοναδικοί ΑΦΜ"));

    // A pending line that fails validation: no sort.
    session->detailStore().appendNew();
    session->detailStore().setFieldValue("AFM", "000000001");
    session->setModified(false);
    ui.clear();
    session->SortByTaxNumber();
    EXPECT_FALSE(session->modified());
    EXPECT_EQ(session->detailStore().state(), DataSetState::InsertState);
}

TEST_F(LifecycleTest, DeletingALineMarksTheDeclaration)
{
    newDeclaration();
    EXPECT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    session->setModified(false);
    session->detailStore().deleteRecord();
    EXPECT_TRUE(session->modified());
}

// New, Open and the Open of a given file ask about unsaved changes as closing does.
TEST_F(LifecycleTest, NewAndOpenSettleUnsavedChangesFirst)
{
    const std::string changes = "? Έχετε κάνει αλλαγές. Θέλετε να αποθηκευτούν σε αρχείο;";
    newDeclaration();
    ASSERT_TRUE(addLine("111111114", "10", "5", "0", "5"));
    ui.files = {dir / "other"};
    ASSERT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);

    enum class Command { New, Open, OpenFile };
    struct Case {
        Command command;
        std::vector<Answer> answers;  // after New's own question
        std::vector<std::optional<std::filesystem::path>> saveDialog;
        bool emptyYear;  // the save check fails
        bool goesOn;
    };
    const Case cases[] = {
        {Command::New, {Answer::Cancel}, {}, false, false},
        {Command::New, {Answer::Yes}, {std::nullopt}, false, false},
        {Command::New, {Answer::Yes}, {}, true, false},
        {Command::New, {Answer::Yes}, {dir / "saved"}, false, true},
        {Command::New, {Answer::No}, {}, false, true},
        {Command::Open, {Answer::Cancel}, {}, false, false},
        {Command::Open, {Answer::Yes}, {std::nullopt}, false, false},
        {Command::Open, {Answer::Yes}, {dir / "saved"}, false, true},
        {Command::Open, {Answer::No}, {}, false, true},
        {Command::OpenFile, {Answer::Cancel}, {}, false, false},
        {Command::OpenFile, {Answer::Yes}, {}, true, false},
        {Command::OpenFile, {Answer::Yes}, {dir / "saved"}, false, true},
        {Command::OpenFile, {Answer::No}, {}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.command) << " " << c.goesOn);
        newDeclaration();
        ASSERT_TRUE(addLine("012345670", "10", "100", "0", "100"));
        if (c.emptyYear) session->setHeaderText(HeaderField::YearOfData, "");
        std::filesystem::remove(dir / "saved");
        ui.clear();
        ui.answers.clear();
        if (c.command == Command::New) ui.answers.push_back(Answer::Yes);
        ui.answers.insert(ui.answers.end(), c.answers.begin(), c.answers.end());
        ui.files.assign(c.saveDialog.begin(), c.saveDialog.end());
        if (c.command == Command::Open && c.goesOn) ui.files.push_back(dir / "other");

        switch (c.command) {
        case Command::New: session->newDeclaration(); break;
        case Command::Open: session->open(); break;
        case Command::OpenFile: EXPECT_EQ(session->openFile(dir / "other"), c.goesOn); break;
        }
        EXPECT_TRUE(ui.answers.empty());
        EXPECT_TRUE(ui.files.empty());
        const auto messages = ui.messages();
        EXPECT_EQ(messages.at(c.command == Command::New ? 1 : 0), changes);
        const bool saved = std::find(c.saveDialog.begin(), c.saveDialog.end(), dir / "saved") != c.saveDialog.end();
        EXPECT_EQ(std::filesystem::exists(dir / "saved"), saved);
        // Cancelled, the work is there as it was; gone on, the other declaration or a new one.
        if (c.goesOn && c.command == Command::New) {
            EXPECT_EQ(session->detailStore().countRecords(), 0);
        } else {
            EXPECT_EQ(field(1, Field::AFM), c.goesOn ? "111111114" : "012345670");
        }
        EXPECT_EQ(session->modified(), !c.goesOn);
    }

    // Nothing unsaved: nothing asked.
    session->setModified(false);
    ui.clear();
    ui.answers = {Answer::Yes};
    session->newDeclaration();
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"? Δημιουργία νέου αρχείου;"});
    EXPECT_TRUE(session->openFile(dir / "other"));
}

// Save As proposes the declaration's own file; a new one gets "<AFM>-DLT" in the program's folder.
TEST_F(LifecycleTest, SaveAsProposesTheDeclarationsOwnFile)
{
    newDeclaration();
    ASSERT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    std::filesystem::create_directories(dir / "year");
    const auto saved = dir / "year" / "δήλωση 2025";
    ui.files = {saved, saved, dir / "copy"};
    ui.answers = {Answer::Yes};  // replacing its own file
    for (int i = 0; i < 2; ++i) ASSERT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[0].folder, dir.path());
    EXPECT_EQ(ui.fileRequests[0].proposedName, "123456783-DLT");
    EXPECT_FALSE(ui.fileRequests[0].fileFolder);
    EXPECT_EQ(ui.fileRequests[1].folder, dir / "year");
    EXPECT_EQ(ui.fileRequests[1].proposedName, G("δήλωση 2025"));
    EXPECT_TRUE(ui.fileRequests[1].fileFolder);

    // Opened: that file; after New: the tax number's name again.
    newDeclaration();
    ui.answers = {Answer::No};  // the new header given up
    ASSERT_TRUE(session->openFile(dir / "year" / "δήλωση 2025"));
    ui.fileRequests.clear();
    ASSERT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
    EXPECT_EQ(ui.fileRequests.at(0).proposedName, G("δήλωση 2025"));
    newDeclaration();
    ui.fileRequests.clear();
    ui.files = {std::nullopt};
    session->saveAs();
    EXPECT_EQ(ui.fileRequests.at(0).proposedName, "123456783-DLT");
    EXPECT_EQ(ui.fileRequests.at(0).folder, dir.path());
}
