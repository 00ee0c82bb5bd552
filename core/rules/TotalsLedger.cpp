// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/TotalsLedger.h"

#include <limits>
#include <optional>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/base/Text.h"
#include "core/base/TwoCores.h"
#include "core/store/DetailRecord.h"

namespace edlt {
namespace {

// A field as the store gives it with TrimSpace: trailing blanks removed, empty when the
// line ends before it.
int64_t clampUnits(Int128 v)
{
    constexpr Int128 hi = std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(v > hi ? hi : v < -hi ? -hi : v);
}

// The units of an amount as the workspace holds nearly all of them: digits, perhaps a comma
// and one or two decimals, then blanks to the end of the field; nullopt for anything else,
// which the full parser reads.
std::optional<int64_t> plainUnits(std::string_view line, const detail::FieldDef& def)
{
    const auto from = static_cast<size_t>(def.offset), width = static_cast<size_t>(def.width);
    if (line.size() < from + width) return std::nullopt;
    const char* p = line.data() + from;
    int64_t value = 0;
    size_t i = 0;
    for (; i < width && p[i] >= '0' && p[i] <= '9'; ++i) value = value * 10 + (p[i] - '0');
    if (i == 0)
        return p[0] == ' ' && trimRight(std::string_view(p, width)).empty() ? std::optional<int64_t>(0) : std::nullopt;
    int64_t scale = Amount::unitsPerEuro;
    if (i < width && p[i] == ',') {
        const size_t decimals = ++i;
        for (; i < width && i - decimals < 2 && p[i] >= '0' && p[i] <= '9'; ++i) {
            value = value * 10 + (p[i] - '0');
            scale /= 10;
        }
        if (i == decimals) return std::nullopt;
    }
    for (; i < width; ++i)
        if (p[i] != ' ') return std::nullopt;
    return value * scale;
}

}  // namespace

TotalsLedger::TotalsLedger(FixedWidthTable& store) : store_(store)
{
    store_.addObserver(this);
    rebuild();
}

TotalsLedger::~TotalsLedger()
{
    store_.removeObserver(this);
}

TotalsLedger::Key TotalsLedger::keyOf(std::string_view afm, std::string_view typeInc)
{
    // Field values are never longer than their fields (9 and 2 bytes); the lengths keep
    // "12" and "12\0" apart.
    Key k;
    for (size_t i = 0; i < afm.size() && i < 8; ++i) k.head |= uint64_t(static_cast<unsigned char>(afm[i])) << (8 * i);
    if (afm.size() > 8) k.tail |= static_cast<unsigned char>(afm[8]);
    k.tail |= uint64_t(afm.size() & 0xF) << 8;
    for (size_t i = 0; i < typeInc.size() && i < 2; ++i)
        k.tail |= uint64_t(static_cast<unsigned char>(typeInc[i])) << (12 + 8 * i);
    k.tail |= uint64_t(typeInc.size() & 0x3) << 28;
    return k;
}

TotalsLedger::Entry TotalsLedger::entryOf(std::string_view line)
{
    Entry e;
    const std::string_view typeInc = detail::fieldValue(line, detail::TypeInc);
    e.key = keyOf(detail::fieldValue(line, detail::AFM), typeInc);
    e.summed = typeInc != "15" && typeInc != "16";
    if (!e.summed) return e;
    for (size_t i = 0; i < detail::amountFields.size(); ++i) {
        if (auto units = plainUnits(line, detail::fields[detail::amountFields[i]])) {
            e.units[i] = *units;
            continue;
        }
        std::string_view text = detail::fieldValue(line, detail::amountFields[i]);
        if (text.empty()) continue;
        if (auto a = Amount::tryParse(text)) {
            e.units[i] = clampUnits(a->units());
        } else if (!e.bad) {
            e.bad = true;
            e.badText = text;
        }
    }
    return e;
}

bool TotalsLedger::lineUnits(std::string_view line, std::array<int64_t, 9>& units, std::string_view& badText)
{
    const Entry e = entryOf(line);
    units = e.units;
    badText = e.badText;
    return !e.bad;
}

void TotalsLedger::KeyCounts::clear(size_t expected)
{
    size_t capacity = 64;
    while (capacity < expected * 2) capacity *= 2;
    slots_.assignZeroed(capacity);
    used_ = live_ = 0;
}

size_t TotalsLedger::KeyCounts::home(const Key& k) const
{
    // Probing takes the low bits: mix the high ones in first (the finaliser of MurmurHash3).
    uint64_t h = k.head * 0x9E3779B97F4A7C15ULL ^ (k.tail + 0x632BE59BD9B4E019ULL + (k.head >> 29));
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return static_cast<size_t>(h) & (slots_.size() - 1);
}

size_t TotalsLedger::KeyCounts::find(const Key& k) const
{
    const size_t mask = slots_.size() - 1;
    size_t i = home(k);
    while (slots_[i].count() != 0 && !slots_[i].holds(k)) i = (i + 1) & mask;
    return i;
}

void TotalsLedger::KeyCounts::grow()
{
    LargeArray<Slot> old = std::move(slots_);
    size_t capacity = 64;
    while (capacity < (live_ + 1) * 4) capacity *= 2;  // zero counts are dropped here
    slots_.assignZeroed(capacity);
    used_ = 0;
    for (const Slot& s : old)
        if (s.count() > 1) {
            slots_[find(Key{s.head, s.tailAndCount & keyTailMask})] = s;
            ++used_;
        }
}

void TotalsLedger::KeyCounts::add(const Key& k, size_t at)
{
    Slot& s = slots_[at];
    if (s.count() == 0) {
        s = Slot{k.head, k.tail | countOne};
        ++used_;
    }
    if (s.count() == 1) ++live_;
    s.tailAndCount += countOne;
}

void TotalsLedger::KeyCounts::build(const std::vector<Key>& keys, uint64_t tailMask)
{
    clear(keys.size());
    // Into buckets by the top bits of their home slot, then counted bucket by bucket: each
    // bucket's slots are a few kilobytes of the table.
    const size_t bits = static_cast<size_t>(__builtin_ctzll(slots_.size()));
    const size_t shift = bits > 11 ? bits - 11 : 0;
    std::vector<uint32_t> starts((slots_.size() >> shift) + 1, 0);
    for (const Key& k : keys) ++starts[(home(Key{k.head, k.tail & tailMask}) >> shift) + 1];
    for (size_t b = 1; b < starts.size(); ++b) starts[b] += starts[b - 1];
    std::vector<Key> sorted(keys.size());
    for (const Key& k : keys) {
        const Key own{k.head, k.tail & tailMask};
        sorted[starts[home(own) >> shift]++] = own;
    }
    for (const Key& k : sorted) add(k, find(k));
}

void TotalsLedger::KeyCounts::increment(const Key& k)
{
    if (slots_.empty()) clear(0);
    if ((used_ + 1) * 2 > slots_.size()) grow();
    add(k, find(k));
}

void TotalsLedger::KeyCounts::decrement(const Key& k)
{
    if (slots_.empty()) return;
    Slot& s = slots_[find(k)];
    if (s.count() > 1) {
        s.tailAndCount -= countOne;
        if (s.count() == 1) --live_;
    }
}

bool TotalsLedger::KeyCounts::contains(const Key& k) const
{
    if (slots_.empty()) return false;
    return slots_[find(k)].count() > 1;
}

void TotalsLedger::add(const Entry& e)
{
    afmCounts_.increment(afmOnly(e.key));
    pairCounts_.increment(e.key);
    if (e.bad) ++badCount_;
    if (e.summed && !e.bad)
        for (size_t i = 0; i < 9; ++i) sums_[i] += e.units[i];
}

void TotalsLedger::remove(const Entry& e)
{
    afmCounts_.decrement(afmOnly(e.key));
    pairCounts_.decrement(e.key);
    if (e.bad) --badCount_;
    if (e.summed && !e.bad)
        for (size_t i = 0; i < 9; ++i) sums_[i] -= e.units[i];
}

void TotalsLedger::rebuild()
{
    sums_ = {};
    badCount_ = 0;
    const size_t n = store_.active() ? static_cast<size_t>(store_.countRecords()) : 0;
    // Parsing the amounts is most of the work: the second core parses the second half
    // meanwhile, into sums of its own.
    std::vector<Key> keys(n);
    struct Part {
        std::array<Int128, 9> sums{};
        size_t bad = 0;
    };
    auto parse = [&](size_t from, size_t to, Part& part) {
        size_t i = from;
        store_.forEachLineIn(from, to, [&](std::string_view text) {
            const Entry e = entryOf(text);
            keys[i++] = e.key;
            if (e.bad) ++part.bad;
            else if (e.summed)
                for (size_t k = 0; k < 9; ++k) part.sums[k] += e.units[k];
        });
    };
    constexpr size_t twoCores = 20000;
    Part first, second;
    const size_t half = n >= twoCores ? n / 2 : n;
    runBoth(
        half < n, [&] { parse(0, half, first); }, [&] { parse(half, n, second); });
    for (size_t k = 0; k < 9; ++k) sums_[k] = first.sums[k] + second.sums[k];
    badCount_ = first.bad + second.bad;
    // Each table on its own core.
    runBoth(
        n >= twoCores, [&] { afmCounts_.build(keys, afmTailMask); }, [&] { pairCounts_.build(keys, keyTailMask); });
}

void TotalsLedger::dataSetAboutToChange(const DataSetChange& change)
{
    if (change.kind == DataSetChange::RecordChanged || change.kind == DataSetChange::RecordRemoved)
        remove(entryOf(store_.lineAt(static_cast<size_t>(change.index))));
}

void TotalsLedger::dataSetChanged(const DataSetChange& change)
{
    switch (change.kind) {
    case DataSetChange::Reset:
        // Sums and counts do not depend on the order of the lines.
        if (!change.sameLines) rebuild();
        break;
    case DataSetChange::RecordInserted:
    case DataSetChange::RecordChanged: add(entryOf(store_.lineAt(static_cast<size_t>(change.index)))); break;
    default: break;
    }
}

std::optional<std::pair<size_t, std::string>> TotalsLedger::firstUnconvertible() const
{
    if (badCount_ == 0) return std::nullopt;
    // Rare (the user is told to fix it): the lines are read again rather than kept parsed.
    std::optional<std::pair<size_t, std::string>> found;
    size_t i = 0;
    store_.forEachLine([&](std::string_view text, int32_t) {
        const Entry e = entryOf(text);
        if (e.bad) found.emplace(i, format("'%s' is not a valid floating point value", {e.badText}));
        ++i;
        return !found;
    });
    return found;
}

std::optional<std::string> TotalsLedger::unconvertibleMessage() const
{
    auto bad = firstUnconvertible();
    if (!bad) return std::nullopt;
    std::string text = cp1253::lit("Γραμμή ") + std::to_string(bad->first + 1) + ": " + bad->second;
    if (badCount_ == 2) text += cp1253::lit(" (και άλλη 1 γραμμή)");
    else if (badCount_ > 2)
        text += cp1253::lit(" (και άλλες ") + std::to_string(badCount_ - 1) + cp1253::lit(" γραμμές)");
    return text;
}

std::array<Amount, 9> TotalsLedger::sums() const
{
    if (auto bad = firstUnconvertible()) throw ConvertError(bad->second);
    std::array<Amount, 9> out;
    for (size_t i = 0; i < 9; ++i) out[i] = Amount::fromUnits(sums_[i]);
    return out;
}

bool TotalsLedger::hasPair(std::string_view afm, std::string_view typeInc) const
{
    if (afm.size() > 9 || typeInc.size() > 2) return false;  // no stored field is that long
    return pairCounts_.contains(keyOf(afm, typeInc));
}

bool TotalsLedger::hasDuplicatePairs() const
{
    // Fewer distinct pairs than lines: some pair comes twice.
    return store_.active() && pairCounts_.live() < static_cast<size_t>(store_.countRecords());
}

}  // namespace edlt
