// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tax number (ΑΦΜ) check and the digit keystroke filter.
#include <functional>
#include <string_view>

namespace edlt {

// True when text is nine digits whose last is the check digit of the first eight.
// Converts as the program always has: a text that does not convert raises
// ConvertError("'%s' is not a valid integer value"); nine characters converting to 0
// (a sign or blanks before zeros) answer no without an error.
bool checkAFM(std::string_view text);

// Lets backspace, tab and digits through; anything else becomes the null character
// and beeps. Returns whether the key passed.
bool digitKeyFilter(char& key, const std::function<void()>& beep);

}  // namespace edlt
