// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed payments and totals pages, byte for byte, for small declarations built
// through the session (so the lines are what validation stores).
#include <gtest/gtest.h>

#include "core/reports/PageWriter.h"
#include "core/reports/ReportCommand.h"
#include "core/reports/ReportPages.h"
#include "tests/core/reports/Golden.h"
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;
using Field = edlt::detail::Field;

namespace {

class ReportPagesTest : public SessionTest {
protected:
    std::string page(ReportKind kind)
    {
        const auto path = dir / "page.htm";
        ReportCommand(*session, ui).writePage(kind, path);
        return readFile(path);
    }

    void personHeader()
    {
        session->choosePerson();
        session->setHeaderText(HeaderField::CompanyName, G("ΓΕΩΡΓΙΟΥ"));
        session->setHeaderText(HeaderField::Name, G("ΜΑΡΙΑ"));
        session->setHeaderText(HeaderField::FatherName, G("ΚΩΝ"));
        address();
        ui.clear();
    }

    void address()
    {
        session->setHeaderText(HeaderField::AntikeimenoErgasion, G("ΕΜΠΟΡΙΟ"));
        session->setHeaderText(HeaderField::Town, G("ΑΘΗΝΑ"));
        session->setHeaderText(HeaderField::Street, G("ΠΑΤΗΣΙΩΝ"));
        session->setHeaderText(HeaderField::Number, "12");
        session->setHeaderText(HeaderField::TK, "10434");
    }

