// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/base/Error.h"
#include "core/rules/CheckAFM.h"

using namespace edlt;

TEST(CheckAFM, ValidAndInvalidNumbers)
{
    EXPECT_TRUE(checkAFM("123456783"));
    EXPECT_FALSE(checkAFM("123456789"));
    EXPECT_TRUE(checkAFM("012345670"));  // remainder 10 wants check digit 0
    EXPECT_FALSE(checkAFM("012345671"));
    EXPECT_FALSE(checkAFM("000000000"));  // the zero rule, although the digit matches
    EXPECT_FALSE(checkAFM(""));
    EXPECT_FALSE(checkAFM("12345678"));
    EXPECT_FALSE(checkAFM("1234567833"));
    EXPECT_FALSE(checkAFM("12345678A0"));  // ten characters: no conversion at all
}

TEST(CheckAFM, ConversionErrorsNameTheText)
{
    try {
        checkAFM("12345678A");
        FAIL();
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), "'12345678A' is not a valid integer value");
    }
    // A sign converts as a whole, then fails as a single character.
    try {
        checkAFM("-12345678");
        FAIL();
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), "'-' is not a valid integer value");
    }
    try {
        checkAFM(" 12345678");
        FAIL();
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), "' ' is not a valid integer value");
    }
    EXPECT_THROW(checkAFM("12345678 "), ConvertError);  // trailing blank never converts
}

TEST(CheckAFM, NineCharactersThatConvertToZeroAnswerNo)
{
    EXPECT_FALSE(checkAFM(" 00000000"));
    EXPECT_FALSE(checkAFM("+00000000"));
    EXPECT_FALSE(checkAFM("-00000000"));
    EXPECT_FALSE(checkAFM("        0"));
}

TEST(CheckAFM, PassesDigitsBackspaceTabAndBeepsOnTheRest)
{
    int beeps = 0;
    auto beep = [&] { ++beeps; };
    for (char k : std::string("0123456789\b\t")) {
        char key = k;
        EXPECT_TRUE(digitKeyFilter(key, beep));
        EXPECT_EQ(key, k);
    }
    EXPECT_EQ(beeps, 0);
    for (char k : std::string("-.,aZ ")) {
        char key = k;
        EXPECT_FALSE(digitKeyFilter(key, beep));
        EXPECT_EQ(key, '\0');
    }
    EXPECT_EQ(beeps, 6);
}
