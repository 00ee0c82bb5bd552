// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of an .xls workbook: BIFF8 unicode strings (read on across CONTINUE records),
// BIFF5 byte strings in the workbook's code page, and the shared strings table (SST).
// Each becomes Windows-1253 as the import keeps it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/base/Cp1253.h"
#include "core/import/BlockBuilder.h"
#include "core/import/Sheet.h"
#include "core/import/StringPool.h"
#include "core/import/XlsRecords.h"

namespace edlt::sheet::xls {

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
        const std::optional<char> b = u >= 0xD800 && u < 0xDC00 ? std::nullopt : cp1253::fromUnicode(u);
        if (b) {
            raw_ += *b;  // U+0000 too: dropped later as a control character
        } else {
            text_.lossy = true;
            raw_ += '?';
        }
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
Text codePageText(const uint8_t* data, size_t size, uint16_t codePage);

// An XLUnicodeRichExtendedString: length (u16, or u8 when shortLength), flags, runs,
// phonetic data, characters.
Text unicodeString(ContinuedReader& in, bool shortLength = false);

// The workbook's shared strings (SST with its CONTINUE records).
class SharedStrings : public StringPool {
public:
    void read(ContinuedReader in, size_t streamSize);
};

}  // namespace edlt::sheet::xls
