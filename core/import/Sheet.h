// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The spreadsheet block an import reads: the first worksheet from A1 to its last non-empty
// cell, every cell as Windows-1253 text. One reader per file kind; readSpreadsheet picks
// the reader by the file's content, never by its name.
//
// Cell text, the same for every kind:
// - a text cell unchanged (converted to Windows-1253), an empty cell as the empty text;
// - a number as a spreadsheet's General format writes it with the Greek decimal comma:
//   at most 15 significant digits, no thousands separator, no trailing zeros
//   (1234.5 -> "1234,5", 0.1+0.2 -> "0,3"); plain notation from 0,00001 up to 15 digits
//   before the comma, otherwise "1E20", "1,5E-7" (no plus sign, no leading exponent zeros);
// - dates and times are the numbers they stand for (days since 30 December 1899, the day's
//   fraction for the time): 15 January 2024 -> "45306"; styles are never applied;
// - booleans "TRUE" / "FALSE"; error values as the spreadsheet shows them ("#DIV/0!");
// - a formula as its cached value; one the file holds no value for is marked as such;
// - a CSV field is text as typed: no number is recognised in it;
// - line breaks and tabs as one space, other control characters dropped (cleanFieldText).
// Only columns A to T are kept (the rest are never converted), and of each cell only the
// first limits::keptCellBytes bytes: no field is longer, and the cell is marked as cut.
// A sheet without any non-empty cell is the empty block, rows == cols == 0.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Error.h"

namespace edlt {
class ByteSource;
}

namespace edlt::sheet {

class ZipArchive;

struct Block {
    // Where a cell's text lies in the block's text: 8 bytes a cell instead of a string each.
    struct Span {
        uint64_t offset : 38;
        uint64_t length : 24;  // a cell is at most limits::keptCellBytes
        uint64_t cut : 1;      // the cell held more than its first length bytes
        uint64_t noValue : 1;  // a formula saved without its value
    };
    // A whole cell's span. The text stays far below 2^38 bytes and a cell below 2^24 (cut
    // at limits::keptCellBytes); the masks only tell the compiler so.
    static Span spanOf(size_t offset, size_t length)
    {
        return Span{offset & ((uint64_t{1} << 38) - 1), length & ((uint64_t{1} << 24) - 1), 0, 0};
    }
    size_t rows = 0, cols = 0;
    std::string text;         // every cell's bytes, one after another
    std::vector<Span> cells;  // row-major, rows * cols

    // 0-based row and column.
    std::string_view at(size_t r, size_t c) const
    {
        const Span s = cells[r * cols + c];
        return std::string_view(text).substr(s.offset, s.length);
    }
    bool cut(size_t r, size_t c) const { return cells[r * cols + c].cut; }
    bool formulaWithoutValue(size_t r, size_t c) const { return cells[r * cols + c].noValue; }
    // Adds the next cell in row-major order (for blocks built by hand).
    void append(std::string_view cell)
    {
        cells.push_back(spanOf(text.size(), cell.size()));
        text.append(cell);
    }
};

// A row holding a cell whose text Windows-1253 cannot hold. The row is still in the block,
// the offending characters replaced by '?'; row is 1-based, one entry per row, in row order.
struct RowProblem {
    size_t row;
    std::string message;
};

struct ReadResult {
    Block block;
    std::vector<RowProblem> problems;
};

// What kind of failure a SheetError is; the message says it in Greek.
enum class SheetFault {
    NotSpreadsheet,  // not a kind of file we read, or one its library refuses
    Corrupt,         // truncated or damaged
    TooLarge,        // past the sheet's or our reading limits
    Unsafe,          // built to attack a reader: zip bomb, DOCTYPE
    Protected,       // encrypted or password protected
    TooDeep,         // elements nested past limits::maxNesting
    Binary,          // a binary workbook (.xlsb)
    WebPage,         // a web page saved under a workbook's name
    XmlSpreadsheet,  // an XML spreadsheet (SpreadsheetML 2003) saved under a workbook's name
    NoSheet,         // a workbook without a worksheet to read
};

class SheetError : public Error {
public:
    SheetError(SheetFault fault, const std::string& cp1253Message, std::string cp1253Cause = {})
        : Error(cp1253Message), fault_(fault), cause_(std::move(cp1253Cause))
    {
    }
    SheetFault fault() const { return fault_; }
    // What the user is told on the line after the import's open-failure message.
    const std::string& cause() const { return cause_; }

private:
    SheetFault fault_;
    std::string cause_;
};

// Asked when the first worksheet is hidden, with its name (Windows-1253): true reads it,
// false the first visible worksheet instead. Without one the first worksheet is read.
using HiddenSheetQuestion = std::function<bool(const std::string& cp1253Name)>;

// Limits of a sheet (those of the spreadsheet programs) and of our reading.
namespace limits {
inline constexpr size_t maxRows = 1048576;
inline constexpr size_t maxCols = 16384;
inline constexpr size_t usedCols = 20;  // A to T; the import ignores the rest
// rows * cols of the block: every row of a full sheet, columns A to T.
inline constexpr size_t maxCells = maxRows * usedCols;
// Of a cell's text only a prefix is kept: the longest field is 18 bytes, and 64 hold any
// number a spreadsheet writes, so "not a number" and the rounding of an amount are told.
inline constexpr size_t keptCellBytes = 64;
// What a reader gathers of one cell before it cleans and cuts it (UTF-8, control
// characters included); the rest is skipped and the cell marked as cut.
inline constexpr size_t capturedCellBytes = 4096;
inline constexpr size_t maxZipEntries = 1000;
inline constexpr uint64_t maxZipBytes = uint64_t(1) << 30;  // inflated in total, counted as read
// Real payroll sheets are repetitive (a LibreOffice .ods of 2,000 rows compresses 102:1):
// a ratio is suspicious only past a size that matters.
inline constexpr uint64_t ratioFreeBytes = uint64_t(100) << 20;
inline constexpr uint64_t maxRatio = 1000;
inline constexpr size_t maxCsvBytes = size_t(512) << 20;
// Open elements in an XML part: a real sheet needs about ten, and expat keeps some 140
// bytes for each until it closes.
inline constexpr size_t maxNesting = 256;
}  // namespace limits

// Detects the kind by content and reads the first worksheet. Throws SheetError for
// anything that is not a readable spreadsheet, whatever went wrong.
ReadResult readSpreadsheet(const std::filesystem::path& path, const HiddenSheetQuestion& askHidden = {});

// The readers, for callers and tests that know the kind.
ReadResult readXlsx(ZipArchive& zip, const HiddenSheetQuestion& askHidden = {});
// How .xlsx sheet parts are cut to be parsed on two threads: parts that may inflate to
// minSheetBytes or more, in segments of about segmentBytes. Tests and the fuzzer make
// both small, so that small sheets take that way too.
struct XlsxSegmenting {
    uint64_t minSheetBytes = uint64_t(2) << 20;
    size_t segmentBytes = size_t(1) << 20;
};
void setXlsxSegmenting(XlsxSegmenting how);
// How many sheet parts have been read in segments (the others by one parser), for tests.
uint64_t xlsxSheetsReadInSegments();
ReadResult readOds(ZipArchive& zip, const HiddenSheetQuestion& askHidden = {});
ReadResult readXls(const std::filesystem::path& path, const HiddenSheetQuestion& askHidden = {});
ReadResult readXlsMemory(std::string_view bytes, const HiddenSheetQuestion& askHidden = {});
ReadResult readCsv(ByteSource& source);

}  // namespace edlt::sheet
