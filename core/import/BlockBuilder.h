// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Gathers the cells a reader finds, in any order, into the dense block. Cells are kept
// row-major with a row stride that grows as wider rows turn up, so a sheet read in order
// costs one block and no copy; the block is cut to the last non-empty cell at the end.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/FieldText.h"

#include "core/import/Sheet.h"

namespace edlt::sheet {

class BlockBuilder {
public:
    // A hint of the block's width (a dimension the file declares), so rows need no relayout.
    // It is only a hint: it may be wrong in every direction.
    void reserve(size_t rows, size_t cols);

    // 1-based row and column. The text is cleaned of control characters and cut to
    // limits::keptCellBytes (cut also says the reader skipped some of it). Empty texts
    // are not materialised (they clear a cell that was set before). Columns after T are
    // only checked. Throws SheetError(TooLarge) past the limits.
    void setUtf8(size_t row, size_t col, std::string_view utf8, bool cut = false);
    void setText(size_t row, size_t col, std::string_view cp1253, bool cut = false);
    // A text with nothing to clean, stored without looking: a number's text as a reader
    // formatted it, or a text keep() gave.
    void setCleanText(size_t row, size_t col, std::string_view text, bool cut = false);
    // Room for about this many bytes of cell text (a hint from the file's size), so the
    // texts are not copied as they grow.
    void reserveText(size_t bytes) { text_.reserve(text_.size() + bytes); }
    // Takes texts a reader gathered once for many cells (cleaned and cut already) into the
    // block's bytes; returns where they start there, for setAdoptedText.
    size_t adoptText(std::string bytes);
    // A cell whose text is already among the block's bytes, at offset: as setCleanText, or
    // as setLossyText when lossy.
    void setAdoptedText(size_t row, size_t col, size_t offset, size_t length, bool cut, bool lossy);
    // A Windows-1253 text that lost characters on the way: recorded as the row's problem.
    void setLossyText(size_t row, size_t col, std::string_view cp1253, bool cut = false);
    // A formula cell whose file holds no value for it.
    void setFormulaWithoutValue(size_t row, size_t col);
    // A text as the block keeps it: cleaned, then cut to limits::keptCellBytes (cut is set
    // when it is). For readers that set one text many times.
    static std::string keep(std::string_view cp1253, bool& cut);
    // Whether a column is one the import uses; the readers skip the others unread.
    static bool usedColumn(size_t col) { return col <= limits::usedCols; }

    // Checks a position without setting anything, for readers that skip empty cells.
    static void checkPosition(size_t row, size_t col);

    ReadResult finish();
    // Forgets every cell, keeping the adopted texts: for a reader that starts over.
    void restart();

private:
    Block::Span* slot(size_t row, size_t col);
    void store(size_t row, size_t col, std::string_view cleaned, bool cut, bool noValue);
    void relayout(size_t newStride);

    std::vector<Block::Span> cells_;
    std::string text_;
    Block::Span last_{0, 0, 0, 0};  // the bytes the last text went to
    size_t stride_ = 0;
    size_t allocatedRows_ = 0;
    std::map<size_t, std::string> problems_;
    size_t adopted_ = 0;  // bytes of text_ that adoptText gave
};

}  // namespace edlt::sheet
