// SPDX-License-Identifier: GPL-3.0-or-later
// Files built to hurt a reader: each must end in a SheetError of the right kind, quickly
// and without a crash.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/import/Sheet.h"
#include "core/import/SpreadsheetImport.h"
#include "core/import/ZipArchive.h"
#include "tests/core/import/TestZip.h"

using namespace edlt;
using namespace edlt::sheet;
using namespace edlt::sheet::test;

namespace {

ReadResult xlsx(const std::vector<ZipEntry>& entries)
{
    auto zip = ZipArchive::openMemory(makeZip(entries));
    return readXlsx(*zip);
}

ReadResult ods(const std::vector<ZipEntry>& entries)
{
    auto zip = ZipArchive::openMemory(makeZip(entries));
    return readOds(*zip);
}

template <typename F>
SheetFault faultOf(F&& read)
{
    try {
        read();
    } catch (const SheetError& e) {
        return e.fault();
    }
    ADD_FAILURE() << "no SheetError";
    return SheetFault::NotSpreadsheet;
}

std::string cells(const std::string& row)
{
    return sheetXml("<row r=\"1\">" + row + "</row>");
}

}  // namespace

TEST(HostileSheet, TheMinimalXlsxOfTheseTestsReads)
{
    ReadResult r = xlsx(xlsxEntries(cells("<c r=\"B1\" t=\"s\"><v>0</v></c>"), "<sst><si><t>ok</t></si></sst>"));
    ASSERT_EQ(r.block.cols, 2u);
    EXPECT_EQ(r.block.at(0, 1), "ok");
    ReadResult o =
        ods(odsEntries("<table:table-row><table:table-cell><text:p>ok</text:p></table:table-cell>"
                       "</table:table-row>"));
    EXPECT_EQ(o.block.at(0, 0), "ok");
}

TEST(HostileSheet, ZipBombsAreStoppedByTheBytesActuallyInflated)
{
    // 101 MB of one letter deflates to some 100 KB: past 100 MB, a ratio above 1000:1 is a bomb.
    auto zip = ZipArchive::openMemory(makeZip({{"bomb", std::string(101u << 20, 'a')}}));
    size_t inflated = 0;
    EXPECT_EQ(faultOf([&] { zip->read("bomb", [&](const char*, size_t n) { return inflated += n, true; }); }),
              SheetFault::Unsafe);
    EXPECT_LT(inflated, (100u << 20) + (64u << 10) + 1);
    // Below that size, however compressible (real sheets are repetitive), a part is read.
    std::string small = cells("<c r=\"A1\" t=\"inlineStr\"><is><t>" + std::string(50000, ' ') + "x</t></is></c>");
    EXPECT_EQ(xlsx(xlsxEntries(small)).block.rows, 1u);
}

TEST(HostileSheet, ZipDirectoriesThatLie)
{
    std::vector<ZipEntry> many = xlsxEntries(cells(""));
    for (int i = 0; i < 1000; ++i) many.push_back({"pad/" + std::to_string(i), "", false});
    EXPECT_EQ(faultOf([&] { xlsx(many); }), SheetFault::Unsafe);

    std::vector<ZipEntry> twice = xlsxEntries(cells("<c r=\"A1\"><v>1</v></c>"));
    twice.push_back({"xl/worksheets/sheet1.xml", cells("<c r=\"A1\"><v>2</v></c>")});
    EXPECT_THROW(xlsx(twice), SheetError);  // libzip itself may call it inconsistent

    // The directory promises 10 bytes; the stream holds more: the checksum and sizes fail.
    std::string bytes = makeZip(xlsxEntries(cells("<c r=\"A1\"><v>1</v></c>")));
    std::string good = makeZip(xlsxEntries(cells("<c r=\"A1\"><v>12345</v></c>")));
    EXPECT_NE(bytes, good);
    EXPECT_THROW(readXlsx(*ZipArchive::openMemory(bytes.substr(0, bytes.size() - 30))), SheetError);
    EXPECT_EQ(faultOf([] { ZipArchive::openMemory("PK\x03\x04 not really"); }), SheetFault::NotSpreadsheet);
}

