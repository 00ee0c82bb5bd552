// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text given to a field never brings a control character: records are lines of the
// declaration file, and a line break inside a field would make the file unreadable.
// Every way a user's text reaches a field (import, typing, pasting, the command line)
// cleans it here, on the text as it came, before any check and before it is cut to the
// field. A declaration file opened keeps its bytes: the check tells of what it holds.
#include <string>
#include <string_view>

namespace edlt {

// CR LF, a lone CR or LF, and TAB become one space; every other byte below 0x20, and
// 0x7F, is dropped. Bytes of 0x80 and above are left alone (Windows-1253 or UTF-8).
std::string cleanFieldText(std::string_view text);

// The same for a text that arrives in pieces: pendingCr remembers a CR that ended the
// last piece, so a CR LF split between two pieces still gives one space.
void appendCleanFieldText(std::string& out, std::string_view piece, bool& pendingCr);

// True when cleanFieldText would leave the text as it is.
bool isCleanFieldText(std::string_view text);

}  // namespace edlt
