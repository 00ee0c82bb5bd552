// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Work that may take a while (Open, import, Save As) tells how far it got; once it has run
// longer than about 0.3 s the please-wait window shows that as a bar. Reports cost a look
// at the clock, so loops report every few thousand items or every block of a file.
#include <chrono>
#include <cstddef>

#include "core/base/ByteStream.h"
#include "core/session/UserInterface.h"

namespace edlt {

class LongWork {
public:
    // ownWindow: the work shows the please-wait window itself when it gets long (and hides it
    // at the end); otherwise the caller has it shown already.
    LongWork(UserInterface& ui, bool ownWindow);
    ~LongWork();
    LongWork(const LongWork&) = delete;
    LongWork& operator=(const LongWork&) = delete;

    void progress(size_t done, size_t total);

    static constexpr std::chrono::milliseconds showAfter{300};

private:
    UserInterface& ui_;
    bool ownWindow_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// A source that reports the bytes read so far, of total, to a LongWork.
class ProgressSource : public ByteSource {
public:
    ProgressSource(ByteSource& inner, size_t total, LongWork& work) : inner_(inner), total_(total), work_(work) {}
    size_t read(char* buffer, size_t size) override
    {
        const size_t n = inner_.read(buffer, size);
        done_ += n;
        work_.progress(done_, total_ < done_ ? done_ : total_);
        return n;
    }

private:
    ByteSource& inner_;
    size_t total_;
    size_t done_ = 0;
    LongWork& work_;
};

}  // namespace edlt
