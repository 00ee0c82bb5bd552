// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// WrapTitleText: cuts a column title into the lines drawn in a grid's title row. The
// title breaks after delimiters only; a single word wider than the cell stays whole.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace edlt {

// Width in pixels of a Windows-1253 text in the title font.
using TextWidthFunction = std::function<int(std::string_view)>;

// True for the eighteen characters after which a title may break.
bool isTitleDelimiter(char c);

// The tokens of a title: each ends just after a delimiter; the last is what follows the
// last delimiter and may be empty.
std::vector<std::string> titleTokens(std::string_view text);

// The lines of a title for a cell of the given width. Every line but the last loses its
// leading and trailing blanks.
std::vector<std::string> wrapTitleText(const TextWidthFunction& textWidth, int width, std::string_view text);

enum class TitleAlignment { Left, Right, Center };

// Where each line of a title goes in its cell: wrapped to the cell width less 4, lines
// lineHeight + 2 apart from the cell's top + 2, placed by the alignment.
struct TitleLine {
    std::string text;
    int x, y;
};
std::vector<TitleLine> layoutTitle(const TextWidthFunction& textWidth, int cellLeft, int cellTop, int cellWidth,
                                   int lineHeight, TitleAlignment alignment, std::string_view caption);

}  // namespace edlt