TEST(HostileSheet, AnyDoctypeIsRefusedBeforeEntitiesExpand)
{
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
        "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
        "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">]>";
    std::string sheet = laughs + cells("<c r=\"A1\" t=\"inlineStr\"><is><t>&lol3;</t></is></c>");
    EXPECT_EQ(faultOf([&] { xlsx(xlsxEntries(sheet)); }), SheetFault::Unsafe);
    std::string external =
        "<?xml version=\"1.0\"?><!DOCTYPE sst SYSTEM \"file:///etc/passwd\">"
        "<sst><si><t>x</t></si></sst>";
    EXPECT_EQ(faultOf([&] { xlsx(xlsxEntries(cells(""), external)); }), SheetFault::Unsafe);
    auto odsEntriesWithDoctype = odsEntries("");
    odsEntriesWithDoctype[1].data = "<!DOCTYPE x []>" + odsEntriesWithDoctype[1].data;
    EXPECT_EQ(faultOf([&] { ods(odsEntriesWithDoctype); }), SheetFault::Unsafe);
}

TEST(HostileSheet, BrokenXlsxParts)
{
    EXPECT_EQ(faultOf([&] { xlsx(xlsxEntries("<worksheet><sheetData><row>")); }), SheetFault::Corrupt);
    EXPECT_EQ(faultOf([&] { xlsx(xlsxEntries(cells("<c r=\"A1\" t=\"s\"><v>3</v></c>"), "<sst/>")); }),
              SheetFault::Corrupt);
    EXPECT_EQ(faultOf([&] { xlsx(xlsxEntries(cells("<c r=\"A1\"><v>12abc</v></c>"))); }), SheetFault::Corrupt);
    EXPECT_EQ(faultOf([&] { xlsx(xlsxEntries(cells("<c r=\"1A\"><v>1</v></c>"))); }), SheetFault::Corrupt);
    EXPECT_EQ(faultOf([&] { xlsx(xlsxEntries(cells("<c r=\"A1\" t=\"zz\"><v>1</v></c>"))); }), SheetFault::Corrupt);
    // A workbook whose relationships lead nowhere.
    auto entries = xlsxEntries(cells(""));
    entries[3].name = "xl/worksheets/other.xml";
    EXPECT_EQ(faultOf([&] { xlsx(entries); }), SheetFault::Corrupt);
    // A zip of some other kind.
    EXPECT_EQ(faultOf([&] { xlsx({{"word/document.xml", "<w/>"}}); }), SheetFault::NotSpreadsheet);
    EXPECT_EQ(faultOf([&] {
                  ods({{"mimetype", "application/vnd.oasis.opendocument.text", false}, {"content.xml", "<x/>"}});
              }),
              SheetFault::NotSpreadsheet);
}

TEST(HostileSheet, CellsPastTheLimitsOfASheet)
{
    EXPECT_EQ(faultOf([&] { xlsx(xlsxEntries(cells("<c r=\"XFE1\"><v>1</v></c>"))); }), SheetFault::TooLarge);
    EXPECT_EQ(faultOf([&] { xlsx(xlsxEntries(sheetXml("<row r=\"1048577\"><c><v>1</v></c></row>"))); }),
              SheetFault::TooLarge);
    // Within the sheet, A1 and XFD1048576 would be seventeen billion cells: columns after T
    // are never kept.
    EXPECT_EQ(xlsx(xlsxEntries(sheetXml("<dimension ref=\"A1:XFD1048576\"/><row r=\"1\"><c r=\"A1\"><v>1</v></c>"
                                        "</row><row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>")))
                  .block.rows,
              1u);
    EXPECT_EQ(faultOf([&] {
                  ods(
                      odsEntries("<table:table-row table:number-rows-repeated=\"2000000\"><table:table-cell>"
                                 "<text:p>x</text:p></table:table-cell></table:table-row>"));
              }),
              SheetFault::TooLarge);
    EXPECT_EQ(faultOf([&] {
                  ods(
                      odsEntries("<table:table-row><table:table-cell table:number-columns-repeated=\"99999999999\">"
                                 "<text:p>x</text:p></table:table-cell></table:table-row>"));
              }),
              SheetFault::TooLarge);
}

