// SPDX-License-Identifier: GPL-3.0-or-later
// Stores, inserts and deletes reach the workspace through the journal: a kill between any
// two of them recovers exactly the lines stored, and the running totals always equal a
// recount of the lines.
#include <random>
#include <set>

#include "core/base/Amount.h"
#include "core/rules/CheckAFM.h"
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;

class EditsUnderKillsTest : public SessionTest {};

namespace {

// The nine boxes and the counter label, summed afresh from the lines.
std::pair<TotalsTexts, std::string> recount(const std::vector<std::string>& lines)
{
    // Edit1..Edit9 for the amount fields in record order.
    constexpr std::array<int, 9> box = {0, 4, 5, 1, 2, 3, 6, 7, 8};
    std::array<Amount, 9> sums{};
    std::set<std::string> afms;
    for (const std::string& line : lines) {
        auto value = [&](detail::Field f) {
            std::string v = line.substr(static_cast<size_t>(detail::fields[f].offset),
                                        static_cast<size_t>(detail::fields[f].width));
            return v.substr(0, v.find_last_not_of(' ') + 1);
        };
        afms.insert(value(detail::AFM));
        if (value(detail::TypeInc) == "15" || value(detail::TypeInc) == "16") continue;
        for (size_t i = 0; i < 9; ++i) sums[i] = sums[i] + Amount::parse(value(detail::amountFields[i]));
    }
    TotalsTexts t;
    for (size_t i = 0; i < 9; ++i) t[static_cast<size_t>(box[i])] = sums[i].text();
    return {t, std::to_string(lines.size()) + G(" Εγγραφές-") + std::to_string(afms.size()) + G(" μοναδικοί ΑΦΜ")};
}

std::string validAfm(int n)
{
    std::string stem = std::to_string(10000000 + n);
    for (char c = '0'; c <= '9'; ++c)
        if (checkAFM(stem + c)) return stem + c;
    return {};
}

}  // namespace

TEST_F(EditsUnderKillsTest, StoresAndDeletesSurviveKillsAndTotalsEqualARecount)
{
    journalEntryLimit = 9;  // compactions happen among the stores too
    session = makeSession();
    ASSERT_TRUE(session->start());
    newDeclaration();
    std::mt19937 rng(16);
    std::vector<std::string> model;
    int nextAfm = 0, kills = 0;
    for (int step = 0; step < 600; ++step) {
        FixedWidthTable& ds = session->detailStore();
        const long count = ds.countRecords();
        const auto what = static_cast<unsigned>(rng() % 20);
        const long at = count == 0 ? 0 : static_cast<long>(rng() % static_cast<unsigned>(count));
        if (what < 8 || count == 0) {
            static const char* types[] = {"10", "11", "15", "16"};
            const int gross = static_cast<int>(rng() % 100000),
                      cut = gross == 0 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(gross));
            if (at < count && rng() % 2) {
                ds.setRecordNumber(at + 1);
                ds.insert();
            } else {
                ds.appendNew();
            }
            for (auto [f, v] : Fields{{detail::AFM, validAfm(nextAfm++ % 50)},
                                      {detail::TypeInc, types[rng() % 4]},
                                      {detail::AkaInc, Amount::fromCents(gross).text()},
                                      {detail::Kratiseis, Amount::fromCents(cut).text()},
                                      {detail::Kathares, Amount::fromCents(gross - cut).text()}})
                ds.setFieldValue(static_cast<int>(f), v);
            if (session->postPendingEdit())
                model.insert(model.begin() + ds.recordNumber() - 1,
                             std::string(ds.lineAt(static_cast<size_t>(ds.recordNumber() - 1))));
            else
                ds.Cancel();  // the pair was taken: the duplicate message
        } else if (what < 13) {
            ds.setRecordNumber(at + 1);
            ds.edit();
            const Amount delta = Amount::fromCents(static_cast<int64_t>(rng() % 1000));
            ds.setFieldValue("AkaInc", (Amount::parse(ds.fieldValue("AkaInc")) + delta).text());
            ds.setFieldValue("Kathares", (Amount::parse(ds.fieldValue("Kathares")) + delta).text());
            ASSERT_TRUE(session->postPendingEdit()) << step;
            model[static_cast<size_t>(at)] = ds.lineAt(static_cast<size_t>(at));
        } else if (what < 18) {
            ds.setRecordNumber(at + 1);
            ds.deleteRecord();
            model.erase(model.begin() + at);
        } else {
            session.reset();  // killed: nothing closed, nothing folded
            ++kills;
            ui.clear();
            ui.answers = {Answer::Yes};
            session = makeSession();
            ASSERT_TRUE(session->start());
        }
        ui.clear();
        std::vector<std::string> stored;
        for (long i = 0; i < session->detailStore().countRecords(); ++i)
            stored.emplace_back(session->detailStore().lineAt(static_cast<size_t>(i)));
        ASSERT_EQ(stored, model) << step;
        ASSERT_EQ(workspaceLines(), model) << "what a kill now would recover, step " << step;
        const auto [totals, label] = recount(model);
        ASSERT_EQ(session->totals(), totals) << step;
        ASSERT_EQ(session->recordCounterText(), label) << step;
    }
    EXPECT_GT(kills, 10);
}
