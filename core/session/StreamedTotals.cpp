// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/StreamedTotals.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/base/Amount.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/rules/TotalsLedger.h"
#include "core/store/DeclarationFile.h"
#include "core/store/DetailRecord.h"

namespace edlt {

namespace {

// A tax number of at most nine bytes as two words, so a million of them sort without a string each.
std::pair<uint64_t, uint32_t> taxNumberKey(std::string_view afm)
{
    uint64_t head = 0;
    for (size_t i = 0; i < afm.size() && i < 8; ++i) head |= uint64_t(static_cast<unsigned char>(afm[i])) << (8 * i);
    uint32_t tail = afm.size() > 8 ? static_cast<unsigned char>(afm[8]) : 0;
    return {head, tail | static_cast<uint32_t>(afm.size()) << 8};
}

}  // namespace

std::optional<TotalsSummary> streamedTotals(ByteSource& source)
{
    // The reader as Open sets it: one byte past a record tells a line is too long.
    LineReader reader(source, detail::RecordSize + 1, true);
    std::string line;
    if (!reader.next(line) || reader.lastLineTooLong() || line.size() != static_cast<size_t>(detail::RecordSize) ||
        line.compare(0, 5, "0JL10") != 0)
        return std::nullopt;
    std::array<Int128, 9> sums{};
    std::vector<std::pair<uint64_t, uint32_t>> taxNumbers;
    size_t lineNumber = 1;
    while (reader.next(line)) {
        ++lineNumber;
        if (reader.lastLineTooLong() || line.size() != static_cast<size_t>(detail::RecordSize)) return std::nullopt;
        if (line[0] == '1' || line[0] == '2') continue;
        if (line[0] != '3') return std::nullopt;
        std::string workspaceLine;
        try {
            workspaceLine = fileToWorkspaceLine(line, lineNumber);
        } catch (const Error&) {
            return std::nullopt;
        }
        std::array<int64_t, 9> units;
        std::string_view badText;
        if (!TotalsLedger::lineUnits(workspaceLine, units, badText)) return std::nullopt;
        for (size_t i = 0; i < units.size(); ++i) sums[i] += units[i];
        const std::string_view afm = detail::fieldValue(workspaceLine, detail::AFM);
        if (afm.empty()) return std::nullopt;
        taxNumbers.push_back(taxNumberKey(afm));
    }
    if (taxNumbers.empty()) return std::nullopt;
    TotalsSummary out;
    out.lines = taxNumbers.size();
    std::sort(taxNumbers.begin(), taxNumbers.end());
    out.distinctTaxNumbers =
        static_cast<size_t>(std::unique(taxNumbers.begin(), taxNumbers.end()) - taxNumbers.begin());
    for (size_t i = 0; i < sums.size(); ++i) out.sums[totalsBoxOfAmount[i]] = Amount::fromUnits(sums[i]);
    return out;
}

std::string counterTextOf(const TotalsSummary& summary)
{
    return std::to_string(summary.lines) + cp1253::lit(" Εγγραφές") + "-" + std::to_string(summary.distinctTaxNumbers) +
           cp1253::lit(" μοναδικοί ΑΦΜ");
}

}  // namespace edlt
