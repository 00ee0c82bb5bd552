// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the whole-declaration check reads of a declaration, and nothing it could change:
// the stored lines, their ledger, the header and the date the checks count the year from.
// The session is one; the check knows no more of it.
#include "core/store/FixedWidthTable.h"
#include "core/store/HeaderFields.h"

namespace edlt {

class TotalsLedger;

struct CalendarDate {
    int year, month, day;
};

class DeclarationView {
public:
    virtual ~DeclarationView() = default;

    virtual const FixedWidthTable& detailStore() const = 0;
    // The index of stored lines the line validation searches for duplicates.
    virtual const TotalsLedger& ledger() const = 0;
    virtual const HeaderFields& header() const = 0;
    virtual CalendarDate today() const = 0;

protected:
    DeclarationView() = default;
    DeclarationView(const DeclarationView&) = default;
    DeclarationView& operator=(const DeclarationView&) = default;
};

}  // namespace edlt
