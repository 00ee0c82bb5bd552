// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/UndoHistory.h"

#include <utility>

namespace edlt {

size_t UndoHistory::Step::bytes() const
{
    return sizeof(Step) + before.capacity() + after.capacity() + order.capacity() * sizeof(uint32_t) +
           linesText.capacity() + lineSizes.capacity() * sizeof(uint32_t);
}

UndoHistory::UndoHistory(FixedWidthTable& details) : UndoHistory(details, Limits{}) {}

UndoHistory::UndoHistory(FixedWidthTable& details, Limits limits) : details_(details), limits_(limits)
{
    details_.addObserver(this);
}

UndoHistory::~UndoHistory()
{
    details_.removeObserver(this);
}

void UndoHistory::clear()
{
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
    if (importing_ > 0) importBroken_ = true;
}

void UndoHistory::push(Step step)
{
    for (const Step& s : redo_) bytes_ -= s.bytes();
    redo_.clear();
    bytes_ += step.bytes();
    undo_.push_back(std::move(step));
    trim();
}

void UndoHistory::trim()
{
    // The oldest steps go first; then, when what is left is still too much, the redo steps
    // farthest away.
    while (!undo_.empty() && (steps() > limits_.steps || bytes_ > limits_.bytes)) {
        bytes_ -= undo_.front().bytes();
        undo_.pop_front();
    }
    while (!redo_.empty() && (steps() > limits_.steps || bytes_ > limits_.bytes)) {
        bytes_ -= redo_.front().bytes();
        redo_.erase(redo_.begin());
    }
}

void UndoHistory::undone(std::string linesText, std::vector<uint32_t> lineSizes)
{
    if (undo_.empty()) return;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    bytes_ -= step.bytes();
    if (step.kind == Kind::Import) {
        // Kept only when the lines fit beside the rest: a step the limits cannot hold is
        // not redone at all.
        step.linesText = std::move(linesText);
        step.lineSizes = std::move(lineSizes);
        if (step.bytes() > limits_.bytes || static_cast<long>(step.lineSizes.size()) != step.count) return;
    }
    bytes_ += step.bytes();
    redo_.push_back(std::move(step));
    trim();
}

void UndoHistory::redone()
{
    if (redo_.empty()) return;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    bytes_ -= step.bytes();
    step.linesText = {};
    step.lineSizes = {};
    bytes_ += step.bytes();
    undo_.push_back(std::move(step));
    trim();
}

void UndoHistory::recordSort(std::vector<uint32_t> order)
{
    Step step{Kind::Sort};
    step.order = std::move(order);
    push(std::move(step));
}

UndoHistory::ImportGroup::ImportGroup(UndoHistory& h) : h_(h)
{
    if (h_.importing_++ == 0) {
        h_.import_.reset();
        h_.importBroken_ = false;
    }
}

UndoHistory::ImportGroup::~ImportGroup()
{
    if (--h_.importing_ > 0) return;
    if (h_.importBroken_) h_.clear();
    else if (h_.import_)
        h_.push(std::move(*h_.import_));
    h_.import_.reset();
}

void UndoHistory::dataSetAboutToChange(const DataSetChange& change)
{
    if (replaying_ > 0) return;
    if (change.kind == DataSetChange::RecordChanged || change.kind == DataSetChange::RecordRemoved)
        before_.assign(details_.lineAt(static_cast<size_t>(change.index)));
}

void UndoHistory::dataSetChanged(const DataSetChange& change)
{
    if (replaying_ > 0) {
        if (change.kind == DataSetChange::RecordInserted || change.kind == DataSetChange::RecordChanged ||
            change.kind == DataSetChange::RecordRemoved)
            ++replayed_;
        return;
    }
    const auto at = static_cast<size_t>(change.index);
    if (importing_ > 0) {
        if (change.kind == DataSetChange::RecordInserted) {
            if (!import_) {
                import_ = Step{Kind::Import, change.index, 0};
            } else if (change.index < import_->index || change.index > import_->index + import_->count) {
                importBroken_ = true;  // not beside the lines added so far
            }
            ++import_->count;
            return;
        }
        if (change.kind == DataSetChange::RecordChanged || change.kind == DataSetChange::RecordRemoved ||
            change.kind == DataSetChange::Reset)
            importBroken_ = true;
        return;
    }
    switch (change.kind) {
    case DataSetChange::Reset: clear(); break;
    case DataSetChange::RecordChanged: {
        std::string after(details_.lineAt(at));
        if (after == before_) break;  // stored unchanged: nothing to undo
        Step step{Kind::ChangeLine, change.index};
        step.before = std::move(before_);
        step.after = std::move(after);
        push(std::move(step));
        break;
    }
    case DataSetChange::RecordInserted: {
        Step step{Kind::NewLine, change.index};
        step.after.assign(details_.lineAt(at));
        push(std::move(step));
        break;
    }
    case DataSetChange::RecordRemoved: {
        Step step{Kind::DeleteLine, change.index};
        step.before = std::move(before_);
        push(std::move(step));
        break;
    }
    default: break;
    }
    before_.clear();
}

}  // namespace edlt
