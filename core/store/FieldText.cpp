// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/FieldText.h"

#include <cstdint>
#include <cstring>

namespace edlt {
namespace {

bool isControl(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
}

}  // namespace

bool isCleanFieldText(std::string_view text)
{
    // Eight bytes at a time: a word holds a control byte when a byte is below 0x20 or,
    // once xored with 0x7F, zero (each test exact for "some byte", Greek bytes included).
    constexpr uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, text.data() + i, 8);
        const uint64_t del = w ^ (ones * 0x7F);
        if ((((w - ones * 0x20) & ~w) | ((del - ones) & ~del)) & highs) return false;
    }
    bool clean = true;
    for (; i < text.size(); ++i) clean &= !isControl(text[i]);
    return clean;
}

void appendCleanFieldText(std::string& out, std::string_view piece, bool& pendingCr)
{
    if (isCleanFieldText(piece)) {
        if (!piece.empty()) pendingCr = false;
        out.append(piece);
        return;
    }
    for (char c : piece) {
        if (c == '\n' && pendingCr) {
            pendingCr = false;
            continue;
        }
        pendingCr = c == '\r';
        if (c == '\r' || c == '\n' || c == '\t') out += ' ';
        else if (!isControl(c))
            out += c;
    }
}

std::string cleanFieldText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool pendingCr = false;
    appendCleanFieldText(out, text, pendingCr);
    return out;
}

}  // namespace edlt
