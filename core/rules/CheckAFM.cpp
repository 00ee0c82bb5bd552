// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/CheckAFM.h"

#include "core/base/Convert.h"

namespace edlt {

bool checkAFM(std::string_view text)
{
    if (text.size() != 9) return false;
    if (strToInt(text) == 0) return false;
    int sum = 0;
    for (size_t i = 0; i < 8; ++i) sum += strToInt(text.substr(i, 1)) << (8 - i);
    int r = sum % 11;
    if (r == 10) r = 0;
    return r == strToInt(text.substr(8, 1));
}

bool digitKeyFilter(char& key, const std::function<void()>& beep)
{
    if (key == 8 || key == 9 || (key >= '0' && key <= '9')) return true;
    key = '\0';
    if (beep) beep();
    return false;
}

}  // namespace edlt
