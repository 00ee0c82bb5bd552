// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sequence in blocks of at most a few thousand elements, with the index of each block's
// first element: inserting or removing anywhere moves one block's elements and a number
// per block, so a line stored in the middle of a million costs what it costs among a
// thousand. Positional access is a binary search over the blocks.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <type_traits>
#include <vector>

namespace edlt {

template <class T>
class BlockList {
public:
    static constexpr size_t blockSize = 512;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void clear()
    {
        blocks_.clear();
        starts_.clear();
        size_ = 0;
    }

    const T& operator[](size_t i) const
    {
        const size_t b = blockOf(i);
        return blocks_[b][i - starts_[b]];
    }
    T& operator[](size_t i)
    {
        const size_t b = blockOf(i);
        return blocks_[b][i - starts_[b]];
    }

    void push_back(T value)
    {
        if (blocks_.empty() || blocks_.back().size() >= blockSize) {
            blocks_.emplace_back().reserve(blockSize);
            starts_.push_back(size_);
        }
        blocks_.back().push_back(std::move(value));
        ++size_;
    }

    // Puts value at position i (0..size()): it goes before the element that was there.
    void insert(size_t i, T value)
    {
        if (i >= size_) {
            push_back(std::move(value));
            return;
        }
        size_t b = blockOf(i);
        if (blocks_[b].size() >= blockSize) {
            split(b);
            if (i >= starts_[b + 1]) ++b;
        }
        std::vector<T>& block = blocks_[b];
        block.insert(block.begin() + static_cast<std::ptrdiff_t>(i - starts_[b]), std::move(value));
        for (size_t k = b + 1; k < starts_.size(); ++k) ++starts_[k];
        ++size_;
    }

    void erase(size_t i)
    {
        const size_t b = blockOf(i);
        std::vector<T>& block = blocks_[b];
        block.erase(block.begin() + static_cast<std::ptrdiff_t>(i - starts_[b]));
        for (size_t k = b + 1; k < starts_.size(); ++k) --starts_[k];
        --size_;
        if (block.empty()) {
            blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
            starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(b));
        }
    }

    // Every element in order, without a search per element; a callback that returns
    // false stops the walk.
    template <class F>
    void forEach(F&& f) const
    {
        for (const std::vector<T>& block : blocks_)
            for (const T& v : block) {
                if constexpr (std::is_same_v<decltype(f(v)), bool>) {
                    if (!f(v)) return;
                } else {
                    f(v);
                }
            }
    }

    // The elements at from..to-1 in order, one search for the first.
    template <class F>
    void forEachIn(size_t from, size_t to, F&& f) const
    {
        if (from >= to) return;
        for (size_t b = blockOf(from), i = from - starts_[b]; b < blocks_.size(); ++b, i = 0)
            for (; i < blocks_[b].size(); ++i) {
                if (starts_[b] + i >= to) return;
                f(blocks_[b][i]);
            }
    }

private:
    size_t blockOf(size_t i) const
    {
        return static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), i) - starts_.begin()) - 1;
    }

    void split(size_t b)
    {
        std::vector<T>& block = blocks_[b];
        const size_t half = block.size() / 2;
        std::vector<T> tail;
        tail.reserve(blockSize);
        std::move(block.begin() + static_cast<std::ptrdiff_t>(half), block.end(), std::back_inserter(tail));
        block.erase(block.begin() + static_cast<std::ptrdiff_t>(half), block.end());
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(tail));
        starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(b) + 1, starts_[b] + half);
    }

    std::vector<std::vector<T>> blocks_;
    std::vector<size_t> starts_;  // the position of each block's first element
    size_t size_ = 0;
};

}  // namespace edlt
