// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A page written on a thread of its own, so the print window can show its report while the
// page file is still being written. What the writing reads is its own: copies and open files.
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace edlt {

class BackgroundPage {
public:
    // Starts write on another thread; here and now when no thread can be started.
    explicit BackgroundPage(std::function<void()> write);
    // Waits for the end: the writing never outlives what it writes.
    ~BackgroundPage();
    BackgroundPage(const BackgroundPage&) = delete;
    BackgroundPage& operator=(const BackgroundPage&) = delete;

    // Whether the writing has ended, written whole or failed.
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    // Waits for the end; true when the page was written whole.
    bool wait();
    // Waits for the end and throws what the writing threw, if anything.
    void rethrowFailure();

private:
    void runWrite();

    std::function<void()> write_;
    std::exception_ptr failure_;
    std::atomic<bool> finished_{false};
    std::mutex joining_;
    std::thread thread_;
};

}  // namespace edlt
