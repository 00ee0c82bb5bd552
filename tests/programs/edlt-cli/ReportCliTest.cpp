// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli report, run as a script would: the page the print command writes, at --out.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "tests/FaultyDeclaration.h"
#include "tests/TestUtil.h"
#include "tests/programs/edlt-cli/CliRunner.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

namespace {

class ReportCliTest : public CliRunner {
protected:
    void SetUp() override
    {
        CliRunner::SetUp();
        ASSERT_EQ(cli({"new", (dir / "decl").string(), "--year", "2004", "--afm", "123456783", "--company",
                       "ΕΤΑΙΡΕΙΑ & ΣΙΑ", "--town", "ΑΘΗΝΑ", "--street", "ΠΑΤΗΣΙΩΝ", "--number", "12", "--tk", "10434"})
                      .code,
                  0);
    }
};

TEST_F(ReportCliTest, WritesEachPageAndTheFirstPageGetsItsPictures)
{
    fs::create_directories(dir / "pages");
    const fs::path first = dir / "pages" / "first.htm";
    CliRun r = cli({"report", "first-page", (dir / "decl").string(), "--out", first.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string page = readFile(first);
    EXPECT_NE(page.find("\r\n2005&nbsp;\r\n"), std::string::npos);
    EXPECT_NE(page.find(G("\r\nΕΤΑΙΡΕΙΑ &amp; ΣΙΑ&nbsp;\r\n")), std::string::npos);
    EXPECT_NE(page.find(G(">ΑΘΗΝΑ,ΠΑΤΗΣΙΩΝ 12,10434&nbsp;</td>")), std::string::npos);
    for (const char* name : {"filelist.xml", "DHL DLT 04Empty2_6748_image001.gif", "DHL DLT 04Empty2_6748_image002.gif",
                             "DHL DLT 04Empty2_6748_image003.gif"})
        EXPECT_TRUE(fs::is_regular_file(dir / "pages" / "E7FirstPageFinal.files" / name)) << name;
    EXPECT_EQ(readFile(dir / "pages" / "E7FirstPageFinal.files" / "DHL DLT 04Empty2_6748_image001.gif").substr(0, 6),
              "GIF89a");

    r = cli({"report", "detail", (dir / "decl").string(), "--out", (dir / "pages" / "d.htm").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(readFile(dir / "pages" / "d.htm").find("colspan=\"18\""), std::string::npos);
    r = cli({"report", "totals", (dir / "decl").string(), "--out", (dir / "pages" / "t.htm").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(readFile(dir / "pages" / "t.htm").find(G("ΕΚΤΥΠΩΣΗ ΣΥΝΟΛΩΝ")), std::string::npos);
    EXPECT_TRUE(r.out.empty());
}

TEST_F(ReportCliTest, PdfOfTheDetailedAndTotalsReports)
{
    const std::string decl = (dir / "decl").string();
    for (const char* kind : {"detail", "totals"}) {
        const fs::path pdf = dir / (std::string(kind) + ".PDF");
        const CliRun r = cli({"report", kind, decl, "--out", pdf.string()});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_TRUE(r.out.empty() && r.err.empty()) << r.err;
        EXPECT_EQ(readFile(pdf).substr(0, 5), "%PDF-");
        const int status = std::system(
            ("pdftotext -enc UTF-8 " + quoted(pdf.string()) + " " + quoted((dir / "text").string())).c_str());
        ASSERT_EQ(status, 0);
        const std::string words = readFile(dir / "text");
        for (const char* expected : {"ΕΤΑΙΡΕΙΑ & ΣΙΑ", "ΣΤΟΙΧΕΙΑ ΥΠΟΧΡΕΟΥ", "ΣΥΝΟΛΟ", "Ακαθάριστες"})
            EXPECT_NE(words.find(expected), std::string::npos) << kind << ": " << expected;
    }

    // Only the two drawn reports become PDF; a PDF that cannot be written leaves nothing.
    CliRun r = cli({"report", "first-page", decl, "--out", (dir / "first.pdf").string()});
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(fs::exists(dir / "first.pdf"));
    r = cli({"report", "detail", decl, "--out", (dir / "no" / "such" / "d.pdf").string()});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("edlt-cli: Υπήρξε κάποιο πρόβλημα κατά την προετοιμασία της εκτύπωσης\n", 0), 0u) << r.err;
}

// The text of a PDF's pages (1-based, both included) and its page count, through poppler.
std::string pdfText(const fs::path& pdf, int first, int last)
{
    const fs::path text = pdf.string() + ".txt";
    const std::string command = "pdftotext -enc UTF-8 -f " + std::to_string(first) + " -l " + std::to_string(last) +
                                " " + quoted(pdf.string()) + " " + quoted(text.string());
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return readFile(text);
}

int pdfPages(const fs::path& pdf)
{
    const fs::path info = pdf.string() + ".info";
    EXPECT_EQ(std::system(("pdfinfo " + quoted(pdf.string()) + " >" + quoted(info.string())).c_str()), 0);
    const std::string text = readFile(info);
    const size_t at = text.find("Pages:");
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + 6);
}

TEST_F(ReportCliTest, PdfPagesHaveFootersAndARangeOfThem)
{
    std::vector<std::string> lines;
    for (size_t i = 0; i < 200; ++i) lines.push_back(detailLine(validAfm(i), "ΠΑΠΑΔΟΠΟΥΛΟΣ"));
    HeaderFields h;
    h.YearOfData = "2024";
    h.AFM = "123456783";
    h.CompanyName = G("ΑΛΦΑ ΑΕ");
    const fs::path decl = dir / "long";
    {
        AtomicFileWriter w(decl);
        writeDeclarationFile(w, h, TotalsTexts{}, detailLinesOf(lines), "20250115");
        w.commit();
    }
    const fs::path all = dir / "all.pdf";
    CliRun r = cli({"report", "detail", decl.string(), "--out", all.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    const int pages = pdfPages(all);
    ASSERT_GE(pages, 4);
    auto footer = [&](int n) {
        return "Σελίδα " + std::to_string(n) + " από " + std::to_string(pages) + " — ΑΦΜ 123456783 ΑΛΦΑ ΑΕ";
    };
    for (int n : {1, 2, pages}) EXPECT_NE(pdfText(all, n, n).find(footer(n)), std::string::npos) << n;

    // A range: only its pages, numbered as in the whole report.
    const struct {
        const char* pages;
        int first, count;
    } ranges[] = {{"2-3", 2, 2}, {"3", 3, 1}, {"1-1", 1, 1}};
    for (const auto& range : ranges) {
        const fs::path part = dir / "part.pdf";
        r = cli({"report", "detail", decl.string(), "--out", part.string(), "--pages", range.pages});
        ASSERT_EQ(r.code, 0) << range.pages << r.err;
        ASSERT_EQ(pdfPages(part), range.count) << range.pages;
        EXPECT_NE(pdfText(part, 1, 1).find(footer(range.first)), std::string::npos) << range.pages;
        EXPECT_EQ(pdfText(part, 1, 1), pdfText(all, range.first, range.first)) << range.pages;
    }
    r = cli({"report", "totals", decl.string(), "--out", (dir / "totals.pdf").string(), "--pages=1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(pdfText(dir / "totals.pdf", 1, 1).find("Σελίδα 1 από 1 — ΑΦΜ 123456783 ΑΛΦΑ ΑΕ"), std::string::npos);

    // Ranges that are no page numbers, or past the last page, or for a page file: exit 2, nothing written.
    const std::string past = std::to_string(pages) + "-" + std::to_string(pages + 1);
    for (const std::string& bad :
         {std::string("0"), std::string("3-2"), std::string("x"), std::string("1-"), std::string("-2"), past}) {
        r = cli({"report", "detail", decl.string(), "--out", (dir / "bad.pdf").string(), "--pages", bad});
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_EQ(r.err.rfind("edlt-cli: μη έγκυρες σελίδες «" + bad + "»", 0), 0u) << r.err;
        EXPECT_FALSE(fs::exists(dir / "bad.pdf")) << bad;
    }
    r = cli({"report", "detail", decl.string(), "--out", (dir / "p.htm").string(), "--pages", "1"});
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(fs::exists(dir / "p.htm"));
}

TEST_F(ReportCliTest, WrongCommandLinesAndUnreadableFiles)
{
    const std::string decl = (dir / "decl").string(), out = (dir / "p.htm").string();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"report", "first-page", decl},
             {"report", "pages", decl, "--out", out},
             {"report", "detail", "--out", out},
             {"report", "detail", decl, "--out", ""},
             {"report", "detail", decl, "--out", out, "--out", out},
         }) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("edlt-cli report first-page|detail|totals FILE --out PAGE"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(out));

    writeFile(dir / "junk", "not a declaration\r\n");
    CliRun r = cli({"report", "totals", (dir / "junk").string(), "--out", out});
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(fs::exists(out));

    r = cli({"report", "totals", decl, "--out", (dir / "no" / "such" / "p.htm").string()});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("edlt-cli: Υπήρξε κάποιο πρόβλημα κατά την προετοιμασία της εκτύπωσης\n", 0), 0u) << r.err;
}

}  // namespace
