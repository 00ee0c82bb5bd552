// SPDX-License-Identifier: GPL-3.0-or-later
// The first page: values at their insertion points between the four template blocks, and
// the installed template itself (block sizes, the 51 rows of 15 columns, the styles of the
// classes the program's fragments name).
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "core/base/Error.h"
#include "core/reports/FirstPage.h"
#include "tests/TestUtil.h"
#include "tests/core/reports/Golden.h"

using namespace edlt;
using namespace edlt::test;
using reports::FirstPageTemplate;

namespace {

const std::filesystem::path installedTemplate = std::filesystem::path(EDLT_TEST_DATA) / ".." / ".." / "data" / "Addon" /
                                                "E7FirstPageFinal";

HeaderFields business(const std::string& year)
{
    HeaderFields h;
    h.YearOfData = year;
    h.AFM = "123456783";
    h.CompanyName = G("ΕΤΑΙΡΕΙΑ ΑΕ");
    h.Name = G("ΑΓΝΟΕΙΤΑΙ");
    h.FatherName = G("ΑΓΝ");
    h.Town = G("ΑΘΗΝΑ");
    h.Street = G("ΠΑΤΗΣΙΩΝ");
    h.Number = "12";
    h.TK = "10434";
    h.business = true;
    return h;
}

TotalsTexts totals(const std::string& gross, const std::string& net)
{
    TotalsTexts t;
    t[0] = gross;
    t[2] = net;
    return t;
}

TEST(FirstPage, YearAndPeriod)
{
    // A four-digit year is printed whole; any other text after the form's "200".
    const struct {
        const char* year;
        const char* fiscalYear;
        const char* period;
    } cases[] = {
        {"2004", "2005", "1/1/2004 έως 31/12/2004"}, {"2023", "2024", "1/1/2023 έως 31/12/2023"},
        {"1999", "2000", "1/1/1999 έως 31/12/1999"}, {"", "", "1/1/200 έως 31/12/200"},
        {"23", "24", "1/1/2003 έως 31/12/2003"},     {"20a", "20a", "1/1/200a έως 31/12/200a"},
    };
    for (const auto& c : cases) {
        const auto v = reports::firstPageValuesOf(business(c.year), {});
        EXPECT_EQ(v.fiscalYear, c.fiscalYear) << c.year;
        EXPECT_EQ(v.period, G("Αποδοχές απο ") + G(c.period)) << c.year;
    }
}

TEST(FirstPage, NamesAddressAndDeductions)
{
    HeaderFields h = business("2004");
    auto v = reports::firstPageValuesOf(h, totals("1000,5", "800,25"));
    EXPECT_EQ(v.name, G("ΕΤΑΙΡΕΙΑ ΑΕ"));
    EXPECT_EQ(v.fatherName, "");
    EXPECT_EQ(v.address, G("ΑΘΗΝΑ,ΠΑΤΗΣΙΩΝ 12,10434"));
    EXPECT_EQ(v.gross, "1000,5");
    EXPECT_EQ(v.deductions, "200,25");
    EXPECT_EQ(v.net, "800,25");
    h.business = false;
    h.CompanyName = G("ΠΑΠΑΔΟΠΟΥΛΟΣ");
    h.Name = G("ΓΙΩΡΓΟΣ");
    v = reports::firstPageValuesOf(h, totals("", ""));
    EXPECT_EQ(v.name, G("ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΩΡΓΟΣ"));
    EXPECT_EQ(v.fatherName, G("ΑΓΝ"));
    EXPECT_EQ(v.deductions, "0");
    // A text that is not a number counts as 0; exact decimals, no binary rounding.
    EXPECT_EQ(reports::firstPageValuesOf(h, totals("abc", "10,1")).deductions, "-10,1");
    EXPECT_EQ(reports::firstPageValuesOf(h, totals("99999999999,99", "0,01")).deductions, "99999999999,98");
}

// Small stand-in blocks, so the expected page can be spelled out line by line.
FirstPageTemplate tinyTemplate()
{
    return {{"M3a", "M3b"}, {"M4"}, {"M5"}, {"M6a", "M6b"}};
}

TEST(FirstPage, FragmentsAndValuesBetweenTheBlocks)
{
    HeaderFields h = business("2004");
    h.business = false;
    h.CompanyName = G("ΠΑΠΑΔΟΠΟΥΛΟΣ");
    h.Name = G("ΓΙΩΡΓΟΣ");
    StringSink sink;
    reports::writeFirstPage(sink, tinyTemplate(), h, totals("1000,5", "800,25"));
    const std::vector<std::string> expected = {
        "M3a",
        "M3b",
        "",
        "2005&nbsp;",
        "</span></td><td class=xl286748></td><td class=xl286748></td><td class=xl286748></td><td class=xl286748></td>",
        "<td class=xl286748></td><td class=xl286748></td><td class=xl286748></td><td class=xl286748 colspan=3><span "
        "style=\"mso-spacerun:yes\">",
        G("</span><font class=\"font76748\">Αριθ. Φακέλλου ...............…</font></td></tr>"),
        "<tr height=37 style=\"mso-height-source:userset;height:27.75pt\"><td height=37 class=xl156748 "
        "style=\"height:27.75pt\"></td>",
        G("<td class=xl266748 colspan=6 x:str=\"Αποδοχές απο 1/1/2004 έως 31/12/2004\">"),
        G("Αποδοχές απο 1/1/2004 έως 31/12/2004</td>"),
        "M4",
        "",
        G("<td class=xl286748 colspan=5>Ονοματεπώνυμο (Επωνυμία)</td><td colspan=5 class=xl316748>"),
        G("ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΩΡΓΟΣ&nbsp;"),
        G("</td><td class=xl336748><span style=\"mso-spacerun:yes\">           </span>Όνομα</td><td class=xl316748>"),
        G("ΑΓΝ&nbsp;"),
        G("</td></tr><tr height=29 style=\"mso-height-source:userset;height:21.75pt\"><td height=29 class=xl156748 "
          "style=\"height:21.75pt\"></td><td class=xl286748 colspan=4>Είδος επιχείρησης</td>"),
        "<td colspan=3 class=xl316748>&nbsp;</td><td align=left valign=top><!--[if gte vml 1]><v:rect "
        "id=\"_x0000_s2049\"",
        "style=\"position:absolute;margin-left:9pt;margin-top:6pt;width:51pt;height:10.5pt;z-index:1\" "
        "fillcolor=\"window [65]\" strokecolor=\"windowText [64]\" ",
        "o:insetmode=\"auto\"/><![endif]--><![if !vml]><span style=\"mso-ignore:vglayout;position:absolute;z-index:1;"
        "margin-left:11px;margin-top:7px;width:70px;  height:16px\"><img width=70 height=16",
        "src=\"E7FirstPageFinal.files/DHL%20DLT%2004Empty2_6748_image001.gif\" v:shapes=\"_x0000_s2049\"></span>"
        "<![endif]><spanstyle=\"mso-ignore:vglayout2\">",
        "<table cellpadding=0 cellspacing=0><tr><td height=29 class=xl306748 width=72 "
        "style=\"height:21.75pt;width:54pt\">*</td></tr></table>",
        G("</span></td>  <td class=xl286748 align=\"left\"><span style=\"mso-spacerun:yes\">   </span>Διεύθυνση</td>"),
        G("<td colspan=4 class=xl346748>ΑΘΗΝΑ,ΠΑΤΗΣΙΩΝ 12,10434&nbsp;</td>"),
        "</tr> <tr height=29 style=\"mso-height-source:userset;height:21.75pt\"> <td height=29 class=xl156748 "
        "style=\"height:21.75pt\"></td>",
        G("<td class=xl286748 colspan=4>Αριθμός ταυτότητας</td><td class=xl316748>&nbsp;</td><td colspan=3 "
          "class=xl656748>Αριθμός Φορολ.Μητρώου</td><td colspan=2 class=xl666748>"),
        "123456783&nbsp;</td>",
        "M5",
        "",
        "1000,5&nbsp;</td>",
        "<td colspan=2 class=xl1076748 style=\"border-right:.5pt solid black;border-left:none\">200,25&nbsp;</td>",
        "<td class=xl476748>800,25&nbsp;</td>",
        "M6a",
        "M6b",
        "",
    };
    EXPECT_EQ(pageLines(sink.text()), expected);
    // The ellipsis is one byte.
    EXPECT_NE(sink.text().find("...............\x85</font>"), std::string::npos);
}

TEST(FirstPage, EveryInsertedValueIsEscaped)
{
    HeaderFields h = business("\"1\"");
    h.CompanyName = "A&B <C>";
    h.Town = "<x>";
    h.AFM = "1&2";
    StringSink sink;
    reports::writeFirstPage(sink, tinyTemplate(), h, totals("<1>", "&"));
    const std::string& p = sink.text();
    EXPECT_NE(p.find("\r\n&quot;1&quot;&nbsp;\r\n"), std::string::npos);
    EXPECT_NE(p.find("x:str=\"" + G("Αποδοχές απο 1/1/200&quot; έως 31/12/200&quot;") + "\">"), std::string::npos);
    EXPECT_NE(p.find("\r\nA&amp;B &lt;C&gt;&nbsp;\r\n"), std::string::npos);
    EXPECT_NE(p.find(">&lt;x&gt;," + G("ΠΑΤΗΣΙΩΝ") + " 12,10434&nbsp;</td>"), std::string::npos);
    EXPECT_NE(p.find("\r\n1&amp;2&nbsp;</td>\r\n"), std::string::npos);
    EXPECT_NE(p.find("\r\n&lt;1&gt;&nbsp;</td>\r\n"), std::string::npos);
    EXPECT_NE(p.find("<td class=xl476748>&amp;&nbsp;</td>"), std::string::npos);
}

TEST(FirstPage, MissingBlockOrForeignCharacterFails)
{
    TempDir dir;
    for (int i = 3; i <= 5; ++i) writeFile(dir / ("Memo" + std::to_string(i) + ".htm"), "x\n");
    EXPECT_THROW(FirstPageTemplate::load(dir.path()), Error);                  // no Memo6.htm
    writeFile(dir / "Memo6.htm", "a\r\n\xE2\x82\xAC ok\r\n\xE4\xB8\xAD\r\n");  // the euro fits, a CJK character not
    EXPECT_THROW(FirstPageTemplate::load(dir.path()), Error);
    writeFile(dir / "Memo6.htm", "a\r\n\xE2\x82\xAC ok\n");
    EXPECT_EQ(FirstPageTemplate::load(dir.path()).pageEnd, (std::vector<std::string>{"a", "\x80 ok"}));
}

// --- The installed template ------------------------------------------------------------

class FirstPageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { blocks_ = new FirstPageTemplate(FirstPageTemplate::load(installedTemplate)); }
    static void TearDownTestSuite()
    {
        delete blocks_;
        blocks_ = nullptr;
    }
    static std::string page(const HeaderFields& h, const TotalsTexts& t)
    {
        StringSink sink;
        reports::writeFirstPage(sink, *blocks_, h, t);
        return sink.text();
    }
    static FirstPageTemplate* blocks_;
};
FirstPageTemplate* FirstPageTest::blocks_ = nullptr;

