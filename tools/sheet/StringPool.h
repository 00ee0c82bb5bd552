#pragma once
// A workbook's shared strings, converted, cleaned and cut, packed in one buffer: a cell that
// names one by index costs a span, never a copy. Each keeps whether converting lost
// characters and whether it was cut.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace edlt::sheet {

class StringPool {
public:
    size_t size() const { return ends_.size(); }
    std::string_view text(size_t i) const
    {
        size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(pool_).substr(begin, ends_[i] - begin);
    }
    bool lossy(size_t i) const { return lossy_[i]; }
    bool cut(size_t i) const { return cut_[i]; }

protected:
    void reserve(size_t count)
    {
        ends_.reserve(count);
        lossy_.reserve(count);
        cut_.reserve(count);
    }
    void add(std::string_view bytes, bool lossy, bool cut)
    {
        pool_ += bytes;
        ends_.push_back(pool_.size());
        lossy_.push_back(lossy);
        cut_.push_back(cut);
    }

private:
    std::string pool_;
    std::vector<size_t> ends_;
    std::vector<bool> lossy_, cut_;
};

}  // namespace edlt::sheet
