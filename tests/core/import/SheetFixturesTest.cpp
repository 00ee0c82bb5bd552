// SPDX-License-Identifier: GPL-3.0-or-later
// The readers on files written by other programs (tests/data/sheets, see make_fixtures.py).
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/import/Sheet.h"
#include "tests/core/import/SheetFixtures.h"

using namespace edlt;
using namespace edlt::sheet;
using namespace edlt::test;
namespace fs = std::filesystem;

class SheetFixturesTest : public ::testing::TestWithParam<std::string> {};

// Headings, a blank row inside the block, a tax number stored as a number (its leading
// zero gone), 1234.50 typed as text, an empty cell, a last row ending at column S:
// every kind of file gives the same block.
TEST_P(SheetFixturesTest, TypicalSheetGivesTheSameBlockInEveryFormat)
{
    ReadResult r = readSpreadsheet(fixture(GetParam()));
    EXPECT_EQ(r.block.rows, 5u);
    EXPECT_EQ(r.block.cols, 20u);
    EXPECT_EQ(rowsOf(r.block), typical);
    EXPECT_TRUE(r.problems.empty());
}

INSTANTIATE_TEST_SUITE_P(SheetFormats, SheetFixturesTest,
                         ::testing::Values("typical.xlsx", "typical.ods", "typical.xls", "typical.csv",
                                           "typical-comma.csv", "typical-1253.csv"),
                         [](const auto& test) {
                             std::string n = test.param;
                             for (char& c : n)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

TEST(SheetFixtures, DatesBooleansAndNumbersFarFromOne)
{
    const std::vector<std::vector<std::string>> expected = {
        {"45306", "45306,5", "1", "61", "0,25"},
        {"TRUE", "FALSE", "TRUE", "1,5E-7", "0,00001"},
        {"1,23456789012346E17", "1E15", "999999999999999", "0,000123", "-1234567,891"},
        {"Ζ??", "€ ok", "x?", "", ""},
    };
    for (const char* name : {"values.xlsx", "values.ods"}) {
        SCOPED_TRACE(name);
        ReadResult r = readSpreadsheet(fixture(name));
        EXPECT_EQ(rowsOf(r.block), expected);
        // The row with characters Windows-1253 cannot hold is still there, and named.
        ASSERT_EQ(r.problems.size(), 1u);
        EXPECT_EQ(r.problems[0].row, 4u);
        EXPECT_NE(r.problems[0].message.find(cp1253::lit("Η στήλη Νο 1 ")), std::string::npos);
    }
}

TEST(SheetFixtures, XlsBooleansAsInTheOtherKinds)
{
    ReadResult r = readSpreadsheet(fixture("values.xls"));
    ASSERT_EQ(r.block.rows, 3u);
    EXPECT_EQ(rowsOf(r.block)[0], (std::vector<std::string>{"45306", "45306,5", "1", "61", "0,25"}));
    EXPECT_EQ(rowsOf(r.block)[1], (std::vector<std::string>{"TRUE", "FALSE", "TRUE", "1,5E-7", "0,00001"}));
}

TEST(SheetFixtures, XlsxFeaturesOtherWritersUse)
{
    ReadResult r = readSpreadsheet(fixture("features.xlsx"));
    // The first tab (not sheet1.xml); the dimension claims A1:Z1000 and K9 is styled
    // only: the block ends at the last cell with a value.
    const std::vector<std::vector<std::string>> expected = {
        {"απλό", "πλούσιο ", "γραμμή1 gραμμή2 _x0041_", ""},
        {"3", "αβ", "", "#DIV/0!"},
        {"", "", "", ""},
        {"χωρίς αναφορά", "TRUE", "ενσειρά", ""},
        {"45306,5", "42", "FALSE", ""},
    };
    EXPECT_EQ(rowsOf(r.block), expected);
}

TEST(SheetFixtures, BlockEndingAtColumnSHasNineteenColumns)
{
    ReadResult r = readSpreadsheet(fixture("column-s.xlsx"));
    EXPECT_EQ(r.block.rows, 4u);
    EXPECT_EQ(r.block.cols, 19u);
}

TEST(SheetFixtures, EmptySheetIsTheEmptyBlockAndA1AloneIsOneCell)
{
    for (const char* name : {"empty.xlsx", "empty.ods"}) {
        ReadResult r = readSpreadsheet(fixture(name));
        EXPECT_EQ(r.block.rows, 0u) << name;
        EXPECT_EQ(r.block.cols, 0u) << name;
        EXPECT_TRUE(r.block.cells.empty()) << name;
    }
    ReadResult single = readSpreadsheet(fixture("single.xls"));
    EXPECT_EQ(rowsOf(single.block), (std::vector<std::vector<std::string>>{{"μόνο A1"}}));
}

TEST(SheetFixtures, AFileThatAskedForGigabytesCostsWhatItHolds)
{
    // A 1 KB file (found by fuzzing) for which the earlier reader asked for tens of gigabytes.
    auto start = std::chrono::steady_clock::now();
    try {
        readSpreadsheet(fixture("freexl-memory.xls"));
    } catch (const SheetError&) {
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    // And the program goes on reading.
    EXPECT_EQ(rowsOf(readSpreadsheet(fixture("typical.xls")).block), typical);
}
