// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a FixedWidthTable tells those who watch it: the changes to its lines, cursor and state,
// and the hooks around its edit buffer's life. One interface, registered with AddObserver.
#include <cstdint>

namespace edlt {

class FixedWidthTable;

enum class DataSetState { Inactive, Browse, EditState, InsertState };

// What observers are told of a change: before it is made (for changes to the lines, the
// state or the whole store) and after it (for every change).
struct DataSetChange {
    enum Kind {
        Reset,  // opened or closed: everything may differ
        CursorMoved,
        StateChanged,
        FieldChanged,    // a field of the edit buffer; field holds its index, -1 for all of them
        RecordInserted,  // index holds the new line's position
        RecordRemoved,   // index held the removed line
        RecordChanged,   // the line at index was replaced
    };
    Kind kind;
    long index = -1;
    int field = -1;
    int32_t id = 0;                               // the record id of the line inserted, replaced or removed
    DataSetState state = DataSetState::Inactive;  // StateChanged: the state entered
    bool sameLines = false;                       // Reset: the same lines as before, in another order
};

class DataSetObserver {
public:
    virtual ~DataSetObserver() = default;
    // Before a change to the lines, the state or the whole store: the store is still as it
    // was. A change to the lines that ends an insert announces the state change with it.
    virtual void dataSetAboutToChange(const DataSetChange&) {}
    virtual void dataSetChanged(const DataSetChange&) {}
    // Controls (the grid) are not told while DisableControls holds; the others always are.
    virtual bool isControl() const { return false; }
    // Whether it is told of FieldChanged (typing into the edit buffer); asked once, when added.
    // Those that follow only the stored lines say no: an imported row sets twenty fields.
    virtual bool followsFields() const { return true; }

    // The hooks are run for every observer, controls too, in the order they were added.
    // Before a post: false refuses it (the refuser shows its own message), and those after
    // it are not asked. Not asked at all while a ChecksSuspended lives.
    virtual bool beforePost(FixedWidthTable&) { return true; }
    // After a post or a delete, once every observer has been told of the change itself.
    virtual void afterPost(FixedWidthTable&) {}
    virtual void afterDelete(FixedWidthTable&) {}
    // An insert began (its edit buffer is empty), or an edit of the current line began.
    virtual void newRecord(FixedWidthTable&) {}
    virtual void afterEdit(FixedWidthTable&) {}
};

}  // namespace edlt
