// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of each kind of step: the lines, the totals, the modified mark and what a
// kill would leave all return to what they were, and the history keeps its limits.
#include <functional>

#include "core/import/SpreadsheetImport.h"
#include "core/rules/CheckAFM.h"
#include "core/session/UndoHistory.h"
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;

namespace {

class UndoTest : public SessionTest {
public:
    using SessionTest::session;  // for the steps of the table

    std::vector<std::string> lines()
    {
        std::vector<std::string> out;
        session->detailStore().forEachLine([&](std::string_view l, int32_t) {
            out.emplace_back(l);
            return true;
        });
        return out;
    }
    // Three lines in an order neither sort keeps.
    void threeLines()
    {
        newDeclaration();
        ASSERT_TRUE(addLine("111111114", "10", "1000", "200", "800", {{detail::SurName, "GAMMA"}}));
        ASSERT_TRUE(addLine("012345670", "10", "500", "100", "400", {{detail::SurName, "ALPHA"}}));
        ASSERT_TRUE(addLine("222222228", "11", "300", "0", "300", {{detail::SurName, "BETA"}}));
    }
    void importRows(const std::vector<std::string>& afms)
    {
        sheet::ReadResult r;
        r.block.rows = afms.size();
        r.block.cols = 20;
        for (const std::string& afm : afms)
            for (const std::string& c : {afm,
                                         G("ΠΑΠΑΣ"),
                                         G("ΓΙΑΝΝΗΣ"),
                                         std::string(),
                                         G("ΑΘΗΝΑ"),
                                         std::string(),
                                         std::string(),
                                         std::string(),
                                         std::string("10"),
                                         std::string("1000"),
                                         std::string("0"),
                                         std::string("0"),
                                         std::string("200"),
                                         std::string("800"),
                                         std::string("0"),
                                         std::string("0"),
                                         std::string(),
                                         std::string("5"),
                                         std::string("0"),
                                         std::string("0")})
                r.block.append(c);
        SpreadsheetImport imp(*session, ui);
        ASSERT_EQ(imp.importBlock(r), SpreadsheetImport::Outcome::Imported);
    }
};

// The n-th of a run of valid tax numbers.
std::string validAfm(int n)
{
    const std::string stem = std::to_string(20000000 + n);
    for (char c = '0'; c <= '9'; ++c)
        if (checkAFM(stem + c)) return stem + c;
    return {};
}

struct StepCase {
    const char* name;
    const char* caption;  // after "Αναίρεση: " and "Επανάληψη: "
    std::function<void(UndoTest&)> act;
};

}  // namespace

TEST_F(UndoTest, EachStepUndoesAndRedoesThroughTheStoreAndTheJournal)
{
    const std::vector<StepCase> cases = {
        {"change", "αλλαγή γραμμής",
         [](UndoTest& t) {
             FixedWidthTable& ds = t.session->detailStore();
             ds.setRecordNumber(2);
             ds.edit();
             ds.setFieldValue(detail::AkaInc, "600");
             ds.setFieldValue(detail::Kathares, "500");
             ASSERT_TRUE(t.session->postPendingEdit());
         }},
        {"new line", "νέα γραμμή",
         [](UndoTest& t) {
             FixedWidthTable& ds = t.session->detailStore();
             ds.setRecordNumber(2);
             ds.insert();
             for (auto [f, v] : Fields{{detail::AFM, "333333331"},
                                       {detail::TypeInc, "10"},
                                       {detail::AkaInc, "7"},
                                       {detail::Kratiseis, "0"},
                                       {detail::Kathares, "7"}})
                 ds.setFieldValue(f, v);
             ASSERT_TRUE(t.session->postPendingEdit());
         }},
        {"delete", "διαγραφή γραμμής",
         [](UndoTest& t) {
             t.session->detailStore().setRecordNumber(1);
             t.session->detailStore().deleteRecord();
         }},
        {"sort", "ταξινόμηση", [](UndoTest& t) { t.session->SortBySurname(); }},
        {"import", "εισαγωγή",
         [](UndoTest& t) {
             t.importRows({validAfm(1), validAfm(2), validAfm(3)});
         }},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        threeLines();
        const auto before = lines();
        const auto totalsBefore = session->totals();
        c.act(*this);
        const auto after = lines();
        const auto totalsAfter = session->totals();
        ASSERT_NE(after, before);
        EXPECT_EQ(cp1253::toUtf8(session->undoCaption()), std::string("Αναίρεση: ") + c.caption);
        EXPECT_FALSE(session->canRedo());

        session->setModified(false);
        ASSERT_TRUE(session->undo());
        EXPECT_EQ(lines(), before);
        EXPECT_EQ(workspaceLines(), before);  // what a kill now would recover
        EXPECT_EQ(session->totals(), totalsBefore);
        EXPECT_TRUE(session->modified());
        EXPECT_EQ(cp1253::toUtf8(session->redoCaption()), std::string("Επανάληψη: ") + c.caption);

        session->setModified(false);
        ASSERT_TRUE(session->redo());
        EXPECT_EQ(lines(), after);
        EXPECT_EQ(workspaceLines(), after);
        EXPECT_EQ(session->totals(), totalsAfter);
        EXPECT_TRUE(session->modified());
        EXPECT_FALSE(session->canRedo());
        EXPECT_EQ(ui.messages(), std::vector<std::string>{});
    }
}

