// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the command line prints for scripts (--format=json|tsv): the findings of the check
// and the totals, with the pieces the comparison's output shares. Input texts are
// Windows-1253; everything made here is UTF-8.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/base/Amount.h"
#include "core/session/DeclarationCheck.h"

namespace edlt {

class TotalsLedger;

// The nine totals in the order of the totals boxes (Edit1..Edit9), with the line counts.
struct TotalsSummary {
    std::array<Amount, 9> sums{};
    size_t lines = 0;
    size_t distinctTaxNumbers = 0;
};
// The totals' names for scripts, in the order of the totals boxes.
inline constexpr std::array<const char*, 9> totalsKeys = {"gross_pay",    "deductions",       "net_pay",
                                                          "tax_withheld", "stamp_duty",       "oga_stamp_duty",
                                                          "tax_due",      "oga_tax_withheld", "oga_tax_due"};
// The totals box of each amount field's sum, in the amount fields' schema order.
inline constexpr std::array<size_t, 9> totalsBoxOfAmount = {0, 4, 5, 1, 2, 3, 6, 7, 8};

// The ledger's sums as the totals boxes order them; throws the conversion error as its sums().
TotalsSummary totalsSummary(const TotalsLedger& ledger, size_t lines);

// A JSON string (quotes included) of Windows-1253 text: valid UTF-8, escaped.
std::string jsonString(std::string_view cp1253Text);
// A TSV field of Windows-1253 text in UTF-8: tabs, line breaks and other control bytes
// shown as \xHH, so a field never splits a row.
std::string tsvField(std::string_view cp1253Text);
// An amount rounded to cents as a decimal string with a full stop: "1234.50", "-0.05".
std::string decimalPoint(const Amount& amount);
// An amount field's text as a decimal string with a full stop ("1234,5" gives "1234.50");
// a text that is not a number is kept as it is.
std::string decimalPoint(std::string_view cp1253Amount);

// "refusal", "question" or "conversion".
const char* findingKindKey(const CheckFinding& finding);
// The field a finding is about by its record name ("AkaInc", "YearOfData"), or "".
const char* findingFieldKey(const CheckFinding& finding);

// {"findings":[{"line":n,"field":"…","kind":"…","message":"…"},…],"refused_lines":n,
// "questions":n}, one line, then a line break.
std::string findingsJson(const CheckResult& result);
// A heading row "line field kind message", then a row a finding.
std::string findingsTsv(const CheckResult& result);
// {"gross_pay":"…",…,"lines":n,"distinct_tax_numbers":n} and a line break.
std::string totalsJson(const TotalsSummary& totals);
// A heading row "key value", then one row a total and the two counts.
std::string totalsTsv(const TotalsSummary& totals);

}  // namespace edlt