TEST_F(FirstPageTest, BlocksHaveTheirSizesAndEndWhereTheFragmentsBegin)
{
    EXPECT_EQ(blocks_->pageHead.size(), 2177u);
    EXPECT_EQ(blocks_->declarantHeading.size(), 54u);
    EXPECT_EQ(blocks_->summaryHead.size(), 283u);
    EXPECT_EQ(blocks_->pageEnd.size(), 491u);
    const std::string pageHeadEnd = blocks_->pageHead.back();
    EXPECT_NE(pageHeadEnd.find(G("Οικονομικό έτος<span style=\"mso-spacerun:yes\">")), std::string::npos)
        << pageHeadEnd;
    EXPECT_NE(blocks_->declarantHeading.back().find(G(">ΣΤΟΙΧ. ΥΠΟΧ.</td>")), std::string::npos);
    EXPECT_EQ(blocks_->summaryHead.back(),
              "  <td colspan=2 class=xl1076748 style=\"border-right:.5pt solid black;border-left:none\">");
    EXPECT_EQ(blocks_->pageEnd.back(), "</html>");

    // With the real blocks the values sit at fixed lines.
    const std::string whole = page(business("2004"), totals("1000,5", "800,25"));
    expectGolden("first-page-2004.htm", whole);
    const auto lines = pageLines(whole);
    EXPECT_EQ(lines.size(), 2177u + 1 + 7 + 54 + 1 + 15 + 283 + 1 + 3 + 491 + 1);
    EXPECT_EQ(lines[2178], "2005&nbsp;");
    EXPECT_EQ(lines[2184], G("Αποδοχές απο 1/1/2004 έως 31/12/2004</td>"));
    EXPECT_EQ(lines[2185 + 55 + 1], G("ΕΤΑΙΡΕΙΑ ΑΕ&nbsp;"));
    EXPECT_EQ(lines[2185 + 55 + 3], "&nbsp;");
    EXPECT_EQ(lines[2185 + 55 + 14], "123456783&nbsp;</td>");
    EXPECT_EQ(lines[2255 + 284], "1000,5&nbsp;</td>");
}

