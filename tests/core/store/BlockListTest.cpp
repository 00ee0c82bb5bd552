// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/BlockList.h"

#include <gtest/gtest.h>
#include <random>

using namespace edlt;

// Inserts and removals anywhere, through block splits and emptied blocks, keep the order a
// plain vector keeps.
TEST(BlockList, FollowsAVectorThroughInsertsAndRemovalsAnywhere)
{
    BlockList<int> list;
    std::vector<int> model;
    std::mt19937 rng(7);
    for (int step = 0; step < 40000; ++step) {
        // Grows to several blocks, then shrinks to nothing and grows again.
        const bool grow = model.empty() || (step / 10000 % 2 == 0 ? rng() % 4 != 0 : rng() % 4 == 0);
        const size_t at = rng() % (model.size() + (grow ? 1 : 0));
        if (grow) {
            list.insert(at, step);
            model.insert(model.begin() + static_cast<long>(at), step);
        } else {
            list.erase(at);
            model.erase(model.begin() + static_cast<long>(at));
        }
        ASSERT_EQ(list.size(), model.size());
        if (!model.empty()) {
            const size_t probe = at < model.size() ? at : 0;
            ASSERT_EQ(list[probe], model[probe]) << step;
        }
    }
    std::vector<int> walked;
    list.forEach([&](int v) { walked.push_back(v); });
    EXPECT_EQ(walked, model);
    for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(list[i], model[i]);
    // Parts of the walk over blocks split unevenly by inserts at the front.
    for (int v = 0; v < 3000; ++v) {
        list.insert(0, v);
        model.insert(model.begin(), v);
    }
    const size_t n = model.size();
    for (auto [from, to] : {std::pair<size_t, size_t>{0, n}, {1, 2}, {n / 3, 2 * n / 3}, {n / 2, n / 2}, {n - 3, n}}) {
        std::vector<int> part;
        list.forEachIn(from, to, [&](int v) { part.push_back(v); });
        EXPECT_EQ(part,
                  std::vector<int>(model.begin() + static_cast<long>(from), model.begin() + static_cast<long>(to)))
            << from;
    }
}
