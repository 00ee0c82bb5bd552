// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The steps that changed the detail lines, to be undone and redone: a stored edit, a new
// line, a deleted line (heard from the store), a sort (its permutation) and an import (the
// range of lines it added). It only keeps them; the session replays them through the store.
// Any change to the lines it cannot account for (a declaration opened, made or recovered)
// empties it, so a step is only ever replayed over the lines it left.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/store/FixedWidthTable.h"

namespace edlt {

class UndoHistory : public DataSetObserver {
public:
    enum class Kind { ChangeLine, NewLine, DeleteLine, Sort, Import };
    struct Limits {
        size_t steps = 100;
        size_t bytes = size_t{64} << 20;
    };
    struct Step {
        explicit Step(Kind k, long at = 0, long lines = 1) : kind(k), index(at), count(lines) {}
        Kind kind;
        long index = 0;  // the line changed, added or deleted; the first line imported
        long count = 1;  // lines imported
        std::string before;
        std::string after;
        std::vector<uint32_t> order;  // a sort: line i of the sorted lines was line order[i]
        // An import undone: the lines it added, end to end, each as long as lines[i].
        std::string linesText;
        std::vector<uint32_t> lineSizes;
        size_t bytes() const;
    };

    explicit UndoHistory(FixedWidthTable& details);
    UndoHistory(FixedWidthTable& details, Limits limits);
    ~UndoHistory() override;
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    const Step* nextUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }
    const Step* nextRedo() const { return redo_.empty() ? nullptr : &redo_.back(); }
    size_t steps() const { return undo_.size() + redo_.size(); }
    size_t bytes() const { return bytes_; }
    size_t byteLimit() const { return limits_.bytes; }
    void clear();
    // Lines stored, added or removed while a Replay lived, since the last call.
    size_t takeReplayedChanges() { return std::exchange(replayed_, 0); }

    // The next undo step was undone: it becomes the next redo step (with the lines an undone
    // import removed, when they fit the limits; otherwise it cannot be redone).
    void undone(std::string linesText = {}, std::vector<uint32_t> lineSizes = {});
    // The next redo step was done again: it becomes the next undo step.
    void redone();
    // A sort rewrote the lines in this order.
    void recordSort(std::vector<uint32_t> order);

    // While a Replay lives the store's changes are the history's own: none is recorded, and
    // the store may be closed and opened again.
    class Replay {
    public:
        explicit Replay(UndoHistory& h) : h_(h) { ++h_.replaying_; }
        ~Replay() { --h_.replaying_; }
        Replay(const Replay&) = delete;
        Replay& operator=(const Replay&) = delete;

    private:
        UndoHistory& h_;
    };
    // While an ImportGroup lives the lines added are one step, if they are side by side;
    // anything else empties the history.
    class ImportGroup {
    public:
        explicit ImportGroup(UndoHistory& h);
        ~ImportGroup();
        ImportGroup(const ImportGroup&) = delete;
        ImportGroup& operator=(const ImportGroup&) = delete;

    private:
        UndoHistory& h_;
    };

    void dataSetAboutToChange(const DataSetChange& change) override;
    void dataSetChanged(const DataSetChange& change) override;
    bool followsFields() const override { return false; }

private:
    void push(Step step);
    void trim();

    FixedWidthTable& details_;
    Limits limits_;
    std::deque<Step> undo_;
    std::vector<Step> redo_;
    size_t bytes_ = 0;
    int replaying_ = 0;
    size_t replayed_ = 0;
    std::string before_;  // the line a change announced is about to replace or remove
    // The import being heard: its range so far, and whether it stayed one range.
    int importing_ = 0;
    std::optional<Step> import_;
    bool importBroken_ = false;
};

}  // namespace edlt