TEST_F(FirstPageTest, HeadDeclaresTheCodePageThePicturesAndTheStyles)
{
    const std::string p = page(business("2004"), {});
    EXPECT_EQ(p.rfind("<html xmlns:v=\"urn:schemas-microsoft-com:vml\"", 0), 0u);
    for (const char* s :
         {"xmlns:o=\"urn:schemas-microsoft-com:office:office\"", "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"",
          "charset=windows-1253", "<meta name=ProgId content=Excel.Sheet>", "content=\"Microsoft Excel 11\"",
          "href=\"E7FirstPageFinal.files/filelist.xml\"", "<style id=\"DHL DLT 04Empty2_6748_Styles\">",
          "<div id=\"DHL DLT 04Empty2_6748\" align=center",
          "src=\"E7FirstPageFinal.files/DHL%20DLT%2004Empty2_6748_image002.gif\"",
          "src=\"E7FirstPageFinal.files/DHL%20DLT%2004Empty2_6748_image003.gif\"", "width:.75pt;height:23.25pt",
          "width:16.5pt;height:21.75pt", "<img width=3 height=33", "<img width=24 height=31"})
        EXPECT_NE(p.find(s), std::string::npos) << s;
}

// The classes of the style block, each as its property lines.
std::map<std::string, std::string> styleClasses(const FirstPageTemplate& t)
{
    std::map<std::string, std::string> classes;
    std::string name;
    for (const std::string& l : t.pageHead) {
        if (l.rfind(".xl", 0) == 0 || l.rfind(".font", 0) == 0) name = l.substr(1);
        else if (!name.empty() && !l.empty() && l[0] == '\t')
            classes[name] += l.substr(1) + "\n";
        if (l.find('}') != std::string::npos) name.clear();
    }
    return classes;
}

