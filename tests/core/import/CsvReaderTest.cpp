// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/import/Sheet.h"

using namespace edlt;
using namespace edlt::sheet;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Reads CSV bytes; the block as Windows-1253 rows.
ReadResult csv(const std::string& bytes)
{
    StringSource source(bytes);
    return readCsv(source);
}

Rows rows(const std::string& bytes)
{
    ReadResult r = csv(bytes);
    Rows out(r.block.rows);
    for (size_t i = 0; i < r.block.rows; ++i)
        for (size_t c = 0; c < r.block.cols; ++c) out[i].push_back(std::string(r.block.at(i, c)));
    return out;
}

SheetFault faultOf(const std::string& bytes)
{
    try {
        csv(bytes);
    } catch (const SheetError& e) {
        return e.fault();
    }
    ADD_FAILURE() << "no SheetError";
    return SheetFault::NotSpreadsheet;
}

class FailingSource : public ByteSource {
public:
    size_t read(char*, size_t) override { throw Error("read failed"); }
};

}  // namespace

TEST(CsvReader, SeparatorIsDetectedOutsideQuotes)
{
    EXPECT_EQ(rows("a;1,5;b\r\n"), (Rows{{"a", "1,5", "b"}}));
    EXPECT_EQ(rows("a,\"1,5\",b\n"), (Rows{{"a", "1,5", "b"}}));
    EXPECT_EQ(rows("a,b\nc,d"), (Rows{{"a", "b"}, {"c", "d"}}));
    EXPECT_EQ(rows("single\n"), (Rows{{"single"}}));
    // A spreadsheet's own hint wins and is no row.
    EXPECT_EQ(rows("sep=,\r\na;b,c\r\n"), (Rows{{"a;b", "c"}}));
}

TEST(CsvReader, QuotesAsRfc4180)
{
    EXPECT_EQ(rows("\"say \"\"hi\"\"\";\"a;b\"\r\n"), (Rows{{"say \"hi\"", "a;b"}}));
    // A line break inside quotes is part of the cell (one space, as in every field); the row goes on.
    EXPECT_EQ(rows("\"two\r\nlines\";x\r\nnext;y\r\n"), (Rows{{"two lines", "x"}, {"next", "y"}}));
    // Text after a closing quote is kept, as spreadsheets keep it; inner quotes of an
    // unquoted field are plain characters.
    EXPECT_EQ(rows("\"ab\"cd;e\"f\n"), (Rows{{"abcd", "e\"f"}}));
    EXPECT_EQ(rows("\"\";x\n"), (Rows{{"", "x"}}));
}

TEST(CsvReader, UnclosedQuoteIsRefusedRatherThanSwallowingRows)
{
    EXPECT_EQ(faultOf("a;\"b\nc;d\ne;f\n"), SheetFault::Corrupt);
}

TEST(CsvReader, LineEndsBlankRowsAndTrailingSeparators)
{
    EXPECT_EQ(rows("a;b\rc;d\r\ne;f\n"), (Rows{{"a", "b"}, {"c", "d"}, {"e", "f"}}));
    // A blank line inside stays a row; blank lines and empty fields at the end do not count.
    EXPECT_EQ(rows("a;b;;\n\nc\n\n\n"), (Rows{{"a", "b"}, {"", ""}, {"c", ""}}));
    EXPECT_EQ(rows(""), Rows{});
    EXPECT_EQ(rows(";;;\r\n\r\n"), Rows{});
}

TEST(CsvReader, Utf8WithOrWithoutBomElseWindows1253)
{
    const Rows greek{{cp1253::lit("Αθήνα"), cp1253::lit("€")}};
    EXPECT_EQ(rows("\xEF\xBB\xBF\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1;\xE2\x82\xAC\n"), greek);
    EXPECT_EQ(rows("\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1;\xE2\x82\xAC\n"), greek);
    EXPECT_EQ(rows(cp1253::lit("Αθήνα;€\n")), greek);
    // A BOM promises UTF-8: broken UTF-8 after it is a damaged file.
    EXPECT_EQ(faultOf("\xEF\xBB\xBF\xC1\xE8\n"), SheetFault::Corrupt);
}

TEST(CsvReader, CharactersWithoutAPlaceInWindows1253MarkTheirRow)
{
    ReadResult r = csv("ok;fine\nx;\xE6\x97\xA5\n\xF0\x9F\x98\x80\n");
    ASSERT_EQ(r.problems.size(), 2u);
    EXPECT_EQ(r.problems[0].row, 2u);
    EXPECT_EQ(r.problems[1].row, 3u);
    EXPECT_EQ(r.block.at(1, 1), "?");
    // In a Windows-1253 file, the bytes the code page leaves unassigned.
    ReadResult w = csv(cp1253::lit("Αθήνα;") + "\xAA\n");
    ASSERT_EQ(w.problems.size(), 1u);
    EXPECT_EQ(w.block.at(0, 1), "?");
}

TEST(CsvReader, BinaryAndUnreadableInput)
{
    EXPECT_EQ(faultOf(std::string("a;b\0c\n", 6)), SheetFault::NotSpreadsheet);
    EXPECT_EQ(faultOf("\xFF\xFE" + std::string("a\0;\0b\0", 6)), SheetFault::NotSpreadsheet);
    FailingSource failing;
    EXPECT_THROW(readCsv(failing), Error);
}

TEST(CsvReader, LimitsOfASheet)
{
    std::string wide(16384, ';');
    EXPECT_EQ(faultOf(wide + "x\n"), SheetFault::TooLarge);
    // Empty fields past the last column cost nothing.
    EXPECT_EQ(rows("a" + wide + "\n"), (Rows{{"a"}}));
    EXPECT_EQ(faultOf(std::string(1048576, '\n') + "x\n"), SheetFault::TooLarge);
    // A huge field is kept as far as any field can use it, and marked as cut.
    std::string huge = "\"" + std::string((1 << 20) + 1, 'a') + "\"\n";
    StringSource source(huge);
    ReadResult r = readCsv(source);
    EXPECT_EQ(r.block.at(0, 0), std::string(limits::keptCellBytes, 'a'));
    EXPECT_TRUE(r.block.cut(0, 0));
}