TEST_F(UndoTest, StepsUndoInReverseOrderAndANewStepDropsTheRedo)
{
    threeLines();
    const auto initial = lines();
    session->SortByTaxNumber();
    session->detailStore().setRecordNumber(3);
    session->detailStore().deleteRecord();
    const auto afterDelete = lines();
    ASSERT_TRUE(addLine("333333331", "10", "7", "0", "7"));
    ASSERT_TRUE(session->undo());
    EXPECT_EQ(lines(), afterDelete);
    ASSERT_TRUE(session->undo());
    ASSERT_TRUE(session->undo());
    EXPECT_EQ(lines(), initial);
    ASSERT_TRUE(session->redo());
    ASSERT_TRUE(addLine("333333331", "10", "7", "0", "7"));
    EXPECT_FALSE(session->canRedo());
    // The three typed lines, the sort, then the new one: five steps back is the empty declaration.
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(session->undo());
    EXPECT_TRUE(lines().empty());
    EXPECT_FALSE(session->canUndo());
}

TEST_F(UndoTest, AnEditInProgressIsCancelledFirst)
{
    threeLines();
    const auto stored = lines();
    FixedWidthTable& ds = session->detailStore();
    ds.setRecordNumber(1);
    ds.edit();
    ds.setFieldValue(detail::SurName, "TYPED");
    EXPECT_FALSE(session->canRedo());
    ASSERT_TRUE(session->undo());
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(lines(), stored);
    ASSERT_TRUE(session->undo());  // now the last stored line
    EXPECT_EQ(lines().size(), 2u);
}

TEST_F(UndoTest, ARefusedUndoLeavesTheLinesAndTheStep)
{
    threeLines();
    // The declarant's tax number now equals a line's: putting that line back asks first.
    session->detailStore().setRecordNumber(1);
    session->detailStore().deleteRecord();
    session->setHeaderText(HeaderField::AFM, "111111114");
    const auto stored = lines();
    ui.answers = {Answer::No};
    EXPECT_FALSE(session->undo());
    EXPECT_EQ(lines(), stored);
    EXPECT_EQ(session->detailStore().state(), DataSetState::Browse);
    EXPECT_TRUE(session->canUndo());
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(session->undo());
    EXPECT_EQ(lines().size(), 3u);
}

TEST_F(UndoTest, NewAndOpenEmptyTheHistory)
{
    threeLines();
    session->writeDeclaration(dir / "saved.txt");
    ASSERT_TRUE(session->canUndo());
    ASSERT_TRUE(session->openFile(dir / "saved.txt"));
    EXPECT_FALSE(session->canUndo());
    ASSERT_TRUE(addLine("333333331", "10", "7", "0", "7"));
    newDeclaration();
    EXPECT_FALSE(session->canUndo());
    EXPECT_EQ(session->undoCaption(), "");
}

TEST_F(UndoTest, TheHistoryKeepsItsLastStepsWithinItsBytes)
{
    newDeclaration();
    struct LimitCase {
        UndoHistory::Limits limits;
        int stores;
        size_t kept;
    };
    int next = 0;
    for (const LimitCase& c : {LimitCase{{100, size_t{64} << 20}, 105, 100}, LimitCase{{100, 4096}, 50, 0}}) {
        UndoHistory history(session->detailStore(), c.limits);
        for (int i = 0; i < c.stores; ++i) ASSERT_TRUE(addLine(validAfm(next++), "10", "1", "0", "1"));
        EXPECT_LE(history.bytes(), c.limits.bytes);
        if (c.kept) EXPECT_EQ(history.steps(), c.kept);
        else
            EXPECT_LT(history.steps(), 50u);
        EXPECT_GT(history.steps(), 0u);
    }
}

TEST_F(UndoTest, AKillAfterAnUndoRecoversTheUndoneLines)
{
    const std::vector<std::function<void(UndoTest&)>> steps = {
        [](UndoTest& t) {
            t.session->detailStore().setRecordNumber(2);
            t.session->detailStore().deleteRecord();
        },
        [](UndoTest& t) { t.session->SortByTaxNumber(); },
        [](UndoTest& t) {
            t.importRows({validAfm(1), validAfm(2)});
        },
    };
    for (const auto& step : steps) {
        threeLines();
        const auto before = lines();
        step(*this);
        ASSERT_TRUE(session->undo());
        session.reset();  // killed
        ui.clear();
        ui.answers = {Answer::Yes};  // recover the work left
        session = makeSession();
        ASSERT_TRUE(session->start());
        EXPECT_TRUE(ui.answers.empty());
        EXPECT_EQ(lines(), before);
        EXPECT_TRUE(session->modified());
        EXPECT_FALSE(session->canUndo());
    }
}
