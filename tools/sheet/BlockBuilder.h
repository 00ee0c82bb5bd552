#pragma once
// Gathers the cells a reader finds, in any order, into the dense block. Cells are kept
// row-major with a row stride that grows as wider rows turn up, so a sheet read in order
// costs one block and no copy; the block is cut to the last non-empty cell at the end.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sheet/Sheet.h"

namespace edlt::sheet {

class BlockBuilder {
public:
    // A hint of the block's width (a dimension the file declares), so rows need no relayout.
    // It is only a hint: it may be wrong in every direction.
    void reserve(size_t rows, size_t cols);

    // 1-based row and column. Empty texts are not materialised (they clear a cell that
    // was set before). Throws SheetError(TooLarge) past the limits.
    void setUtf8(size_t row, size_t col, std::string_view utf8);
    void setText(size_t row, size_t col, std::string cp1253);
    // A Windows-1253 text that lost characters on the way: recorded as the row's problem.
    void setLossyText(size_t row, size_t col, std::string cp1253);

    // Checks a position without setting anything, for readers that skip empty cells.
    static void checkPosition(size_t row, size_t col);

    ReadResult finish();

private:
    Block::Span* slot(size_t row, size_t col);
    void relayout(size_t newStride);

    std::vector<Block::Span> cells_;
    std::string text_;
    Block::Span last_{0, 0};  // the bytes the last text went to
    size_t stride_ = 0;
    size_t allocatedRows_ = 0;
    std::map<size_t, std::string> problems_;
};

}  // namespace edlt::sheet
