// The two sorts of the detail lines: the workspace file of the lines rewritten in the new
// order, and the lines opened again from it.
#include "core/session/DeclarationSession.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/rules/ExchangeSort.h"
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
            std::vector<size_t> order = exchangeSortOrder(keys);
            copies_->forgetScratch();
            AtomicFileWriter writer(workspace_.record2(), AtomicFileWriter::Durability::ProcessSafe);
            for (size_t i : order) {
                writer.write(lines[i]);
                writer.write("\r\n");
            }
            keys = {};
            lines = {};
            writer.commit();
            // The sorted file holds every line: closing must not write the old order over it.
            ds.markLinesSaved();
            ds.close();
            copies_->openDetails();
            ds.moveFirst();
        });
    }
    if (!details_.active()) {
        // A failed rewrite left the old file in place: show the lines it holds.
        guarded([&] { copies_->openDetails(); });
    }
    changed();
}

}  // namespace edlt
