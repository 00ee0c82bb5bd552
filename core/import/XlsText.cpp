// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/XlsText.h"

#include <iconv.h>

#include <algorithm>

namespace edlt::sheet::xls {

Text codePageText(const uint8_t* data, size_t size, uint16_t codePage)
{
    TextBuilder out;
    if (codePage == 1253) {
        for (size_t i = 0; i < size; ++i) out.unit(cp1253::toUnicode(static_cast<char>(data[i])));
        return out.finish();
    }
    std::string from = codePage == 1200 || codePage == 0 || codePage == 367 ? "CP1252"
                                                                            : "CP" + std::to_string(codePage);
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

Text unicodeString(ContinuedReader& in, bool shortLength)
{
    uint32_t count = shortLength ? in.byte() : in.word();
    uint8_t flags = in.byte();
    uint16_t runs = (flags & 0x08) ? in.word() : 0;
    uint32_t extra = (flags & 0x04) ? in.dword() : 0;
    bool wide = flags & 0x01;
    TextBuilder text;
    while (count > 0) {
        const ContinuedReader::Characters got = in.characters(count, wide);
        const uint8_t* p = got.data;
        if (wide)
            for (size_t i = 0; i < got.count; ++i) text.unit(u16(p + 2 * i));
        else
            for (size_t i = 0; i < got.count; ++i) text.byte(p[i]);
        count -= static_cast<uint32_t>(got.count);
    }
    in.skip(uint64_t(runs) * 4 + extra);
    return text.finish();
}

void SharedStrings::read(ContinuedReader in, size_t streamSize)
{
    in.dword();  // total count
    uint32_t unique = in.dword();
    // Each string costs three bytes at least: a count that the stream cannot hold is a claim.
    size_t hint = std::min<size_t>(unique, streamSize / 3);
    reserve(hint);
    for (uint32_t i = 0; i < unique && !in.atEnd(); ++i) {
        Text t = unicodeString(in);
        add(t.bytes, t.lossy, t.cut);
    }
}

}  // namespace edlt::sheet::xls
