#include "store/FieldText.h"

namespace edlt {
namespace {

bool isControl(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
}

}  // namespace

bool isCleanFieldText(std::string_view text)
{
    bool clean = true;
    for (char c : text) clean &= !isControl(c);  // no branch a byte: texts are short and mostly clean
    return clean;
}

void appendCleanFieldText(std::string& out, std::string_view piece, bool& pendingCr)
{
    if (isCleanFieldText(piece)) {
        if (!piece.empty()) pendingCr = false;
        out.append(piece);
        return;
    }
    for (char c : piece) {
        if (c == '\n' && pendingCr) {
            pendingCr = false;
            continue;
        }
        pendingCr = c == '\r';
        if (c == '\r' || c == '\n' || c == '\t') out += ' ';
        else if (!isControl(c)) out += c;
    }
}

std::string cleanFieldText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool pendingCr = false;
    appendCleanFieldText(out, text, pendingCr);
    return out;
}

}  // namespace edlt
