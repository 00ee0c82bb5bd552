#include "entry/TotalsLedger.h"

#include <limits>

#include "store/DetailRecord.h"
#include "store/Error.h"

namespace edlt {
namespace {

// A field as the store gives it with TrimSpace: trailing blanks removed, empty when the
// line ends before it.
std::string_view fieldOf(std::string_view line, detail::Field field)
{
    const detail::FieldDef& f = detail::fields[field];
    if (line.size() <= static_cast<size_t>(f.offset)) return {};
    std::string_view v = line.substr(static_cast<size_t>(f.offset), static_cast<size_t>(f.width));
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    return v;
}

int64_t clampUnits(__int128 v)
{
    constexpr __int128 hi = std::numeric_limits<int64_t>::max();
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

std::string TotalsLedger::pairKey(std::string_view afm, std::string_view typeInc)
{
    // A line break never occurs inside a stored line, so it separates the two safely.
    std::string key(afm);
    key += '\n';
    key += typeInc;
    return key;
}

TotalsLedger::Entry TotalsLedger::entryOf(std::string_view line) const
{
    Entry e;
    e.afm = fieldOf(line, detail::AFM);
    e.typeInc = fieldOf(line, detail::TypeInc);
    e.summed = e.typeInc != "15" && e.typeInc != "16";
    if (!e.summed) return e;
    for (size_t i = 0; i < detail::amountFields.size(); ++i) {
        std::string_view text = fieldOf(line, detail::amountFields[i]);
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

void TotalsLedger::add(const Entry& e)
{
    ++afmCounts_[e.afm];
    ++pairCounts_[pairKey(e.afm, e.typeInc)];
    if (e.bad) ++badCount_;
    if (e.summed && !e.bad)
        for (size_t i = 0; i < 9; ++i) sums_[i] += e.units[i];
}

void TotalsLedger::remove(const Entry& e)
{
    if (auto it = afmCounts_.find(e.afm); it != afmCounts_.end() && --it->second == 0) afmCounts_.erase(it);
    if (auto it = pairCounts_.find(pairKey(e.afm, e.typeInc)); it != pairCounts_.end() && --it->second == 0)
        pairCounts_.erase(it);
    if (e.bad) --badCount_;
    if (e.summed && !e.bad)
        for (size_t i = 0; i < 9; ++i) sums_[i] -= e.units[i];
}

void TotalsLedger::rebuild()
{
    entries_.clear();
    afmCounts_.clear();
    pairCounts_.clear();
    sums_ = {};
    badCount_ = 0;
    if (!store_.Active()) return;
    const size_t n = static_cast<size_t>(store_.CountRecords());
    afmCounts_.reserve(n);
    pairCounts_.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        entries_.push_back(entryOf(store_.LineAt(i)));
        add(entries_.back());
    }
}

void TotalsLedger::dataSetChanged(const DataSetChange& change)
{
    const size_t index = static_cast<size_t>(change.index);
    switch (change.kind) {
    case DataSetChange::Reset:
        rebuild();
        break;
    case DataSetChange::RecordInserted:
        entries_.insert(entries_.begin() + static_cast<long>(index), entryOf(store_.LineAt(index)));
        add(entries_[index]);
        break;
    case DataSetChange::RecordChanged:
        remove(entries_[index]);
        entries_[index] = entryOf(store_.LineAt(index));
        add(entries_[index]);
        break;
    case DataSetChange::RecordRemoved:
        remove(entries_[index]);
        entries_.erase(entries_.begin() + static_cast<long>(index));
        break;
    default:
        break;
    }
}

std::array<Amount, 9> TotalsLedger::sums() const
{
    if (badCount_ > 0) {
        for (const Entry& e : entries_)
            if (e.bad) throw ConvertError(format("'%s' is not a valid floating point value", {e.badText}));
    }
    std::array<Amount, 9> out;
    for (size_t i = 0; i < 9; ++i) out[i] = Amount::fromUnits(sums_[i]);
    return out;
}

bool TotalsLedger::hasPair(std::string_view afm, std::string_view typeInc) const
{
    return pairCounts_.count(pairKey(afm, typeInc)) > 0;
}

}  // namespace edlt
