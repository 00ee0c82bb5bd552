// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules Save As applies to the whole declaration, each returning every finding: the
// session stops at the first, the whole-declaration check lists them all.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/store/HeaderFields.h"

namespace edlt {

// The year box holds a year from 1900 to currentYear; throws the conversion error.
bool yearAcceptable(const std::string& year, int currentYear);

struct DeclarantFinding {
    enum class Kind {
        Refusal,          // shown with a beep
        SilentRefusal,    // shown without one (the tax number's, as it always was)
        ConversionError,  // a value that is not a number: the conversion error's own message
    };
    Kind kind;
    HeaderField field;
    std::string message;  // Windows-1253
};

// The declarant checks of Save As in their order: the year, the name, the tax number.
std::vector<DeclarantFinding> declarantFindings(const HeaderFields& header, int currentYear);

// A line's tax number and income type packed with their lengths (they fit their fields):
// equal keys are equal pairs, compared without a string.
struct PairKey {
    uint64_t head = 0, tail = 0;
    static PairKey of(std::string_view afm, std::string_view typeInc);
    std::string afm() const;
    bool operator==(const PairKey&) const = default;
    auto operator<=>(const PairKey&) const = default;
};

// Lines (0-based) sharing tax number and income type: each group in line order, at least two.
using DuplicateGroups = std::vector<std::vector<uint32_t>>;
DuplicateGroups duplicateGroups(const std::vector<PairKey>& keys);
// Every pair i < j of the groups, in order of i and then j.
std::vector<std::pair<uint32_t, uint32_t>> duplicatePairs(const DuplicateGroups& groups);
// The first line of the first pair: the first line whose key comes again later.
std::optional<uint32_t> firstDuplicate(const DuplicateGroups& groups);

}  // namespace edlt
