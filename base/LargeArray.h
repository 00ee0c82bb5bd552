#pragma once
// An array of plain values that the kernel may back with huge pages: a table probed at
// random across tens of megabytes (a million lines' keys) then costs a cache miss per
// probe, without a page walk and a page fault for every 4 KB besides.
#include <cstddef>
#include <cstdlib>
#include <memory>
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
    LargeArray(LargeArray&& o) noexcept : data_(std::exchange(o.data_, nullptr)), size_(std::exchange(o.size_, size_t{0})) {}
    LargeArray& operator=(LargeArray&& o) noexcept
    {
        std::swap(data_, o.data_);
        std::swap(size_, o.size_);
        return *this;
    }
    ~LargeArray() { std::free(data_); }

    // Replaces the contents with count copies of value.
    void assign(size_t count, const T& value)
    {
        std::free(data_);
        data_ = nullptr;
        size_ = 0;
        if (count == 0) return;
        constexpr size_t huge = size_t(2) << 20;
        const size_t bytes = count * sizeof(T);
        void* p = nullptr;
        if (bytes >= huge) {
            // Aligned and advised before the first touch, so the pages are huge from the start.
            p = std::aligned_alloc(huge, (bytes + huge - 1) / huge * huge);
            if (p) ::madvise(p, (bytes + huge - 1) / huge * huge, MADV_HUGEPAGE);  // only a hint
        } else {
            p = std::malloc(bytes);
        }
        if (!p) throw std::bad_alloc();
        data_ = static_cast<T*>(p);
        size_ = count;
        std::uninitialized_fill_n(data_, count, value);
    }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

private:
    T* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace edlt
