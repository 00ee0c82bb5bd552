// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/StreamedSort.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/base/Amount.h"
#include "core/rules/ExchangeSort.h"
#include "core/rules/TotalsLedger.h"
#include "core/session/ScriptOutput.h"
#include "core/store/DetailRecord.h"

namespace edlt {

std::optional<PlainDeclaration> readPlainDeclaration(ByteSource& source)
{
    PlainDeclaration out;
    std::string declarant;
    if (readDeclarationLines(source, out.lines, &declarant) || out.lines.lines.empty()) return std::nullopt;
    // Open reads the header from the first declarant record; none leaves the fields empty.
    StringSource general(declarant);
    out.header = loadHeaderFields(general);
    std::array<Int128, 9> sums{};
    std::array<int64_t, 9> units;
    std::string_view badText;
    for (const std::string_view line : out.lines.lines) {
        // Open would name the line whose amount is not a number.
        if (!TotalsLedger::lineUnits(line, units, badText)) return std::nullopt;
        // The sort puts such a line back through a file, where it comes back as two.
        if (std::memchr(line.data(), '\r', line.size()) || std::memchr(line.data(), '\n', line.size()))
            return std::nullopt;
        for (size_t i = 0; i < units.size(); ++i) sums[i] += units[i];
    }
    for (size_t i = 0; i < sums.size(); ++i) out.totals[totalsBoxOfAmount[i]] = Amount::fromUnits(sums[i]).text();
    return out;
}

void writeSortedDeclaration(ByteSink& sink, const PlainDeclaration& declaration, DeclarationSession::SortKey key,
                            std::string_view todayYYYYMMDD)
{
    const std::vector<std::string_view>& lines = declaration.lines.lines;
    const size_t headLength =
        key == DeclarationSession::SortKey::Surname ? static_cast<size_t>(detail::fields[detail::SurName].offset) : 0;
    const std::vector<size_t> order = exchangeSortOrder(lines, headLength);
    // In the new order the lines lie anywhere in memory: those a few places ahead are fetched early.
    constexpr size_t ahead = 8;
    const DetailLines sorted{order.size(), [&](size_t k) {
                                 if (k + ahead < order.size()) {
                                     const std::string_view next = lines[order[k + ahead]];
                                     for (size_t at = 0; at < next.size(); at += 64)
                                         __builtin_prefetch(next.data() + at);
                                 }
                                 return lines[order[k]];
                             }};
    writeDeclarationFile(sink, declaration.header, declaration.totals, sorted, todayYYYYMMDD);
}

}  // namespace edlt
