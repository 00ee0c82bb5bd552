// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lines held in a few large blocks instead of a heap string each: a million lines are a
// few dozen allocations, and freeing them is as quick.
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace edlt {

class LineArena {
public:
    // Room for size bytes, valid until the arena is cleared or destroyed.
    char* allocate(size_t size)
    {
        if (size == 0) return current_;  // nothing to hold (and no block may exist yet)
        if (size > blockBytes - used_) {
            // A line longer than a block gets a block of its own; the current one stays open.
            if (size > blockBytes / 4) return blocks_.emplace_back(new char[size]).get();
            blocks_.emplace_back(new char[blockBytes]);
            current_ = blocks_.back().get();
            used_ = 0;
        }
        char* p = current_ + used_;
        used_ += size;
        return p;
    }
    std::string_view add(std::string_view text)
    {
        char* p = allocate(text.size());
        if (!text.empty()) std::memcpy(p, text.data(), text.size());
        return {p, text.size()};
    }
    void clear()
    {
        blocks_.clear();
        current_ = nullptr;
        used_ = blockBytes;
    }

private:
    static constexpr size_t blockBytes = size_t(4) << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* current_ = nullptr;
    size_t used_ = blockBytes;  // in the current block
};

// Lines and the arena that holds their bytes, handed over together.
struct ArenaLines {
    LineArena arena;
    std::vector<std::string_view> lines;

    void clear()
    {
        lines.clear();
        arena.clear();
    }
};

}  // namespace edlt
