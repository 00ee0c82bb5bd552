// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/CellText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/base/Cp1253.h"

namespace edlt::sheet {
namespace {

// Days from 1 January 1970 of a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

bool leapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

// Reads exactly n digits at pos.
bool digitsAt(std::string_view s, size_t pos, size_t n, int& out)
{
    if (pos + n > s.size()) return false;
    out = 0;
    for (size_t i = pos; i < pos + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        out = out * 10 + (s[i] - '0');
    }
    return true;
}

// "HH:MM" or "HH:MM:SS" or "HH:MM:SS.fff" from pos to the end (a trailing 'Z' allowed).
std::optional<double> clockFrom(std::string_view s, size_t pos)
{
    int h = 0, m = 0, sec = 0;
    if (!digitsAt(s, pos, 2, h) || pos + 2 >= s.size() || s[pos + 2] != ':' || !digitsAt(s, pos + 3, 2, m))
        return std::nullopt;
    pos += 5;
    double fraction = 0;
    if (pos < s.size() && s[pos] == ':') {
        if (!digitsAt(s, pos + 1, 2, sec)) return std::nullopt;
        pos += 3;
        if (pos < s.size() && (s[pos] == '.' || s[pos] == ',')) {
            size_t start = ++pos;
            double scale = 0.1;
            while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
                fraction += (s[pos] - '0') * scale;
                scale /= 10;
                ++pos;
            }
            if (pos == start) return std::nullopt;
        }
    }
    if (pos < s.size() && s[pos] == 'Z') ++pos;
    if (pos != s.size() || h > 24 || m > 59 || sec > 60) return std::nullopt;
    return (h * 3600.0 + m * 60.0 + sec + fraction) / 86400.0;
}

// 15 significant digits, rounded as a spreadsheet rounds what it shows.
std::string otherNumber(double value)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
    bool negative = sci[0] == '-';
    if (negative) sci.remove_prefix(1);
    size_t ePos = sci.find('e');
    std::string digits;
    digits += sci[0];
    digits.append(sci.substr(2, ePos - 2));
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+'), sci.data() + sci.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out;
    if (negative) out += '-';
    const int n = static_cast<int>(digits.size());
    if (exponent >= -5 && exponent < 15) {
        if (exponent >= 0) {
            if (n <= exponent + 1) {
                out += digits;
                out.append(static_cast<size_t>(exponent + 1 - n), '0');
            } else {
                out.append(digits, 0, static_cast<size_t>(exponent + 1));
                out += ',';
                out.append(digits, static_cast<size_t>(exponent + 1));
            }
        } else {
            out += "0,";
            out.append(static_cast<size_t>(-exponent - 1), '0');
            out += digits;
        }
    } else {
        out += digits[0];
        if (n > 1) {
            out += ',';
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
    }
    return out;
}

}  // namespace

std::string formatNumber(double value)
{
    return std::string(NumberText().format(value));
}

std::string_view NumberText::format(double value)
{
    if (!std::isfinite(value)) return "#NUM!";
    if (value == 0) return "0";
    // Most cells are whole cents: the double nearest to c/100 shows as c/100 at 15 digits.
    if (std::fabs(value) < 1e13) {
        const auto cents = static_cast<int64_t>(std::llround(value * 100));
        if (static_cast<double>(cents) / 100 == value) return formatCents(cents);
    }
    other_ = otherNumber(value);
    return other_;
}

std::string_view NumberText::formatCents(int64_t cents)
{
    if (cents == 0) return "0";
    const uint64_t magnitude = cents < 0 ? uint64_t(0) - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
    char* p = cents_;
    if (cents < 0) *p++ = '-';
    p = std::to_chars(p, cents_ + sizeof cents_, magnitude / 100).ptr;
    if (const uint64_t fraction = magnitude % 100; fraction != 0) {
        *p++ = ',';
        *p++ = static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) *p++ = static_cast<char>('0' + fraction % 10);
    }
    return std::string_view(cents_, static_cast<size_t>(p - cents_));
}

std::optional<double> parseNumber(std::string_view text)
{
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty() || text[0] == '+' || text[0] == ' ') return std::nullopt;
    double value = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

double dateSerial(int year, int month, int day, bool date1904)
{
    int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    if (date1904) return static_cast<double>(days - daysFromCivil(1904, 1, 1));
    int64_t serial = days - daysFromCivil(1899, 12, 30);
    if (serial < 61 && serial > 0) --serial;  // before the phantom 29 February 1900
    return static_cast<double>(serial);
}

std::optional<double> parseIsoDateTime(std::string_view s, bool date1904)
{
    int y = 0, m = 0, d = 0;
    if (!digitsAt(s, 0, 4, y) || s.size() < 10 || s[4] != '-' || !digitsAt(s, 5, 2, m) || s[7] != '-' ||
        !digitsAt(s, 8, 2, d))
        return std::nullopt;
    if (m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m)) return std::nullopt;
    double serial = dateSerial(y, m, d, date1904);
    if (s.size() == 10) return serial;
    if (s[10] != 'T' && s[10] != ' ') return std::nullopt;
    auto time = clockFrom(s, 11);
    if (!time) return std::nullopt;
    return serial + *time;
}

std::optional<double> parseClockTime(std::string_view text)
{
    return clockFrom(text, 0);
}

