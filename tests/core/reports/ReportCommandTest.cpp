// SPDX-License-Identifier: GPL-3.0-or-later
// The report command protocol: the pending line first, the page under one guard, the
// print window's request, and the one message on any failure.
#include <gtest/gtest.h>

#include "core/base/Error.h"
#include "core/reports/ReportCommand.h"
#include "tests/core/reports/Golden.h"
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

namespace {

const fs::path installedTemplate = fs::path(EDLT_TEST_DATA) / ".." / ".." / "data" / "Addon" / "E7FirstPageFinal";
const std::string preparationMessage = "! Υπήρξε κάποιο πρόβλημα κατά την προετοιμασία της εκτύπωσης";

class ReportCommandTest : public SessionTest {
protected:
    std::vector<ReportWindowRequest> shown;

    void SetUp() override
    {
        SessionTest::SetUp();
        fs::copy(installedTemplate, dir / "Addon" / "E7FirstPageFinal");
        newDeclaration();
    }

    bool run(ReportKind kind)
    {
        return ReportCommand(*session, ui).run(kind, [this](const ReportWindowRequest& r) {
            // The page is complete and on disk when the window gets it.
            EXPECT_TRUE(fs::exists(r.pagePath));
            EXPECT_NE(readFile(r.pagePath).find("</html>"), std::string::npos);
            shown.push_back(r);
        });
    }
};

TEST_F(ReportCommandTest, EachReportHandsItsPageTitleAndHintToThePrintWindow)
{
    ASSERT_TRUE(run(ReportKind::FirstPage));
    ASSERT_TRUE(run(ReportKind::DetailedPayments));
    ASSERT_TRUE(run(ReportKind::Totals));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].pagePath, dir / "Addon" / "E7FirstPageFinal.htm");
    EXPECT_EQ(shown[0].title, G("Εκτύπωση 1ης Σελίδας"));
    EXPECT_FALSE(shown[0].landscapeHint);
    EXPECT_EQ(shown[1].pagePath, dir / "DLT.htm");
    EXPECT_EQ(shown[1].title, G("Εκτύπωση"));
    EXPECT_TRUE(shown[1].landscapeHint);
    EXPECT_EQ(shown[2].pagePath, dir / "DLT.htm");
    EXPECT_EQ(shown[2].title, G("Εκτύπωση Συνόλων"));
    EXPECT_FALSE(shown[2].landscapeHint);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ReportCommandTest, TotalsAfterDetailReplacesTheDetailedPage)
{
    ASSERT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    ASSERT_TRUE(run(ReportKind::DetailedPayments));
    EXPECT_NE(readFile(dir / "DLT.htm").find("012345670&nbsp;"), std::string::npos);
    ASSERT_TRUE(run(ReportKind::Totals));
    const std::string page = readFile(dir / "DLT.htm");
    EXPECT_EQ(page.find("012345670"), std::string::npos);
    EXPECT_NE(page.find(G("ΕΚΤΥΠΩΣΗ ΣΥΝΟΛΩΝ")), std::string::npos);
    // Nothing but the page is left beside it.
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".edlt-tmp-"), std::string::npos) << entry.path();
}

TEST_F(ReportCommandTest, PendingLineThatFailsValidationStopsBeforeAnyFile)
{
    FixedWidthTable& ds = session->detailStore();
    ds.appendNew();
    ds.setFieldValue(detail::AFM, "012345670");
    ds.setFieldValue(detail::TypeInc, "99");
    ds.setFieldValue(detail::AkaInc, "100");
    ds.setFieldValue(detail::Kratiseis, "0");
    ds.setFieldValue(detail::Kathares, "100");
    for (ReportKind kind : {ReportKind::FirstPage, ReportKind::DetailedPayments, ReportKind::Totals}) {
        ui.clear();
        EXPECT_FALSE(run(kind));
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_NE(ui.messages()[0], preparationMessage);
    }
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(fs::exists(dir / "DLT.htm"));
    EXPECT_FALSE(fs::exists(dir / "Addon" / "E7FirstPageFinal.htm"));
}

