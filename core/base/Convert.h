// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-number conversion as the program has always done it: optional leading blanks,
// an optional sign, decimal digits and nothing after them, in the signed 32-bit range.
#include <cstdint>
#include <optional>
#include <string_view>

namespace edlt {

std::optional<int32_t> tryStrToInt(std::string_view text);
std::optional<int64_t> tryStrToInt64(std::string_view text);

// Throws ConvertError("'%s' is not a valid integer value").
int32_t strToInt(std::string_view text);

}  // namespace edlt
