// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/base/TwoCores.h"

using namespace edlt;

// Both halves run, split or in turn, and a failure of either comes out to the caller
// instead of ending the program.
TEST(TwoCores, BothHalvesRunAndEitherFailureIsRethrown)
{
    for (bool split : {false, true}) {
        int first = 0, second = 0;
        runBoth(
            split, [&] { first = 1; }, [&] { second = 2; });
        EXPECT_EQ(first + second, 3) << split;
        EXPECT_THROW(runBoth(
                         split, [] { throw std::runtime_error("first"); }, [] {}),
                     std::runtime_error);
        EXPECT_THROW(runBoth(
                         split, [] {}, [] { throw std::bad_alloc(); }),
                     std::bad_alloc);
    }
}
