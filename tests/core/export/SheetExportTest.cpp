// SPDX-License-Identifier: GPL-3.0-or-later
// The lines exported in each kind come back through the import as they were; the cells
// have the types a spreadsheet needs; a failed export leaves nothing and says why.
#include <csignal>
#include <sys/resource.h>

#include "core/base/ByteStream.h"
#include "core/export/LineExportCommand.h"
#include "core/export/SheetExport.h"
#include "core/import/SpreadsheetImport.h"
#include "core/import/ZipArchive.h"
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

namespace {

struct Declared {
    std::multiset<std::string> lines;
    TotalsTexts totals;
    std::string counter;
};

class SheetExportTest : public SessionTest {
protected:
    const std::vector<std::pair<SheetKind, const char*>> kinds = {
        {SheetKind::Xlsx, "xlsx"}, {SheetKind::Ods, "ods"}, {SheetKind::Csv, "csv"}};

    // Leading zeros, spaces inside and at the start, quotes and markup, decimals and thousands.
    void addLines()
    {
        newDeclaration();
        ASSERT_TRUE(addLine("012345670", "10", "12345,67", "2345,6", "10000,07",
                            {{detail::SurName, G("ΟΥΛΟΥ  ΚΑΙ ΣΙΑ")},
                             {detail::Name, "A&B;\"C<"},
                             {detail::Street, G(" ΟΔΟΣ   1")},
                             {detail::TK, "01234"},
                             {detail::Ypokatastima, "000120"},
                             {detail::ForosParakr, "100"},
                             {detail::ForosAnal, "150,5"},
                             {detail::Hmeres, "300"}}));
        ASSERT_TRUE(addLine("333333331", "16", "0,5", "0", "0,5", {{detail::Hmeres, "1"}}));
        ASSERT_TRUE(addLine("012345670", "11", "1000", "0", "1000", {{detail::Hmeres, "365"}}));
    }

    Declared declared(DeclarationSession& s)
    {
        Declared d;
        const FixedWidthTable& ds = s.detailStore();
        for (long i = 0; i < ds.countRecords(); ++i) d.lines.insert(std::string(ds.lineAt(static_cast<size_t>(i))));
        d.totals = s.totals();
        d.counter = s.recordCounterText();
        return d;
    }

    // The sheet imported into an empty declaration of a second program folder.
    Declared importedFrom(const fs::path& sheet)
    {
        TempDir other;
        fs::create_directories(other / "Addon");
        writeFile(other / "Addon" / "typeofinc.txt", "10" + G("Τακτικές αποδοχές") + "\r\n");
        ScriptedUI ui2;
        DeclarationSession::Options o;
        o.programFolder = other.path();
        o.today = [] { return CalendarDate{2026, 12, 7}; };
        DeclarationSession s(ui2, o);
        EXPECT_TRUE(s.start());
        ui2.answers.push_back(Answer::Yes);
        s.newDeclaration();
        ui2.clear();
        EXPECT_EQ(SpreadsheetImport(s, ui2).importFile(sheet), SpreadsheetImport::Outcome::Imported) << sheet;
        EXPECT_TRUE(ui2.messages().empty()) << ::testing::PrintToString(ui2.messages());
        return declared(s);
    }

    void exportTo(const fs::path& path, SheetKind kind, bool headings = false)
    {
        const FixedWidthTable& ds = session->detailStore();
        SheetExportOptions options;
        options.headings = headings;
        exportLines({static_cast<size_t>(ds.countRecords()), [&ds](size_t i) { return ds.lineAt(i); }}, path, kind,
                    options);
    }

    // Nothing but the files named is in the folder: no temporary was left behind.
    static std::set<std::string> filesIn(const fs::path& folder)
    {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
        return names;
    }
};

}  // namespace

TEST_F(SheetExportTest, EveryKindComesBackThroughTheImportWithTheSameLinesAndTotals)
{
    addLines();
    const Declared before = declared(*session);
    for (const auto& [kind, extension] : kinds) {
        const fs::path plain = dir / (std::string("plain.") + extension);
        exportTo(plain, kind);
        const Declared after = importedFrom(plain);
        EXPECT_EQ(after.lines, before.lines) << extension;
        EXPECT_EQ(after.totals, before.totals) << extension;
        EXPECT_EQ(after.counter, before.counter) << extension;

        // With headings the titles come first and the rows follow unchanged.
        const fs::path titled = dir / (std::string("titled.") + extension);
        exportTo(titled, kind, true);
        const sheet::ReadResult rows = sheet::readSpreadsheet(plain), withTitles = sheet::readSpreadsheet(titled);
        ASSERT_EQ(withTitles.block.rows, rows.block.rows + 1) << extension;
        EXPECT_EQ(withTitles.block.at(0, 0), G("ΑΦΜ"));
        EXPECT_EQ(withTitles.block.at(0, 19), G("ΟΓΑ φόρου που αναλογεί"));
        for (size_t r = 0; r < rows.block.rows; ++r)
            for (size_t c = 0; c < 20; ++c) EXPECT_EQ(withTitles.block.at(r + 1, c), rows.block.at(r, c)) << extension;
    }
}

