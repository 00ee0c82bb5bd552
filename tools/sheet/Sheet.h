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
// - a formula as its cached value, empty when the file holds none;
// - a CSV field is text as typed: no number is recognised in it.
// A sheet without any non-empty cell is the empty block, rows == cols == 0.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "store/Error.h"

namespace edlt {
class ByteSource;
}

namespace edlt::sheet {

class ZipArchive;

struct Block {
    // Where a cell's text lies in the block's text: 8 bytes a cell instead of a string each.
    struct Span {
        uint64_t offset : 40;
        uint64_t length : 24;  // a cell is at most limits::maxCellBytes
    };
    size_t rows = 0, cols = 0;
    std::string text;         // every cell's bytes, one after another
    std::vector<Span> cells;  // row-major, rows * cols

    // 0-based row and column.
    std::string_view at(size_t r, size_t c) const
    {
        const Span s = cells[r * cols + c];
        return std::string_view(text).substr(s.offset, s.length);
    }
    // Adds the next cell in row-major order (for blocks built by hand).
    void append(std::string_view cell)
    {
        cells.push_back(Span{text.size(), cell.size()});
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
};

class SheetError : public Error {
public:
    SheetError(SheetFault fault, const std::string& cp1253Message) : Error(cp1253Message), fault_(fault) {}
    SheetFault fault() const { return fault_; }

private:
    SheetFault fault_;
};

// Limits of a sheet (those of the spreadsheet programs) and of our reading.
namespace limits {
inline constexpr size_t maxRows = 1048576;
inline constexpr size_t maxCols = 16384;
// rows * cols of the block: a stray cell far from the data must not cost gigabytes.
inline constexpr size_t maxCells = size_t(1) << 24;
inline constexpr size_t maxCellBytes = size_t(1) << 20;     // one cell's text, UTF-8
inline constexpr size_t maxZipEntries = 1000;
inline constexpr size_t maxEntryBytes = size_t(512) << 20;  // inflated, counted as read
inline constexpr size_t ratioFreeBytes = 100 * 1024;        // inflated before the ratio applies
inline constexpr size_t maxRatio = 100;
inline constexpr size_t maxCsvBytes = size_t(512) << 20;
}  // namespace limits

// Detects the kind by content and reads the first worksheet. Throws SheetError for
// anything that is not a readable spreadsheet, whatever went wrong.
ReadResult readSpreadsheet(const std::filesystem::path& path);

// The readers, for callers and tests that know the kind.
ReadResult readXlsx(ZipArchive& zip);
ReadResult readOds(ZipArchive& zip);
ReadResult readXls(const std::filesystem::path& path);  // FreeXL reads only from a path
ReadResult readCsv(ByteSource& source);

}  // namespace edlt::sheet