TEST(HostileSheet, OdsRepeatsOfEmptyCellsAreNeverMaterialised)
{
    // As LibreOffice ends a sheet: the rest of the rows and columns as huge empty repeats,
    // and a repeated empty cell before a value moves it right.
    ReadResult r = ods(odsEntries(
        "<table:table-row><table:table-cell table:number-columns-repeated=\"2\"/>"
        "<table:table-cell office:value-type=\"float\" office:value=\"2.50\" "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\"><text:p>2,5</text:p></table:table-cell>"
        "<table:table-cell table:number-columns-repeated=\"16381\"/></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell table:number-columns-repeated=\"2\">"
        "<text:p>ab</text:p></table:table-cell></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"1048573\"><table:table-cell "
        "table:number-columns-repeated=\"16384\"/></table:table-row>"));
    ASSERT_EQ(r.block.rows, 3u);
    ASSERT_EQ(r.block.cols, 3u);
    EXPECT_EQ(r.block.at(0, 2), "2,5");
    EXPECT_EQ(r.block.at(2, 1), "ab");
    EXPECT_EQ(r.block.at(2, 2), "");
}

TEST(HostileSheet, OdsTextPartsAndNotes)
{
    ReadResult r = ods(odsEntries(
        "<table:table-row><table:table-cell xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\">"
        "<office:annotation><text:p>σημείωση</text:p></office:annotation>"
        "<text:p>a<text:s text:c=\"3\"/>b<text:span>c</text:span><text:tab/>d</text:p><text:p>e</text:p>"
        "</table:table-cell></table:table-row>"));
    EXPECT_EQ(r.block.at(0, 0), "a   bc d e");
}

TEST(HostileSheet, FirstWorksheetInTabOrderSkipsChartSheets)
{
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    auto entries = xlsxEntries(cells("<c r=\"A1\" t=\"inlineStr\"><is><t>data</t></is></c>"));
    entries[1].data = "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" + rel +
                      "\"><sheets><sheet name=\"C\" sheetId=\"2\" r:id=\"rId9\"/>"
                      "<sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    entries[2].data =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId9\" Type=\"" +
        rel +
        "/chartsheet\" Target=\"chartsheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId1\" Type=\"" +
        rel +
        "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "</Relationships>";
    entries.push_back({"xl/chartsheets/sheet1.xml", "<chartsheet/>"});
    EXPECT_EQ(xlsx(entries).block.at(0, 0), "data");
}

TEST(HostileSheet, ALargeSheetFailsAtItsFirstFaultWhateverThreadMeetsIt)
{
    // Thousands of rows: the sheet is inflated, parsed and stored on different threads.
    auto sheet = [](const std::string& early, const std::string& late) {
        std::string rows;
        for (int r = 1; r <= 8000; ++r) {
            const std::string n = std::to_string(r);
            rows += "<row r=\"" + n + "\"><c r=\"A" + n + "\" t=\"s\"><v>0</v></c><c r=\"B" + n + "\"><v>" + n +
                    ".25</v></c><c r=\"C" + n + "\"><v>1</v></c><c r=\"D" + n + "\"><v>2</v></c></row>";
            if (r == 3000) rows += early;
            if (r == 7000) rows += late;
        }
        return xlsxEntries(sheetXml(rows), "<sst><si><t>ok</t></si></sst>");
    };
    const std::string badString = "<row r=\"3001\"><c r=\"A3001\" t=\"s\"><v>9</v></c></row>";  // stored: Corrupt
    const std::string farColumn = "<row r=\"3001\"><c r=\"XFE3001\"><v>1</v></c></row>";        // parsed: TooLarge
    const std::string farRow = "<row r=\"1048577\"><c r=\"A1048577\"><v>1</v></c></row>";       // stored: TooLarge
    const std::string broken = "<row r=\"7001\"><c></row>";                                     // parsed: Corrupt
    const struct {
        std::string early, late;
        SheetFault fault;
    } cases[] = {
        {badString, farColumn, SheetFault::Corrupt},
        {farColumn, badString, SheetFault::TooLarge},
        {farRow, broken, SheetFault::TooLarge},
        {broken, farRow, SheetFault::Corrupt},
    };
    // By one parser, and cut into segments parsed on two threads.
    for (XlsxSegmenting how : {XlsxSegmenting{UINT64_MAX, 0}, XlsxSegmenting{0, 4096}}) {
        setXlsxSegmenting(how);
        for (const auto& c : cases) EXPECT_EQ(faultOf([&] { xlsx(sheet(c.early, c.late)); }), c.fault);
        EXPECT_EQ(xlsx(sheet("", "")).block.at(7999, 1), "8000,25");
    }
    setXlsxSegmenting({});
}

