// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/XlsxSheet.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/import/BlockBuilder.h"
#include "core/import/CellPipeline.h"
#include "core/import/CellText.h"
#include "core/import/RowSegments.h"
#include "core/import/Sheet.h"
#include "core/import/StringPool.h"
#include "core/import/XlsxText.h"
#include "core/import/XmlStream.h"
#include "core/import/ZipArchive.h"

namespace edlt::sheet {
namespace {

std::atomic<uint64_t> segmentedSheetBytes = XlsxSegmenting{}.minSheetBytes;
std::atomic<size_t> segmentBytes = XlsxSegmenting{}.segmentBytes;
std::atomic<uint64_t> readInSegments = 0;

// The text formatNumber(parseNumber(v)) gives, without the round trip through a double, for
// the common whole cents: an optional minus, up to 13 digits without leading zeros, and up
// to two decimals. nullopt for anything else.
std::optional<std::string> plainDecimalText(std::string_view v)
{
    const bool negative = !v.empty() && v[0] == '-';
    if (negative) v.remove_prefix(1);
    const size_t point = std::min(v.find('.'), v.size());
    const std::string_view whole = v.substr(0, point);
    std::string_view decimals = point < v.size() ? v.substr(point + 1) : std::string_view();
    auto digits = [](std::string_view d) {
        return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > 13 || (whole.size() > 1 && whole[0] == '0') || !digits(whole))
        return std::nullopt;
    if ((point < v.size() && decimals.empty()) || decimals.size() > 2 || !digits(decimals)) return std::nullopt;
    while (!decimals.empty() && decimals.back() == '0') decimals.remove_suffix(1);
    if (whole == "0" && decimals.empty()) return std::string("0");
    std::string out = negative ? "-" : "";
    out.append(whole);
    if (!decimals.empty()) out.append(",").append(decimals);
    return out;
}

enum class CellType : uint8_t { Number, Shared, String, Error, Boolean, Date, Inline, Other, Dimension };

CellType cellType(const char* t)
{
    if (!t) return CellType::Number;
    const std::string_view type(t);
    if (type == "n") return CellType::Number;
    if (type == "s") return CellType::Shared;
    if (type == "str") return CellType::String;
    if (type == "e") return CellType::Error;
    if (type == "b") return CellType::Boolean;
    if (type == "d") return CellType::Date;
    if (type == "inlineStr") return CellType::Inline;
    return CellType::Other;
}

std::string_view trimmed(std::string_view text)
{
    const size_t b = text.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return {};
    return text.substr(b, text.find_last_not_of(" \t\r\n") - b + 1);
}

// A cell of a used column as the parser met it (or, as a Dimension, the declared size in
// row and col), its text in the bytes of its batch.
struct CellEvent {
    size_t row, col;
    CellType type;
    bool hasValue, hasFormula, cut;
    size_t offset, length;
};

// Where a handler's cells go: the storing thread, a segment's list, or the block itself.
class CellSink {
public:
    virtual ~CellSink() = default;
    virtual void add(CellEvent cell, std::string_view text) = 0;
};

// Turns the cells into the block's texts.
class CellStore {
public:
    CellStore(BlockBuilder& block, const StringPool& strings) : block_(block), strings_(strings) {}

