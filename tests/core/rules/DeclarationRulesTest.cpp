// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/rules/DeclarationRules.h"
#include "core/rules/Messages.h"

using namespace edlt;

namespace {

HeaderFields header(std::string year, std::string afm, std::string name, bool business = true)
{
    HeaderFields h;
    h.YearOfData = std::move(year);
    h.AFM = std::move(afm);
    h.CompanyName = std::move(name);
    h.business = business;
    return h;
}

}  // namespace

TEST(DeclarationRules, DeclarantFindingsListEveryCheckInOrder)
{
    using Kind = DeclarantFinding::Kind;
    struct Case {
        const char* what;
        HeaderFields header;
        std::vector<std::pair<Kind, HeaderField>> expected;
    };
    const Case cases[] = {
        {"all good", header("2024", "123456783", "X"), {}},
        {"every one wrong",
         header("1899", "123456789", "", false),
         {{Kind::Refusal, HeaderField::YearOfData},
          {Kind::Refusal, HeaderField::CompanyName},
          {Kind::SilentRefusal, HeaderField::AFM}}},
        {"a year after this one", header("2026", "123456783", "X"), {{Kind::Refusal, HeaderField::YearOfData}}},
        {"no year", header("", "123456783", "X"), {{Kind::Refusal, HeaderField::YearOfData}}},
        {"numbers that do not convert",
         header("20a4", "12345678A", "X"),
         {{Kind::ConversionError, HeaderField::YearOfData}, {Kind::ConversionError, HeaderField::AFM}}},
    };
    for (const Case& c : cases) {
        const auto findings = declarantFindings(c.header, 2025);
        ASSERT_EQ(findings.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < findings.size(); ++i) {
            EXPECT_EQ(findings[i].kind, c.expected[i].first) << c.what << ' ' << i;
            EXPECT_EQ(findings[i].field, c.expected[i].second) << c.what << ' ' << i;
        }
    }
    const auto person = declarantFindings(header("2024", "123456783", "", false), 2025);
    ASSERT_EQ(person.size(), 1u);
    EXPECT_EQ(person[0].message, msg::writePersonName());
    EXPECT_EQ(declarantFindings(header("20a4", "123456783", "X"), 2025)[0].message,
              "'20a4' is not a valid integer value");
}

TEST(DeclarationRules, DuplicatePairsAndTheFirstOfThem)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> lines;  // tax number, income type
        std::vector<std::pair<uint32_t, uint32_t>> pairs;
    };
    const Case cases[] = {
        {"none", {{"1", "10"}, {"1", "11"}, {"2", "10"}}, {}},
        {"three alike", {{"1", "10"}, {"2", "10"}, {"1", "10"}, {"1", "10"}}, {{0, 2}, {0, 3}, {2, 3}}},
        {"two groups, the later one first in line order",
         {{"9", "10"}, {"1", "10"}, {"1", "10"}, {"9", "10"}},
         {{0, 3}, {1, 2}}},
        {"a key is its own length", {{"12", "3"}, {"1", "23"}, {"", "123"}}, {}},
    };
    for (const Case& c : cases) {
        std::vector<PairKey> keys;
        for (const auto& [afm, type] : c.lines) keys.push_back(PairKey::of(afm, type));
        const DuplicateGroups groups = duplicateGroups(keys);
        EXPECT_EQ(duplicatePairs(groups), c.pairs) << c.what;
        const auto first = firstDuplicate(groups);
        EXPECT_EQ(first.has_value(), !c.pairs.empty()) << c.what;
        if (first) {
            EXPECT_EQ(*first, c.pairs.front().first) << c.what;
            EXPECT_EQ(keys[*first].afm(), c.lines[*first].first) << c.what;
        }
    }
}