TEST_F(ReportCommandTest, WithoutAddonOnlyTheFirstPageFails)
{
    fs::remove_all(dir / "Addon");
    EXPECT_FALSE(run(ReportKind::FirstPage));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{preparationMessage});
    EXPECT_TRUE(shown.empty());
    ui.clear();
    EXPECT_TRUE(run(ReportKind::DetailedPayments));
    EXPECT_TRUE(run(ReportKind::Totals));
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(ReportCommandTest, MissingTemplateBlockFailsWithTheMessage)
{
    fs::remove(dir / "Addon" / "E7FirstPageFinal" / "Memo5.htm");
    EXPECT_FALSE(run(ReportKind::FirstPage));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{preparationMessage});
    EXPECT_FALSE(fs::exists(dir / "Addon" / "E7FirstPageFinal.htm"));
}

TEST_F(ReportCommandTest, PageThatCannotBeWrittenLeavesTheOldOneAndShowsTheMessage)
{
    ASSERT_TRUE(run(ReportKind::Totals));
    const std::string before = readFile(dir / "DLT.htm");
    // A folder where the page goes cannot be replaced by a file.
    fs::remove(dir / "DLT.htm");
    fs::create_directory(dir / "DLT.htm");
    ui.clear();
    EXPECT_FALSE(run(ReportKind::DetailedPayments));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{preparationMessage});
    EXPECT_TRUE(fs::is_directory(dir / "DLT.htm"));
    EXPECT_EQ(shown.size(), 1u);
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".edlt-tmp-"), std::string::npos) << entry.path();
}

TEST_F(ReportCommandTest, PrintWindowFailureShowsTheMessage)
{
    const bool ok = ReportCommand(*session, ui).run(ReportKind::Totals, [](const ReportWindowRequest&) {
        throw Error("the view cannot navigate");
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{preparationMessage});
}

TEST_F(ReportCommandTest, DetailReportRewritesTheWorkspaceAndKeepsThePosition)
{
    ASSERT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    ASSERT_TRUE(addLine("111111114", "10", "200", "0", "200"));
    FixedWidthTable& ds = session->detailStore();
    ASSERT_TRUE(ds.moveFirst());
    const long position = ds.recordNumber();
    const fs::path record2 = session->workspaceFiles().record2(), record21 = session->workspaceFiles().record21();
    fs::remove(record21);
    writeFile(record2, "stale");
    ASSERT_TRUE(run(ReportKind::DetailedPayments));
    const std::string lines = std::string(ds.lineAt(0)) + "\r\n" + std::string(ds.lineAt(1)) + "\r\n";
    EXPECT_EQ(readFile(record21), lines);
    EXPECT_EQ(readFile(record2), lines);
    EXPECT_FALSE(session->scratchStore().active());
    EXPECT_TRUE(ds.active());
    EXPECT_EQ(ds.fileName(), record2);
    EXPECT_EQ(ds.recordNumber(), position);
}

// The detailed page written while the window shows its report: the same bytes as written
// before showing, whole on disk once the command returns, and a failure the window learns
// of ends in the one message.
TEST_F(ReportCommandTest, DetailedPageWrittenWhileShownHasTheSameBytesAndFailuresTellTheUser)
{
    ASSERT_TRUE(addLine("012345670", "10", "100", "0", "100"));
    ASSERT_TRUE(addLine("111111114", "10", "200", "0", "200"));
    ASSERT_TRUE(run(ReportKind::DetailedPayments));
    const std::string before = readFile(dir / "DLT.htm");
    fs::remove(dir / "DLT.htm");

    auto runWhileShowing = [this](bool& shownWriting) {
        return ReportCommand(*session, ui)
            .run(
                ReportKind::DetailedPayments,
                [&](const ReportWindowRequest& r) {
                    shownWriting = r.writing != nullptr;
                    if (r.writing) r.writing->wait();
                },
                PageWriting::WhileShowing);
    };
    bool shownWriting = false;
    ASSERT_TRUE(runWhileShowing(shownWriting));
    EXPECT_TRUE(shownWriting);
    EXPECT_EQ(readFile(dir / "DLT.htm"), before);
    EXPECT_TRUE(ui.messages().empty());

    // The page's place taken by a folder: shown, then told as a failed preparation.
    fs::remove(dir / "DLT.htm");
    fs::create_directory(dir / "DLT.htm");
    shownWriting = false;
    EXPECT_FALSE(runWhileShowing(shownWriting));
    EXPECT_TRUE(shownWriting);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{preparationMessage});
    EXPECT_TRUE(fs::is_directory(dir / "DLT.htm"));
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".edlt-tmp-"), std::string::npos) << entry.path();
}

}  // namespace