TEST(HostileSheet, MillionsOfDistinctNamesAreStoppedByTheParsersMemory)
{
    // expat keeps every distinct element and attribute name until the document ends.
    std::string elements, attributes;
    for (int i = 0; i < 1000000; ++i) {
        elements += "<e" + std::to_string(i) + "/>";
        attributes += "<e a" + std::to_string(i) + "=\"\"/>";
    }
    for (const std::string& names : {elements, attributes})
        EXPECT_EQ(
            faultOf([&] { xlsx(xlsxEntries("<worksheet><sheetPr>" + names + "</sheetPr><sheetData/></worksheet>")); }),
            SheetFault::TooLarge);
}

TEST(HostileSheet, NestingPast256LevelsIsRefusedWithItsCause)
{
    const std::string refused = cp1253::lit(
        "Υπήρξε πρόβλημα κατά το άνοιγμα του αρχείου. Βεβαιωθείτε ότι έχετε εγκατεστημένο Excel στον υπολογιστή σας "
        "και/ή το αρχείο που προσπαθείτε να ανοίξετε είναι αρχείο Excel.\nστοιχεία φωλιασμένα βαθύτερα από 256 "
        "επίπεδα");
    const std::string sst = "<sst><si><t>s</t></si></sst>";
    // Each part's deepest element at levels + k: 256 at most read.
    const struct {
        const char* what;
        size_t k;
        std::function<ReadResult(size_t levels)> read;
    } cases[] = {
        {"sheet part", 6,
         [&](size_t n) {
             return xlsx(xlsxEntries(cells("<c t=\"inlineStr\"><is>" + nested(n, "<t>x</t>") + "</is></c>"), sst));
         }},
        {"shared strings", 3,
         [&](size_t n) {
             return xlsx(
                 xlsxEntries(cells("<c t=\"s\"><v>0</v></c>"), "<sst><si>" + nested(n, "<t>x</t>") + "</si></sst>"));
         }},
        {"workbook", 2,
         [&](size_t n) {
             auto entries = xlsxEntries(cells("<c t=\"inlineStr\"><is><t>x</t></is></c>"));
             entries[1].data.insert(entries[1].data.find("<sheets>"), nested(n, "<x/>"));
             return xlsx(entries);
         }},
        {"ods content", 7,
         [&](size_t n) {
             return ods(odsEntries("<table:table-row><table:table-cell><text:p>" + nested(n, "x") +
                                   "</text:p></table:table-cell></table:table-row>"));
         }},
    };
    // The sheet part by one parser, and cut into segments parsed on two threads.
    for (XlsxSegmenting how : {XlsxSegmenting{UINT64_MAX, 0}, XlsxSegmenting{0, 1}}) {
        setXlsxSegmenting(how);
        for (const auto& c : cases) {
            const size_t most = 256 - c.k;
            EXPECT_EQ(c.read(most).block.at(0, 0), "x") << c.what;
            for (size_t levels : {most + 1, size_t(1000000)}) {
                try {
                    c.read(levels);
                    ADD_FAILURE() << c.what << " " << levels << " read";
                } catch (const SheetError& e) {
                    EXPECT_EQ(SpreadsheetImport::readFailureMessage(e), refused) << c.what << " " << levels;
                }
            }
        }
    }
    setXlsxSegmenting({});
}
