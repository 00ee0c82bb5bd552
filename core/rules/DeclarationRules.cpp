// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/DeclarationRules.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/base/Convert.h"
#include "core/base/Error.h"
#include "core/rules/CheckAFM.h"
#include "core/rules/Messages.h"

namespace edlt {

bool yearAcceptable(const std::string& year, int currentYear)
{
    if (year.empty()) return false;
    const int32_t value = strToInt(year);
    return value >= 1900 && value <= currentYear;
}

std::vector<DeclarantFinding> declarantFindings(const HeaderFields& h, int currentYear)
{
    using Kind = DeclarantFinding::Kind;
    std::vector<DeclarantFinding> out;
    try {
        if (!yearAcceptable(h.YearOfData, currentYear))
            out.push_back({Kind::Refusal, HeaderField::YearOfData, msg::writeYear()});
    } catch (const ConvertError& e) {
        out.push_back({Kind::ConversionError, HeaderField::YearOfData, e.message()});
    }
    if (h.CompanyName.empty())
        out.push_back(
            {Kind::Refusal, HeaderField::CompanyName, h.business ? msg::writeCompanyName() : msg::writePersonName()});
    try {
        if (!checkAFM(h.AFM)) out.push_back({Kind::SilentRefusal, HeaderField::AFM, msg::wrongDeclarantAfmOnSave()});
    } catch (const ConvertError& e) {
        out.push_back({Kind::ConversionError, HeaderField::AFM, e.message()});
    }
    return out;
}

PairKey PairKey::of(std::string_view afm, std::string_view typeInc)
{
    std::array<char, 16> bytes{};
    afm.copy(bytes.data(), 9);
    bytes[9] = static_cast<char>(afm.size());
    typeInc.copy(bytes.data() + 10, 2);
    bytes[12] = static_cast<char>(typeInc.size());
    PairKey k;
    std::memcpy(&k.head, bytes.data(), 8);
    std::memcpy(&k.tail, bytes.data() + 8, 8);
    return k;
}

std::string PairKey::afm() const
{
    std::array<char, 16> bytes{};
    std::memcpy(bytes.data(), &head, 8);
    std::memcpy(bytes.data() + 8, &tail, 8);
    return std::string(bytes.data(), std::min<size_t>(static_cast<unsigned char>(bytes[9]), 9));
}

DuplicateGroups duplicateGroups(const std::vector<PairKey>& keys)
{
    // Sorted, equal keys stand together in line order, without a hash node per line.
    struct Keyed {
        PairKey key;
        uint32_t line;
        auto operator<=>(const Keyed&) const = default;
    };
    const size_t n = keys.size();
    std::vector<Keyed> keyed(n);
    for (size_t i = 0; i < n; ++i) keyed[i] = {keys[i], static_cast<uint32_t>(i)};
    std::sort(keyed.begin(), keyed.end());
    DuplicateGroups groups;
    for (size_t start = 0, end = 0; start < n; start = end) {
        end = start + 1;
        while (end < n && keyed[end].key == keyed[start].key) ++end;
        if (end - start < 2) continue;
        std::vector<uint32_t>& group = groups.emplace_back();
        for (size_t a = start; a < end; ++a) group.push_back(keyed[a].line);
    }
    return groups;
}

std::vector<std::pair<uint32_t, uint32_t>> duplicatePairs(const DuplicateGroups& groups)
{
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    for (const std::vector<uint32_t>& group : groups)
        for (size_t a = 0; a < group.size(); ++a)
            for (size_t b = a + 1; b < group.size(); ++b) pairs.emplace_back(group[a], group[b]);
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

std::optional<uint32_t> firstDuplicate(const DuplicateGroups& groups)
{
    std::optional<uint32_t> first;
    for (const std::vector<uint32_t>& group : groups)
        if (!first || group.front() < *first) first = group.front();
    return first;
}

}  // namespace edlt
