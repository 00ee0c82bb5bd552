// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/ByteStream.h"

using namespace edlt;

TEST(ByteStream, SplitsAtEveryBreakAndCapsLongLines)
{
    // Breaks far into a line, of either kind, past the reader's scanning windows.
    StringSource src("a\r\nbb\ncc\r\r\n" + std::string(5000, 'z') + "\n" + std::string(300, 'y') + "\r" +
                     std::string(90, 'w') + "\nlast");
    LineReader r(src, 100);
    std::string line;
    std::vector<std::string> got;
    std::vector<bool> tooLong;
    while (r.next(line)) {
        got.push_back(line);
        tooLong.push_back(r.lastLineTooLong());
    }
    ASSERT_EQ(got.size(), 8u);
    EXPECT_EQ(got[2], "cc");
    EXPECT_EQ(got[3], "");
    EXPECT_EQ(got[4].size(), 100u);
    EXPECT_TRUE(tooLong[4]);
    EXPECT_EQ(got[5], std::string(100, 'y'));
    EXPECT_TRUE(tooLong[5]);
    EXPECT_EQ(got[6], std::string(90, 'w'));
    EXPECT_FALSE(tooLong[7]);
    EXPECT_EQ(got[7], "last");
}
