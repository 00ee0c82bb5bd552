// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/base/Amount.h"
#include "core/base/Convert.h"
#include "core/base/Error.h"
#include "tests/TestUtil.h"

using namespace edlt;

TEST(Amount, NormalisesWithThePattern)
{
    EXPECT_EQ(normaliseAmount("1234,50"), "1234,5");
    EXPECT_EQ(normaliseAmount("1234,567"), "1234,57");
    EXPECT_EQ(normaliseAmount("10,555"), "10,56");  // half away from zero, exactly
    EXPECT_EQ(normaliseAmount("10,554999"), "10,55");
    EXPECT_EQ(normaliseAmount("1,005"), "1,01");  // binary floating point gives 1
    EXPECT_EQ(normaliseAmount(",5"), "0,5");
    EXPECT_EQ(normaliseAmount("5,"), "5");
    EXPECT_EQ(normaliseAmount(","), "0");
    EXPECT_EQ(normaliseAmount("100,00"), "100");
    EXPECT_EQ(normaliseAmount("000123"), "123");
    EXPECT_EQ(normaliseAmount(" 12,3 "), "12,3");
    EXPECT_EQ(normaliseAmount("0,004"), "0");
    EXPECT_EQ(normaliseAmount("0,005"), "0,01");
    EXPECT_EQ(normaliseAmount("-2,345"), "-2,35");
    EXPECT_EQ(normaliseAmount("1E3"), "1000");
    EXPECT_EQ(normaliseAmount("1,5e-2"), "0,02");
    EXPECT_EQ(normaliseAmount("+7"), "7");
}

TEST(Amount, ConversionErrors)
{
    for (const char* bad : {"", " ", "1.5", "1,2,3", "abc", "12a", "-", "1E", "1 2"}) {
        try {
            Amount::parse(bad);
            ADD_FAILURE() << bad;
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.message(), std::string("'") + bad + "' is not a valid floating point value");
        }
    }
}

TEST(Amount, ExactArithmetic)
{
    Amount sum;
    for (int i = 0; i < 3; ++i) sum += Amount::parse("0,33");
    EXPECT_EQ(sum.text(), "0,99");
    EXPECT_EQ((Amount::parse("0,5") + Amount::parse("0,5")).text(), "1");
    // W > N x 40 / 100, compared exactly: 400 of 1000 is exactly 40 %.
    EXPECT_EQ(Amount::compareScaled(Amount::parse("400"), Amount::parse("1000"), 40, 100), std::strong_ordering::equal);
    EXPECT_EQ(Amount::compareScaled(Amount::parse("400,01"), Amount::parse("1000"), 40, 100),
              std::strong_ordering::greater);
    EXPECT_EQ(Amount::parse("1000") - Amount::parse("200"), Amount::parse("800,00"));
    EXPECT_EQ(Amount::parse("1234,56").cents(), 123456);
    EXPECT_EQ(centsToDecimalText(123450), "1234,5");
    EXPECT_EQ(centsToDecimalText(0), "0");
    EXPECT_EQ(centsToDecimalText(2147483648LL), "21474836,48");
}

TEST(Amount, WriteProblems)
{
    const std::string caption = test::G("Χαρτόσημο");
    EXPECT_FALSE(amountWriteProblem(Amount::parse("99999,99"), 8, caption));
    EXPECT_TRUE(amountWriteProblem(Amount::parse("123456,78"), 8, caption));   // decimal form too long
    EXPECT_TRUE(amountWriteProblem(Amount::parse("100000000"), 10, caption));  // cents have 11 digits
    EXPECT_FALSE(amountWriteProblem(Amount::parse("99999999,9"), 10, caption));
    auto negative = amountWriteProblem(Amount::parse("-1"), 10, caption);
    ASSERT_TRUE(negative);
    EXPECT_NE(negative->find(caption), std::string::npos);
    EXPECT_FALSE(amountWriteProblem(Amount::parse("-0,001"), 10, caption));  // rounds to 0
    EXPECT_TRUE(amountWriteProblem(Amount::parse("9E99"), 10, caption));
}
