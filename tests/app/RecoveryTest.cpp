#include "tests/app/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;

namespace {
const char* question =
    "? Βρέθηκαν στοιχεία δήλωσης που δεν αποθηκεύτηκαν (η εφαρμογή δεν τερματίστηκε κανονικά). Θέλετε να τα ανακτήσετε;";
}

TEST_F(SessionTest, WorkLeftByACrashIsRecovered)
{
    newDeclaration();
    session->ChoosePerson();
    session->SetHeaderText(HeaderField::Name, G("ΓΙΑΝΝΗΣ"));
    session->SetHeaderText(HeaderField::TK, "10564");
    ASSERT_TRUE(addLine("012345670", "10", "1000", "200", "800"));
    ASSERT_TRUE(addLine("111111114", "11", "50", "0", "50"));
    const HeaderFields before = session->Header();
    session.reset();  // the program dies: no closing, the workspace stays

    ui.clear();
    ui.answers = {mrYes};
    session = makeSession();
    ASSERT_TRUE(session->Start());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{question});
    const HeaderFields& h = session->Header();
    EXPECT_EQ(h.YearOfData, before.YearOfData);
    EXPECT_EQ(h.AFM, before.AFM);
    EXPECT_EQ(h.CompanyName, before.CompanyName);
    EXPECT_EQ(h.Name, G("ΓΙΑΝΝΗΣ"));
    EXPECT_EQ(h.TK, "10564");
    EXPECT_FALSE(h.business);
    EXPECT_EQ(session->DetailStore().CountRecords(), 2);
    EXPECT_EQ(session->RecordCounterText(), G("2 Εγγραφές-2 μοναδικοί ΑΦΜ"));
    EXPECT_EQ(session->Totals()[0], "1050");
    EXPECT_TRUE(session->Modified());
    EXPECT_FALSE(session->StartPanelVisible());

    // Closing normally removes it all: nothing is offered next time.
    ui.answers = {mrNo};
    EXPECT_TRUE(session->RequestClose());
    session.reset();
    EXPECT_FALSE(std::filesystem::exists(dir / "temp"));
    ui.clear();
    session = makeSession();
    ASSERT_TRUE(session->Start());
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(SessionTest, DecliningRecoveryKeepsTheFilesUntilNewOrExit)
{
    newDeclaration();
    ASSERT_TRUE(addLine("012345670", "10", "1000", "200", "800"));
    session.reset();
    ui.clear();
    ui.answers = {mrNo};
    session = makeSession();
    ASSERT_TRUE(session->Start());
    EXPECT_TRUE(session->StartPanelVisible());
    EXPECT_EQ(workspaceLines().size(), 1u);
}
