// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/XlsxText.h"

#include <cstdint>

namespace edlt::sheet {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string decodeEscapes(std::string text)
{
    if (text.find("_x") == std::string::npos) return text;
    auto unitAt = [&](size_t i) -> int32_t {
        if (i + 7 > text.size() || text[i] != '_' || text[i + 1] != 'x' || text[i + 6] != '_') return -1;
        int32_t v = 0;
        for (size_t k = i + 2; k < i + 6; ++k) {
            int h = hexValue(text[k]);
            if (h < 0) return -1;
            v = v * 16 + h;
        }
        return v;
    };
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        int32_t unit = unitAt(i);
        if (unit < 0) {
            out += text[i++];
            continue;
        }
        i += 7;
        uint32_t cp = static_cast<uint32_t>(unit);
        if (cp >= 0xD800 && cp < 0xDC00) {
            int32_t low = unitAt(i);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<uint32_t>(low) - 0xDC00);
                i += 7;
            } else {
                cp = 0xFFFD;
            }
        } else if (cp >= 0xDC00 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

}  // namespace edlt::sheet
