#pragma once
// What RecomputeTotals needs from the detail lines, kept current line by line: the nine
// sums (income types 15 and 16 left out), the distinct tax numbers, and an index of
// (tax number, income type) pairs for the duplicate search. It follows the store through
// its change notifications, so a store or delete costs one line's work instead of a pass
// over every line; the results are those of summing the lines afresh.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Amount.h"
#include "base/LargeArray.h"
#include "store/FixedFormatDataSet.h"

namespace edlt {

class TotalsLedger : public DataSetObserver {
public:
    explicit TotalsLedger(TFixedFormatDataSet& store);
    ~TotalsLedger() override;
    TotalsLedger(const TotalsLedger&) = delete;
    TotalsLedger& operator=(const TotalsLedger&) = delete;

    void dataSetChanged(const DataSetChange& change) override;
    void rebuild();

    size_t distinctTaxNumbers() const { return afmCounts_.live(); }
    // The sums in schema order of the amount fields; throws the conversion error of the
    // first line (in line order) holding an amount that is not a number.
    std::array<Amount, 9> sums() const;
    // Lines holding an amount that is not a number: how many, and the first in line order
    // (its 0-based index and the conversion message); nullopt when there is none.
    size_t unconvertibleLines() const { return badCount_; }
    std::optional<std::pair<size_t, std::string>> firstUnconvertible() const;
    // "Γραμμή N: " and the first one's conversion message, then "(και άλλες M γραμμές)"
    // when there are more (Windows-1253); nullopt when every amount converts.
    std::optional<std::string> unconvertibleMessage() const;
    // Whether a stored line has this tax number and income type (texts as the fields give them).
    bool hasPair(std::string_view afm, std::string_view typeInc) const;

private:
    // A tax number (at most 9 bytes) and an income type (at most 2) packed into two words,
    // so a million lines hash without a string each.
    struct Key {
        uint64_t head = 0;  // the tax number's first 8 bytes
        uint64_t tail = 0;  // its 9th byte, its length, then the income type and its length
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const
        {
            uint64_t h = k.head * 0x9E3779B97F4A7C15ULL ^ (k.tail + 0x632BE59BD9B4E019ULL + (k.head >> 29));
            return static_cast<size_t>(h ^ (h >> 32));
        }
    };
    struct Entry {
        std::array<int64_t, 9> units{};
        Key key;
        std::string badText;  // the first amount that is not a number, when summed
        bool summed = false;
        bool bad = false;
    };

    // Counts per key in one flat array (linear probing): a million lines are counted without
    // a node each and without chasing pointers. A key whose count falls to zero keeps its
    // slot until the next rebuild, so nothing is ever erased.
    class KeyCounts {
    public:
        void clear(size_t expected);
        void increment(const Key& k);
        void decrement(const Key& k);
        bool contains(const Key& k) const;
        size_t live() const { return live_; }
        // A hint that k is counted soon: its slot is fetched into the cache meanwhile.
        void prefetch(const Key& k) const;

    private:
        struct Slot {
            Key key;
            int count = -1;  // -1: never used
        };
        size_t home(const Key& k) const;  // where probing for k starts
        size_t find(const Key& k) const;  // the key's slot, or the empty slot where it belongs
        void grow();

        LargeArray<Slot> slots_;
        size_t used_ = 0;  // slots ever taken
        size_t live_ = 0;  // keys with a count above zero
    };

    Entry entryOf(std::string_view line) const;
    Entry& slot(int32_t id);
    const Entry& slot(int32_t id) const;
    void add(const Entry& e);
    void remove(const Entry& e);
    static Key keyOf(std::string_view afm, std::string_view typeInc);
    static Key afmOnly(const Key& k) { return {k.head, k.tail & 0xFFFF}; }

    TFixedFormatDataSet& store_;
    // By record id, in pages: a change anywhere finds its line's entry without moving
    // others, and a new line never moves the million before it.
    static constexpr size_t pageSize = 4096;
    std::vector<std::unique_ptr<Entry[]>> pages_;
    std::array<Int128, 9> sums_{};
    size_t badCount_ = 0;
    KeyCounts afmCounts_;
    KeyCounts pairCounts_;
};

}  // namespace edlt
