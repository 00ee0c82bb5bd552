// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/Convert.h"

#include <limits>
#include <string>

#include "core/base/Error.h"

namespace edlt {
namespace {

template <typename T>
std::optional<T> parseWhole(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    using U = std::make_unsigned_t<T>;
    const U limit = negative ? U(std::numeric_limits<T>::max()) + 1 : U(std::numeric_limits<T>::max());
    U value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        U digit = U(c - '0');
        if (value > (limit - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    if (negative) return value == limit ? std::numeric_limits<T>::min() : -static_cast<T>(value);
    return static_cast<T>(value);
}

}  // namespace

std::optional<int32_t> tryStrToInt(std::string_view text)
{
    return parseWhole<int32_t>(text);
}
std::optional<int64_t> tryStrToInt64(std::string_view text)
{
    return parseWhole<int64_t>(text);
}

int32_t strToInt(std::string_view text)
{
    if (auto v = tryStrToInt(text)) return *v;
    throw ConvertError(format("'%s' is not a valid integer value", {text}));
}

}  // namespace edlt
