// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/Find.h"

#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;
using detail::Field;

namespace {

class FindTest : public SessionTest {
protected:
    int dialogShown = 0;

    FindOutcome find(const std::string& text, bool byAfm, bool partial, bool cancelled = false)
    {
        return runFindCommand(*session, ui, [&] {
            ++dialogShown;
            // The pending line has been stored before the dialog opens.
            EXPECT_EQ(session->detailStore().state(), DataSetState::Browse);
            FindRequest r;
            r.Cancelled = cancelled;
            r.SearchText = text;
            r.ByAFM = byAfm;
            r.PartialMatch = partial;
            return r;
        });
    }

    long current() { return session->detailStore().recordNumber(); }

    // Lines 1..4: ΚΑΡΑΠΑΠΑΣ, ΠΑΠΑΔΟΠΟΥΛΟΣ, ΠΑΠΑ, ΠΑΠΑ (the last two share a tax number).
    void fourLines()
    {
        newDeclaration();
        ASSERT_TRUE(addLine("012345670", "10", "100", "0", "100", {{Field::SurName, G("ΚΑΡΑΠΑΠΑΣ")}}));
        ASSERT_TRUE(addLine("111111114", "10", "100", "0", "100", {{Field::SurName, G("ΠΑΠΑΔΟΠΟΥΛΟΣ")}}));
        ASSERT_TRUE(addLine("222222228", "10", "100", "0", "100", {{Field::SurName, G("ΠΑΠΑ")}}));
        ASSERT_TRUE(addLine("222222228", "11", "100", "0", "100", {{Field::SurName, G("ΠΑΠΑ")}}));
        ui.clear();
    }
};

}  // namespace

TEST(Find, TaxNumberTakesDigitsBackspaceAndTabOnly)
{
    for (char c : std::string("0123456789\b\t")) EXPECT_TRUE(findKeyAccepted(true, c)) << int(c);
    for (char c : std::string("aZ -,.;\r\x16") + G("Α")) EXPECT_FALSE(findKeyAccepted(true, c)) << int(c);
    for (char c : std::string("aZ -,.;1") + G("Ωω")) EXPECT_TRUE(findKeyAccepted(false, c)) << int(c);
    EXPECT_EQ(findMaxLength(true), 9);
    EXPECT_EQ(findMaxLength(false), 27);
}

TEST_F(FindTest, TaxNumberFindsTheFirstLineWithItEveryTime)
{
    fourLines();
    session->detailStore().moveFirst();
    EXPECT_EQ(find("222222228", true, false), FindOutcome::Found);
    EXPECT_EQ(current(), 3);
    // No find-next: the same search stands on the same line again.
    EXPECT_EQ(find(" 222222228 ", true, false), FindOutcome::Found);
    EXPECT_EQ(current(), 3);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(dialogShown, 2);

    // The beginning of a tax number only with the box cleared.
    EXPECT_EQ(find("2222", true, false), FindOutcome::NotFound);
    EXPECT_EQ(find("2222", true, true), FindOutcome::Found);
    EXPECT_EQ(current(), 3);
}

TEST_F(FindTest, SurnameWholeOrBeginningCaseKept)
{
    fourLines();
    EXPECT_EQ(find(G("ΠΑΠΑ"), false, true), FindOutcome::Found);
    EXPECT_EQ(current(), 2);  // ΚΑΡΑΠΑΠΑΣ holds it but does not begin with it
    EXPECT_EQ(find(G("ΠΑΠΑ"), false, false), FindOutcome::Found);
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(find(G("ΠΑΠΑΔΟΠΟΥΛΟΣ"), false, false), FindOutcome::Found);
    EXPECT_EQ(current(), 2);
    EXPECT_TRUE(ui.messages().empty());

    session->detailStore().moveLast();
    EXPECT_EQ(find(G("παπα"), false, true), FindOutcome::NotFound);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"W Δεν βρέθηκε το Επώνυμο"});
    EXPECT_EQ(current(), 1);
}

