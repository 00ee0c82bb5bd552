// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/rules/ExchangeSort.h"

using namespace edlt;

namespace {

// The exchange procedure itself, quadratic: what exchangeSortOrder must match.
std::vector<size_t> exchangeSortOrderDirect(const std::vector<std::string_view>& keys)
{
    std::vector<size_t> perm(keys.size());
    std::iota(perm.begin(), perm.end(), size_t{0});
    for (size_t i = 0; i < perm.size(); ++i) {
        for (size_t j = i + 1; j < perm.size(); ++j) {
            if (compareKeyBytes(keys[perm[j]], keys[perm[i]]) < 0) std::swap(perm[i], perm[j]);
        }
    }
    return perm;
}

std::vector<std::string_view> views(const std::vector<std::string>& keys)
{
    return {keys.begin(), keys.end()};
}

std::string describe(const std::vector<std::string>& keys)
{
    std::string text;
    for (const std::string& key : keys) {
        text += '[';
        for (char k : key) {
            const auto c = static_cast<unsigned char>(k);
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += (c >= 0x20 && c < 0x7F) ? std::string(1, static_cast<char>(c)) : escaped;
        }
        text += ']';
    }
    return text;
}

}  // namespace

TEST(ExchangeSort, KeyBytesCompareUnsignedWithPrefixFirst)
{
    EXPECT_LT(compareKeyBytes("Z", "\xC1"), 0);     // Latin before Greek Α
    EXPECT_LT(compareKeyBytes("\xA2", "\xC1"), 0);  // Ά before Α
    EXPECT_LT(compareKeyBytes("\xC1", "\xE1"), 0);  // capitals before small letters
    EXPECT_LT(compareKeyBytes("AB ", "ABC"), 0);    // the padding blank before letters
    EXPECT_LT(compareKeyBytes("AB", "AB "), 0);
    EXPECT_LT(compareKeyBytes("", std::string_view("\0", 1)), 0);
    EXPECT_EQ(compareKeyBytes("", ""), 0);
    EXPECT_EQ(compareKeyBytes("\xFE", "\xFE"), 0);
    EXPECT_GT(compareKeyBytes("\x80", "\x7F"), 0);
    // The library's own string_view order agrees: char_traits<char> compares unsigned.
    EXPECT_LT(std::string_view("\x7F"), std::string_view("\x80"));
}

TEST(ExchangeSort, EqualKeysLeaveInTheProceduresOrder)
{
    // B, B', A with A lowest: A, B', B.
    const std::vector<std::string> bba = {"B", "B", "A"};
    EXPECT_EQ(exchangeSortOrder(views(bba)), (std::vector<size_t>{2, 1, 0}));
    EXPECT_EQ(exchangeSortOrderDirect(views(bba)), (std::vector<size_t>{2, 1, 0}));

    // The run of three B rotates left by the two A lines behind it.
    const std::vector<std::string> bbbaa = {"B", "B", "B", "A", "A"};
    EXPECT_EQ(exchangeSortOrder(views(bbbaa)), (std::vector<size_t>{3, 4, 2, 0, 1}));

    // Nothing smaller: equal keys keep their order.
    const std::vector<std::string> same(7, "X");
    EXPECT_EQ(exchangeSortOrder(views(same)), (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6}));

    EXPECT_TRUE(exchangeSortOrder({}).empty());
    EXPECT_EQ(exchangeSortOrder({"only"}), (std::vector<size_t>{0}));
}

TEST(ExchangeSort, SurnamesInWindows1253Order)
{
    const std::string abg = cp1253::lit("ΑΒΓ   ");
    const std::string abgde = cp1253::lit("ΑΒΓΔΕ ");
    const std::string accented = cp1253::lit("ΆΛΦΑ  ");
    const std::string latin = "SMITH ";
    const std::string small = cp1253::lit("αβγ   ");
    const std::vector<std::string> keys = {small, abgde, abg, accented, latin};
    EXPECT_EQ(exchangeSortOrder(views(keys)), (std::vector<size_t>{4, 3, 2, 1, 0}));
}

TEST(ExchangeSort, MatchesTheDirectProcedureOnSmallInputs)
{
    // Few distinct keys so that equal keys meet often; bytes above 0x7F and prefixes included.
    const std::vector<std::string> pool = {"",     "A",        "AB",       "AB ",   "B",    "\xC1",
                                           "\xA2", "\xC1\xC2", "\xE1\x80", "Z\xFF", "\x7F", "\x80"};
    std::mt19937 random(20240517);
    for (int round = 0; round < 6000; ++round) {
        const size_t distinct = 1 + random() % 4;
        std::vector<std::string> alphabet;
        for (size_t i = 0; i < distinct; ++i) alphabet.push_back(pool[random() % pool.size()]);
        const size_t n = random() % 41;
        std::vector<std::string> keys;
        for (size_t i = 0; i < n; ++i) keys.push_back(alphabet[random() % distinct]);
        const auto keyViews = views(keys);
        ASSERT_EQ(exchangeSortOrder(keyViews), exchangeSortOrderDirect(keyViews)) << "keys " << describe(keys);
    }
}

TEST(ExchangeSort, MatchesTheDirectProcedureOnLargerGroups)
{
    // Long runs and many smaller lines behind them: rotations well past the run length.
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        // The first round is large enough to be sorted in two halves on two threads.
        const size_t n = round == 0 ? 21000 : 500 + random() % 1500;
        const size_t distinct = 2 + random() % 5;
        const auto bias = static_cast<unsigned>(random() % 100);
        std::vector<std::string> keys;
        for (size_t i = 0; i < n; ++i) {
            const size_t pick = random() % 100 < bias ? 0 : random() % distinct;
            keys.push_back(std::string(3, static_cast<char>('A' + distinct - pick)));
        }
        const auto keyViews = views(keys);
        ASSERT_EQ(exchangeSortOrder(keyViews), exchangeSortOrderDirect(keyViews)) << "round " << round;
    }
}

TEST(ExchangeSort, MatchesTheDirectProcedureOnLongSharedPrefixes)
{
    // Keys that agree for 8 bytes or more and then end, differ, or go on with NUL bytes: the
    // sort looks at eight bytes at a time.
    const std::string p = "ABCDEFGHIJKLMNOP";
    const std::string nul(1, '\0');
    const std::vector<std::string> pool = {
        p.substr(0, 8), p.substr(0, 8) + nul,  p.substr(0, 9), p.substr(0, 7), p, p + nul, p + nul + nul,
        p + "A",        p.substr(0, 15) + "@", p + p,          p + p + "\xFF", ""};
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        // The first round is large enough for both threads.
        const size_t n = round == 0 ? 20000 : random() % 41;
        const size_t distinct = 1 + random() % 5;
        std::vector<std::string> alphabet;
        for (size_t i = 0; i < distinct; ++i) alphabet.push_back(pool[random() % pool.size()]);
        std::vector<std::string> keys;
        for (size_t i = 0; i < n; ++i) keys.push_back(alphabet[random() % distinct]);
        const auto keyViews = views(keys);
        ASSERT_EQ(exchangeSortOrder(keyViews), exchangeSortOrderDirect(keyViews)) << "keys " << describe(keys);
    }
}
