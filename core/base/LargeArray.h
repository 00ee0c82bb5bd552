// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zero-filled array of plain values that the kernel may back with huge pages: a table
// probed at random across tens of megabytes (a million lines' keys) then costs a cache
// miss per probe, without a page walk and a page fault for every 4 KB besides. Large ones
// come straight from mmap, already zero, so nothing is written before the first use.
#include <cstddef>
#include <cstdlib>
#include <new>
#include <sys/mman.h>
#include <type_traits>
#include <utility>

namespace edlt {

template <class T>
class LargeArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    LargeArray() = default;
    LargeArray(LargeArray&& o) noexcept
        : data_(std::exchange(o.data_, nullptr)), size_(std::exchange(o.size_, size_t{0})),
          mapped_(std::exchange(o.mapped_, size_t{0}))
    {
    }
    LargeArray& operator=(LargeArray&& o) noexcept
    {
        std::swap(data_, o.data_);
        std::swap(size_, o.size_);
        std::swap(mapped_, o.mapped_);
        return *this;
    }
    ~LargeArray() { release(); }

    // Replaces the contents with count values whose bytes are all zero.
    void assignZeroed(size_t count)
    {
        release();
        if (count == 0) return;
        constexpr size_t huge = size_t(2) << 20;
        const size_t bytes = count * sizeof(T);
        void* p = nullptr;
        if (bytes >= huge) {
            const size_t length = (bytes + huge - 1) / huge * huge;
            p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) throw std::bad_alloc();
            ::madvise(p, length, MADV_HUGEPAGE);  // only a hint
            mapped_ = length;
        } else {
            p = std::calloc(count, sizeof(T));
            if (!p) throw std::bad_alloc();
        }
        data_ = static_cast<T*>(p);
        size_ = count;
    }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

private:
    void release()
    {
        if (mapped_ != 0) ::munmap(data_, mapped_);
        else
            std::free(data_);
        data_ = nullptr;
        size_ = mapped_ = 0;
    }

    T* data_ = nullptr;
    size_t size_ = 0;
    size_t mapped_ = 0;  // the mapping's length, when it came from mmap
};

}  // namespace edlt
