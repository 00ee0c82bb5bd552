// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows-1253 bytes to QString and back by table, for text drawn many times a second
// (grid cells, list rows): the core's table of the code page, as gui/common/Text.h.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace edlt::ui {

QString cellString(std::string_view cp1253);
// The byte of one character, nullopt when the code page has no place for it.
std::optional<char> cellByte(QChar c);

}  // namespace edlt::ui
