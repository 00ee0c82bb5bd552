// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text in the core is Windows-1253 bytes. These convert at the edges (command line,
// file names, source literals, spreadsheets, the window) through the one table of the code
// page here; nothing is ever silently replaced on the way in.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace edlt::cp1253 {

// UTF-8 to Windows-1253; nullopt when a character has no place in the code page
// or the input is not valid UTF-8.
std::optional<std::string> fromUtf8(std::string_view utf8);

// Windows-1253 to UTF-8; the unassigned bytes become U+FFFD.
std::string toUtf8(std::string_view text);

// The character of a byte; U+FFFD for the bytes the code page leaves unassigned.
char16_t toUnicode(char byte);

// The byte of a character; nullopt where the code page has none.
std::optional<char> fromUnicode(char32_t codePoint);

// A UTF-8 source literal of ours in Windows-1253. Throws std::logic_error when the
// literal cannot be held, which is a programming error.
std::string lit(std::string_view utf8);

// A path as the user knows it: one reached through a folder held open
// (/proc/self/fd/N/...) starts with that folder's own name.
std::filesystem::path shownPath(const std::filesystem::path& path);

// A path for a message: its UTF-8 name (as shownPath gives it) in Windows-1253, '?' for
// what does not fit.
std::string pathText(const std::filesystem::path& path);

// The message for text the code page cannot hold (typed, pasted or read).
const std::string& unrepresentableMessage();

}  // namespace edlt::cp1253
