// SPDX-License-Identifier: GPL-3.0-or-later
// The ledger follows the store line by line; after any mix of inserts, edits and deletes
// it must give what counting the lines afresh gives.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "core/base/Amount.h"
#include "core/rules/TotalsLedger.h"
#include "core/store/DetailRecord.h"
#include "core/store/FixedWidthTable.h"
#include "tests/TestUtil.h"

using namespace edlt;

namespace {

struct Fresh {
    std::set<std::string> afms;
    std::set<std::pair<std::string, std::string>> pairs;
    std::array<Amount, 9> sums{};
};

Fresh countAfresh(const FixedWidthTable& ds)
{
    Fresh f;
    for (size_t i = 0; i < static_cast<size_t>(ds.countRecords()); ++i) {
        const std::string afm = ds.fieldValueAt(i, detail::AFM), type = ds.fieldValueAt(i, detail::TypeInc);
        f.afms.insert(afm);
        f.pairs.insert({afm, type});
        if (type == "15" || type == "16") continue;
        for (size_t k = 0; k < 9; ++k) {
            const std::string text = ds.fieldValueAt(i, detail::amountFields[k]);
            if (!text.empty()) f.sums[k] = f.sums[k] + *Amount::tryParse(text);
        }
    }
    return f;
}

TEST(TotalsLedger, FollowsRandomStoresAndDeletesExactly)
{
    test::TempDir dir;
    test::writeFile(dir / "lines", "");
    FixedWidthTable ds{"FixedFormatDataSet1"};
    ds.setFileName(dir / "lines");
    ds.setSchema(detail::schema());
    ds.open();
    TotalsLedger ledger(ds);

    // Few tax numbers and types, so keys come and go many times and the table's slots are
    // reused; enough distinct ones over the run that it has to grow.
    std::mt19937 rng(7);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* types[] = {"01", "02", "15", "16", "17"};
    for (int step = 0; step < 3000; ++step) {
        const long count = ds.countRecords();
        const int what = count == 0 ? 0 : pick(4);
        if (what == 3) {
            ds.setRecordNumber(1 + pick(static_cast<int>(count)));
            ds.deleteRecord();
        } else {
            if (what == 0) {
                ds.appendNew();
            } else {
                ds.setRecordNumber(1 + pick(static_cast<int>(count)));
                if (what == 1) ds.edit();
                else
                    ds.insert();
            }
            const int person = step < 1500 ? pick(40) : 1000 + pick(400);
            ds.setFieldValue(detail::AFM, std::to_string(100000000 + person));
            ds.setFieldValue(detail::TypeInc, types[pick(5)]);
            ds.setFieldValue(detail::AkaInc, std::to_string(pick(100000)) + "," + std::to_string(pick(100)));
            ds.setFieldValue(detail::ForosParakr, pick(3) == 0 ? "" : std::to_string(pick(500)) + ",5");
            ASSERT_TRUE(ds.post());
        }
        if (step % 100 == 0 || step == 2999) {
            const Fresh f = countAfresh(ds);
            ASSERT_EQ(ledger.distinctTaxNumbers(), f.afms.size()) << "step " << step;
            ASSERT_EQ(ledger.hasDuplicatePairs(), f.pairs.size() < static_cast<size_t>(ds.countRecords())) << step;
            const auto sums = ledger.sums();
            for (size_t k = 0; k < 9; ++k) ASSERT_EQ(sums[k].text(), f.sums[k].text()) << "step " << step;
            for (int person : {0, 7, 39, 1000, 1399})
                for (const char* type : types) {
                    const std::string afm = std::to_string(100000000 + person);
                    ASSERT_EQ(ledger.hasPair(afm, type), f.pairs.count({afm, type}) > 0) << afm << " " << type;
                }
        }
    }
    // Deleting everything leaves no tax numbers and no pairs.
    while (ds.countRecords() > 0) ds.deleteRecord();
    EXPECT_EQ(ledger.distinctTaxNumbers(), 0u);
    EXPECT_FALSE(ledger.hasPair("100000007", "01"));
    EXPECT_FALSE(ledger.hasDuplicatePairs());
}

}  // namespace
