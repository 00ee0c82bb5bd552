// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/LongWork.h"

namespace edlt {

LongWork::LongWork(UserInterface& ui, bool ownWindow) : ui_(ui), ownWindow_(ownWindow) {}

LongWork::~LongWork()
{
    if (shown_ && ownWindow_) {
        ui_.endPleaseWait();
        ui_.setHourglass(false);
    }
}

void LongWork::progress(size_t done, size_t total)
{
    if (!shown_) {
        if (std::chrono::steady_clock::now() - start_ < showAfter) return;
        shown_ = true;
        if (ownWindow_) {
            ui_.setHourglass(true);
            ui_.beginPleaseWait();
        }
    }
    ui_.pleaseWaitProgress(done, total);
}

}  // namespace edlt
