// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/TotalsDisplay.h"

#include <array>

#include "core/base/Cp1253.h"
#include "core/rules/TotalsLedger.h"

namespace edlt {

namespace {

// Which totals box shows each amount field's sum, in the amount fields' schema order.
constexpr std::array<int, 9> boxOfAmount = {0, 4, 5, 1, 2, 3, 6, 7, 8};

// The counter's words, converted once: a store made them again every time.
const std::string& recordsWord()
{
    static const std::string word = cp1253::lit(" Εγγραφές");
    return word;
}

const std::string& distinctWord()
{
    static const std::string word = cp1253::lit(" μοναδικοί ΑΦΜ");
    return word;
}

}  // namespace

TotalsDisplay::TotalsDisplay(const FixedWidthTable& details, const TotalsLedger& ledger)
    : details_(details), ledger_(ledger), counter_(cp1253::lit(" Εγγραφές (Πελάτες)"))
{
}

void TotalsDisplay::countLines()
{
    stale_ = false;
    counter_ = std::to_string(details_.countRecords()) + recordsWord();
}

void TotalsDisplay::build()
{
    stale_ = false;
    make();
}

void TotalsDisplay::make() const
{
    counter_ = std::to_string(details_.countRecords()) + recordsWord();
    if (ledger_.unconvertibleLines() > 0) {
        // Never figures that leave lines out, nor those of the lines before.
        texts_ = {};
    } else {
        std::array<Amount, 9> sums = ledger_.sums();
        for (size_t i = 0; i < sums.size(); ++i) texts_[static_cast<size_t>(boxOfAmount[i])] = sums[i].text();
        counter_ += "-" + std::to_string(ledger_.distinctTaxNumbers()) + distinctWord();
    }
}

void TotalsDisplay::clear()
{
    texts_ = {};
    stale_ = false;
}

void TotalsDisplay::refresh() const
{
    if (!stale_) return;
    stale_ = false;
    make();
}

}  // namespace edlt
