#include "entry/TotalsLedger.h"

#include <limits>
#include <optional>
#include <thread>

#include "store/DetailRecord.h"
#include "base/Cp1253.h"
#include "base/Error.h"

namespace edlt {
namespace {

// A field as the store gives it with TrimSpace: trailing blanks removed, empty when the
// line ends before it.
int64_t clampUnits(Int128 v)
{
    constexpr Int128 hi = std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(v > hi ? hi : v < -hi ? -hi : v);
}

}  // namespace

TotalsLedger::TotalsLedger(TFixedFormatDataSet& store) : store_(store)
{
    store_.AddObserver(this);
    rebuild();
}

TotalsLedger::~TotalsLedger()
{
    store_.RemoveObserver(this);
}

TotalsLedger::Key TotalsLedger::keyOf(std::string_view afm, std::string_view typeInc)
{
    // Field values are never longer than their fields (9 and 2 bytes); the lengths keep
    // "12" and "12\0" apart.
    Key k;
    for (size_t i = 0; i < afm.size() && i < 8; ++i) k.head |= uint64_t(static_cast<unsigned char>(afm[i])) << (8 * i);
    if (afm.size() > 8) k.tail |= static_cast<unsigned char>(afm[8]);
    k.tail |= uint64_t(afm.size() & 0xFF) << 8;
    for (size_t i = 0; i < typeInc.size() && i < 2; ++i)
        k.tail |= uint64_t(static_cast<unsigned char>(typeInc[i])) << (16 + 8 * i);
    k.tail |= uint64_t(typeInc.size() & 0xFF) << 32;
    return k;
}

TotalsLedger::Entry TotalsLedger::entryOf(std::string_view line) const
{
    Entry e;
    const std::string_view typeInc = detail::fieldValue(line, detail::TypeInc);
    e.key = keyOf(detail::fieldValue(line, detail::AFM), typeInc);
    e.summed = typeInc != "15" && typeInc != "16";
    if (!e.summed) return e;
    for (size_t i = 0; i < detail::amountFields.size(); ++i) {
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

void TotalsLedger::KeyCounts::clear(size_t expected)
{
    size_t capacity = 64;
    while (capacity < expected * 2) capacity *= 2;
    slots_.assign(capacity, Slot{});
    used_ = live_ = 0;
}

size_t TotalsLedger::KeyCounts::home(const Key& k) const
{
    // Probing takes the low bits: mix the high ones in first (the finaliser of MurmurHash3).
    uint64_t h = KeyHash{}(k);
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return static_cast<size_t>(h) & (slots_.size() - 1);
}

void TotalsLedger::KeyCounts::prefetch(const Key& k) const
{
    if (!slots_.empty()) __builtin_prefetch(&slots_[home(k)], 1);
}

size_t TotalsLedger::KeyCounts::find(const Key& k) const
{
    const size_t mask = slots_.size() - 1;
    size_t i = home(k);
    while (slots_[i].count >= 0 && !(slots_[i].key == k)) i = (i + 1) & mask;
    return i;
}

void TotalsLedger::KeyCounts::grow()
{
    LargeArray<Slot> old = std::move(slots_);
    size_t capacity = 64;
    while (capacity < (live_ + 1) * 4) capacity *= 2;  // zero counts are dropped here
    slots_.assign(capacity, Slot{});
    used_ = 0;
    for (const Slot& s : old)
        if (s.count > 0) {
            slots_[find(s.key)] = s;
            ++used_;
        }
}

void TotalsLedger::KeyCounts::increment(const Key& k)
{
    if (slots_.empty()) clear(0);
    if ((used_ + 1) * 2 > slots_.size()) grow();
    Slot& s = slots_[find(k)];
    if (s.count < 0) {
        s.key = k;
        s.count = 0;
        ++used_;
    }
    if (s.count++ == 0) ++live_;
}

void TotalsLedger::KeyCounts::decrement(const Key& k)
{
    if (slots_.empty()) return;
    Slot& s = slots_[find(k)];
    if (s.count > 0 && --s.count == 0) --live_;
}

bool TotalsLedger::KeyCounts::contains(const Key& k) const
{
    if (slots_.empty()) return false;
    const Slot& s = slots_[find(k)];
    return s.count > 0;
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
    pages_.clear();
    const size_t n = store_.Active() ? static_cast<size_t>(store_.CountRecords()) : 0;
    afmCounts_.clear(n);
    pairCounts_.clear(n);
    sums_ = {};
    badCount_ = 0;
    if (!store_.Active()) return;
    std::vector<std::pair<std::string_view, int32_t>> lines;
    lines.reserve(n);
    store_.ForEachLine([&](const std::string& text, int32_t id) {
        lines.emplace_back(text, id);
        slot(id);  // every page exists before the parsing threads write into them
    });
    // Parsing the amounts is most of the work: the second core parses the second half
    // meanwhile. Counting and summing then go in line order on this one.
    auto parse = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) slot(lines[i].second) = entryOf(lines[i].first);
    };
    if (n >= 20000) {
        std::thread second(parse, n / 2, n);
        parse(0, n / 2);
        second.join();
    } else {
        parse(0, n);
    }
    // Counting is one cache miss per line and table: each table on its own core, the
    // slots of lines a little ahead fetched while the current ones are counted.
    constexpr size_t ahead = 16;
    auto count = [&](KeyCounts& counts, Key (*keyFor)(const Key&)) {
        for (size_t i = 0; i < n; ++i) {
            if (i + ahead < n) counts.prefetch(keyFor(slot(lines[i + ahead].second).key));
            counts.increment(keyFor(slot(lines[i].second).key));
        }
    };
    auto pairs = [&] { count(pairCounts_, [](const Key& k) { return k; }); };
    std::optional<std::thread> second;
    if (n >= 20000) second.emplace(pairs);
    count(afmCounts_, &afmOnly);
    for (const auto& [text, id] : lines) {
        const Entry& e = slot(id);
        if (e.bad) ++badCount_;
        if (e.summed && !e.bad)
            for (size_t i = 0; i < 9; ++i) sums_[i] += e.units[i];
    }
    if (second) second->join();
    else pairs();
}

TotalsLedger::Entry& TotalsLedger::slot(int32_t id)
{
    const auto at = static_cast<size_t>(id - 1);
    while (pages_.size() <= at / pageSize) pages_.push_back(std::make_unique<Entry[]>(pageSize));
    return pages_[at / pageSize][at % pageSize];
}

const TotalsLedger::Entry& TotalsLedger::slot(int32_t id) const
{
    const auto at = static_cast<size_t>(id - 1);
    return pages_[at / pageSize][at % pageSize];
}

void TotalsLedger::dataSetChanged(const DataSetChange& change)
{
    const size_t index = static_cast<size_t>(change.index);
    switch (change.kind) {
    case DataSetChange::Reset:
        rebuild();
        break;
    case DataSetChange::RecordInserted: {
        Entry& e = slot(change.id);
        e = entryOf(store_.LineAt(index));
        add(e);
        break;
    }
    case DataSetChange::RecordChanged: {
        Entry& e = slot(change.id);
        remove(e);
        e = entryOf(store_.LineAt(index));
        add(e);
        break;
    }
    case DataSetChange::RecordRemoved: {
        Entry& e = slot(change.id);
        remove(e);
        e = Entry{};
        break;
    }
    default:
        break;
    }
}

std::optional<std::pair<size_t, std::string>> TotalsLedger::firstUnconvertible() const
{
    if (badCount_ == 0) return std::nullopt;
    for (size_t i = 0; i < static_cast<size_t>(store_.CountRecords()); ++i) {
        const Entry& e = slot(store_.LineIdAt(i));
        if (e.bad) return std::pair{i, format("'%s' is not a valid floating point value", {e.badText})};
    }
    return std::nullopt;
}

std::optional<std::string> TotalsLedger::unconvertibleMessage() const
{
    auto bad = firstUnconvertible();
    if (!bad) return std::nullopt;
    std::string text = cp1253::lit("Γραμμή ") + std::to_string(bad->first + 1) + ": " + bad->second;
    if (badCount_ > 1) text += cp1253::lit(" (και άλλες ") + std::to_string(badCount_ - 1) + cp1253::lit(" γραμμές)");
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

}  // namespace edlt
