// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/GridRules.h"

#include <algorithm>

#include "core/base/Cp1253.h"

namespace edlt {

const std::array<GridColumn, GridColumnCount>& detailGridColumns()
{
    using namespace detail;
    using K = KeyFilterKind;
    static const std::array<GridColumn, GridColumnCount> columns = {{
        {AFM, "ΑΦΜ (*)", 0, K::Digits},
        {SurName, "ΕΠΩΝΥΜΟ", 0, K::None},
        {Name, "ΟΝΟΜΑ", 75, K::None},
        {FatherName, "ΟΝΟΜΑ ΠΑΤΕΡΑ Ή ΣΥΖΥΓΟΥ", 77, K::None},
        {City, "ΠΟΛΗ", 75, K::None},
        {Street, "ΟΔΟΣ", 0, K::None},
        {StreetNo, "ΑΡΙΘΜΟΣ", 0, K::None},
        {TK, nullptr, 0, K::Digits},
        {TypeInc, "ΕΙΔΟΣ ΑΠΟΔΟΧΩΝ (*)", 65, K::Lookup},
        {AkaInc, "ΑΚΑΘΑΡΙΣΤΕΣ ΑΠΟΔΟΧΕΣ (*)", 72, K::Amount},
        {Xartosimo, "ΧΑΡΤΟΣΗΜΟ", 0, K::Amount},
        {OGAXart, "ΟΓΑ ΧΑΡΤΟΣΗΜΟΥ", 72, K::Amount},
        {Kratiseis, "ΚΡΑΤΗΣΕΙΣ  (ΕΚΤΟΣ ΦΟΡΟΥ) (*)", 65, K::Amount},
        {Kathares, "ΚΑΘΑΡΕΣ ΑΠΟΔΟΧΕΣ   (*)", 65, K::Amount},
        {ForosParakr, "ΦΟΡΟΣ ΠΟΥ ΠΑΡΑΚΡΑΤΗ- ΘΗΚΕ", 72, K::Amount},
        {ForosAnal, "ΦΟΡΟΣ ΠΟΥ ΑΝΑΛΟΓΕΙ", 72, K::Amount},
        {Ypokatastima, "ΥΠΟΚ/ΜΑ ΜΙΣΘΩΤΟΥ", 65, K::None},
        {Hmeres, "ΣΥΝΟΛΟ ΗΜΕΡΩΝ ΑΠ/ΣΗΣ", 65, K::Digits},
        {OGAForouParakr, "ΟΓΑ ΦΟΡΟΥ ΠΟΥ ΠΑΡ/ΘΗΚΕ", 72, K::Amount},
        {OGAForouAnal, "ΟΓΑ ΦΟΡΟΥ ΠΟΥ ΑΝΑΛΟΓΕΙ", 72, K::Amount},
    }};
    return columns;
}

std::string columnTitle(int column)
{
    const GridColumn& c = detailGridColumns().at(static_cast<size_t>(column));
    return c.titleUtf8 ? cp1253::lit(c.titleUtf8) : std::string(detail::fields[c.field].name);
}

bool amountKeyFilter(std::string_view text, char& key, const std::function<void()>& beep)
{
    const bool passes = key == 8 || (key >= '0' && key <= '9') ||
                        (key == ',' && text.find(',') == std::string_view::npos);
    if (passes) return true;
    key = '\0';
    if (beep) beep();
    return false;
}

namespace {

std::string digitsOf(Int128 v)
{
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v > 0);
    return s;
}

Int128 roundedTo(Int128 v, int droppedDigits)
{
    Int128 p = 1;
    for (int i = 0; i < droppedDigits; ++i) p *= 10;
    return (v + p / 2) / p;
}

}  // namespace

std::string generalDecimalText(Amount amount)
{
    constexpr int decimals = 4;  // the amount's units are ten-thousandths
    constexpr int precision = 15;
    Int128 units = amount.units();
    std::string sign = units < 0 ? "-" : "";
    if (units < 0) units = -units;
    if (units == 0) return "0";

    // Round to 15 significant digits.
    std::string digits = digitsOf(units);
    int exponent = static_cast<int>(digits.size()) - 1 - decimals;  // of the leading digit
    if (static_cast<int>(digits.size()) > precision) {
        int dropped = static_cast<int>(digits.size()) - precision;
        digits = digitsOf(roundedTo(units, dropped));
        exponent = static_cast<int>(digits.size()) + dropped - 1 - decimals;
        digits.resize(static_cast<size_t>(precision));
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    if (exponent >= precision) {
        std::string s = sign + digits.substr(0, 1);
        if (digits.size() > 1) s += "," + digits.substr(1);
        return s + "E" + std::to_string(exponent);
    }
    std::string s = sign;
    if (exponent < 0) {
        s += "0," + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<int>(digits.size()) <= exponent + 1) {
        s += digits + std::string(static_cast<size_t>(exponent + 1) - digits.size(), '0');
    } else {
        s += digits.substr(0, static_cast<size_t>(exponent + 1)) + "," +
             digits.substr(static_cast<size_t>(exponent + 1));
    }
    return s;
}

const std::string& negativeNetPayMessage()
{
    static const std::string text = cp1253::lit(
        "Οι Καθαρές Αποδοχές βγαίνουν αρνητικές. Ελέγξτε τα ποσά των διάφορων κρατήσεων καθώς και τις "
        "Ακαθάριστες αποδοχές");
    return text;
}

NetPayProposal proposeNetPay(std::string_view gross, std::string_view deductions)
{
    Amount g = Amount::tryParse(gross).value_or(Amount());
    Amount k = Amount::tryParse(deductions).value_or(Amount());
    Amount d = g - k;
    if (d.negative()) return {"0", negativeNetPayMessage()};
    return {generalDecimalText(d), std::nullopt};
}

}  // namespace edlt
