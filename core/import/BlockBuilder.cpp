// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/BlockBuilder.h"

#include <algorithm>
#include <string>

#include "core/import/CellText.h"

namespace edlt::sheet {
namespace {

bool used(const Block::Span& s)
{
    return s.length != 0 || s.cut || s.noValue;
}

}  // namespace

void BlockBuilder::reserve(size_t rows, size_t cols)
{
    if (stride_ != 0 || rows == 0 || cols == 0 || rows > limits::maxRows || cols > limits::maxCols) return;
    cols = std::min(cols, limits::usedCols);
    if (rows > limits::maxCells / cols) return;
    stride_ = cols;
    cells_.reserve(rows * cols);
}

void BlockBuilder::checkPosition(size_t row, size_t col)
{
    if (row == 0 || col == 0) fail(SheetFault::Corrupt);
    if (row > limits::maxRows || col > limits::maxCols) fail(SheetFault::TooLarge);
}

void BlockBuilder::relayout(size_t newStride)
{
    const size_t oldStride = stride_;
    if (allocatedRows_ > 0) {
        cells_.resize(allocatedRows_ * newStride);
        // From the back, so no cell is overwritten before it has moved.
        for (size_t r = allocatedRows_; r-- > 0;)
            for (size_t c = oldStride; c-- > 0;)
                if (r * newStride + c != r * oldStride + c) cells_[r * newStride + c] = cells_[r * oldStride + c];
        for (size_t r = 0; r < allocatedRows_; ++r)
            for (size_t c = oldStride; c < newStride; ++c) cells_[r * newStride + c] = Block::Span{0, 0, 0, 0};
    }
    stride_ = newStride;
}

Block::Span* BlockBuilder::slot(size_t row, size_t col)
{
    checkPosition(row, col);
    const size_t r = row - 1, c = col - 1;
    if (c >= stride_) {
        size_t needed = c + 1;
        // Exact while the block is small (the first row), then in steps of half again,
        // so a sheet whose rows widen one by one does not move everything each time.
        size_t grown = allocatedRows_ * stride_ < 4096 ? needed : std::max(needed, stride_ + stride_ / 2);
        grown = std::min(grown, limits::maxCols);
        size_t rows = std::max(allocatedRows_, row);
        if (rows > limits::maxCells / grown) grown = needed;
        if (rows > limits::maxCells / grown) fail(SheetFault::TooLarge);
        relayout(grown);
    }
    if (r >= allocatedRows_) {
        if (row > limits::maxCells / stride_) fail(SheetFault::TooLarge);
        size_t needed = row * stride_;
        cells_.resize(needed);
        allocatedRows_ = row;
    }
    return &cells_[r * stride_ + c];
}

void BlockBuilder::setUtf8(size_t row, size_t col, std::string_view utf8, bool cut)
{
    if (!usedColumn(col)) return checkPosition(row, col);  // never converted: it may hold anything
    if (utf8.size() > limits::capturedCellBytes) {
        utf8 = utf8.substr(0, limits::capturedCellBytes);
        cut = true;
    }
    bool ok = true;
    std::string text = toCp1253Lossy(utf8, ok);
    if (ok) setText(row, col, text, cut);
    else
        setLossyText(row, col, text, cut);
}

void BlockBuilder::setText(size_t row, size_t col, std::string_view cp1253, bool cut)
{
    if (!usedColumn(col)) return checkPosition(row, col);
    if (isCleanFieldText(cp1253)) return store(row, col, cp1253, cut, false);
    std::string cleaned = cleanFieldText(cp1253);
    store(row, col, cleaned, cut, false);
}

void BlockBuilder::setCleanText(size_t row, size_t col, std::string_view text, bool cut)
{
    if (!usedColumn(col)) return checkPosition(row, col);
    store(row, col, text, cut, false);
}

std::string BlockBuilder::keep(std::string_view cp1253, bool& cut)
{
    std::string kept = cleanFieldText(cp1253);
    if (kept.size() > limits::keptCellBytes) {
        kept.resize(limits::keptCellBytes);
        cut = true;
    }
    return kept;
}

void BlockBuilder::setFormulaWithoutValue(size_t row, size_t col)
{
    if (!usedColumn(col)) return checkPosition(row, col);
    store(row, col, {}, false, true);
}

void BlockBuilder::store(size_t row, size_t col, std::string_view cleaned, bool cut, bool noValue)
{
    if (cleaned.size() > limits::keptCellBytes) {
        cleaned = cleaned.substr(0, limits::keptCellBytes);
        cut = true;
    }
    if (cleaned.empty() && !cut && !noValue) {
        checkPosition(row, col);
        if (row <= allocatedRows_ && col <= stride_) cells_[(row - 1) * stride_ + col - 1] = Block::Span{0, 0, 0, 0};
        return;
    }
    Block::Span* span = slot(row, col);
    // Repeated cells (an .ods run, a column of equal values) share the bytes of the last one.
    if (std::string_view(text_).substr(last_.offset, last_.length) != cleaned) {
        last_ = Block::spanOf(text_.size(), cleaned.size());  // a cell set twice leaves its old bytes unused
        text_.append(cleaned);
    }
    *span = Block::Span{last_.offset, last_.length, cut, noValue};
}

size_t BlockBuilder::adoptText(std::string bytes)
{
    const size_t base = text_.size();
    if (text_.empty()) text_ = std::move(bytes);
    else
        text_ += bytes;
    adopted_ = text_.size();
    return base;
}

void BlockBuilder::restart()
{
    cells_.clear();
    text_.resize(adopted_);
    last_ = Block::Span{0, 0, 0, 0};
    stride_ = allocatedRows_ = 0;
    problems_.clear();
}

void BlockBuilder::setAdoptedText(size_t row, size_t col, size_t offset, size_t length, bool cut, bool lossy)
{
    if (!usedColumn(col)) return checkPosition(row, col);
    if (length == 0 && !cut) return store(row, col, {}, false, false);  // clears, as an empty text does
    const Block::Span span = Block::spanOf(offset, length);
    *slot(row, col) = Block::Span{span.offset, span.length, cut, false};
    if (lossy) problems_.try_emplace(row, unrepresentableCellMessage(col));
}

void BlockBuilder::setLossyText(size_t row, size_t col, std::string_view cp1253, bool cut)
{
    if (!usedColumn(col)) return checkPosition(row, col);
    setText(row, col, cp1253, cut);
    problems_.try_emplace(row, unrepresentableCellMessage(col));
}

ReadResult BlockBuilder::finish()
{
    size_t rows = 0, cols = 0;
    for (size_t r = 0; r < allocatedRows_; ++r) {
        const Block::Span* line = cells_.data() + r * stride_;
        for (size_t c = stride_; c > cols; --c)
            if (used(line[c - 1])) {
                cols = c;
                break;
            }
        if (rows <= r && std::any_of(line, line + stride_, used)) rows = r + 1;
    }
    ReadResult result;
    if (rows == 0) return result;
    for (size_t r = 0; r < rows; ++r)
        for (size_t c = 0; c < cols; ++c) cells_[r * cols + c] = cells_[r * stride_ + c];
    cells_.resize(rows * cols);
    result.block.rows = rows;
    result.block.cols = cols;
    result.block.cells = std::move(cells_);
    result.block.text = std::move(text_);
    for (auto& [row, message] : problems_)
        if (row <= rows) result.problems.push_back({row, std::move(message)});
    return result;
}

}  // namespace edlt::sheet
