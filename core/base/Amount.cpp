// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/Amount.h"

#include <charconv>
#include <limits>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"

namespace edlt {
namespace {

// Beyond any field: larger values stay this large and are refused as too long.
constexpr Int128 cap = static_cast<Int128>(1000000000000000000LL) * 100;

// The units of the common form, digits with at most one comma and no more than 14 digits
// (so that nothing overflows 64 bits); nullopt for anything else, left to the full parser.
std::optional<int64_t> parsePlain(std::string_view text)
{
    int64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool sawComma = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (++digits > 14) return std::nullopt;
            mantissa = mantissa * 10 + (c - '0');
            if (sawComma) ++decimals;
        } else if (c == ',' && !sawComma) {
            sawComma = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 && !sawComma) return std::nullopt;
    constexpr int64_t powers[] = {1, 10, 100, 1000, 10000};
    // To ten-thousandths; decimals past the fourth are cut, as the full parser cuts them.
    if (decimals <= 4) return mantissa * powers[4 - decimals];
    for (int k = decimals; k > 4 && mantissa != 0; --k) mantissa /= 10;
    return mantissa;
}

}  // namespace

std::optional<Amount> Amount::tryParse(std::string_view text)
{
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    while (n > i && text[n - 1] == ' ') --n;
    if (auto plain = parsePlain(text.substr(i, n - i))) return fromUnits(*plain);
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // The mantissa is gathered exactly up to 36 digits; further digits are cut, which
    // never changes a value's rounding to cents (see unitsPerEuro).
    constexpr Int128 gatherLimit = cap * 1000000000000LL;
    Int128 mantissa = 0;
    long scale = 0;  // the value is mantissa x 10^scale
    bool sawComma = false, sawDigit = false;
    for (; i < n && ((text[i] >= '0' && text[i] <= '9') || text[i] == ','); ++i) {
        if (text[i] == ',') {
            if (sawComma) return std::nullopt;
            sawComma = true;
            continue;
        }
        sawDigit = true;
        if (mantissa < gatherLimit) {
            mantissa = mantissa * 10 + (text[i] - '0');
            if (sawComma) --scale;
        } else if (!sawComma) {
            ++scale;
        }
    }
    if (!sawDigit && !sawComma) return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
        if (i == n) return std::nullopt;
        long exponent = 0;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
        scale += expNegative ? -exponent : exponent;
    }
    if (i != n) return std::nullopt;

    long shift = scale + 4;  // to ten-thousandths
    Int128 units = mantissa;
    for (; shift < 0 && units != 0; ++shift) units /= 10;
    for (; shift > 0 && units != 0 && units < cap; --shift) units *= 10;
    if (units > cap) units = cap;
    return fromUnits(negative ? -units : units);
}

Amount Amount::parse(std::string_view text)
{
    if (auto a = tryParse(text)) return *a;
    throw ConvertError(format("'%s' is not a valid floating point value", {text}));
}

int64_t Amount::cents() const
{
    // Every real amount fits a 64-bit word: round there, without 128-bit division.
    constexpr Int128 fast = std::numeric_limits<int64_t>::max() / 2;
    if (units_ > -fast && units_ < fast) {
        const int64_t u = static_cast<int64_t>(units_);
        const int64_t m = u < 0 ? -u : u;
        const int64_t c = (m + unitsPerCent / 2) / unitsPerCent;
        return u < 0 ? -c : c;
    }
    Int128 m = units_ < 0 ? -units_ : units_;
    Int128 c = (m + unitsPerCent / 2) / unitsPerCent;
    return static_cast<int64_t>(units_ < 0 ? -c : c);
}

std::string Amount::text() const
{
    const int64_t c = cents();
    if (c == 0) return "0";
    uint64_t m = c < 0 ? 0 - static_cast<uint64_t>(c) : static_cast<uint64_t>(c);
    char buffer[32];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    const unsigned frac = static_cast<unsigned>(m % 100);
    if (frac != 0) {
        if (frac % 10 != 0) *--p = static_cast<char>('0' + frac % 10);
        *--p = static_cast<char>('0' + frac / 10);
        *--p = ',';
    }
    m /= 100;
    do {
        *--p = static_cast<char>('0' + m % 10);
        m /= 10;
    } while (m != 0);
    if (c < 0) *--p = '-';
    return std::string(p, end);
}

std::strong_ordering Amount::compareScaled(Amount a, Amount b, int num, int den)
{
    return a.units_ * den <=> b.units_ * num;
}

std::string normaliseAmount(std::string_view text)
{
    return Amount::parse(text).text();
}

std::string centsToDecimalText(int64_t cents)
{
    return Amount::fromCents(cents).text();
}

bool amountFits(const Amount& amount, std::string_view text, int width)
{
    const int64_t cents = amount.cents();
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, cents).ptr - digits;
    return cents >= 0 && text.size() <= static_cast<size_t>(width) && written <= width;
}

std::optional<std::string> amountWriteProblem(const Amount& amount, int width, std::string_view caption)
{
    if (amount.cents() < 0)
        return format(cp1253::lit("Το ποσό στο πεδίο «%s» δεν μπορεί να είναι αρνητικό"), {caption});
    const std::string decimal = amount.text();
    if (!amountFits(amount, decimal, width))
        return format(cp1253::lit("Το ποσό %s στο πεδίο «%s» είναι πολύ μεγάλο και δεν χωράει στη δήλωση"),
                      {decimal, caption});
    return std::nullopt;
}

}  // namespace edlt
