#include "reports/PageWriter.h"

namespace edlt::reports {
namespace {

constexpr size_t flushThreshold = 64 * 1024;

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

}  // namespace

void appendEscaped(std::string& out, std::string_view value)
{
    size_t start = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        if (const char* entity = entityOf(value[i])) {
            out.append(value.substr(start, i - start));
            out.append(entity);
            start = i + 1;
        }
    }
    out.append(value.substr(start));
}

std::string escapeHtml(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    appendEscaped(out, value);
    return out;
}

void PageWriter::line(std::string_view text)
{
    buffer_.append(text);
    endLine();
}

void PageWriter::lineOf(std::initializer_list<std::string_view> parts)
{
    bool isValue = false;
    for (std::string_view part : parts) {
        if (isValue)
            appendEscaped(buffer_, part);
        else
            buffer_.append(part);
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
    buffer_.append("\r\n");
    if (buffer_.size() >= flushThreshold) flush();
}

void PageWriter::flush()
{
    if (buffer_.empty()) return;
    sink_.write(buffer_);
    buffer_.clear();
}

}  // namespace edlt::reports
