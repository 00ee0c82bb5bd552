// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line form every report page shares: Windows-1253 lines ended by CR LF, a template
// block as its lines and then one empty line, and every inserted value HTML-escaped so a
// name holding "&" or "<" prints as typed instead of breaking the page.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/ByteStream.h"

namespace edlt::reports {

// The value with &, <, > and " replaced by their entities; anything else unchanged.
std::string escapeHtml(std::string_view value);
// Appends the escaped value to out (no temporary for the common case of nothing to escape).
void appendEscaped(std::string& out, std::string_view value);

class PageWriter {
public:
    explicit PageWriter(ByteSink& sink) : sink_(sink) {}
    ~PageWriter() = default;
    PageWriter(const PageWriter&) = delete;
    PageWriter& operator=(const PageWriter&) = delete;

    // One line of fixed text.
    void line(std::string_view text);
    // One line built from fixed parts and escaped values: lineOf("<td>", value, "</td>")
    // escapes the odd-numbered pieces (every second one, starting with the second).
    void lineOf(std::initializer_list<std::string_view> parts);
    // A template block: its lines, then the empty line that follows every block.
    void block(const std::vector<std::string>& lines);
    // Hands what is buffered to the sink; call once at the end.
    void flush();

private:
    void append(std::string_view text);
    void appendEscapedValue(std::string_view value);
    void endLine();

    // A plain array rather than a growing string: a page is millions of small pieces.
    static constexpr size_t capacity = 64 * 1024;
    ByteSink& sink_;
    std::unique_ptr<char[]> buffer_ = std::make_unique<char[]>(capacity);
    size_t used_ = 0;
};

}  // namespace edlt::reports
