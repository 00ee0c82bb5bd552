// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A workbook's shared strings, converted, cleaned and cut, packed in one buffer that the
// block takes over: a cell that names one by index costs a span, never a copy. Each keeps
// whether converting lost characters and whether it was cut.
#include <cstddef>
#include <string>
#include <vector>

#include "core/import/BlockBuilder.h"

namespace edlt::sheet {

class StringPool {
public:
    size_t size() const { return ends_.size(); }

    // Once all strings are read: their bytes go to the block, before any cell names one.
    void moveInto(BlockBuilder& block) { base_ = block.adoptText(std::move(pool_)); }
    // A cell that names string i (below size()).
    void setCell(BlockBuilder& block, size_t row, size_t col, size_t i) const
    {
        const size_t begin = i == 0 ? 0 : ends_[i - 1];
        block.setAdoptedText(row, col, base_ + begin, ends_[i] - begin, cut_[i], lossy_[i]);
    }

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
    size_t base_ = 0;  // where the bytes start in the block's
    std::vector<size_t> ends_;
    std::vector<bool> lossy_, cut_;
};

}  // namespace edlt::sheet
