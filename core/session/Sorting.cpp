// The two sorts of the detail lines: the workspace file of the lines rewritten in the new
// order, and the lines opened again from it.
#include "core/session/DeclarationSession.h"

#include <algorithm>
#include <cstdint>
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
            std::vector<std::string_view> lines(n);
            for (size_t i = 0; i < n; ++i) lines[i] = ds.lineAt(i).substr(0, recordSize);
            const size_t headLength =
                key == SortKey::Surname ? static_cast<size_t>(detail::fields[detail::SurName].offset) : 0;
            std::vector<std::string_view> keys(n);
            for (size_t i = 0; i < n; ++i) keys[i] = lines[i].substr(std::min(headLength, lines[i].size()));
            const std::vector<size_t> sorted = exchangeSortOrder(keys);
            keys = {};
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
    copies_->forgetScratch();
    AtomicFileWriter writer(workspace_.record2(), AtomicFileWriter::Durability::ProcessSafe);
    for (uint32_t i : order) {
        writer.write(ds.lineAt(i).substr(0, recordSize));
        writer.write("\r\n");
    }
    writer.commit();
    if (written) written();
    // The rewritten file holds every line: closing must not write the old order over it.
    ds.markLinesSaved();
    ds.close();
    copies_->openDetails();
    ds.moveFirst();
}

}  // namespace edlt
