// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/reports/BackgroundPage.h"

#include <system_error>

namespace edlt {

BackgroundPage::BackgroundPage(std::function<void()> write) : write_(std::move(write))
{
    try {
        thread_ = std::thread([this] { runWrite(); });
    } catch (const std::system_error&) {
        runWrite();
    }
}

BackgroundPage::~BackgroundPage()
{
    wait();
}

void BackgroundPage::runWrite()
{
    try {
        write_();
    } catch (...) {
        failure_ = std::current_exception();
    }
    write_ = nullptr;  // what it held (the open files) is let go as soon as it is done
    finished_.store(true, std::memory_order_release);
}

bool BackgroundPage::wait()
{
    const std::lock_guard<std::mutex> lock(joining_);
    if (thread_.joinable()) thread_.join();
    return !failure_;
}

void BackgroundPage::rethrowFailure()
{
    if (!wait()) std::rethrow_exception(failure_);
}

}  // namespace edlt
