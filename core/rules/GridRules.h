// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The detail grid's rules that need no widgets: its twenty columns, what each lets the
// user type, and the net pay proposed on entering the net-pay column.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/Amount.h"
#include "core/store/DetailRecord.h"

namespace edlt {

// What a column lets through from the keyboard.
enum class KeyFilterKind { None, Digits, Amount, Lookup };

struct GridColumn {
    detail::Field field;
    const char* titleUtf8;  // nullptr: the field name is shown
    int width;              // pixels; 0 for the default width of the field's size
    KeyFilterKind filter;
};

inline constexpr int GridColumnCount = 20;
// Column indexes the grid's handlers test.
inline constexpr int TypeIncColumn = 8;
inline constexpr int AkaIncColumn = 9;
inline constexpr int KatharesColumn = 13;

const std::array<GridColumn, GridColumnCount>& detailGridColumns();
// The title shown for a column, Windows-1253.
std::string columnTitle(int column);

// Lets backspace, digits and a first comma through; anything else (tab and full stop
// included) becomes the null character and beeps. text is what the editor holds besides
// the key. Returns whether the key passed.
bool amountKeyFilter(std::string_view text, char& key, const std::function<void()>& beep);

// The net pay proposed for gross minus deductions (empty or unreadable values count as 0):
// the difference in its shortest decimal form, or "0" and the notice when it is negative.
struct NetPayProposal {
    std::string net;
    std::optional<std::string> message;
};
NetPayProposal proposeNetPay(std::string_view gross, std::string_view deductions);

// An amount in the shortest general decimal form with at most 15 significant digits and
// a comma: 749,5; 1000; 1,5E16.
std::string generalDecimalText(Amount amount);

const std::string& negativeNetPayMessage();

}  // namespace edlt
