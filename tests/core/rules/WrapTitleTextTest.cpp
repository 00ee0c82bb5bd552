// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/WrapTitleText.h"

#include <gtest/gtest.h>

#include "tests/TestUtil.h"

namespace edlt {
namespace {

using test::G;
using Lines = std::vector<std::string>;

// A fixed-pitch font: every byte is the given number of pixels wide.
TextWidthFunction pitch(int pixels)
{
    return [pixels](std::string_view s) { return static_cast<int>(s.size()) * pixels; };
}

TEST(WrapTitleText, TokensEndAfterEachDelimiter)
{
    EXPECT_EQ(titleTokens(G("ΦΟΡΟΣ ΠΟΥ ΠΑΡΑΚΡΑΤΗ- ΘΗΚΕ")),
              (Lines{G("ΦΟΡΟΣ "), G("ΠΟΥ "), G("ΠΑΡΑΚΡΑΤΗ-"), " ", G("ΘΗΚΕ")}));
    EXPECT_EQ(titleTokens(G("ΥΠΟΚ/ΜΑ ΜΙΣΘΩΤΟΥ")), (Lines{G("ΥΠΟΚ/"), G("ΜΑ "), G("ΜΙΣΘΩΤΟΥ")}));
    // A delimiter at the end leaves an empty last token; an empty text is one empty token.
    EXPECT_EQ(titleTokens("AB "), (Lines{"AB ", ""}));
    EXPECT_EQ(titleTokens(""), (Lines{""}));
    EXPECT_EQ(titleTokens("(*)"), (Lines{"(", "*", ")", ""}));
}

TEST(WrapTitleText, EighteenDelimitersAndNoOthers)
{
    const std::string delimiters = " ,.<>:;-*/+\"'$#()=";
    ASSERT_EQ(delimiters.size(), 18u);
    for (char c : delimiters) {
        EXPECT_TRUE(isTitleDelimiter(c)) << c;
        EXPECT_EQ(titleTokens(std::string("a") + c + "b"), (Lines{std::string("a") + c, "b"})) << c;
    }
    for (char c : std::string("_!?%&@[]{}|\\~`^\t")) EXPECT_FALSE(isTitleDelimiter(c)) << c;
    EXPECT_FALSE(isTitleDelimiter('\0'));
    EXPECT_FALSE(isTitleDelimiter(G("Α")[0]));
}

TEST(WrapTitleText, SeventyTwoPixelColumnBreaksAfterBlanksAndHyphen)
{
    // 72-pixel column: 68 pixels for the text.
    EXPECT_EQ(wrapTitleText(pitch(6), 68, G("ΦΟΡΟΣ ΠΟΥ ΠΑΡΑΚΡΑΤΗ- ΘΗΚΕ")),
              (Lines{G("ΦΟΡΟΣ ΠΟΥ"), G("ΠΑΡΑΚΡΑΤΗ-"), G("ΘΗΚΕ")}));
    // Wider letters: the blank after the hyphen starts the last line, which keeps it.
    EXPECT_EQ(wrapTitleText(pitch(7), 68, G("ΦΟΡΟΣ ΠΟΥ ΠΑΡΑΚΡΑΤΗ- ΘΗΚΕ")),
              (Lines{G("ΦΟΡΟΣ"), G("ΠΟΥ"), G("ΠΑΡΑΚΡΑΤΗ-"), G(" ΘΗΚΕ")}));
    EXPECT_EQ(wrapTitleText(pitch(7), 61, G("ΥΠΟΚ/ΜΑ ΜΙΣΘΩΤΟΥ")), (Lines{G("ΥΠΟΚ/ΜΑ"), G("ΜΙΣΘΩΤΟΥ")}));
    EXPECT_EQ(wrapTitleText(pitch(9), 61, G("ΥΠΟΚ/ΜΑ ΜΙΣΘΩΤΟΥ")), (Lines{G("ΥΠΟΚ/"), G("ΜΑ"), G("ΜΙΣΘΩΤΟΥ")}));
}

TEST(WrapTitleText, TrimsEveryLineButTheLast)
{
    // The double blanks stay inside a line that fits and go at a break.
    EXPECT_EQ(wrapTitleText(pitch(1), 100, "AB  (CD)"), (Lines{"AB  (CD)"}));
    EXPECT_EQ(wrapTitleText(pitch(1), 4, " AB  CD  "), (Lines{"AB", "CD", " "}));
    // A fitting title is returned whole, trailing blank included.
    EXPECT_EQ(wrapTitleText(pitch(1), 10, "ABC "), (Lines{"ABC "}));
}

TEST(WrapTitleText, WordWiderThanTheCellStaysWhole)
{
    EXPECT_EQ(wrapTitleText(pitch(7), 20, G("ΑΚΑΘΑΡΙΣΤΕΣ ΑΠΟΔΟΧΕΣ")), (Lines{G("ΑΚΑΘΑΡΙΣΤΕΣ"), G("ΑΠΟΔΟΧΕΣ")}));
    EXPECT_EQ(wrapTitleText(pitch(7), 0, "TK"), (Lines{"TK"}));
    EXPECT_EQ(wrapTitleText(pitch(7), 0, ""), (Lines{""}));
}

TEST(WrapTitleText, LinesAreLineHeightPlusTwoApartAndPlacedByAlignment)
{
    // Cell at x 100, y 0, 72 wide; line height 13.
    auto lines = layoutTitle(pitch(6), 100, 0, 72, 13, TitleAlignment::Center, G("ΦΟΡΟΣ ΠΟΥ ΠΑΡΑΚΡΑΤΗ- ΘΗΚΕ"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].y, 2);
    EXPECT_EQ(lines[1].y, 17);
    EXPECT_EQ(lines[2].y, 32);
    EXPECT_EQ(lines[0].x, 100 + 36 - 27);  // "ΦΟΡΟΣ ΠΟΥ": 9 bytes, 54 pixels
    EXPECT_EQ(lines[2].x, 100 + 36 - 12);
    EXPECT_EQ(lines[2].text, G("ΘΗΚΕ"));

    auto left = layoutTitle(pitch(6), 10, 5, 61, 13, TitleAlignment::Left, "AB");
    auto right = layoutTitle(pitch(6), 10, 5, 61, 13, TitleAlignment::Right, "AB");
    EXPECT_EQ(left[0].x, 12);
    EXPECT_EQ(left[0].y, 7);
    EXPECT_EQ(right[0].x, 10 + 61 - 12 - 3);
    // Odd widths: both halves rounded down.
    EXPECT_EQ(layoutTitle(pitch(5), 0, 0, 65, 13, TitleAlignment::Center, "ABC")[0].x, 32 - 7);
}

}  // namespace
}  // namespace edlt
