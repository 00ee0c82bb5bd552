// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the totals boxes and of the record counter, made from the ledger of the
// detail lines. After stores whose outcome is shown once at the end (an import) they are
// made again only when next read, not after every line.
#include <string>

#include "core/store/DeclarationFile.h"
#include "core/store/FixedWidthTable.h"

namespace edlt {

class TotalsLedger;

class TotalsDisplay {
public:
    TotalsDisplay(const FixedWidthTable& details, const TotalsLedger& ledger);

    // The totals boxes Edit1..Edit9 (index 0 is Edit1).
    const TotalsTexts& texts() const
    {
        refresh();
        return texts_;
    }
    const std::string& counter() const
    {
        refresh();
        return counter_;
    }

    // "N Εγγραφές": the count alone, shown before the lines reach the workspace files.
    void countLines();
    // The nine totals, and the count with the distinct tax numbers; the totals and the
    // distinct tax numbers stay blank while a line holds an amount that is not a number.
    void build();
    // Made again when next read.
    void markStale() { stale_ = true; }
    // A new declaration: blank totals, until its lines are counted.
    void clear();

private:
    void refresh() const;
    void make() const;

    const FixedWidthTable& details_;
    const TotalsLedger& ledger_;
    mutable TotalsTexts texts_;
    mutable std::string counter_;
    mutable bool stale_ = false;
};

}  // namespace edlt
