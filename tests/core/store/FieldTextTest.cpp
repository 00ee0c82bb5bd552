// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/store/FieldText.h"

using namespace edlt;

TEST(FieldText, LineBreaksAndTabsBecomeOneSpaceOtherControlsGo)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ΕΡΜΟΥ\r\n12", "ΕΡΜΟΥ 12"},
        {"a\nb", "a b"},
        {"a\rb", "a b"},
        {"a\tb", "a b"},
        {"a\r\r\nb", "a  b"},
        {"a\n\rb", "a  b"},
        {"a\x01\x1F\x7F"
         "b",
         "ab"},
        {"\xE1\xE2\x80", "\xE1\xE2\x80"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(cleanFieldText(in), out) << in;
        EXPECT_EQ(isCleanFieldText(in), in == out) << in;
    }
    // A CR LF split between two pieces of a streamed text is still one space.
    std::string streamed;
    bool pendingCr = false;
    for (const char* piece : {"a\r", "\nb\r", "c"}) appendCleanFieldText(streamed, piece, pendingCr);
    EXPECT_EQ(streamed, "a b c");
}