    void store(const CellEvent& cell, std::string_view text)
    {
        const size_t row = cell.row, col = cell.col;
        switch (cell.type) {
        case CellType::Dimension: return block_.reserve(row, col);
        case CellType::Inline: return block_.setUtf8(row, col, decodeEscapes(std::string(text)), cell.cut);
        default: break;
        }
        if (!cell.hasValue) {
            // A formula written by a script that never computed it, or styling only.
            if (cell.hasFormula) block_.setFormulaWithoutValue(row, col);
            else
                BlockBuilder::checkPosition(row, col);
            return;
        }
        switch (cell.type) {
        case CellType::Shared: {
            const std::string_view index = trimmed(text);
            size_t i = 0;
            if (index.empty() || index.size() > 10) fail(SheetFault::Corrupt);
            for (char c : index) {
                if (c < '0' || c > '9') fail(SheetFault::Corrupt);
                i = i * 10 + static_cast<size_t>(c - '0');
            }
            if (i >= strings_.size()) fail(SheetFault::Corrupt);
            return strings_.setCell(block_, row, col, i);
        }
        case CellType::String:
        case CellType::Error: return block_.setUtf8(row, col, decodeEscapes(std::string(text)), cell.cut);
        case CellType::Boolean: {
            const std::string_view v = trimmed(text);
            auto number = parseNumber(v);
            if (v.empty()) block_.setText(row, col, {});
            else if (!number)
                fail(SheetFault::Corrupt);
            else
                block_.setText(row, col, *number != 0 ? "TRUE" : "FALSE");
            return;
        }
        case CellType::Date: {
            const std::string_view v = trimmed(text);
            auto serial = parseIsoDateTime(v);
            if (!serial && v.size() > 8 && v[0] == 'T') serial = parseClockTime(v.substr(1));
            if (serial) block_.setText(row, col, formatNumber(*serial));
            else
                block_.setUtf8(row, col, v);
            return;
        }
        case CellType::Number: {
            const std::string_view v = trimmed(text);
            if (v.empty()) {
                // openpyxl writes a formula it cannot compute with an empty value.
                if (cell.hasFormula) block_.setFormulaWithoutValue(row, col);
                else
                    block_.setText(row, col, {});
                return;
            }
            if (auto plain = plainDecimalText(v)) return block_.setCleanText(row, col, *plain);
            auto number = parseNumber(v);
            if (!number) fail(SheetFault::Corrupt);
            return block_.setCleanText(row, col, formatNumber(*number));
        }
        default: fail(SheetFault::Corrupt);
        }
    }

private:
    BlockBuilder& block_;
    const StringPool& strings_;
};

class SheetHandler : public XmlHandler {
public:
    // The row and column a cell without a reference would follow.
    struct Position {
        size_t row = 0, col = 0;
    };

    SheetHandler(CellSink& cells, uint64_t sizeHint) : cells_(cells), sizeHint_(sizeHint) {}
    // For a segment of rows cut from the part: it starts inside sheetData, and a row
    // without its number would need the rows before it.
    static SheetHandler forRows(CellSink& cells)
    {
        SheetHandler rows(cells, 0);
        rows.inData_ = rows.rowsOnly_ = true;
        return rows;
    }

    bool betweenRows() const { return inData_ && !inCell_ && !inInline_ && phonetic_ == 0; }
    Position position() const { return {row_, col_}; }
    void resume(Position p)
    {
        row_ = p.row;
        col_ = p.col;
    }

    void start(std::string_view name, const char** attrs) override
    {
        if (name == "dimension") {
            hintDimension(xmlAttr(attrs, "ref"));
        } else if (name == "sheetData") {
            inData_ = true;
        } else if (!inData_) {
            return;
        } else if (name == "row") {
            const char* r = xmlAttr(attrs, "r");
            if (!r && rowsOnly_) throw NeedsRowsBefore{};
            row_ = r ? parseIndex(r) : row_ + 1;
            col_ = 0;
        } else if (name == "c") {
            const char* r = xmlAttr(attrs, "r");
            size_t row = row_, col = col_ + 1;
            if (r && !parseCellRef(r, row, col)) fail(SheetFault::Corrupt);
            if (row == 0) row = 1;  // a cell before any row element
            cellRow_ = row;
            col_ = cellCol_ = col;
            type_ = cellType(xmlAttr(attrs, "t"));
            inCell_ = true;
            hasValue_ = false;
            hasFormula_ = false;
            value_.clear();
            inline_.clear();
        } else if (!inCell_) {
            return;
        } else if (name == "v") {
            hasValue_ = true;
            value_.begin();
        } else if (name == "f") {
            hasFormula_ = true;
        } else if (name == "is") {
            inInline_ = true;
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t" && inInline_ && phonetic_ == 0) {
            inline_.begin();
        }
    }

    void end(std::string_view name) override
    {
        if (name == "sheetData") {
            inData_ = false;
        } else if (name == "c" && inCell_) {
            inCell_ = false;
            endCell();
        } else if (name == "v") {
            value_.stop();
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "rPh" && phonetic_ > 0) {
            --phonetic_;
        } else if (name == "t") {
            inline_.stop();
        }
    }

    void text(const char* data, size_t size) override
    {
        value_.add(data, size);
        inline_.add(data, size);
    }

private:
    struct NeedsRowsBefore {};

    static size_t parseIndex(const char* text)
    {
        size_t value = 0, digits = 0;
        for (const char* p = text; *p; ++p) {
            if (*p < '0' || *p > '9' || ++digits > 9) fail(SheetFault::Corrupt);
            value = value * 10 + static_cast<size_t>(*p - '0');
        }
        if (digits == 0) fail(SheetFault::Corrupt);
        return value;
    }

