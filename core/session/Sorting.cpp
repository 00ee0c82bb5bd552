// SPDX-License-Identifier: GPL-3.0-or-later
// The two sorts of the detail lines: the workspace file of the lines rewritten in the new
// order, and the lines opened again from it.
#include "core/session/DeclarationSession.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "core/rules/ExchangeSort.h"
#include "core/session/UndoHistory.h"
#include "core/store/AtomicFile.h"
#include "core/store/DetailRecord.h"

namespace edlt {

void DeclarationSession::sort(SortKey key)
{
    if (!postPendingEdit()) return;
    FixedWidthTable& ds = details_;
    if (!ds.active()) return;  // no declaration: the buttons are under the start panel then
    markModified();            // before the new order reaches the workspace
    {
        const PleaseWait wait(ui_);
        const UndoHistory::Replay reopening(*undo_);  // the store reopens in the new order
        guarded([&] {
            // The stored lines at the record size: what concatenating every field's full value
            // gives. Views into the store: a million lines are not copied.
            const size_t n = static_cast<size_t>(ds.countRecords());
            const size_t recordSize = static_cast<size_t>(ds.recordSize());
            std::vector<std::string_view> lines;
            lines.reserve(n);
            ds.forEachLine([&](std::string_view text, int32_t) { lines.push_back(text.substr(0, recordSize)); });
            const size_t headLength =
                key == SortKey::Surname ? static_cast<size_t>(detail::fields[detail::SurName].offset) : 0;
            const std::vector<size_t> sorted = exchangeSortOrder(lines, headLength);
            lines = {};
            std::vector<uint32_t> order(sorted.begin(), sorted.end());
            rewriteInOrder(order, [&] { undo_->recordSort(std::move(order)); });
        });
    }
    if (!details_.active()) {
        // A failed rewrite left the old file in place: show the lines it holds.
        guarded([&] { copies_->openDetails(); });
    }
    changed();
}

void DeclarationSession::rewriteInOrder(const std::vector<uint32_t>& order, const std::function<void()>& written)
{
    FixedWidthTable& ds = details_;
    const size_t recordSize = static_cast<size_t>(ds.recordSize());
    std::vector<std::string_view> lines;
    lines.reserve(order.size());
    // A line with a line break in it would come back as two from the file.
    bool breaks = false;
    ds.forEachLine([&](std::string_view text, int32_t) {
        lines.push_back(text.substr(0, recordSize));
        const std::string_view line = lines.back();
        breaks = breaks || std::memchr(line.data(), '\r', line.size()) || std::memchr(line.data(), '\n', line.size());
    });
    copies_->forgetScratch();
    AtomicFileWriter writer(workspace_.record2(), AtomicFileWriter::Durability::ProcessSafe);
    // In the new order the lines lie anywhere in memory: those a few places ahead are fetched early.
    constexpr size_t ahead = 8;
    const size_t n = order.size();
    for (size_t k = 0; k < n; ++k) {
        if (k + ahead < n) {
            const std::string_view next = lines[order[k + ahead]];
            for (size_t at = 0; at < next.size(); at += 64) __builtin_prefetch(next.data() + at);
        }
        writer.write(lines[order[k]]);
        writer.write("\r\n");
    }
    lines = {};
    writer.commit();
    // Taken before `written`, which may keep the order for itself.
    const std::vector<size_t> positions(order.begin(), order.end());
    if (written) written();
    // The rewritten file holds every line: closing must not write the old order over it.
    ds.markLinesSaved();
    if (breaks) {
        ds.close();
        copies_->openDetails();
    } else {
        // The lines the file now holds are the stored ones in the new order: they are put in it
        // where they are rather than read back.
        ds.reorderLines(positions, recordSize);
        copies_->discardJournal();
    }
    ds.moveFirst();
}

}  // namespace edlt
