// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/reports/PageWriter.h"

#include <cstring>

namespace edlt::reports {
namespace {

const char* entityOf(char c)
{
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    default: return nullptr;
    }
}

// Hands the value to put as runs of plain bytes and entities, in order.
template <typename Put>
void escapeInto(std::string_view value, Put put)
{
    size_t start = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        if (const char* entity = entityOf(value[i])) {
            put(value.substr(start, i - start));
            put(std::string_view(entity));
            start = i + 1;
        }
    }
    put(value.substr(start));
}

}  // namespace

void appendEscaped(std::string& out, std::string_view value)
{
    escapeInto(value, [&out](std::string_view run) { out.append(run); });
}

std::string escapeHtml(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    appendEscaped(out, value);
    return out;
}

void PageWriter::append(std::string_view text)
{
    // An empty view may carry no pointer at all, and memcpy must not see one.
    if (text.empty()) return;
    if (used_ + text.size() > capacity) {
        flush();
        if (text.size() > capacity) {
            sink_.write(text);
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, text.data(), text.size());
    used_ += text.size();
}

void PageWriter::appendEscapedValue(std::string_view value)
{
    escapeInto(value, [this](std::string_view run) { append(run); });
}

void PageWriter::line(std::string_view text)
{
    append(text);
    endLine();
}

void PageWriter::lineOf(std::initializer_list<std::string_view> parts)
{
    bool isValue = false;
    for (std::string_view part : parts) {
        if (isValue) appendEscapedValue(part);
        else
            append(part);
        isValue = !isValue;
    }
    endLine();
}

void PageWriter::block(const std::vector<std::string>& lines)
{
    for (const std::string& l : lines) line(l);
    line({});
}

void PageWriter::endLine()
{
    append("\r\n");
}

void PageWriter::flush()
{
    if (used_ == 0) return;
    sink_.write(std::string_view(buffer_.get(), used_));
    used_ = 0;
}

}  // namespace edlt::reports
