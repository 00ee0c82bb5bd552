// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>

#include "core/base/Convert.h"
#include "core/base/Error.h"

using namespace edlt;

TEST(Convert, WholeNumbers)
{
    EXPECT_EQ(tryStrToInt("  42"), 42);
    EXPECT_EQ(tryStrToInt("-7"), -7);
    EXPECT_EQ(tryStrToInt("+0"), 0);
    EXPECT_FALSE(tryStrToInt("42 "));
    EXPECT_FALSE(tryStrToInt(""));
    EXPECT_FALSE(tryStrToInt("2147483648"));
    EXPECT_EQ(tryStrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(tryStrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_FALSE(tryStrToInt64("9223372036854775808"));
    try {
        strToInt("1x");
        FAIL();
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), "'1x' is not a valid integer value");
    }
}
