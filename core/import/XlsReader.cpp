// SPDX-License-Identifier: GPL-3.0-or-later
// .xls (BIFF8 and BIFF5): the workbook stream comes out of the OLE2 container
// (XlsWorkbookStream), its records and texts are read as XlsRecords and XlsText say, and
// the cell records of the first worksheet are read here, formulas by the result the file saved with them, as the
// spreadsheet shows them. Only what the import uses is kept: columns A to T, and of each
// text its first limits::keptCellBytes bytes, so a crafted file costs no more than a
// real one of its size.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/import/BlockBuilder.h"
#include "core/import/CellText.h"
#include "core/import/Sheet.h"
#include "core/import/XlsRecords.h"
#include "core/import/XlsText.h"
#include "core/import/XlsWorkbookStream.h"

namespace edlt::sheet {
namespace {

using namespace xls;

// The most cell text reserved ahead, whatever the stream's size.
constexpr size_t maxTextHint = size_t(64) << 20;

double rkValue(uint32_t rk)
{
    double d;
    if (rk & 2) {
        d = static_cast<double>(static_cast<int32_t>(rk) >> 2);
    } else {
        uint64_t bits = uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&d, &bits, sizeof d);
    }
    return (rk & 1) ? d / 100 : d;
}

const char* errorText(uint8_t code)
{
    switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    default: return "#N/A";
    }
}

class WorkbookReader {
public:
    WorkbookReader(std::string_view stream, const HiddenSheetQuestion& askHidden)
        : stream_(stream), records_(stream), askHidden_(askHidden)
    {
    }

    ReadResult read()
    {
        RecordView r;
        if (!records_.next(r) || r.type != BOF || r.size < 4) fail(SheetFault::NotSpreadsheet);
        const uint16_t version = u16(r.data);
        if (version == 0x0600) biff8_ = true;
        else if (version != 0x0500)
            fail(SheetFault::NotSpreadsheet, "BIFF");
        readGlobals();
        chooseSheet();
        if (sheetStart_ >= stream_.size()) fail(SheetFault::Corrupt);
        strings_.moveInto(block_);
        // A cell's text takes about the bytes of its record: the sheet's part of the stream.
        block_.reserveText(std::min(stream_.size() - sheetStart_, maxTextHint));
        return readSheet();
    }

private:
    void readGlobals()
    {
        RecordView r;
        while (records_.next(r)) {
            switch (r.type) {
            case EOF_: return;
            case FILEPASS: fail(SheetFault::Protected);
            case CODEPAGE:
                if (r.size >= 2) codePage_ = u16(r.data);
                break;
            case BOUNDSHEET:
                // Worksheets in tab order (charts and macro sheets are no worksheets).
                if (r.size >= 6 && r.data[5] == 0) worksheets_.push_back({u32(r.data), (r.data[4] & 3) != 0, r});
                break;
            case SST:
                if (biff8_) strings_.read(ContinuedReader(records_, r), stream_.size());
                break;
            default: break;
            }
        }
        fail(SheetFault::Corrupt);  // no end of the globals
    }

    // The first worksheet, or the first visible one when it is hidden and askHidden says so.
    void chooseSheet()
    {
        if (worksheets_.empty()) fail(SheetFault::NoSheet);
        const Worksheet& first = worksheets_.front();
        sheetStart_ = first.start;
        if (!first.hidden || !askHidden_ || askHidden_(sheetName(first.record).bytes)) return;
        for (const Worksheet& sheet : worksheets_)
            if (!sheet.hidden) {
                sheetStart_ = sheet.start;
                return;
            }
        fail(SheetFault::NoSheet, {}, noVisibleSheetCause);
    }

    // BOUNDSHEET's name after its offset, state and type: a short string, BIFF8 unicode.
    Text sheetName(const RecordView& r)
    {
        if (r.size < 7) return {};
        const size_t length = r.data[6];
        if (!biff8_) return codePageText(r.data + 7, std::min(length, r.size - 7), codePage_);
        TextBuilder name;
        if (r.size < 8) return name.finish();
        const bool wide = r.data[7] & 1;
        for (size_t i = 0, at = 8; i < length && at + (wide ? 2 : 1) <= r.size; ++i, at += wide ? 2 : 1)
            name.unit(wide ? u16(r.data + at) : r.data[at]);
        return name.finish();
    }

    ReadResult readSheet()
    {
        records_.seek(sheetStart_);
        RecordView r;
        if (!records_.next(r) || r.type != BOF) fail(SheetFault::Corrupt);
        int depth = 1;
        while (depth > 0) {
            if (!records_.next(r)) break;  // a sheet cut short: what was read stands, as in the other kinds
            if (r.type == BOF) ++depth;
            else if (r.type == EOF_)
                --depth;
            else if (depth == 1)
                cellRecord(r);
        }
        if (pendingString_) block_.setFormulaWithoutValue(pendingRow_, pendingCol_);
        return block_.finish();
    }

    // Row and column (1-based) of a cell record, or false when it is too short.
    static bool position(const RecordView& r, size_t need, size_t& row, size_t& col)
    {
        if (r.size < need) fail(SheetFault::Corrupt);
        row = size_t(u16(r.data)) + 1;
        col = size_t(u16(r.data + 2)) + 1;
        return BlockBuilder::usedColumn(col);
    }

