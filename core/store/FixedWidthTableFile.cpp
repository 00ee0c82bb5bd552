// SPDX-License-Identifier: GPL-3.0-or-later
// The backing file: opening reads it into lines, closing and saving write them back.
#include "core/store/FixedWidthTable.h"

#include <algorithm>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include "core/base/ByteStream.h"
#include "core/base/Convert.h"
#include "core/base/Text.h"
#include "core/store/AtomicFile.h"

namespace edlt {
namespace {

constexpr int defaultRecordWidth = 250;
// Stores of this many lines or more give their memory back to the system when dropped.
constexpr size_t largeStoreLines = 50000;

}  // namespace

void FixedWidthTable::open()
{
    if (active()) return;
    cursor_ = -1;
    changed_ = false;
    if (!fileMustExist_ && !std::filesystem::exists(fileName_)) {
        int fd = ::open(fileName_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd >= 0) ::close(fd);
    }
    BlockList<Line> lines;
    LineArena arena;
    {
        FileSource source(fileName_);  // throws "Cannot open file "%s". %s"
        LineReader reader(source);
        std::string text;
        int32_t id = 0;
        while (reader.next(text)) lines.push_back(Line::over(arena.add(text), ++id));
    }
    activate(std::move(lines), std::move(arena));
}

void FixedWidthTable::openWithLines(ArenaLines lines)
{
    if (active()) return;
    cursor_ = -1;
    changed_ = false;
    BlockList<Line> taken;
    int32_t id = 0;
    // The arena comes along: its bytes are not copied.
    for (std::string_view text : lines.lines) taken.push_back(Line::over(text, ++id));
    std::vector<std::string_view>().swap(lines.lines);
    activate(std::move(taken), std::move(lines.arena));
}

void FixedWidthTable::reorderLines(const std::vector<size_t>& order, size_t maxLength)
{
    checkActive();
    if (order.size() != lines_.size()) fail("The new order must name every line once.");
    // Positions found once in a flat copy, not by a search over the blocks for each line;
    // the blocks then take the lines in their new order where they are.
    std::vector<Line> flat;
    flat.reserve(lines_.size());
    lines_.forEach([&flat](const Line& l) { flat.push_back(l); });
    announce({DataSetChange::Reset});
    bool cut = false;
    for (size_t k = 0; k < order.size(); ++k) {
        Line& line = lines_[k];
        line = flat.at(order[k]);
        cut = cut || line.size > maxLength;
        line.size = static_cast<uint32_t>(std::min<size_t>(line.size, maxLength));
        line.id = static_cast<int32_t>(k + 1);
    }
    std::vector<Line>().swap(flat);
    lastId_ = static_cast<int32_t>(order.size());
    changed_ = false;
    buildFields();
    state_ = DataSetState::Browse;
    buffer_.clear();
    modified_ = false;
    cursor_ = lines_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = lines_.empty();
    DataSetChange reset{DataSetChange::Reset};
    reset.sameLines = !cut;
    notify(reset);
}

void FixedWidthTable::activate(BlockList<Line> lines, LineArena arena)
{
    announce({DataSetChange::Reset});
    lines_ = std::move(lines);
    arena_ = std::move(arena);
    lastId_ = static_cast<int32_t>(lines_.size());
    buildFields();
    state_ = DataSetState::Browse;
    buffer_.clear();
    modified_ = false;
    cursor_ = lines_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = lines_.empty();
    notify(DataSetChange::Reset);
}

void FixedWidthTable::buildFields()
{
    size_t longest = 0;
    lines_.forEach([&](const Line& l) { longest = std::max<size_t>(longest, l.size); });
    const int defaultWidth = longest == 0 ? defaultRecordWidth : static_cast<int>(std::min<size_t>(longest, INT32_MAX));

    fields_.clear();
    if (schema_.empty()) {
        fields_.push_back({"Line", defaultWidth, 0});
    } else {
        for (const std::string& raw : schema_) {
            std::string_view line = trim(raw);
            if (line.empty()) continue;
            size_t eq = raw.find('=');
            if (eq == std::string::npos) {
                fields_.push_back({std::string(line), defaultWidth, 0});
                continue;
            }
            std::string_view name = trim(std::string_view(raw).substr(0, eq));
            auto width = tryStrToInt(std::string_view(raw).substr(eq + 1));
            fields_.push_back({std::string(name), width ? std::max(*width, 0) : defaultWidth, 0});
        }
    }
    long long offset = 0;
    for (FieldInfo& f : fields_) {
        f.offset = static_cast<int>(std::min<long long>(offset, INT32_MAX));
        offset += f.width;
    }
    recordSize_ = offset == 0 ? defaultRecordWidth : static_cast<int>(std::min<long long>(offset, INT32_MAX));
}

void FixedWidthTable::close()
{
    if (!active()) return;
    buffer_.clear();
    modified_ = false;
    if (changed_ && !readOnly_) writeLines(fileName_);
    announce({DataSetChange::Reset});
    const bool large = lines_.size() >= largeStoreLines;
    lines_.clear();
    arena_.clear();
    // The allocator keeps freed blocks for reuse: after a large declaration they would stay
    // with the program while a small one is open.
    if (large) ::malloc_trim(0);
    fields_.clear();
    cursor_ = -1;
    lastId_ = 0;
    changed_ = false;
    eof_ = bof_ = true;
    state_ = DataSetState::Inactive;
    notify(DataSetChange::Reset);
}

void FixedWidthTable::writeLines(const std::filesystem::path& path) const
{
    AtomicFileWriter writer(path, AtomicFileWriter::Durability::ProcessSafe);
    std::string chunk;
    chunk.reserve(1 << 20);
    lines_.forEach([&](const Line& l) {
        chunk.append(l.text());
        chunk.append("\r\n");
        if (chunk.size() >= (1 << 20) - 512) {
            writer.write(chunk);
            chunk.clear();
        }
    });
    writer.write(chunk);
    writer.commit();
}

void FixedWidthTable::saveLinesTo(const std::filesystem::path& path)
{
    checkActive();
    writeLines(path);
    fileName_ = path;
    changed_ = false;
}

}  // namespace edlt