TEST_F(FirstPageTest, ClassesTheFragmentsNameHaveTheirStyles)
{
    const auto classes = styleClasses(*blocks_);
    int cellClasses = 0;
    for (const auto& [name, css] : classes) {
        if (name.rfind("xl", 0) == 0) ++cellClasses;
        EXPECT_NE(css.find("font-family:\"Arial Greek\""), std::string::npos) << name;
        EXPECT_NE(css.find("mso-font-charset:161;"), std::string::npos) << name;
        EXPECT_NE(css.find("color:windowtext;"), std::string::npos) << name;
    }
    EXPECT_EQ(cellClasses, 101);
    EXPECT_TRUE(classes.count("xl156748"));
    EXPECT_TRUE(classes.count("xl1246748"));

    struct Want {
        const char* name;
        std::vector<std::string> has;
    };
    const std::string noBorder = "border:none;";
    const std::vector<Want> wants = {
        {"xl156748", {"font-size:10.0pt;", noBorder}},
        {"xl266748", {"font-size:8.0pt;", noBorder}},
        {"xl286748", {"font-size:9.0pt;", noBorder, "font-weight:400;"}},
        {"xl306748", {"font-size:9.0pt;", "font-weight:700;"}},
        {"xl316748", {"font-size:9.0pt;", "border-bottom:.5pt solid windowtext;", "border-top:none;"}},
        {"xl336748", {"font-size:9.0pt;", "text-align:center;", "vertical-align:middle;"}},
        {"xl346748", {"font-size:9.0pt;", "font-weight:700;", "border-bottom:.5pt solid windowtext;"}},
        {"xl656748", {"font-size:9.0pt;", "text-align:left;"}},
        {"xl666748",
         {"font-size:9.0pt;", "font-weight:700;", "text-align:center;", "mso-number-format:\"\\@\";",
          "border-bottom:.5pt solid windowtext;"}},
        {"xl476748",
         {"font-size:8.0pt;", "font-weight:700;", "mso-number-format:Standard;", "text-align:right;",
          "border-right:.5pt solid windowtext;", "border-bottom:.5pt solid windowtext;", "border-top:none;",
          "border-left:none;"}},
        {"xl1076748",
         {"font-size:8.0pt;", "font-weight:700;", "mso-number-format:Standard;", "text-align:right;",
          "border-top:.5pt solid windowtext;", "border-bottom:.5pt solid windowtext;",
          "border-left:.5pt solid windowtext;", "border-right:none;"}},
        {"font76748", {"font-size:9.0pt;", "text-decoration:underline;"}},
    };
    for (const Want& w : wants) {
        ASSERT_TRUE(classes.count(w.name)) << w.name;
        const std::string& css = classes.at(w.name);
        for (const std::string& s : w.has) EXPECT_NE(css.find(s), std::string::npos) << w.name << " lacks " << s;
        if (std::string(w.name).rfind("xl", 0) == 0) {
            EXPECT_NE(css.find("white-space:nowrap;"), std::string::npos) << w.name;
        }
    }
}

