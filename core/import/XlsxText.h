// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts as .xlsx parts hold them: Office's escapes of characters XML cannot carry, and the
// character data a handler gathers of a cell, up to what the import can use.
#include <algorithm>
#include <cstddef>
#include <string>

#include "core/import/Sheet.h"

namespace edlt::sheet {

// Office writes characters XML cannot carry as "_xHHHH_" (UTF-16 units); "_x005F_"
// escapes an underscore that would otherwise start one.
std::string decodeEscapes(std::string text);

// Collects character data of the elements a handler chooses; past what the import can
// use of a cell, the rest is skipped and the text marked as cut.
class TextCapture {
public:
    void begin() { on_ = true; }
    void stop() { on_ = false; }
    bool active() const { return on_; }
    bool cut() const { return cut_; }
    void add(const char* data, size_t size)
    {
        if (!on_) return;
        const size_t room = limits::capturedCellBytes - std::min(text_.size(), limits::capturedCellBytes);
        if (size > room) cut_ = true;
        text_.append(data, std::min(size, room));
    }
    const std::string& text() const { return text_; }
    std::string take()
    {
        on_ = false;
        return std::move(text_);
    }
    void clear()
    {
        on_ = false;
        cut_ = false;
        text_.clear();
    }

private:
    bool on_ = false, cut_ = false;
    std::string text_;
};

}  // namespace edlt::sheet
