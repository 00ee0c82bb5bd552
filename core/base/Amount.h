// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Money, exactly. Amounts are decimal texts with a comma ("1234,56"); they are read into
// a fixed-point value (never binary floating point), so 40 % bounds, sums and rounding
// give the results the program's rules intend.
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace edlt {

// GCC's 128-bit integer, outside ISO C++: wide enough for any sum of amounts and for the
// products of compareScaled. __extension__ keeps -Wpedantic quiet here, its one spelling.
__extension__ typedef __int128 Int128;

class Amount {
public:
    // Ten-thousandths: enough to round any amount text to cents exactly, because
    // cutting further digits never moves a value across a half-cent.
    static constexpr int64_t unitsPerCent = 100;
    static constexpr int64_t unitsPerEuro = 10000;

    constexpr Amount() = default;
    static constexpr Amount fromUnits(Int128 units)
    {
        Amount a;
        a.units_ = units;
        return a;
    }
    static constexpr Amount fromCents(int64_t cents) { return fromUnits(static_cast<Int128>(cents) * unitsPerCent); }

    // Parses decimal text with the comma: optional blanks around it, a sign, digits, a
    // comma, digits, an exponent ("1E3"). ",5" is 0,5; "5," is 5; "," is 0.
    static std::optional<Amount> tryParse(std::string_view text);
    // As tryParse; throws ConvertError("'%s' is not a valid floating point value").
    static Amount parse(std::string_view text);

    Int128 units() const { return units_; }
    bool negative() const { return units_ < 0; }
    // Rounded half away from zero to whole cents.
    int64_t cents() const;
    // The pattern "0.##": at most two decimals, rounded half away from zero, no trailing
    // zeros, no bare comma (1234,5; 1234; 0).
    std::string text() const;

    Amount operator+(Amount o) const { return fromUnits(units_ + o.units_); }
    Amount operator-(Amount o) const { return fromUnits(units_ - o.units_); }
    Amount& operator+=(Amount o)
    {
        units_ += o.units_;
        return *this;
    }
    // Multiplies by num/den exactly, for comparisons such as N x 40 / 100: returns the
    // comparison of this x den with o x num instead of dividing.
    static std::strong_ordering compareScaled(Amount a, Amount b, int num, int den);
    friend std::strong_ordering operator<=>(Amount a, Amount b) { return a.units_ <=> b.units_; }
    friend bool operator==(Amount a, Amount b) { return a.units_ == b.units_; }

private:
    Int128 units_ = 0;
};

// The text of amount parsed and formatted "0.##" (throws ConvertError as parse).
std::string normaliseAmount(std::string_view text);

// Whole cents as the workspace's decimal form: 123456 -> "1234,56"; 0 -> "0".
std::string centsToDecimalText(int64_t cents);

// Why an amount cannot be written in a field of the given width, or nullopt when it can:
// negative, decimal form longer than the field, or cents form with more digits. The
// message names the field by its Greek caption.
std::optional<std::string> amountWriteProblem(const Amount& amount, int width, std::string_view caption);
// Whether amountWriteProblem finds nothing, without making its message; text is amount.text().
bool amountFits(const Amount& amount, std::string_view text, int width);

}  // namespace edlt