// Walks the rows of the page's outer table (nested tables of the drawn shapes skipped) and
// checks that rows and row spans fill exactly 15 columns everywhere.
TEST_F(FirstPageTest, FiftyOneRowsOfFifteenColumnsWithTheFormsHeights)
{
    const std::string p = page(business("2004"), totals("1", "1"));
    const std::regex tag("<(/?)(table|tr|td)\\b([^>]*)>", std::regex::icase);
    const std::regex span("colspan=\"?(\\d+)"), rows("rowspan=\"?(\\d+)"), height("^\\s*height=(\\d+)");
    int depth = 0;
    std::vector<int> heights;
    std::vector<int> carried(15, 0);  // rows still covered by a row span, per column
    std::vector<int> widths;          // columns filled per row
    int col = 0;
    for (auto it = std::sregex_iterator(p.begin(), p.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        const bool closing = m[1] == "/";
        const std::string name = m[2];
        const std::string attrs = m[3];
        if (name == "table") {
            depth += closing ? -1 : 1;
            continue;
        }
        if (depth != 1) continue;
        if (name == "tr" && !closing) {
            std::smatch h;
            heights.push_back(std::regex_search(attrs, h, height) ? std::stoi(h[1]) : -1);
            col = 0;
            while (col < 15 && carried[static_cast<size_t>(col)] > 0) ++col;
        } else if (name == "tr" && closing) {
            int filled = 0;
            for (int c = 0; c < 15; ++c) filled += carried[static_cast<size_t>(c)] > 0 ? 1 : 0;
            widths.push_back(filled);
            for (int& c : carried)
                if (c > 0) --c;
        } else if (name == "td" && !closing) {
            std::smatch s;
            const int n = std::regex_search(attrs, s, span) ? std::stoi(s[1]) : 1;
            const int r = std::regex_search(attrs, s, rows) ? std::stoi(s[1]) : 1;
            if (col + n > 15) ADD_FAILURE() << "row " << heights.size() << " is wider than 15 columns";
            for (int k = 0; k < n && col < 15; ++k, ++col) {
                EXPECT_EQ(carried[static_cast<size_t>(col)], 0)
                    << "row " << heights.size() << " overlaps column " << col + 1;
                carried[static_cast<size_t>(col)] = r;
            }
            while (col < 15 && carried[static_cast<size_t>(col)] > 0) ++col;
        }
    }
    const std::vector<int> formHeights = {20, 16, 14, 14, 14, 37, 20, 15, 29, 29, 29, 25, 20, 21, 23, 30, 62,
                                          49, 19, 18, 19, 18, 19, 21, 16, 19, 18, 19, 16, 24, 21, 16, 19, 15,
                                          15, 16, 15, 14, 16, 22, 17, 17, 17, 14, 16, 14, 15, 9,  15, 16, 0};
    EXPECT_EQ(heights, formHeights);
    EXPECT_EQ(widths, std::vector<int>(51, 15));
}

}  // namespace
