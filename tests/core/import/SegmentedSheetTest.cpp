// SPDX-License-Identifier: GPL-3.0-or-later
// A large .xlsx sheet is cut between rows and parsed on two threads: whatever the part
// holds, the result (cells, problems or the fault) is the one a single parser gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/import/Sheet.h"
#include "core/import/ZipArchive.h"
#include "tests/core/import/TestZip.h"

using namespace edlt::sheet;
using namespace edlt::sheet::test;

namespace {

// Cells, flags and problems of a read, or its fault, as one text.
template <class Open>
std::string outcome(Open open, XlsxSegmenting how)
{
    setXlsxSegmenting(how);
    std::string out;
    try {
        ReadResult r = readXlsx(*open());
        for (size_t row = 0; row < r.block.rows; ++row) {
            for (size_t col = 0; col < r.block.cols; ++col)
                out += std::string(r.block.at(row, col)) + (r.block.cut(row, col) ? "+" : "") +
                       (r.block.formulaWithoutValue(row, col) ? "?" : "") + "|";
            out += "\n";
        }
        for (const RowProblem& p : r.problems) out += std::to_string(p.row) + ":" + p.message + "\n";
    } catch (const SheetError& e) {
        out = "fault " + std::to_string(static_cast<int>(e.fault()));
    }
    setXlsxSegmenting({});
    return out;
}

std::string outcome(const std::string& part, XlsxSegmenting how)
{
    return outcome(
        [&] {
            return ZipArchive::openMemory(
                makeZip(xlsxEntries(part, "<sst><si><t>s0</t></si><si><t>s1</t></si></sst>")));
        },
        how);
}

std::string row(int r, const std::string& cells)
{
    return "<row r=\"" + std::to_string(r) + "\">" + cells + "</row>";
}

std::string rows(int from, int to)
{
    std::string out;
    for (int r = from; r <= to; ++r) {
        const std::string n = std::to_string(r);
        out += row(r, "<c r=\"A" + n + "\" t=\"s\"><v>" + std::to_string(r % 2) + "</v></c><c r=\"B" + n + "\"><v>" +
                          n + ".5</v></c>");
    }
    return out;
}

}  // namespace

TEST(SegmentedSheet, GivesWhatOneParserGives)
{
    const std::string fake = row(90, "<c r=\"A90\"><v>9</v></c>");
    // Rows 202 levels deep (a segment's own parser starts there), their deepest at 205 + inner.
    auto deep = [](size_t inner) {
        return "<worksheet>" +
               nested(200, "<sheetData>" + rows(1, 3) +
                               row(4, "<c r=\"A4\" t=\"inlineStr\"><is>" + nested(inner, "<t>x</t>") + "</is></c>") +
                               rows(5, 6) + "</sheetData>") +
               "</worksheet>";
    };
    const struct {
        const char* what;
        std::string part;
        bool once;  // not read again by one parser (in segments, or by the document's own)
    } cases[] = {
        {"plain rows", sheetXml(rows(1, 40)), true},
        {"laid out on lines", sheetXml("\n  " + rows(1, 5) + "\n  " + rows(6, 9) + "\n") + "\n", true},
        {"a tag after the rows that starts like a row",
         "<worksheet><sheetData>" + rows(1, 9) +
             "</sheetData><rowBreaks count=\"1\"><brk id=\"3\"/></rowBreaks></worksheet>",
         true},
        {"prefixed names",
         "<x:worksheet xmlns:x=\"urn:x\"><x:sheetData><x:row r=\"1\"><x:c r=\"A1\"><x:v>1</x:v></x:c></x:row>"
         "<x:row r=\"2\"><x:c r=\"B2\"><x:v>2</x:v></x:c></x:row></x:sheetData></x:worksheet>",
         true},
        {"a row written twice", sheetXml(rows(1, 5) + row(2, "<c r=\"A2\"><v>7</v></c>") + rows(6, 8)), true},
        {"rows in a comment", sheetXml(rows(1, 4) + "<!-- " + fake + "</sheetData> -->" + rows(5, 8)), false},
        {"rows in CDATA",
         sheetXml(rows(1, 3) + row(4, "<c r=\"A4\" t=\"inlineStr\"><is><t><![CDATA[" + fake + "]]></t></is></c>") +
                  rows(5, 7)),
         false},
        {"rows in a processing instruction", sheetXml(rows(1, 3) + "<?note " + fake + "?>" + rows(4, 6)), false},
        {"rows without their number", sheetXml(rows(1, 3) + "<row><c><v>5</v></c></row>" + rows(5, 6)), false},
        {"a second sheetData", sheetXml(rows(1, 3) + "</sheetData><sheetData>" + rows(4, 6)), false},
        {"a row left open", sheetXml(rows(1, 3) + "<row r=\"4\"><c r=\"A4\"><v>1</v></c>" + rows(5, 6)), false},
        {"rows outside sheetData",
         "<worksheet><sheetPr>" + fake + "</sheetPr><sheetData>" + rows(1, 3) + "</sheetData></worksheet>", true},
        {"no end of sheetData", "<worksheet><sheetData>" + rows(1, 6), false},
        {"another encoding",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-7\"?>" +
             sheetXml(rows(1, 3) + row(4, "<c r=\"A4\" t=\"inlineStr\"><is><t>\xC1\xC2</t></is></c>")),
         false},
        {"nested 256 levels deep", deep(50), true},
        {"nested 257 levels deep", deep(51), false},
    };
    for (const auto& c : cases) {
        const uint64_t before = xlsxSheetsReadInSegments();
        const std::string segmented = outcome(c.part, {0, 1});
        EXPECT_EQ(xlsxSheetsReadInSegments() - before, c.once ? 1u : 0u) << c.what;
        EXPECT_EQ(segmented, outcome(c.part, {UINT64_MAX, 1})) << c.what;
    }
}

TEST(SegmentedSheet, FilesOfOtherProgramsAreReadInSegments)
{
    for (const char* name : {"typical.xlsx", "values.xlsx", "features.xlsx", "column-s.xlsx", "real/real-lo.xlsx",
                             "real/real-noval.xlsx"}) {
        const auto path = std::filesystem::path(EDLT_TEST_DATA) / "sheets" / name;
        auto open = [&] { return ZipArchive::openFile(path); };
        const uint64_t before = xlsxSheetsReadInSegments();
        const std::string segmented = outcome(open, {0, 64});
        EXPECT_EQ(xlsxSheetsReadInSegments() - before, 1u) << name;
        EXPECT_EQ(segmented, outcome(open, {UINT64_MAX, 64})) << name;
    }
}
