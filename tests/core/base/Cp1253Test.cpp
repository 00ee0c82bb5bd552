// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/base/Cp1253.h"

using namespace edlt;

TEST(Cp1253, ConvertsBothWaysAndRefusesForeignCharacters)
{
    auto g = cp1253::fromUtf8("Αβγ Ά");
    ASSERT_TRUE(g);
    EXPECT_EQ(*g, "\xC1\xE2\xE3 \xA2");
    EXPECT_EQ(cp1253::toUtf8(*g), "Αβγ Ά");
    EXPECT_FALSE(cp1253::fromUtf8("Ωμέγα ж"));          // Cyrillic has no place
    EXPECT_FALSE(cp1253::fromUtf8("\xFF\xFE"));         // not UTF-8
    EXPECT_EQ(cp1253::toUtf8("\xAA"), "\xEF\xBF\xBD");  // unassigned byte
    EXPECT_EQ(cp1253::pathText("/tmp/ж.txt"), "/tmp/?.txt");
}

TEST(Cp1253, OneTableForBytesAndCharacters)
{
    EXPECT_EQ(cp1253::toUnicode('A'), u'A');
    EXPECT_EQ(cp1253::toUnicode('\xC1'), u'Α');
    EXPECT_EQ(cp1253::toUnicode('\x80'), u'€');
    EXPECT_EQ(cp1253::toUnicode('\xD2'), u'\uFFFD');  // unassigned
    EXPECT_EQ(cp1253::fromUnicode(U'Α'), '\xC1');
    EXPECT_EQ(cp1253::fromUnicode(U'™'), '\x99');
    EXPECT_EQ(cp1253::fromUnicode(0), '\0');
    EXPECT_FALSE(cp1253::fromUnicode(U'ж'));
    EXPECT_FALSE(cp1253::fromUnicode(0xFFFD));
    EXPECT_FALSE(cp1253::fromUnicode(0x1F600));
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const char16_t u = cp1253::toUnicode(byte);
        if (u != 0xFFFD) {
            EXPECT_EQ(cp1253::fromUnicode(u), byte) << b;
        }
    }
}
