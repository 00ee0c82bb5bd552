// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/CellText.h"

#include "core/base/Cp1253.h"
#include "gui/common/Text.h"

namespace edlt::ui {

QString cellString(std::string_view cp1253)
{
    return fromCp(cp1253);
}

std::optional<char> cellByte(QChar c)
{
    return cp1253::fromUnicode(c.unicode());
}

}  // namespace edlt::ui