    void threeLines()
    {
        ASSERT_TRUE(addLine("012345670", "10", "1234,5", "234,5", "1000",
                            {{Field::SurName, G("ΠΑΠΑΔΟΠΟΥΛΟΣ")},
                             {Field::Name, G("ΓΙΩΡΓΟΣ")},
                             {Field::FatherName, G("ΝΙΚ")},
                             {Field::City, G("ΠΕΙΡΑΙΑΣ")},
                             {Field::Street, G("ΚΑΡΑΪΣΚΟΥ")},
                             {Field::StreetNo, "7"},
                             {Field::TK, "18532"},
                             {Field::Xartosimo, "2,4"},
                             {Field::OGAXart, "0,48"},
                             {Field::ForosParakr, "50"},
                             {Field::ForosAnal, "50,1"},
                             {Field::Ypokatastima, "1"},
                             {Field::Hmeres, "365"},
                             {Field::OGAForouParakr, "0,3"},
                             {Field::OGAForouAnal, "0,3"}}));
        ASSERT_TRUE(
            addLine("111111114", "11", "800", "0", "800", {{Field::SurName, G("ΑΛΕΞΙΟΥ")}, {Field::Name, G("ΕΛΕΝΗ")}}));
        ASSERT_TRUE(addLine("222222228", "12", "10,05", "0,05", "10", {{Field::SurName, G("ΒΑΣΙΛΕΙΟΥ")}}));
    }
};

TEST(ReportPages, ProposedPdfNamesBeginWithTheTaxNumber)
{
    EXPECT_EQ(cp1253::toUtf8(ReportCommand::proposedPdfName(ReportKind::FirstPage, "123456783")),
              "123456783-1η σελίδα.pdf");
    EXPECT_EQ(cp1253::toUtf8(ReportCommand::proposedPdfName(ReportKind::Totals, "")), "σύνολα.pdf");
    // Nothing typed in the box can name a folder.
    EXPECT_EQ(cp1253::toUtf8(ReportCommand::proposedPdfName(ReportKind::DetailedPayments, "12/../3")),
              "12..3-αναλυτικές αμοιβές.pdf");
}

TEST(ReportPages, EscapesTheFourCharactersAndNothingElse)
{
    EXPECT_EQ(reports::escapeHtml("A & B <C> \"D\" 'E'"), "A &amp; B &lt;C&gt; &quot;D&quot; 'E'");
    EXPECT_EQ(reports::escapeHtml(G("ΑΘΗΝΑ, ΠΑΤΗΣΙΩΝ 12;%")), G("ΑΘΗΝΑ, ΠΑΤΗΣΙΩΝ 12;%"));
    EXPECT_EQ(reports::escapeHtml("&amp;"), "&amp;amp;");
    EXPECT_EQ(reports::escapeHtml(""), "");
}

TEST(ReportPages, BlockIsFollowedByAnEmptyLineAndLinesEndInCrLf)
{
    StringSink sink;
    reports::PageWriter out(sink);
    out.block({"a", "", "b"});
    out.lineOf({"<td>", "x<y", "</td>"});
    out.line("end");
    EXPECT_TRUE(sink.text().empty()) << "nothing reaches the sink before the flush";
    out.flush();
    EXPECT_EQ(sink.text(), "a\r\n\r\nb\r\n\r\n<td>x&lt;y</td>\r\nend\r\n");
}

TEST_F(ReportPagesTest, DetailedPaymentsOfABusinessWithNoLines)
{
    newDeclaration();
    address();
    expectGolden("detail-business-empty.htm", page(ReportKind::DetailedPayments));
}

TEST_F(ReportPagesTest, DetailedPaymentsOfANaturalPersonWithThreeLines)
{
    newDeclaration();
    personHeader();
    threeLines();
    expectGolden("detail-person-three.htm", page(ReportKind::DetailedPayments));
}

TEST_F(ReportPagesTest, IncomeTypes15And16AreListedButLeftOutOfTheTotals)
{
    newDeclaration();
    ASSERT_TRUE(addLine("012345670", "15", "100", "0", "100"));
    ASSERT_TRUE(addLine("111111114", "16", "200", "0", "200"));
    ASSERT_TRUE(addLine("222222228", "10", "50", "0", "50"));
    const std::string p = page(ReportKind::DetailedPayments);
    expectGolden("detail-types-15-16.htm", p);
    EXPECT_NE(p.find("<td class=\"style2\">15&nbsp;</td>\r\n<td class=\"style2\">100&nbsp;</td>"), std::string::npos);
    EXPECT_NE(p.find("<td class=\"style2\">16&nbsp;</td>\r\n<td class=\"style2\">200&nbsp;</td>"), std::string::npos);
    // The totals row shows the boxes, which hold 50.
    EXPECT_NE(p.find(G("<td class=\"style2\" colspan=\"6\">ΣΥΝΟΛΟ</td>\r\n<td class=\"style2\">50</td>\r\n")),
              std::string::npos);
}

TEST_F(ReportPagesTest, EmptyStreetNumberAndPostcodeKeepTheirSeparators)
{
    newDeclaration();
    ASSERT_TRUE(addLine("012345670", "10", "100", "0", "100", {{Field::City, G("ΑΘΗΝΑ")}, {Field::Street, G("ΟΔΟΣ")}}));
    ASSERT_TRUE(addLine("111111114", "10", "100", "0", "100"));
    const std::string p = page(ReportKind::DetailedPayments);
    EXPECT_NE(p.find(G("<td class=\"style2\">ΑΘΗΝΑ, ΟΔΟΣ  &nbsp;</td>\r\n")), std::string::npos);
    EXPECT_NE(p.find("<td class=\"style2\">,   &nbsp;</td>\r\n"), std::string::npos);
    // The declarant block joins its own address the same way.
    EXPECT_NE(p.find("<td class=\"style2\">,  , </td>\r\n"), std::string::npos);
}

TEST_F(ReportPagesTest, SortedDeclarationListsTheNewOrder)
{
    newDeclaration();
    ASSERT_TRUE(addLine("111111114", "10", "100", "0", "100", {{Field::SurName, G("ΓΑΜΑ")}}));
    ASSERT_TRUE(addLine("222222228", "10", "200", "0", "200", {{Field::SurName, G("ΑΛΦΑ")}}));
    ASSERT_TRUE(addLine("333333331", "10", "300", "0", "300", {{Field::SurName, G("ΒΗΤΑ")}}));
    session->SortBySurname();
    const std::string p = page(ReportKind::DetailedPayments);
    expectGolden("detail-sorted.htm", p);
    const size_t a = p.find(G(">ΑΛΦΑ&nbsp;")), b = p.find(G(">ΒΗΤΑ&nbsp;")), c = p.find(G(">ΓΑΜΑ&nbsp;"));
    ASSERT_NE(c, std::string::npos);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_NE(p.find("<tr>\r\n<td class=\"style2\">1</td>\r\n<td class=\"style2\">222222228&nbsp;</td>"),
              std::string::npos);
}

TEST_F(ReportPagesTest, TotalsPageOfABusinessAndOfANaturalPerson)
{
    newDeclaration();
    address();
    threeLines();
    expectGolden("totals-business.htm", page(ReportKind::Totals));
    personHeader();
    expectGolden("totals-person.htm", page(ReportKind::Totals));
}

TEST_F(ReportPagesTest, TotalsPageWithNoLinesShowsTheBoxesAsTheyStand)
{
    newDeclaration();
    const std::string p = page(ReportKind::Totals);
    const auto lines = pageLines(p);
    ASSERT_GE(lines.size(), 11u);
    // Nine cells holding the (empty) boxes, then the closing line.
    for (size_t i = lines.size() - 10; i < lines.size() - 1; ++i) EXPECT_EQ(lines[i], "<td class=\"style2\"></td>");
    EXPECT_EQ(lines.back(), "</tr></table></td></tr></table></body></html>");
}

TEST_F(ReportPagesTest, ValuesAreEscapedSoTheyPrintAsTyped)
{
    newDeclaration();
    session->setHeaderText(HeaderField::CompanyName, G("Α & Β <ΟΕ>"));
    session->setHeaderText(HeaderField::Street, "\"X\"");
    ASSERT_TRUE(addLine("012345670", "10", "100", "0", "100", {{Field::SurName, "A&B"}, {Field::Name, "<i>"}}));
    for (ReportKind kind : {ReportKind::DetailedPayments, ReportKind::Totals}) {
        const std::string p = page(kind);
        EXPECT_NE(p.find(G("<td class=\"style2\" colspan=\"3\">Α &amp; Β &lt;ΟΕ&gt;</td>\r\n")), std::string::npos);
        EXPECT_NE(p.find(", &quot;X&quot; , </td>"), std::string::npos);
        EXPECT_EQ(p.find(G("<ΟΕ>")), std::string::npos);
    }
    EXPECT_NE(page(ReportKind::DetailedPayments)
                  .find("<td class=\"style2\">A&amp;B&nbsp;</td>\r\n<td class=\"style2\">&lt;i&gt;&nbsp;</td>"),
              std::string::npos);
}

}  // namespace