std::optional<double> parseIsoDuration(std::string_view s)
{
    bool negative = false;
    size_t i = 0;
    if (i < s.size() && s[i] == '-') {
        negative = true;
        ++i;
    }
    if (i >= s.size() || s[i] != 'P') return std::nullopt;
    ++i;
    double seconds = 0;
    bool inTime = false, any = false;
    while (i < s.size()) {
        if (s[i] == 'T' && !inTime) {
            inTime = true;
            ++i;
            continue;
        }
        size_t start = i;
        while (i < s.size() && ((s[i] >= '0' && s[i] <= '9') || s[i] == '.')) ++i;
        if (i == start || i >= s.size() || i - start > 20) return std::nullopt;
        auto number = parseNumber(s.substr(start, i - start));
        if (!number) return std::nullopt;
        char unit = s[i++];
        if (!inTime && unit == 'D') seconds += *number * 86400;
        else if (inTime && unit == 'H')
            seconds += *number * 3600;
        else if (inTime && unit == 'M')
            seconds += *number * 60;
        else if (inTime && unit == 'S')
            seconds += *number;
        else
            return std::nullopt;
        any = true;
    }
    if (!any) return std::nullopt;
    double days = seconds / 86400.0;
    return negative ? -days : days;
}

size_t parseColumnLetters(std::string_view ref, size_t* used)
{
    size_t col = 0, i = 0;
    while (i < ref.size() && i < 4) {
        char c = ref[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') break;
        col = col * 26 + static_cast<size_t>(c - 'A' + 1);
        ++i;
    }
    if (used) *used = i;
    return col;
}

bool parseCellRef(std::string_view ref, size_t& row, size_t& col)
{
    size_t used = 0;
    col = parseColumnLetters(ref, &used);
    if (used == 0 || used > 3) return false;
    std::string_view digits = ref.substr(used);
    if (digits.empty() || digits.size() > 9 || digits[0] == '0') return false;
    row = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        row = row * 10 + static_cast<size_t>(c - '0');
    }
    return true;
}

std::string toCp1253Lossy(std::string_view utf8, bool& ok)
{
    if (auto whole = cp1253::fromUtf8(utf8)) {
        ok = true;
        return std::move(*whole);
    }
    ok = false;
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + len > utf8.size()) len = 1;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(utf8[i + k]) >> 6) != 2) len = 1;
        auto piece = cp1253::fromUtf8(utf8.substr(i, len));
        if (piece && piece->size() == 1) out += *piece;
        else
            out += '?';
        i += len;
    }
    return out;
}

namespace {

const char* causeOf(SheetFault fault)
{
    switch (fault) {
    case SheetFault::NotSpreadsheet: return "Το αρχείο δεν είναι βιβλίο εργασίας (.xls, .xlsx, .ods) ούτε κείμενο CSV.";
    case SheetFault::Corrupt: return "Το αρχείο είναι κατεστραμμένο (τα στοιχεία του είναι ατελή ή άκυρα).";
    case SheetFault::TooLarge: return "Το φύλλο υπερβαίνει τα όρια ανάγνωσης.";
    case SheetFault::Unsafe: return "Η δομή του αρχείου δεν είναι ασφαλής για ανάγνωση.";
    case SheetFault::Protected: return "Το αρχείο προστατεύεται με κωδικό.";
    case SheetFault::TooDeep: return "στοιχεία φωλιασμένα βαθύτερα από 256 επίπεδα";
    case SheetFault::Binary: return "Το αρχείο είναι βιβλίο εργασίας σε δυαδική μορφή (.xlsb), που δεν διαβάζεται.";
    case SheetFault::WebPage: return "Το αρχείο είναι ιστοσελίδα, όχι βιβλίο εργασίας.";
    case SheetFault::XmlSpreadsheet:
        return "Το αρχείο είναι υπολογιστικό φύλλο XML 2003, όχι βιβλίο εργασίας (.xls, .xlsx, .ods).";
    case SheetFault::NoSheet: return "Το βιβλίο εργασίας δεν έχει φύλλο.";
    }
    return "";
}

}  // namespace

void fail(SheetFault fault, std::string_view detail, const char* utf8Cause)
{
    const char* text = causeOf(fault);
    switch (fault) {
    case SheetFault::NotSpreadsheet: text = "Το αρχείο δεν είναι υπολογιστικό φύλλο που μπορεί να διαβαστεί"; break;
    case SheetFault::Corrupt: text = "Το αρχείο του υπολογιστικού φύλλου είναι κατεστραμμένο ή ατελές"; break;
    case SheetFault::TooLarge: text = "Το υπολογιστικό φύλλο υπερβαίνει τα όρια ανάγνωσης"; break;
    case SheetFault::Unsafe: text = "Το αρχείο δεν διαβάζεται γιατί η δομή του δεν είναι ασφαλής"; break;
    case SheetFault::Protected: text = "Το υπολογιστικό φύλλο προστατεύεται με κωδικό πρόσβασης"; break;
    case SheetFault::TooDeep: text = "στοιχεία φωλιασμένα βαθύτερα από 256 επίπεδα"; break;
    default: break;  // the later kinds say it as their cause does
    }
    std::string message = cp1253::lit(text);
    if (!detail.empty()) {
        message += ": ";
        message += detail;
    }
    throw SheetError(fault, message, cp1253::lit(utf8Cause ? utf8Cause : causeOf(fault)));
}

std::string unrepresentableCellMessage(size_t col)
{
    static const std::string pattern = cp1253::lit(
        "Η στήλη Νο %d περιέχει χαρακτήρες που δεν υποστηρίζονται (επιτρέπονται μόνο ελληνικοί και "
        "λατινικοί χαρακτήρες της κωδικοσελίδας Windows-1253)");
    return format(pattern, {std::to_string(col)});
}

}  // namespace edlt::sheet
