// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "core/import/BlockBuilder.h"
#include "core/import/CellText.h"

using namespace edlt;
using namespace edlt::sheet;

TEST(BlockBuilder, CellsInAnyOrderWideningRowsAndOverwrites)
{
    BlockBuilder b;
    b.setText(3, 2, "c");
    b.setText(1, 1, "a");
    b.setText(2, 5, "wide");
    b.setText(1, 1, "A");
    b.setText(4, 1, "gone");
    b.setText(4, 1, "");  // cleared again: row 4 is not in the block
    ReadResult r = b.finish();
    ASSERT_EQ(r.block.rows, 3u);
    ASSERT_EQ(r.block.cols, 5u);
    EXPECT_EQ(r.block.at(0, 0), "A");
    EXPECT_EQ(r.block.at(1, 4), "wide");
    EXPECT_EQ(r.block.at(2, 1), "c");
    EXPECT_EQ(r.block.at(2, 4), "");
    EXPECT_EQ(r.block.cells.size(), 15u);
}

TEST(BlockBuilder, ManyRowsGrowingOneColumnAtATimeKeepEveryCellUpToT)
{
    BlockBuilder b;
    for (size_t r = 1; r <= 300; ++r)
        for (size_t c = 1; c <= r / 10 + 1; ++c) b.setText(r, c, std::to_string(r * 1000 + c));
    ReadResult res = b.finish();
    ASSERT_EQ(res.block.rows, 300u);
    ASSERT_EQ(res.block.cols, 20u);
    for (size_t r = 1; r <= 300; ++r)
        for (size_t c = 1; c <= 20; ++c)
            EXPECT_EQ(res.block.at(r - 1, c - 1), c <= r / 10 + 1 ? std::to_string(r * 1000 + c) : "");
}

TEST(BlockBuilder, WrongHintsCostNothingButMemory)
{
    BlockBuilder b;
    b.reserve(1000, 3);
    b.setText(2, 7, "x");
    ReadResult r = b.finish();
    EXPECT_EQ(r.block.rows, 2u);
    EXPECT_EQ(r.block.cols, 7u);
    EXPECT_EQ(r.block.at(1, 6), "x");
}

TEST(BlockBuilder, LimitsOfASheetAndOfTheBlock)
{
    auto faultOf = [](size_t row, size_t col) {
        BlockBuilder b;
        try {
            b.setText(1, 1, "a");
            b.setText(row, col, "x");
        } catch (const SheetError& e) {
            return e.fault();
        }
        return SheetFault::NotSpreadsheet;
    };
    EXPECT_EQ(faultOf(1048577, 1), SheetFault::TooLarge);
    EXPECT_EQ(faultOf(1, 16385), SheetFault::TooLarge);
    // Columns after T are never kept, however far they lie.
    BlockBuilder far;
    far.setText(1, 1, "a");
    far.setText(1048576, 16384, "x");
    EXPECT_EQ(far.finish().block.rows, 1u);
    BlockBuilder ok;
    ok.setText(1048576, 20, "last row");
    EXPECT_EQ(ok.finish().block.rows, 1048576u);
}

TEST(BlockBuilder, OneProblemPerRowInRowOrder)
{
    BlockBuilder b;
    b.setUtf8(5, 2, "日");
    b.setUtf8(2, 3, "x😀");
    b.setUtf8(2, 1, "日");
    b.setUtf8(3, 1, "fine");
    ReadResult r = b.finish();
    ASSERT_EQ(r.problems.size(), 2u);
    EXPECT_EQ(r.problems[0].row, 2u);
    EXPECT_EQ(r.problems[0].message, unrepresentableCellMessage(3));
    EXPECT_EQ(r.problems[1].row, 5u);
    EXPECT_EQ(r.block.at(1, 2), "x?");
}