TEST_F(SheetExportTest, XlsxHoldsCodesAsTextAndAmountsAsFormattedNumbers)
{
    addLines();
    exportTo(dir / "s.xlsx", SheetKind::Xlsx);
    auto zip = sheet::ZipArchive::openFile(dir / "s.xlsx");
    const std::string sheet = zip->readAll("xl/worksheets/sheet1.xml", 1 << 20);
    const std::string styles = zip->readAll("xl/styles.xml", 1 << 20);
    for (const char* cell :
         {"<c r=\"A1\" s=\"1\" t=\"inlineStr\"><is><t>012345670</t></is></c>",
          "<c r=\"H1\" s=\"1\" t=\"inlineStr\"><is><t>01234</t></is></c>",
          "<c r=\"Q1\" s=\"1\" t=\"inlineStr\"><is><t>000120</t></is></c>", "<t xml:space=\"preserve\"> ΟΔΟΣ   1</t>",
          "<c r=\"J1\" s=\"2\"><v>12345.67</v></c>", "<c r=\"P1\" s=\"2\"><v>150.5</v></c>",
          "<c r=\"R1\"><v>300</v></c>", "<c r=\"J2\" s=\"2\"><v>0.5</v></c>"})
        EXPECT_NE(sheet.find(cell), std::string::npos) << cell;
    EXPECT_NE(styles.find("formatCode=\"#,##0.00\""), std::string::npos);
}

TEST_F(SheetExportTest, CsvIsUtf8WithSemicolonsDecimalCommasAndQuotedTexts)
{
    newDeclaration();
    ASSERT_TRUE(addLine("012345670", "10", "1234,5", "34,5", "1200",
                        {{detail::SurName, G("ΠΑΠΑΣ \"Ο\"")}, {detail::TK, "01234"}, {detail::Hmeres, "25"}}));
    exportTo(dir / "s.csv", SheetKind::Csv, true);
    const std::string bytes = readFile(dir / "s.csv");
    const std::string row =
        "\"012345670\";\"ΠΑΠΑΣ \"\"Ο\"\"\";\"\";\"\";\"\";\"\";\"\";\"01234\";\"10\";"
        "1234,50;0,00;0,00;34,50;1200,00;0,00;0,00;\"0\";25;0,00;0,00\r\n";
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    const size_t titlesEnd = bytes.find("\r\n") + 2;
    EXPECT_EQ(bytes.substr(3, 9), "\"ΑΦΜ\";");
    EXPECT_EQ(bytes.substr(titlesEnd), row);
}

TEST_F(SheetExportTest, AFailedExportLeavesTheOldFileAndNamesTheFileAndTheCause)
{
    addLines();
    const std::string exportFailed = "Δεν ήταν δυνατή η εξαγωγή των γραμμών σε λογιστικό φύλλο (";
    for (const auto& [kind, extension] : kinds) {
        fs::create_directories(dir / "out");
        const fs::path target = dir / "out" / (std::string("s.") + extension);
        writeFile(target, "old");
        // A disk that fills up: the file size limit makes writes fail with EFBIG.
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &small);
        std::string message;
        try {
            exportTo(target, kind);
        } catch (const SheetExportError& e) {
            message = cp1253::toUtf8(e.message());
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(message, exportFailed + target.string() + ": " + cp1253::toUtf8(systemErrorText(EFBIG)) + ")")
            << extension;
        EXPECT_EQ(readFile(target), "old");
        EXPECT_EQ(filesIn(dir / "out"), (std::set<std::string>{target.filename().string()})) << extension;

        const fs::path nowhere = dir / "missing" / (std::string("s.") + extension);
        EXPECT_THROW(exportTo(nowhere, kind), SheetExportError);
        fs::remove_all(dir / "out");
    }
}

TEST_F(SheetExportTest, TheMenuCommandAsksBeforeReplacingAndAddsXlsxToABareName)
{
    addLines();
    ui.files.push_back(dir / "lines");
    EXPECT_EQ(lineExportCommand(*session, ui), LineExportOutcome::Written);
    EXPECT_EQ(ui.fileRequests.back().filter, lineExportFilter());
    EXPECT_EQ(importedFrom(dir / "lines.xlsx").lines, declared(*session).lines);

    writeFile(dir / "kept.csv", "old");
    ui.files.push_back(dir / "kept.csv");
    ui.answers.push_back(Answer::No);
    EXPECT_EQ(lineExportCommand(*session, ui), LineExportOutcome::Declined);
    EXPECT_EQ(readFile(dir / "kept.csv"), "old");
    EXPECT_TRUE(ui.answers.empty());
}
