#pragma once
// What RecomputeTotals needs from the detail lines, kept current line by line: the nine
// sums (income types 15 and 16 left out), the distinct tax numbers, and an index of
// (tax number, income type) pairs for the duplicate search. It follows the store through
// its change notifications, so a store or delete costs one line's work instead of a pass
// over every line; the results are those of summing the lines afresh.
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "entry/Amount.h"
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

    size_t lineCount() const { return entries_.size(); }
    size_t distinctTaxNumbers() const { return afmCounts_.size(); }
    // The sums in schema order of the amount fields; throws the conversion error of the
    // first line (in line order) holding an amount that is not a number.
    std::array<Amount, 9> sums() const;
    // Whether a stored line has this tax number and income type (texts as the fields give them).
    bool hasPair(std::string_view afm, std::string_view typeInc) const;

private:
    struct Entry {
        std::array<int64_t, 9> units{};
        std::string afm;
        std::string typeInc;
        std::string badText;  // the first amount that is not a number, when summed
        bool summed = false;
        bool bad = false;
    };

    Entry entryOf(std::string_view line) const;
    void add(const Entry& e);
    void remove(const Entry& e);
    static std::string pairKey(std::string_view afm, std::string_view typeInc);

    TFixedFormatDataSet& store_;
    std::deque<Entry> entries_;  // parallel to the store's lines
    std::array<__int128, 9> sums_{};
    size_t badCount_ = 0;
    std::unordered_map<std::string, int> afmCounts_;
    std::unordered_map<std::string, int> pairCounts_;
};

}  // namespace edlt
