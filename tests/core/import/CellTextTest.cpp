// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "core/base/Cp1253.h"
#include "core/import/CellText.h"

using namespace edlt;
using namespace edlt::sheet;

TEST(CellText, NumbersAsGeneralFormatShowsThem)
{
    EXPECT_EQ(formatNumber(1234.5), "1234,5");
    EXPECT_EQ(formatNumber(7), "7");
    EXPECT_EQ(formatNumber(0.1 + 0.2), "0,3");
    EXPECT_EQ(formatNumber(-0.0), "0");
    EXPECT_EQ(formatNumber(-1234.56), "-1234,56");
    EXPECT_EQ(formatNumber(1e20), "1E20");
    EXPECT_EQ(formatNumber(-2.5e-9), "-2,5E-9");
    // Fifteen digits before the comma stay plain; the sixteenth goes to the exponent.
    EXPECT_EQ(formatNumber(999999999999999.0), "999999999999999");
    EXPECT_EQ(formatNumber(1e15), "1E15");
    EXPECT_EQ(formatNumber(1234567890123456789.0), "1,23456789012346E18");
    // 0,00001 is the smallest plain number.
    EXPECT_EQ(formatNumber(0.00001), "0,00001");
    EXPECT_EQ(formatNumber(0.000001), "1E-6");
    // Rounding to 15 significant digits carries into the integer part.
    EXPECT_EQ(formatNumber(0.9999999999999999), "1");
    EXPECT_EQ(formatNumber(123456.7890123456), "123456,789012346");
    EXPECT_EQ(formatNumber(100), "100");
}

TEST(CellText, NumbersParseWithoutTheLocale)
{
    EXPECT_EQ(parseNumber("1234.5"), 1234.5);
    EXPECT_EQ(parseNumber("+3"), 3.0);
    EXPECT_EQ(parseNumber("-1E-3"), -0.001);
    EXPECT_FALSE(parseNumber("1234,5"));
    EXPECT_FALSE(parseNumber(" 1"));
    EXPECT_FALSE(parseNumber("1 "));
    EXPECT_FALSE(parseNumber(""));
    EXPECT_FALSE(parseNumber("inf"));
    EXPECT_FALSE(parseNumber("nan"));
    EXPECT_FALSE(parseNumber("1e999"));
    EXPECT_FALSE(parseNumber("++1"));
}

TEST(CellText, DatesAsSerialNumbers)
{
    EXPECT_EQ(dateSerial(2024, 1, 15), 45306);
    EXPECT_EQ(dateSerial(1900, 1, 1), 1);
    EXPECT_EQ(dateSerial(1900, 2, 28), 59);
    EXPECT_EQ(dateSerial(1900, 3, 1), 61);
    EXPECT_EQ(dateSerial(1904, 1, 1, true), 0);
    EXPECT_EQ(parseIsoDateTime("2024-01-15T18:00:00"), 45306.75);
    EXPECT_EQ(parseIsoDateTime("2024-01-15 06:00"), 45306.25);
    EXPECT_FALSE(parseIsoDateTime("2023-02-29"));
    EXPECT_FALSE(parseIsoDateTime("2024-13-01"));
    EXPECT_FALSE(parseIsoDateTime("2024-01-15X"));
    EXPECT_EQ(parseClockTime("12:00:00"), 0.5);
    EXPECT_EQ(parseIsoDuration("PT06H00M00S"), 0.25);
    EXPECT_EQ(parseIsoDuration("P1DT12H"), 1.5);
    EXPECT_FALSE(parseIsoDuration("PT"));
    EXPECT_FALSE(parseIsoDuration("T1H"));
}

TEST(CellText, CellReferences)
{
    size_t row = 0, col = 0;
    ASSERT_TRUE(parseCellRef("A1", row, col));
    EXPECT_EQ(row, 1u);
    EXPECT_EQ(col, 1u);
    ASSERT_TRUE(parseCellRef("XFD1048576", row, col));
    EXPECT_EQ(row, 1048576u);
    EXPECT_EQ(col, 16384u);
    ASSERT_TRUE(parseCellRef("T20", row, col));
    EXPECT_EQ(col, 20u);
    EXPECT_FALSE(parseCellRef("A0", row, col));
    EXPECT_FALSE(parseCellRef("1A", row, col));
    EXPECT_FALSE(parseCellRef("AAAA1", row, col));
    EXPECT_FALSE(parseCellRef("A1234567890", row, col));
    EXPECT_FALSE(parseCellRef("A1:B2", row, col));
}

TEST(CellText, LossyConversionMarksWhatWasLost)
{
    bool ok = false;
    EXPECT_EQ(toCp1253Lossy("Αθήνα €", ok), cp1253::lit("Αθήνα €"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(toCp1253Lossy("a日b", ok), "a?b");
    EXPECT_FALSE(ok);
    EXPECT_EQ(toCp1253Lossy("a\xC3(b", ok), "a?(b");  // a broken sequence costs one byte
    EXPECT_FALSE(ok);
}
