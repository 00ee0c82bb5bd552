// SPDX-License-Identifier: GPL-3.0-or-later
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

#include "core/base/Amount.h"
#include "core/base/LargeArray.h"
#include "core/store/FixedWidthTable.h"

namespace edlt {

class TotalsLedger : public DataSetObserver {
public:
    explicit TotalsLedger(FixedWidthTable& store);
    ~TotalsLedger() override;
    TotalsLedger(const TotalsLedger&) = delete;
    TotalsLedger& operator=(const TotalsLedger&) = delete;

    // A line's old contents leave the sums before it changes or goes; its new ones join after.
    void dataSetAboutToChange(const DataSetChange& change) override;
    void dataSetChanged(const DataSetChange& change) override;
    bool followsFields() const override { return false; }
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
    // What one line adds to the sums, in schema order of the amount fields (nothing for
    // income types 15 and 16); false, with the first amount that is not a number in badText,
    // when a summed amount is not one.
    static bool lineUnits(std::string_view line, std::array<int64_t, 9>& units, std::string_view& badText);
    // Whether a stored line has this tax number and income type (texts as the fields give them).
    bool hasPair(std::string_view afm, std::string_view typeInc) const;
    // Whether two stored lines share tax number and income type.
    bool hasDuplicatePairs() const;

private:
    // A tax number (at most 9 bytes) and an income type (at most 2) packed into two words,
    // so a million lines hash without a string each. The tail's top bits are left free for
    // the count kept beside it in the table.
    struct Key {
        uint64_t head = 0;  // the tax number's first 8 bytes
        uint64_t tail = 0;  // its 9th byte and length (12 bits), the income type and its length (18 bits)
        bool operator==(const Key&) const = default;
    };
    static constexpr int keyTailBits = 30;
    static constexpr uint64_t keyTailMask = (uint64_t(1) << keyTailBits) - 1;
    static constexpr uint64_t countOne = uint64_t(1) << keyTailBits;  // one more in a slot's count
    static constexpr uint64_t afmTailMask = 0xFFF;
    // What one line adds to the ledger.
    struct Entry {
        std::array<int64_t, 9> units{};
        Key key;
        std::string_view badText;  // the first amount that is not a number, when summed
        bool summed = false;
        bool bad = false;
    };

    // Counts per key in one flat array (linear probing): a million lines are counted without
    // a node each and without chasing pointers. A key whose count falls to zero keeps its
    // slot until the next rebuild, so nothing is ever erased.
    class KeyCounts {
    public:
        void clear(size_t expected);
        // Counts every key afresh; slots are filled in the order they lie in the table, so a
        // million keys cost no cache miss each.
        void build(const std::vector<Key>& keys, uint64_t tailMask);
        void increment(const Key& k);
        void decrement(const Key& k);
        bool contains(const Key& k) const;
        size_t live() const { return live_; }

    private:
        // The key and its count in 16 bytes: the count (plus one; zero for a slot never used)
        // above the key's tail bits. An all-zero table is an empty one.
        struct Slot {
            uint64_t head;
            uint64_t tailAndCount;
            uint64_t count() const { return tailAndCount >> keyTailBits; }
            bool holds(const Key& k) const { return head == k.head && (tailAndCount & keyTailMask) == k.tail; }
        };
        size_t home(const Key& k) const;  // where probing for k starts
        size_t find(const Key& k) const;  // the key's slot, or the empty slot where it belongs
        void grow();
        void add(const Key& k, size_t at);

        LargeArray<Slot> slots_;
        size_t used_ = 0;  // slots ever taken
        size_t live_ = 0;  // keys with a count above zero
    };

    static Entry entryOf(std::string_view line);
    void add(const Entry& e);
    void remove(const Entry& e);
    static Key keyOf(std::string_view afm, std::string_view typeInc);
    static Key afmOnly(const Key& k) { return {k.head, k.tail & afmTailMask}; }

    FixedWidthTable& store_;
    std::array<Int128, 9> sums_{};
    size_t badCount_ = 0;
    KeyCounts afmCounts_;
    KeyCounts pairCounts_;
};

}  // namespace edlt
