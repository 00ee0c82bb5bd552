// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The totals of a declaration file read as a stream, line by line, without storing its lines:
// what `totals` prints needs only the sums, the line count and the distinct tax numbers.
// Anything out of the ordinary (a line Open refuses, an amount that is not a number) is left
// to the whole Open, which tells it as it always does.
#include <optional>
#include <string>

#include "core/base/ByteStream.h"
#include "core/session/ScriptOutput.h"

namespace edlt {

// The totals of a file Open accepts whole with every amount a number; nullopt otherwise.
// Throws Error when the source cannot be read.
std::optional<TotalsSummary> streamedTotals(ByteSource& source);

// The counter label the totals show for summary ("N Εγγραφές-M μοναδικοί ΑΦΜ"), Windows-1253.
std::string counterTextOf(const TotalsSummary& summary);

}  // namespace edlt
