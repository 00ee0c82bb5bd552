// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte-level text helpers shared by every layer.
#include <string_view>

namespace edlt {

// s without the spaces at its end (fixed-width fields are padded with them).
std::string_view trimRight(std::string_view s);
// s without the spaces at either end.
std::string_view trim(std::string_view s);

// True when s is well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(std::string_view s);

}  // namespace edlt
