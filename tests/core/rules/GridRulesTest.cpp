// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/GridRules.h"

#include <gtest/gtest.h>
#include <set>

#include "tests/TestUtil.h"

namespace edlt {
namespace {

using test::G;

struct Typed {
    std::string text;
    int beeps = 0;
};

// Types keys into an amount cell the way the editor does: a passed key is appended,
// backspace removes the last character.
Typed typeAmount(const std::string& keys, std::string text = "")
{
    Typed t{std::move(text)};
    for (char k : keys) {
        char key = k;
        if (!amountKeyFilter(t.text, key, [&] { ++t.beeps; })) {
            EXPECT_EQ(key, '\0');
            continue;
        }
        if (key == 8) {
            if (!t.text.empty()) t.text.pop_back();
        } else {
            t.text += key;
        }
    }
    return t;
}

TEST(GridRules, DigitsAndOneComma)
{
    Typed t = typeAmount("1234,56");
    EXPECT_EQ(t.text, "1234,56");
    EXPECT_EQ(t.beeps, 0);

    t = typeAmount("12,5,0");
    EXPECT_EQ(t.text, "12,50");
    EXPECT_EQ(t.beeps, 1);
}

TEST(GridRules, CommaAcceptedAgainAfterItWasRemoved)
{
    Typed t = typeAmount("1,\b,5");
    EXPECT_EQ(t.text, "1,5");
    EXPECT_EQ(t.beeps, 0);
    t = typeAmount(",", "3,25");
    EXPECT_EQ(t.text, "3,25");
    EXPECT_EQ(t.beeps, 1);
}

TEST(GridRules, FullStopTabSignsAndLettersDroppedWithBeep)
{
    Typed t = typeAmount("1.5\t-+ e");
    EXPECT_EQ(t.text, "15");
    EXPECT_EQ(t.beeps, 6);
    char greek = G("Α")[0];
    EXPECT_FALSE(amountKeyFilter("", greek, nullptr));
    EXPECT_EQ(greek, '\0');
}

TEST(GridRules, GrossLessDeductions)
{
    NetPayProposal p = proposeNetPay("1000", "250,5");
    EXPECT_EQ(p.net, "749,5");
    EXPECT_FALSE(p.message);
    EXPECT_EQ(proposeNetPay("1000", "200").net, "800");
    EXPECT_EQ(proposeNetPay("1000", "1000").net, "0");
    EXPECT_EQ(proposeNetPay("0,3", "0,1").net, "0,2");
    EXPECT_EQ(proposeNetPay("10,555", "0").net, "10,555");  // the store rounds it later
}

TEST(GridRules, EmptyOrUnreadableCountsAsZero)
{
    EXPECT_EQ(proposeNetPay("", "").net, "0");
    EXPECT_EQ(proposeNetPay("1500", "").net, "1500");
    EXPECT_EQ(proposeNetPay("1500", "12.5").net, "1500");
    EXPECT_EQ(proposeNetPay("abc", "0").net, "0");
    EXPECT_EQ(proposeNetPay(",5", "").net, "0,5");
}

TEST(GridRules, NegativeGivesTheNoticeAndZero)
{
    NetPayProposal p = proposeNetPay("1000", "1200");
    EXPECT_EQ(p.net, "0");
    ASSERT_TRUE(p.message);
    EXPECT_EQ(*p.message, G("Οι Καθαρές Αποδοχές βγαίνουν αρνητικές. Ελέγξτε τα ποσά των διάφορων κρατήσεων "
                            "καθώς και τις Ακαθάριστες αποδοχές"));
    EXPECT_TRUE(proposeNetPay("", "0,01").message);
}

TEST(GridRules, ShortestGeneralForm)
{
    auto text = [](const char* s) { return generalDecimalText(Amount::parse(s)); };
    EXPECT_EQ(text("9999999999"), "9999999999");
    EXPECT_EQ(text("0,0005"), "0,0005");
    EXPECT_EQ(text("-12,50"), "-12,5");
    // Fifteen significant digits at most, then the exponent form.
    EXPECT_EQ(text("12345678901,2345"), "12345678901,2345");
    EXPECT_EQ(text("123456789012,3456"), "123456789012,346");
    EXPECT_EQ(text("999999999999999"), "999999999999999");
    EXPECT_EQ(text("1E15"), "1E15");
    EXPECT_EQ(text("1,5E15"), "1,5E15");
}

TEST(GridRules, TwentyColumnsOverTheVisibleFields)
{
    const auto& columns = detailGridColumns();
    std::set<int> fields;
    for (const GridColumn& c : columns) fields.insert(c.field);
    EXPECT_EQ(fields.size(), 20u);
    EXPECT_FALSE(fields.count(detail::RecordType) || fields.count(detail::FILLER) || fields.count(detail::FILLER2));
    EXPECT_EQ(columns[TypeIncColumn].field, detail::TypeInc);
    EXPECT_EQ(columns[AkaIncColumn].field, detail::AkaInc);
    EXPECT_EQ(columns[KatharesColumn].field, detail::Kathares);
    EXPECT_EQ(columnTitle(7), "TK");
    EXPECT_EQ(columnTitle(12), G("ΚΡΑΤΗΣΕΙΣ  (ΕΚΤΟΣ ΦΟΡΟΥ) (*)"));
    EXPECT_EQ(columnTitle(13), G("ΚΑΘΑΡΕΣ ΑΠΟΔΟΧΕΣ   (*)"));
    int amounts = 0, digits = 0;
    for (const GridColumn& c : columns) {
        amounts += c.filter == KeyFilterKind::Amount;
        digits += c.filter == KeyFilterKind::Digits;
        EXPECT_EQ(c.filter == KeyFilterKind::Amount, detail::isAmount(c.field)) << c.field;
    }
    EXPECT_EQ(amounts, 9);
    EXPECT_EQ(digits, 3);
}

}  // namespace
}  // namespace edlt
