// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers every sheet reader shares: the text of a number, dates as serial numbers,
// cell references, and the Greek failure messages.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/import/Sheet.h"

namespace edlt::sheet {

// A number as General format shows it, with the decimal comma (see Sheet.h).
std::string formatNumber(double value);

// The same for readers that format a number per cell: the text stays in this object until
// the next format, so the common case (whole cents) allocates nothing.
class NumberText {
public:
    std::string_view format(double value);
    // A number the file holds as a whole count of cents (as the text format() gives for it).
    std::string_view formatCents(int64_t cents);

private:
    char cents_[24];
    std::string other_;
};

// Parses a number as the file formats write it: full stop, optional sign and exponent,
// no blanks. Independent of the C locale, which Qt sets from the user's.
std::optional<double> parseNumber(std::string_view text);

// Days since 30 December 1899 as a spreadsheet counts them: before 1 March 1900 one
// less, because of the 29 February 1900 that it believes in. With date1904, days
// since 1 January 1904.
double dateSerial(int year, int month, int day, bool date1904 = false);

// "2024-01-15", "2024-01-15T12:30:00" or "2024-01-15 12:30:00.5" as a serial number.
std::optional<double> parseIsoDateTime(std::string_view text, bool date1904 = false);
// "12:30:00" as a fraction of a day.
std::optional<double> parseClockTime(std::string_view text);
// An ISO 8601 duration "PT12H30M15S" (days allowed, optional leading '-') in days.
std::optional<double> parseIsoDuration(std::string_view text);

// "AB12" to 1-based column and row; false when it is not a cell reference.
bool parseCellRef(std::string_view ref, size_t& row, size_t& col);
// "AB" to 28 (at the start of ref, letters only); 0 when there are none.
size_t parseColumnLetters(std::string_view ref, size_t* used = nullptr);

// UTF-8 to Windows-1253, each character that the code page cannot hold (or broken
// UTF-8) as '?'; ok tells whether everything converted.
std::string toCp1253Lossy(std::string_view utf8, bool& ok);

// Throws SheetError with the fixed message of its kind, detail appended after ": ", and
// the cause the user is told: the kind's own unless utf8Cause gives another.
[[noreturn]] void fail(SheetFault fault, std::string_view cp1253Detail = {}, const char* utf8Cause = nullptr);
// The cause told of a damaged zip package.
inline constexpr const char* damagedArchiveCause =
    "Το αρχείο είναι κατεστραμμένο (το συμπιεσμένο πακέτο του είναι ατελές ή αλλοιωμένο).";
// The cause told when the hidden first sheet was declined and no visible one follows.
inline constexpr const char* noVisibleSheetCause = "Το βιβλίο εργασίας δεν έχει ορατό φύλλο.";

// The message recorded for a row with a cell whose text does not fit Windows-1253.
std::string unrepresentableCellMessage(size_t col);

}  // namespace edlt::sheet
