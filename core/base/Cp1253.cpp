// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/Cp1253.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <unistd.h>

namespace edlt::cp1253 {
namespace {

// The characters of bytes 0x80..0xFF; below them the code page is ASCII.
constexpr char16_t none = 0xFFFD;
constexpr std::array<char16_t, 0x80> upperHalf = {
    0x20AC, none,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    none,   0x2030, none,   0x2039, none,   none,   none,   none,    // 88
    none,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    none,   0x2122, none,   0x203A, none,   none,   none,   none,    // 98
    0x00A0, 0x0385, 0x0386, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, none,   0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F,  // B8
    0x0390, 0x0391, 0x0392, 0x0393, 0x0394, 0x0395, 0x0396, 0x0397,  // C0
    0x0398, 0x0399, 0x039A, 0x039B, 0x039C, 0x039D, 0x039E, 0x039F,  // C8
    0x03A0, 0x03A1, none,   0x03A3, 0x03A4, 0x03A5, 0x03A6, 0x03A7,  // D0
    0x03A8, 0x03A9, 0x03AA, 0x03AB, 0x03AC, 0x03AD, 0x03AE, 0x03AF,  // D8
    0x03B0, 0x03B1, 0x03B2, 0x03B3, 0x03B4, 0x03B5, 0x03B6, 0x03B7,  // E0
    0x03B8, 0x03B9, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BE, 0x03BF,  // E8
    0x03C0, 0x03C1, 0x03C2, 0x03C3, 0x03C4, 0x03C5, 0x03C6, 0x03C7,  // F0
    0x03C8, 0x03C9, 0x03CA, 0x03CB, 0x03CC, 0x03CD, 0x03CE, none,    // F8
};

// The same table the other way, over the characters from U+0080 to the highest the code
// page holds (U+2122); 0 where there is no byte.
constexpr char32_t reverseEnd = 0x2123;
constexpr auto reverse = [] {
    std::array<uint8_t, reverseEnd - 0x80> r{};
    for (size_t i = 0; i < upperHalf.size(); ++i)
        if (upperHalf[i] != none) r[size_t{upperHalf[i]} - 0x80] = static_cast<uint8_t>(0x80 + i);
    return r;
}();

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The next character of strict UTF-8 at s[i], advancing i; nullopt for a malformed,
// overlong or cut sequence, a surrogate, or a value past U+10FFFF.
std::optional<char32_t> nextCodePoint(std::string_view s, size_t& i)
{
    const auto lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80) return lead;
    // Continuation bytes, the lead's bits, and the least value that needs this length.
    struct Form {
        size_t more;
        char32_t cp, least;
    };
    Form f{};
    if ((lead & 0xE0) == 0xC0) f = {1, lead & 0x1Fu, 0x80};
    else if ((lead & 0xF0) == 0xE0)
        f = {2, lead & 0x0Fu, 0x800};
    else if ((lead & 0xF8) == 0xF0)
        f = {3, lead & 0x07u, 0x10000};
    else
        return std::nullopt;
    auto [more, cp, least] = f;
    for (; more > 0; --more) {
        if (i == s.size()) return std::nullopt;
        const auto c = static_cast<unsigned char>(s[i++]);
        if ((c & 0xC0) != 0x80) return std::nullopt;
        cp = cp << 6 | (c & 0x3Fu);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return std::nullopt;
    return cp;
}

void appendUtf8(std::string& out, char16_t u)
{
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | u >> 6);
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | u >> 12);
        out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

}  // namespace

char16_t toUnicode(char byte)
{
    const auto b = static_cast<unsigned char>(byte);
    return b < 0x80 ? char16_t{b} : upperHalf[b - 0x80u];
}

std::optional<char> fromUnicode(char32_t codePoint)
{
    if (codePoint < 0x80) return static_cast<char>(codePoint);
    if (codePoint >= reverseEnd) return std::nullopt;
    const uint8_t b = reverse[codePoint - 0x80];
    if (b == 0) return std::nullopt;
    return static_cast<char>(b);
}

std::optional<std::string> fromUtf8(std::string_view utf8)
{
    if (isAscii(utf8)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const std::optional<char32_t> cp = nextCodePoint(utf8, i);
        if (!cp) return std::nullopt;
        // Language tags (U+E0000..U+E007F) mark text without being text: they are dropped.
        if (*cp >= 0xE0000 && *cp < 0xE0080) continue;
        const std::optional<char> b = fromUnicode(*cp);
        if (!b) return std::nullopt;
        out += *b;
    }
    return out;
}

std::string toUtf8(std::string_view text)
{
    if (isAscii(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) appendUtf8(out, toUnicode(c));
    return out;
}

std::string lit(std::string_view utf8)
{
    auto r = fromUtf8(utf8);
    if (!r) throw std::logic_error("literal not representable in Windows-1253");
    return *r;
}

std::filesystem::path shownPath(const std::filesystem::path& path)
{
    static constexpr std::string_view held = "/proc/self/fd/";
    const std::string& name = path.native();
    if (name.compare(0, held.size(), held) != 0) return path;
    const size_t end = std::min(name.find('/', held.size()), name.size());
    char target[PATH_MAX];
    const ssize_t n = ::readlink(name.substr(0, end).c_str(), target, sizeof target);
    if (n <= 0 || target[0] != '/' || static_cast<size_t>(n) >= sizeof target) return path;
    return std::string(target, static_cast<size_t>(n)) + name.substr(end);
}

std::string pathText(const std::filesystem::path& path)
{
    const std::string name = shownPath(path).native();
    if (auto r = fromUtf8(name)) return *r;
    // Character by character, so one foreign letter does not hide the whole name.
    std::string out;
    for (size_t i = 0; i < name.size();) {
        auto c = static_cast<unsigned char>(name[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + len > name.size()) len = name.size() - i;
        auto piece = fromUtf8(std::string_view(name).substr(i, len));
        out += piece ? *piece : std::string("?");
        i += len;
    }
    return out;
}

const std::string& unrepresentableMessage()
{
    static const std::string m =
        lit("Το κείμενο περιέχει χαρακτήρες που δεν υποστηρίζονται (επιτρέπονται μόνο ελληνικοί και "
            "λατινικοί χαρακτήρες της κωδικοσελίδας Windows-1253)");
    return m;
}

}  // namespace edlt::cp1253
