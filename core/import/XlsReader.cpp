// .xls (BIFF8 and BIFF5): libgsf opens the OLE2 container, and the cell records of the
// first worksheet are read here, formulas by the result the file saved with them, as the
// spreadsheet shows them. Only what the import uses is kept: columns A to T, and of each
// text its first limits::keptCellBytes bytes, so a crafted file costs no more than a
// real one of its size.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/base/LargeArray.h"
#include "core/store/FieldText.h"
#include "core/import/BlockBuilder.h"
#include "core/import/CellText.h"
#include "core/import/Sheet.h"
#include "core/import/StringPool.h"

namespace edlt::sheet {
namespace {

// The most cell text reserved ahead, whatever the stream's size.
constexpr size_t maxTextHint = size_t(64) << 20;

enum Record : uint16_t {
    BOF = 0x0809, EOF_ = 0x000A, FILEPASS = 0x002F, CODEPAGE = 0x0042, BOUNDSHEET = 0x0085, SST = 0x00FC,
    CONTINUE = 0x003C, LABELSST = 0x00FD, LABEL = 0x0204, RSTRING = 0x00D6, NUMBER = 0x0203, RK = 0x027E,
    MULRK = 0x00BD, FORMULA = 0x0006, STRING = 0x0207, BOOLERR = 0x0205, DIMENSION = 0x0200,
};

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
double f64(const uint8_t* p)
{
    uint64_t bits = uint64_t(u32(p)) | uint64_t(u32(p + 4)) << 32;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

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

// Unicode code points of the Basic Multilingual Plane to Windows-1253, 0 where it has none.
class Cp1253Table {
public:
    Cp1253Table()
    {
        for (int b = 1; b < 0x80; ++b) table_[static_cast<size_t>(b)] = static_cast<uint8_t>(b);
        for (int b = 0x80; b < 0x100; ++b) {
            std::string utf8 = cp1253::toUtf8(std::string(1, static_cast<char>(b)));
            if (utf8.size() < 2) continue;
            const auto* u = reinterpret_cast<const uint8_t*>(utf8.data());
            uint32_t cp = utf8.size() == 2 ? (u[0] & 0x1Fu) << 6 | (u[1] & 0x3Fu)
                                           : (u[0] & 0x0Fu) << 12 | (u[1] & 0x3Fu) << 6 | (u[2] & 0x3Fu);
            if (cp != 0xFFFD) {
                table_[cp] = static_cast<uint8_t>(b);
                codePoints_[static_cast<size_t>(b - 0x80)] = static_cast<uint16_t>(cp);
            }
        }
    }
    // The code point of a Windows-1253 byte; U+FFFF for the unassigned ones.
    uint32_t codePoint(uint8_t b) const { return b < 0x80 ? b : codePoints_[b - 0x80] ? codePoints_[b - 0x80] : 0xFFFF; }
    // The byte for a code point; lossy is set and '?' returned where there is none.
    char byte(uint32_t cp, bool& lossy) const
    {
        uint8_t b = cp < table_.size() ? table_[cp] : 0;
        if (cp == 0) return 0;  // dropped later as a control character
        if (b == 0) {
            lossy = true;
            return '?';
        }
        return static_cast<char>(b);
    }

private:
    std::array<uint8_t, 0x10000> table_{};
    std::array<uint16_t, 0x80> codePoints_{};
};

const Cp1253Table& cp1253Table()
{
    static const Cp1253Table table;
    return table;
}

// A text as the import keeps it: Windows-1253, cleaned, cut, with what happened on the way.
struct Text {
    std::string bytes;
    bool lossy = false, cut = false;
};

// Gathers characters of one string, up to what a reader gathers of a cell; a surrogate
// pair is one character outside the code page.
class TextBuilder {
public:
    void unit(uint16_t u)
    {
        if (u >= 0xDC00 && u < 0xE000) return;  // the second half of a pair: already counted
        if (raw_.size() >= limits::capturedCellBytes) {
            text_.cut = true;
            return;
        }
        raw_ += cp1253Table().byte(u >= 0xD800 && u < 0xDC00 ? 0xFFFF : u, text_.lossy);
    }
    void byte(uint8_t b) { unit(b); }
    Text finish()
    {
        text_.bytes = BlockBuilder::keep(raw_, text_.cut);
        return std::move(text_);
    }

private:
    std::string raw_;
    Text text_;
};

// A BIFF5 byte string in the workbook's code page.
Text codePageText(const uint8_t* data, size_t size, uint16_t codePage)
{
    TextBuilder out;
    if (codePage == 1253) {
        for (size_t i = 0; i < size; ++i) out.unit(static_cast<uint16_t>(cp1253Table().codePoint(data[i])));  // the code page is all BMP
        return out.finish();
    }
    std::string from = codePage == 1200 || codePage == 0 || codePage == 367 ? "CP1252" : "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-16LE", from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-16LE", "CP1252");
    for (size_t i = 0; i < size; ++i) {
        char in = static_cast<char>(data[i]);
        char outBuf[8];
        char* src = &in;
        size_t srcLeft = 1, dstLeft = sizeof outBuf;
        char* dst = outBuf;
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || dstLeft != 6) {
            out.unit(0xFFFF);
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else {
            out.unit(u16(reinterpret_cast<const uint8_t*>(outBuf)));
        }
    }
    iconv_close(cd);
    return out.finish();
}

struct RecordView {
    uint16_t type = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// The records of the workbook stream, one after another from a position.
class Records {
public:
    explicit Records(std::string_view stream) : stream_(stream) {}
    void seek(size_t pos) { pos_ = pos; }
    size_t position() const { return pos_; }
    bool next(RecordView& r)
    {
        if (pos_ + 4 > stream_.size()) return false;
        const auto* p = reinterpret_cast<const uint8_t*>(stream_.data()) + pos_;
        r.type = u16(p);
        r.size = u16(p + 2);
        if (pos_ + 4 + r.size > stream_.size()) fail(SheetFault::Corrupt);
        r.data = p + 4;
        pos_ += 4 + r.size;
        return true;
    }
    // The CONTINUE record that follows, if any.
    bool nextContinue(RecordView& r)
    {
        size_t saved = pos_;
        if (next(r) && r.type == CONTINUE) return true;
        pos_ = saved;
        return false;
    }

private:
    std::string_view stream_;
    size_t pos_ = 0;
};

// A record's data and its CONTINUE records read as one, for BIFF8 strings: where the
// characters of a string cross into a CONTINUE, that record starts with a new flags byte.
class ContinuedReader {
public:
    ContinuedReader(Records& records, const RecordView& first) : records_(records), cur_(first) {}

    bool atEnd()
    {
        while (pos_ == cur_.size)
            if (!advance()) return true;
        return false;
    }
    uint8_t byte()
    {
        if (atEnd()) fail(SheetFault::Corrupt);
        return cur_.data[pos_++];
    }
    uint16_t word() { return static_cast<uint16_t>(byte() | byte() << 8); }
    uint32_t dword() { return uint32_t(word()) | uint32_t(word()) << 16; }
    void skip(uint64_t n)
    {
        while (n > 0) {
            if (atEnd()) fail(SheetFault::Corrupt);
            size_t step = static_cast<size_t>(std::min<uint64_t>(n, cur_.size - pos_));
            pos_ += step;
            n -= step;
        }
    }
    // An XLUnicodeRichExtendedString: length (u16, or u8 when shortLength), flags, runs,
    // phonetic data, characters.
    Text unicodeString(bool shortLength = false)
    {
        uint32_t count = shortLength ? byte() : word();
        uint8_t flags = byte();
        uint16_t runs = (flags & 0x08) ? word() : 0;
        uint32_t extra = (flags & 0x04) ? dword() : 0;
        bool wide = flags & 0x01;
        TextBuilder text;
        while (count > 0) {
            if (pos_ == cur_.size) {
                if (!advance()) fail(SheetFault::Corrupt);
                wide = byte() & 0x01;  // characters go on in a CONTINUE, with their own width
                continue;
            }
            size_t avail = (cur_.size - pos_) / (wide ? 2 : 1);
            if (avail == 0) fail(SheetFault::Corrupt);
            size_t n = std::min<size_t>(avail, count);
            const uint8_t* p = cur_.data + pos_;
            if (wide)
                for (size_t i = 0; i < n; ++i) text.unit(u16(p + 2 * i));
            else
                for (size_t i = 0; i < n; ++i) text.byte(p[i]);
            pos_ += n * (wide ? 2 : 1);
            count -= static_cast<uint32_t>(n);
        }
        skip(uint64_t(runs) * 4 + extra);
        return text.finish();
    }

private:
    bool advance()
    {
        RecordView next;
        if (!records_.nextContinue(next)) return false;
        cur_ = next;
        pos_ = 0;
        return true;
    }

    Records& records_;
    RecordView cur_;
    size_t pos_ = 0;
};

// The workbook's shared strings (SST with its CONTINUE records).
class SharedStrings : public StringPool {
public:
    void read(ContinuedReader in, size_t streamSize)
    {
        in.dword();  // total count
        uint32_t unique = in.dword();
        // Each string costs three bytes at least: a count that the stream cannot hold is a claim.
        size_t hint = std::min<size_t>(unique, streamSize / 3);
        reserve(hint);
        for (uint32_t i = 0; i < unique && !in.atEnd(); ++i) {
            Text t = in.unicodeString();
            add(t.bytes, t.lossy, t.cut);
        }
    }
};

class WorkbookReader {
public:
    explicit WorkbookReader(std::string_view stream) : stream_(stream), records_(stream) {}

    ReadResult read()
    {
        RecordView r;
        if (!records_.next(r) || r.type != BOF || r.size < 4) fail(SheetFault::NotSpreadsheet);
        const uint16_t version = u16(r.data);
        if (version == 0x0600) biff8_ = true;
        else if (version != 0x0500) fail(SheetFault::NotSpreadsheet, "BIFF");
        readGlobals();
        if (!sheetFound_ || sheetStart_ >= stream_.size()) fail(SheetFault::NotSpreadsheet);
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
                // The first worksheet in tab order (charts and macro sheets are no worksheets).
                if (r.size >= 6 && !sheetFound_ && r.data[5] == 0) {
                    sheetStart_ = u32(r.data);
                    sheetFound_ = true;
                }
                break;
            case SST:
                if (biff8_) strings_.read(ContinuedReader(records_, r), stream_.size());
                break;
            default: break;
            }
        }
        fail(SheetFault::Corrupt);  // no end of the globals
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
            else if (r.type == EOF_) --depth;
            else if (depth == 1) cellRecord(r);
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
        else block_.setCleanText(row, col, t.bytes, t.cut);
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
        if (pendingString_ && r.type != STRING && r.type != CONTINUE && r.type != 0x04BC && r.type != 0x0221
            && r.type != 0x0236) {
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
            else BlockBuilder::checkPosition(row, col);
            break;
        case NUMBER:
            if (position(r, 14, row, col)) setNumber(row, col, f64(r.data + 6));
            else BlockBuilder::checkPosition(row, col);
            break;
        case RK:
            if (position(r, 10, row, col)) setRk(row, col, u32(r.data + 6));
            else BlockBuilder::checkPosition(row, col);
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
            else BlockBuilder::checkPosition(row, col);
            break;
        case FORMULA:
            if (position(r, 14, row, col)) formula(r, row, col);
            else BlockBuilder::checkPosition(row, col);
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
            return ContinuedReader(records_, rest).unicodeString();
        }
        if (r.size < offset + 2) fail(SheetFault::Corrupt);
        size_t length = u16(r.data + offset);
        if (r.size < offset + 2 + length) fail(SheetFault::Corrupt);
        return codePageText(r.data + offset + 2, length, codePage_);
    }

    Text stringRecord(const RecordView& r) { return labelText(r, 0); }

    std::string_view stream_;
    Records records_;
    SharedStrings strings_;
    BlockBuilder block_;
    NumberText numbers_;
    bool biff8_ = false, sheetFound_ = false, pendingString_ = false;
    uint16_t codePage_ = 1252;
    size_t sheetStart_ = 0, pendingRow_ = 0, pendingCol_ = 0;
};

// libgsf reports a damaged container on stderr as well as by its result; the user gets
// our message instead.
void quietLibgsf()
{
    static const bool quiet = [] {
        for (const char* domain : {"libgsf", "libgsf:msole", "GLib-GObject"})
            g_log_set_handler(domain, GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
                              [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        return true;
    }();
    (void)quiet;
}

struct Stream {
    LargeArray<char> bytes;  // in huge pages where the kernel can: megabytes, read once
    std::string_view view() const { return {bytes.begin(), bytes.size()}; }
};

// The workbook stream of an OLE2 file, whole.
Stream workbookStream(GsfInput* input)
{
    quietLibgsf();
    struct Unref {
        void operator()(void* p) const
        {
            if (p) g_object_unref(p);
        }
    };
    std::unique_ptr<GsfInput, Unref> owned(input);
    if (!input) fail(SheetFault::NotSpreadsheet);
    const gsf_off_t containerSize = gsf_input_size(input);
    std::unique_ptr<GsfInfile, Unref> ole(gsf_infile_msole_new(input, nullptr));
    if (!ole) fail(SheetFault::NotSpreadsheet);
    std::unique_ptr<GsfInput, Unref> book(gsf_infile_child_by_name(ole.get(), "Workbook"));
    if (!book) book.reset(gsf_infile_child_by_name(ole.get(), "Book"));
    if (!book) {
        if (std::unique_ptr<GsfInput, Unref> encrypted(gsf_infile_child_by_name(ole.get(), "EncryptedPackage"));
            encrypted)
            fail(SheetFault::Protected);
        fail(SheetFault::NotSpreadsheet);
    }
    const gsf_off_t size = gsf_input_size(book.get());
    // A stream cannot hold more than its container: a larger claim is a damaged file.
    if (size < 0 || size > containerSize) fail(SheetFault::Corrupt);
    Stream stream;
    stream.bytes.assignZeroed(static_cast<size_t>(size));
    if (size > 0 && !gsf_input_read(book.get(), stream.bytes.size(), reinterpret_cast<guint8*>(&stream.bytes[0])))
        fail(SheetFault::Corrupt);
    return stream;
}

ReadResult readStream(std::string_view stream) { return WorkbookReader(stream).read(); }

}  // namespace

ReadResult readXls(const std::filesystem::path& path)
{
    return readStream(workbookStream(gsf_input_mmap_new(path.c_str(), nullptr)).view());
}

ReadResult readXlsMemory(std::string_view bytes)
{
    return readStream(workbookStream(
        gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()), static_cast<gsf_off_t>(bytes.size()), false))
                          .view());
}

}  // namespace edlt::sheet