TEST_F(FindTest, NotFoundWarnsAndStandsOnTheFirstLine)
{
    fourLines();
    session->detailStore().moveLast();
    // Longer than the field: can never match, nothing else is said.
    EXPECT_EQ(find("2222222280", true, true), FindOutcome::NotFound);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"W Δεν βρέθηκε ο ΑΦΜ"});
    EXPECT_EQ(current(), 1);

    ui.clear();
    EXPECT_EQ(find(G("ΠΑΠΑΔΟΠΟΥΛΟΣ ΚΑΙ ΣΙΑ"), false, true), FindOutcome::NotFound);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"W Δεν βρέθηκε το Επώνυμο"});
}

TEST_F(FindTest, EmptyDeclarationWarns)
{
    newDeclaration();
    EXPECT_EQ(find("", false, false), FindOutcome::NotFound);
    EXPECT_EQ(find("012345670", true, false), FindOutcome::NotFound);
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"W Δεν βρέθηκε το Επώνυμο", "W Δεν βρέθηκε ο ΑΦΜ"}));
    EXPECT_EQ(current(), -1);
}

TEST_F(FindTest, CancelLeavesTheCurrentLine)
{
    fourLines();
    session->detailStore().setRecordNumber(2);
    EXPECT_EQ(find("012345670", true, false, true), FindOutcome::Cancelled);
    EXPECT_EQ(current(), 2);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(FindTest, PendingLineIsStoredFirstOrStopsTheCommand)
{
    fourLines();
    FixedWidthTable& ds = session->detailStore();

    // A line that fails its checks: its message, and no dialog.
    ds.appendNew();
    ds.setFieldValue(Field::AFM, "333333331");
    ds.setFieldValue(Field::TypeInc, "10");
    ds.setFieldValue(Field::AkaInc, "100");
    ds.setFieldValue(Field::Kratiseis, "0");
    ds.setFieldValue(Field::Kathares, "90");
    EXPECT_EQ(find("333333331", true, false), FindOutcome::LineRefused);
    EXPECT_EQ(dialogShown, 0);
    EXPECT_EQ(ds.state(), DataSetState::InsertState);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].find("Καθαρές αποδοχές"), std::string::npos);

    // Corrected, it is stored by the command and then found.
    ui.clear();
    ds.setFieldValue(Field::Kathares, "100");
    EXPECT_EQ(find("333333331", true, false), FindOutcome::Found);
    EXPECT_EQ(dialogShown, 1);
    EXPECT_EQ(ds.countRecords(), 5);
    EXPECT_EQ(current(), 5);
    EXPECT_TRUE(ui.messages().empty());
}

// Find next goes on from the line after the current one; with none left the line stays.
TEST_F(FindTest, FindNextGoesOnFromTheCurrentLine)
{
    fourLines();
    struct Step {
        FindRequest request;
        long from;
        FindOutcome outcome;
        long at;
    };
    const FindRequest papa{false, G("ΠΑΠΑ"), false, true};
    const FindRequest afm{false, "222222228", true, false};
    const Step steps[] = {
        {papa, 1, FindOutcome::Found, 2},    {papa, 2, FindOutcome::Found, 3}, {papa, 3, FindOutcome::Found, 4},
        {papa, 4, FindOutcome::NotFound, 4}, {afm, 3, FindOutcome::Found, 4},  {afm, 1, FindOutcome::Found, 3},
    };
    for (const Step& s : steps) {
        session->detailStore().setRecordNumber(s.from);
        ui.clear();
        EXPECT_EQ(runFindNextCommand(*session, ui, s.request), s.outcome) << s.from;
        EXPECT_EQ(current(), s.at) << s.from;
        EXPECT_FALSE(session->detailStore().atEnd()) << s.from;  // standing on the line, not past the last
        const std::vector<std::string> told{"W Δεν βρέθηκε άλλη γραμμή με το Επώνυμο ΠΑΠΑ"};
        EXPECT_EQ(ui.messages(), s.outcome == FindOutcome::NotFound ? told : std::vector<std::string>{});
    }

    // A line that fails its checks is not left for the search.
    session->detailStore().setRecordNumber(1);
    session->detailStore().edit();
    session->detailStore().setFieldValue(Field::Kathares, "90");
    ui.clear();
    EXPECT_EQ(runFindNextCommand(*session, ui, afm), FindOutcome::LineRefused);
    EXPECT_EQ(session->detailStore().state(), DataSetState::EditState);
}
