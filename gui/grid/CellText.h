#pragma once
// Windows-1253 bytes to QString and back by table, for text drawn many times a second
// (grid cells, list rows). Agrees with ui/Text.h, which it is built from.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace edlt::ui {

QString cellString(std::string_view cp1253);
// The byte of one character, nullopt when the code page has no place for it.
std::optional<char> cellByte(QChar c);

}  // namespace edlt::ui