    void hintDimension(const char* ref)
    {
        if (!ref) return;
        std::string_view last(ref);
        if (size_t colon = last.find(':'); colon != std::string_view::npos) last = last.substr(colon + 1);
        size_t rows = 0, cols = 0;
        if (!parseCellRef(last, rows, cols) || rows > limits::maxRows || cols > limits::maxCols) return;
        // A cell costs some ten bytes of XML at least: a rectangle far larger than the
        // part can fill is a claim, not a hint.
        if (rows * cols <= sizeHint_ / 10) cells_.add({rows, cols, CellType::Dimension, false, false, false, 0, 0}, {});
    }

    void endCell()
    {
        if (!BlockBuilder::usedColumn(cellCol_)) return BlockBuilder::checkPosition(cellRow_, cellCol_);
        const TextCapture& text = type_ == CellType::Inline ? inline_ : value_;
        cells_.add({cellRow_, cellCol_, type_, hasValue_, hasFormula_, text.cut(), 0, 0}, text.text());
    }

    CellSink& cells_;
    uint64_t sizeHint_;
    bool rowsOnly_ = false;
    bool inData_ = false, inCell_ = false, inInline_ = false, hasValue_ = false, hasFormula_ = false;
    int phonetic_ = 0;
    size_t row_ = 0, col_ = 0, cellRow_ = 0, cellCol_ = 0;
    CellType type_ = CellType::Number;
    TextCapture value_, inline_;
};

class PipelineSink : public CellSink {
public:
    explicit PipelineSink(CellPipeline<CellEvent, CellStore>& cells) : cells_(cells) {}
    void add(CellEvent cell, std::string_view text) override { cells_.add(cell, text); }

private:
    CellPipeline<CellEvent, CellStore>& cells_;
};

// A segment's cells, with their texts one after another, until their turn to be stored.
struct SegmentCells : RowSegments::Parsed, CellSink {
    void add(CellEvent cell, std::string_view text) override { batch.add(cell, text); }
    CellBatch<CellEvent> batch;
    SheetHandler::Position end;
};

// A large sheet's rows parsed on two threads (see RowSegments).
class SegmentedSheet : public RowSegments, CellSink {
public:
    SegmentedSheet(CellStore& store, uint64_t sizeHint)
        : RowSegments(segmentBytes), store_(store), sheet_(*this, sizeHint)
    {
    }

protected:
    XmlHandler& outer() override { return sheet_; }
    bool outerBetweenRows() const override { return sheet_.betweenRows(); }
    std::unique_ptr<Parsed> parse(std::string_view xml) override
    {
        auto cells = std::make_unique<SegmentCells>();
        cells->batch.cells.reserve(xml.size() / 32);
        SheetHandler rows = SheetHandler::forRows(*cells);
        parseWrapped(rows, xml);
        cells->end = rows.position();
        return cells;
    }
    void commit(Parsed& parsed) override
    {
        const CellBatch<CellEvent>& batch = static_cast<SegmentCells&>(parsed).batch;
        for (const CellEvent& cell : batch.cells) store_.store(cell, batch.textOf(cell));
    }
    void resume(const Parsed& last) override { sheet_.resume(static_cast<const SegmentCells&>(last).end); }

private:
    // The cells of the part's head and tail, stored as they come.
    void add(CellEvent cell, std::string_view text) override { store_.store(cell, text); }

    CellStore& store_;
    SheetHandler sheet_;
};

}  // namespace

void setXlsxSegmenting(XlsxSegmenting how)
{
    segmentedSheetBytes = how.minSheetBytes;
    segmentBytes = how.segmentBytes;
}

uint64_t xlsxSheetsReadInSegments()
{
    return readInSegments;
}

void readXlsxSheet(ZipArchive& zip, const std::string& part, const StringPool& strings, BlockBuilder& block)
{
    const uint64_t sizeHint = zip.sizeHint(part);
    if (sizeHint >= segmentedSheetBytes) {
        CellStore store(block, strings);
        SegmentedSheet sheet(store, sizeHint);
        if (sheet.read(zip, part)) {
            ++readInSegments;
            return;
        }
        block.restart();
    }
    CellPipeline<CellEvent, CellStore> cells(CellStore(block, strings));
    PipelineSink sink(cells);
    SheetHandler sheet(sink, sizeHint);
    cells.run([&] { parseZipEntry(zip, part, sheet); });
}

}  // namespace edlt::sheet
