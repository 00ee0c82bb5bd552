// SPDX-License-Identifier: GPL-3.0-or-later
// Long work shows its progress only once it has run past the threshold, and hides the
// please-wait window it showed itself.
#include <gtest/gtest.h>
#include <thread>

#include "core/session/LongWork.h"
#include "tests/core/session/ScriptedUI.h"

using namespace edlt;

namespace {

struct ProgressUI : test::ScriptedUI {
    void pleaseWaitProgress(size_t done, size_t total) override
    {
        log.push_back(std::to_string(done) + "/" + std::to_string(total));
    }
};

}  // namespace

TEST(LongWork, ShowsProgressOnlyPastTheThreshold)
{
    for (const bool ownWindow : {true, false}) {
        ProgressUI ui;
        {
            LongWork work(ui, ownWindow);
            std::this_thread::sleep_for(LongWork::showAfter + std::chrono::milliseconds(20));
            work.progress(1, 4);
            work.progress(2, 4);
        }
        const std::vector<std::string> shown = {"1/4", "2/4"};
        const std::vector<std::string> withWindow = {"wait", "1/4", "2/4", "/wait"};
        EXPECT_EQ(ui.log, ownWindow ? withWindow : shown);
    }
    // Work that ends at once shows nothing.
    ProgressUI ui;
    {
        LongWork work(ui, true);
    }
    EXPECT_TRUE(ui.log.empty());
}
