// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's side of the code page: the core keeps Windows-1253 bytes, widgets show
// QString. Text the code page cannot hold is refused, never replaced.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace edlt::ui {

// Through the core's table of the code page; its unassigned bytes show as U+FFFD.
QString fromCp(std::string_view cp1253);
// nullopt when a character has no place in Windows-1253.
std::optional<std::string> toCp(const QString& text);
// A UTF-8 literal as a QString (for our own captions).
inline QString tr8(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

}  // namespace edlt::ui
