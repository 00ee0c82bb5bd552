// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Work handed from one thread to another through a few places, so that reading a large
// file or sheet uses the second core. Whatever the producer meets (a damaged stream, a limit) is
// handed on after the items before it, so the consumer sees the same items and the same
// error, at the same place, as if one thread had done both in turn.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>

namespace edlt {

template <class Item>
class Handoff {
public:
    explicit Handoff(size_t places) : places_(places) {}

    // Waits for a free place; false once the consumer has left (the item is dropped).
    bool put(Item item)
    {
        std::unique_lock lock(mutex_);
        room_.wait(lock, [&] { return left_ || items_.size() < places_; });
        if (left_) return false;
        items_.push_back(std::move(item));
        lock.unlock();
        ready_.notify_one();
        return true;
    }

    // No more items; error, if any, is what stopped the producer.
    void close(std::exception_ptr error = nullptr)
    {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
            error_ = std::move(error);
        }
        ready_.notify_all();  // every consumer, where several take turns
    }

    // The next item; nullopt after the last one, or the producer's error thrown there.
    std::optional<Item> take()
    {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return closed_ || !items_.empty(); });
        if (items_.empty()) {
            if (error_) std::rethrow_exception(error_);
            return std::nullopt;
        }
        Item item = std::move(items_.front());
        items_.pop_front();
        lock.unlock();
        room_.notify_one();
        return item;
    }

    // The consumer stops taking: the producer's put() returns false from now on.
    void leave()
    {
        {
            const std::lock_guard lock(mutex_);
            left_ = true;
            items_.clear();
        }
        room_.notify_one();
    }

private:
    const size_t places_;
    std::mutex mutex_;
    std::condition_variable ready_, room_;
    std::deque<Item> items_;
    std::exception_ptr error_;
    bool closed_ = false, left_ = false;
};

}  // namespace edlt
