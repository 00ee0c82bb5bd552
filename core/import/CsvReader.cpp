// SPDX-License-Identifier: GPL-3.0-or-later
// .csv: fields separated by commas or semicolons (a Greek spreadsheet saves with
// semicolons, its decimal separator being the comma), quoted as RFC 4180 says, in UTF-8
// (with or without its byte order mark) or, when the bytes are no valid UTF-8, in
// Windows-1253. Every field is text as it stands.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "core/base/ByteStream.h"
#include "core/base/Text.h"
#include "core/import/BlockBuilder.h"
#include "core/import/CellText.h"
#include "core/import/Sheet.h"

namespace edlt::sheet {
namespace {

// The bytes Windows-1253 leaves unassigned.
const std::array<bool, 256>& unassigned()
{
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        for (int b :
             {0x81, 0x88, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x98, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0xAA, 0xD2, 0xFF})
            t[static_cast<size_t>(b)] = true;
        return t;
    }();
    return table;
}

// Counts the two candidate separators outside quotes over the first records.
char detectSeparator(std::string_view data)
{
    size_t commas = 0, semicolons = 0, records = 0;
    bool quoted = false;
    for (size_t i = 0; i < data.size() && records < 20; ++i) {
        char c = data[i];
        if (c == '"') quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == ',')
            ++commas;
        else if (c == ';')
            ++semicolons;
        else if (c == '\n' || c == '\r')
            ++records;
    }
    return semicolons > 0 && semicolons >= commas ? ';' : ',';
}

class CsvParser {
public:
    CsvParser(std::string_view data, bool utf8, char separator, BlockBuilder& block)
        : data_(data), utf8_(utf8), sep_(separator), block_(block)
    {
    }

    void run()
    {
        size_t row = 0;
        while (pos_ < data_.size()) {
            ++row;
            for (size_t col = 1;; ++col) {
                cut_ = false;
                std::string field = readField();
                if (!field.empty()) store(row, col, std::move(field));
                if (pos_ >= data_.size()) return;
                char c = data_[pos_++];
                if (c == sep_) {
                    if (pos_ >= data_.size()) return;  // a separator ends the file: one empty field
                    continue;
                }
                if (c == '\r' && pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
                break;
            }
        }
    }

private:
    bool atFieldEnd(size_t i) const
    {
        return i >= data_.size() || data_[i] == sep_ || data_[i] == '\n' || data_[i] == '\r';
    }

    std::string readField()
    {
        std::string field;
        if (pos_ < data_.size() && data_[pos_] == '"') {
            ++pos_;
            for (;;) {
                size_t quote = data_.find('"', pos_);
                // A quote that never closes would swallow every row after it.
                if (quote == std::string_view::npos) fail(SheetFault::Corrupt, "CSV");
                append(field, data_.substr(pos_, quote - pos_));
                pos_ = quote + 1;
                if (pos_ < data_.size() && data_[pos_] == '"') {
                    field += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
        }
        // Unquoted text, or what follows a closing quote before the separator (kept,
        // as spreadsheets keep it).
        size_t start = pos_;
        while (!atFieldEnd(pos_)) ++pos_;
        append(field, data_.substr(start, pos_ - start));
        return field;
    }

    // Beyond what the import can use, a field is only skipped.
    void append(std::string& field, std::string_view piece)
    {
        const size_t room = limits::capturedCellBytes - std::min(field.size(), limits::capturedCellBytes);
        if (piece.size() > room) cut_ = true;
        field.append(piece.substr(0, room));
    }

    void store(size_t row, size_t col, std::string field)
    {
        if (!BlockBuilder::usedColumn(col)) return BlockBuilder::checkPosition(row, col);
        if (utf8_) {
            block_.setUtf8(row, col, field, cut_);
            return;
        }
        bool lossy = false;
        for (char& c : field)
            if (unassigned()[static_cast<unsigned char>(c)]) {
                c = '?';
                lossy = true;
            }
        if (lossy) block_.setLossyText(row, col, field, cut_);
        else
            block_.setText(row, col, field, cut_);
    }

    std::string_view data_;
    bool utf8_;
    char sep_;
    BlockBuilder& block_;
    size_t pos_ = 0;
    bool cut_ = false;
};

}  // namespace

ReadResult readCsv(ByteSource& source)
{
    std::string data;
    char buffer[64 * 1024];
    for (;;) {
        size_t n = source.read(buffer, sizeof buffer);
        if (n == 0) break;
        // Text never holds a NUL: this is some binary file, or UTF-16 we do not read.
        if (std::memchr(buffer, '\0', n)) fail(SheetFault::NotSpreadsheet);
        if (data.size() + n > limits::maxCsvBytes) fail(SheetFault::TooLarge);
        data.append(buffer, n);
    }

    std::string_view text(data);
    bool utf8 = false;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
        utf8 = true;
        if (!isValidUtf8(text)) fail(SheetFault::Corrupt, "UTF-8");
    } else {
        utf8 = isValidUtf8(text);
    }

    char separator = 0;
    // A spreadsheet's own hint, "sep=;" alone on the first line.
    if (text.size() >= 5 && text.substr(0, 4) == "sep=" && text[4] != '\r' && text[4] != '\n' &&
        (text.size() == 5 || text[5] == '\r' || text[5] == '\n')) {
        separator = text[4];
        text.remove_prefix(5);
        if (text.substr(0, 2) == "\r\n") text.remove_prefix(2);
        else if (!text.empty())
            text.remove_prefix(1);
        if (separator == '"') fail(SheetFault::Corrupt, "CSV");
    } else {
        separator = detectSeparator(text);
    }

    BlockBuilder block;
    CsvParser(text, utf8, separator, block).run();
    return block.finish();
}

}  // namespace edlt::sheet