    void setText(size_t row, size_t col, const Text& t)
    {
        if (t.lossy) block_.setLossyText(row, col, t.bytes, t.cut);
        else
            block_.setCleanText(row, col, t.bytes, t.cut);
    }
    void setNumber(size_t row, size_t col, double value) { block_.setCleanText(row, col, numbers_.format(value)); }
    // An RK value that is a whole number, or one hundredth of one, is a count of cents as it stands.
    void setRk(size_t row, size_t col, uint32_t rk)
    {
        if (!(rk & 2)) return setNumber(row, col, rkValue(rk));
        const int64_t whole = static_cast<int32_t>(rk) >> 2;
        block_.setCleanText(row, col, numbers_.formatCents(rk & 1 ? whole : whole * 100));
    }

    void cellRecord(const RecordView& r)
    {
        size_t row = 0, col = 0;
        // A string result belongs to the formula just before it; any other cell ends the wait.
        if (pendingString_ && r.type != STRING && r.type != CONTINUE && r.type != 0x04BC && r.type != 0x0221 &&
            r.type != 0x0236) {
            block_.setFormulaWithoutValue(pendingRow_, pendingCol_);
            pendingString_ = false;
        }
        switch (r.type) {
        case DIMENSION:
            if (r.size >= 14 && biff8_) {
                size_t rows = u32(r.data + 4), cols = u16(r.data + 10);
                // A rectangle the stream cannot fill is a claim, not a hint.
                if (uint64_t(rows) * std::min<size_t>(cols, limits::usedCols) <= stream_.size() / 4)
                    block_.reserve(rows, cols);
            }
            break;
        case LABELSST:
            if (position(r, 10, row, col)) {
                uint32_t i = u32(r.data + 6);
                if (i >= strings_.size()) fail(SheetFault::Corrupt);
                strings_.setCell(block_, row, col, i);
            } else {
                BlockBuilder::checkPosition(row, col);
            }
            break;
        case LABEL:
        case RSTRING:
            if (position(r, 8, row, col)) setText(row, col, labelText(r, 6));
            else
                BlockBuilder::checkPosition(row, col);
            break;
        case NUMBER:
            if (position(r, 14, row, col)) setNumber(row, col, f64(r.data + 6));
            else
                BlockBuilder::checkPosition(row, col);
            break;
        case RK:
            if (position(r, 10, row, col)) setRk(row, col, u32(r.data + 6));
            else
                BlockBuilder::checkPosition(row, col);
            break;
        case MULRK: {
            position(r, 6, row, col);
            const size_t count = (r.size - 6) / 6;
            for (size_t i = 0; i < count; ++i) {
                if (!BlockBuilder::usedColumn(col + i)) {
                    BlockBuilder::checkPosition(row, col + count - 1);
                    break;
                }
                setRk(row, col + i, u32(r.data + 4 + 6 * i + 2));
            }
            break;
        }
        case BOOLERR:
            if (position(r, 8, row, col))
                block_.setText(row, col, r.data[7] ? errorText(r.data[6]) : r.data[6] ? "TRUE" : "FALSE");
            else
                BlockBuilder::checkPosition(row, col);
            break;
        case FORMULA:
            if (position(r, 14, row, col)) formula(r, row, col);
            else
                BlockBuilder::checkPosition(row, col);
            break;
        case STRING:
            if (pendingString_) {
                pendingString_ = false;
                setText(pendingRow_, pendingCol_, stringRecord(r));
            }
            break;
        default: break;
        }
    }

    // The result saved with a formula: a number, or a tag in the top two bytes.
    void formula(const RecordView& r, size_t row, size_t col)
    {
        const uint8_t* v = r.data + 6;
        if (u16(v + 6) != 0xFFFF) return setNumber(row, col, f64(v));
        switch (v[0]) {
        case 0:  // a text, in the STRING record that follows
            pendingString_ = true;
            pendingRow_ = row;
            pendingCol_ = col;
            break;
        case 1: block_.setText(row, col, v[2] ? "TRUE" : "FALSE"); break;
        case 2: block_.setText(row, col, errorText(v[2])); break;
        default: block_.setText(row, col, {}); break;  // the empty text
        }
    }

    // LABEL's text: BIFF8 a unicode string with a 16-bit length, BIFF5 bytes in the code page.
    Text labelText(const RecordView& r, size_t offset)
    {
        if (biff8_) {
            RecordView rest{r.type, r.data + offset, r.size - offset};
            ContinuedReader in(records_, rest);
            return unicodeString(in);
        }
        if (r.size < offset + 2) fail(SheetFault::Corrupt);
        size_t length = u16(r.data + offset);
        if (r.size < offset + 2 + length) fail(SheetFault::Corrupt);
        return codePageText(r.data + offset + 2, length, codePage_);
    }

    Text stringRecord(const RecordView& r) { return labelText(r, 0); }

    struct Worksheet {
        size_t start;
        bool hidden;
        RecordView record;  // its BOUNDSHEET, for the name
    };

    std::string_view stream_;
    Records records_;
    const HiddenSheetQuestion& askHidden_;
    std::vector<Worksheet> worksheets_;
    SharedStrings strings_;
    BlockBuilder block_;
    NumberText numbers_;
    bool biff8_ = false, pendingString_ = false;
    uint16_t codePage_ = 1252;
    size_t sheetStart_ = 0, pendingRow_ = 0, pendingCol_ = 0;
};

ReadResult readStream(std::string_view stream, const HiddenSheetQuestion& askHidden)
{
    return WorkbookReader(stream, askHidden).read();
}

}  // namespace

ReadResult readXls(const std::filesystem::path& path, const HiddenSheetQuestion& askHidden)
{
    return readStream(workbookStreamOfFile(path).view(), askHidden);
}

ReadResult readXlsMemory(std::string_view bytes, const HiddenSheetQuestion& askHidden)
{
    return readStream(workbookStreamInMemory(bytes).view(), askHidden);
}

}  // namespace edlt::sheet
