// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/WrapTitleText.h"

#include <cstring>

#include "core/base/Text.h"

namespace edlt {
namespace {

// Halves rounded down, also for negative widths.
int floorHalf(int v)
{
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

}  // namespace

bool isTitleDelimiter(char c)
{
    static constexpr char delimiters[] = " ,.<>:;-*/+\"'$#()=";
    return c != '\0' && std::strchr(delimiters, c) != nullptr;
}

std::vector<std::string> titleTokens(std::string_view text)
{
    std::vector<std::string> tokens;
    std::string token;
    for (char c : text) {
        token += c;
        if (isTitleDelimiter(c)) {
            tokens.push_back(std::move(token));
            token.clear();
        }
    }
    tokens.push_back(std::move(token));
    return tokens;
}

std::vector<std::string> wrapTitleText(const TextWidthFunction& textWidth, int width, std::string_view text)
{
    std::vector<std::string> tokens = titleTokens(text);
    std::vector<std::string> lines{tokens.front()};
    for (size_t i = 1; i < tokens.size(); ++i) {
        std::string& last = lines.back();
        if (textWidth(last + tokens[i]) > width) {
            last = std::string(trim(last));
            lines.push_back(tokens[i]);
        } else {
            last += tokens[i];
        }
    }
    return lines;
}

std::vector<TitleLine> layoutTitle(const TextWidthFunction& textWidth, int cellLeft, int cellTop, int cellWidth,
                                   int lineHeight, TitleAlignment alignment, std::string_view caption)
{
    std::vector<TitleLine> out;
    int top = cellTop;
    for (std::string& line : wrapTitleText(textWidth, cellWidth - 4, caption)) {
        const int w = textWidth(line);
        int x = cellLeft + 2;
        if (alignment == TitleAlignment::Right) x = cellLeft + cellWidth - w - 3;
        if (alignment == TitleAlignment::Center) x = cellLeft + floorHalf(cellWidth) - floorHalf(w);
        out.push_back({std::move(line), x, top + 2});
        top += lineHeight + 2;
    }
    return out;
}

}  // namespace edlt
