// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo: the history's steps replayed through the detail store, as edits are.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/session/DeclarationSession.h"
#include "core/session/UndoHistory.h"

namespace edlt {

namespace {

using Step = UndoHistory::Step;

std::string stepName(UndoHistory::Kind kind)
{
    switch (kind) {
    case UndoHistory::Kind::ChangeLine: return cp1253::lit("αλλαγή γραμμής");
    case UndoHistory::Kind::NewLine: return cp1253::lit("νέα γραμμή");
    case UndoHistory::Kind::DeleteLine: return cp1253::lit("διαγραφή γραμμής");
    case UndoHistory::Kind::Sort: return cp1253::lit("ταξινόμηση");
    case UndoHistory::Kind::Import: return cp1253::lit("εισαγωγή");
    }
    return {};
}

bool editing(const FixedWidthTable& ds)
{
    return ds.state() == DataSetState::EditState || ds.state() == DataSetState::InsertState;
}

// A line stored through the store's checks; a refused one leaves the lines as they were.
bool storeChecked(FixedWidthTable& ds, std::string_view text)
{
    ds.setRecordText(text);
    try {
        if (ds.post()) return true;
    } catch (...) {
        if (editing(ds)) ds.Cancel();
        throw;
    }
    ds.Cancel();
    return false;
}

bool putLine(FixedWidthTable& ds, long index, std::string_view text)
{
    if (!ds.setRecordNumber(index + 1)) return false;
    ds.edit();
    return storeChecked(ds, text);
}

bool insertLine(FixedWidthTable& ds, long index, std::string_view text)
{
    if (index >= ds.countRecords()) {
        ds.appendNew();
    } else {
        if (!ds.setRecordNumber(index + 1)) return false;
        ds.insert();
    }
    return storeChecked(ds, text);
}

void deleteLine(FixedWidthTable& ds, long index)
{
    ds.setRecordNumber(index + 1);
    ds.deleteRecord();
}

}  // namespace

bool DeclarationSession::canUndo() const
{
    return details_.active() && (editing(details_) || undo_->canUndo());
}

bool DeclarationSession::canRedo() const
{
    return details_.active() && !editing(details_) && undo_->canRedo();
}

std::string DeclarationSession::undoCaption() const
{
    const UndoHistory::Step* step = undo_->nextUndo();
    return step && details_.active() ? cp1253::lit("Αναίρεση: ") + stepName(step->kind) : std::string();
}

std::string DeclarationSession::redoCaption() const
{
    const UndoHistory::Step* step = undo_->nextRedo();
    return step && details_.active() ? cp1253::lit("Επανάληψη: ") + stepName(step->kind) : std::string();
}

bool DeclarationSession::undo()
{
    if (!details_.active()) return false;
    if (editing(details_)) {
        // The line being typed goes first, as Esc would take it.
        details_.Cancel();
        changed();
        return true;
    }
    return undo_->canUndo() && replay(true);
}

bool DeclarationSession::redo()
{
    return canRedo() && replay(false);
}

bool DeclarationSession::replay(bool undo)
{
    FixedWidthTable& ds = details_;
    const Step& step = undo ? *undo_->nextUndo() : *undo_->nextRedo();
    bool done = false;
    std::string removedText;
    std::vector<uint32_t> removedSizes;
    {
        const UndoHistory::Replay replaying(*undo_);
        undo_->takeReplayedChanges();
        auto lineStep = [&](auto&& f) {
            guarded([&] { f(); });
            // A store whose workspace write failed still changed the lines.
            done = undo_->takeReplayedChanges() > 0;
        };
        switch (step.kind) {
        case UndoHistory::Kind::ChangeLine:
            lineStep([&] { putLine(ds, step.index, undo ? step.before : step.after); });
            break;
        case UndoHistory::Kind::NewLine:
            lineStep([&] {
                if (undo) deleteLine(ds, step.index);
                else
                    insertLine(ds, step.index, step.after);
            });
            break;
        case UndoHistory::Kind::DeleteLine:
            lineStep([&] {
                if (undo) insertLine(ds, step.index, step.before);
                else
                    deleteLine(ds, step.index);
            });
            break;
        case UndoHistory::Kind::Sort: {
            markModified();  // before the other order reaches the workspace
            const PleaseWait wait(ui_);
            std::vector<uint32_t> order(step.order.size());
            if (undo) {
                for (size_t i = 0; i < step.order.size(); ++i) order[step.order[i]] = static_cast<uint32_t>(i);
            } else {
                order = step.order;
            }
            guarded([&] { rewriteInOrder(order, [&] { done = true; }); });
            if (!ds.active()) guarded([&] { copies_->openDetails(); });
            break;
        }
        case UndoHistory::Kind::Import: {
            const PleaseWait wait(ui_);
            auto deferral = deferWorkspace();
            {
                // The grid is told once at the end; the lines were checked when imported.
                const ControlsDisabled quiet(ds);
                const ChecksSuspended unchecked(ds);
                guarded([&] {
                    if (undo) {
                        // Kept for a redo only when the history can hold them.
                        const auto first = static_cast<size_t>(step.index),
                                   end = first + static_cast<size_t>(step.count);
                        size_t bytes = 0;
                        for (size_t i = first; i < end && bytes <= undo_->byteLimit(); ++i)
                            bytes += ds.lineAt(i).size();
                        if (bytes <= undo_->byteLimit()) {
                            removedText.reserve(bytes);
                            removedSizes.reserve(static_cast<size_t>(step.count));
                            for (size_t i = first; i < end; ++i) {
                                removedText += ds.lineAt(i);
                                removedSizes.push_back(static_cast<uint32_t>(ds.lineAt(i).size()));
                            }
                        }
                        for (long i = 0; i < step.count; ++i) deleteLine(ds, step.index);
                    } else {
                        // Put back one by one before the same line, last first, so that
                        // they end in their order; after the last line, in order.
                        const std::string_view text = step.linesText;
                        std::vector<size_t> starts(step.lineSizes.size() + 1, 0);
                        for (size_t i = 0; i < step.lineSizes.size(); ++i)
                            starts[i + 1] = starts[i] + step.lineSizes[i];
                        const bool atEnd = step.index >= ds.countRecords();
                        for (size_t k = 0; k < step.lineSizes.size(); ++k) {
                            const size_t i = atEnd ? k : step.lineSizes.size() - 1 - k;
                            insertLine(ds, atEnd ? ds.countRecords() : step.index,
                                       text.substr(starts[i], step.lineSizes[i]));
                        }
                    }
                });
                done = undo_->takeReplayedChanges() == static_cast<size_t>(step.count);
            }
            guarded([&] { deferral.finish(); });
            if (done) ds.setRecordNumber(step.index + 1);
            break;
        }
        }
    }
    if (done) {
        markModified();
        if (undo) undo_->undone(std::move(removedText), std::move(removedSizes));
        else
            undo_->redone();
    } else if (step.kind == UndoHistory::Kind::Import) {
        // Part of it was replayed: the step no longer matches the lines.
        undo_->clear();
    }
    changed();
    return done;
}

}  // namespace edlt
