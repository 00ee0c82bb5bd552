// SPDX-License-Identifier: GPL-3.0-or-later
// The edit buffer: starting an edit or an insert, setting fields, post, cancel, delete.
#include "core/store/FixedWidthTable.h"

#include <algorithm>
#include <cstring>

#include "core/base/Error.h"
#include "core/store/FieldText.h"

namespace edlt {

FixedWidthTable::Line FixedWidthTable::makeLine(std::string_view text, int32_t id)
{
    return Line::over(arena_.add(text), id);
}

void FixedWidthTable::setText(Line& line, std::string_view text)
{
    if (text.size() > line.room) {
        line = makeLine(text, line.id);
        return;
    }
    if (!text.empty()) std::memmove(line.data, text.data(), text.size());
    line.size = static_cast<uint32_t>(text.size());
}

bool FixedWidthTable::endPendingEdit()
{
    if (state_ != DataSetState::EditState && state_ != DataSetState::InsertState) return true;
    if (modified_) return post();
    Cancel();
    return true;
}

void FixedWidthTable::setFieldValue(std::string_view fieldName, std::string_view value)
{
    const FieldInfo& f = fieldByName(fieldName);
    setFieldValue(static_cast<int>(&f - fields_.data()), value);
}

void FixedWidthTable::setFieldValue(int index, std::string_view value)
{
    const FieldInfo& f = fieldByIndex(index);
    if (state_ != DataSetState::EditState && state_ != DataSetState::InsertState)
        fail("Dataset not in edit or insert mode");
    // However the text came, no record may hold a line break: it would split the line.
    std::string cleaned;
    if (!isCleanFieldText(value)) value = cleaned = cleanFieldText(value);
    const size_t offset = static_cast<size_t>(f.offset);
    const size_t width = static_cast<size_t>(f.width);
    if (buffer_.size() < offset + width) buffer_.resize(offset + width, ' ');
    std::fill_n(buffer_.begin() + static_cast<long>(offset), width, ' ');
    std::copy_n(value.begin(), std::min(value.size(), width), buffer_.begin() + static_cast<long>(offset));
    if (buffer_.size() > static_cast<size_t>(recordSize_)) buffer_.resize(static_cast<size_t>(recordSize_));
    modified_ = true;
    notify(DataSetChange::FieldChanged, cursor_, index);
}

void FixedWidthTable::setRecordText(std::string_view text)
{
    if (state_ != DataSetState::EditState && state_ != DataSetState::InsertState)
        fail("Dataset not in edit or insert mode");
    std::string cleaned;
    if (!isCleanFieldText(text)) text = cleaned = cleanFieldText(text);
    buffer_.assign(text.substr(0, std::min(text.size(), static_cast<size_t>(recordSize_))));
    modified_ = true;
    notify(DataSetChange::FieldChanged, cursor_, -1);  // every field at once
}

void FixedWidthTable::edit()
{
    checkWritable();
    if (state_ == DataSetState::EditState || state_ == DataSetState::InsertState) return;
    if (lines_.empty()) {
        startInsert(false);
        return;
    }
    buffer_ = std::string(currentRecord());
    modified_ = false;
    setState(DataSetState::EditState);
    runHook(&DataSetObserver::afterEdit);
}

void FixedWidthTable::startInsert(bool append)
{
    buffer_.clear();
    modified_ = false;
    insertIndex_ = (append || lines_.empty() || cursor_ < 0) ? static_cast<long>(lines_.size()) : cursor_;
    setState(DataSetState::InsertState);
    runHook(&DataSetObserver::newRecord);
}

void FixedWidthTable::insert()
{
    checkWritable();
    if (!endPendingEdit()) return;
    startInsert(false);
}

void FixedWidthTable::appendNew()
{
    checkWritable();
    if (!endPendingEdit()) return;
    startInsert(true);
}

bool FixedWidthTable::post()
{
    checkActive();
    if (state_ != DataSetState::EditState && state_ != DataSetState::InsertState)
        fail("Dataset not in edit or insert mode");
    if (!postAllowed()) return false;
    std::string text = buffer_.size() > static_cast<size_t>(recordSize_)
                           ? buffer_.substr(0, static_cast<size_t>(recordSize_))
                           : buffer_;
    DataSetChange change{DataSetChange::RecordChanged, cursor_};
    if (state_ == DataSetState::EditState) {
        change.id = lines_[static_cast<size_t>(cursor_)].id;
        announce(change);
        setText(lines_[static_cast<size_t>(cursor_)], text);
    } else {
        change = {DataSetChange::RecordInserted, std::clamp<long>(insertIndex_, 0, static_cast<long>(lines_.size())),
                  -1, lastId_ + 1};
        announce(change);
        lines_.insert(static_cast<size_t>(change.index), makeLine(text, change.id));
        lastId_ = change.id;
        cursor_ = change.index;
    }
    buffer_.clear();
    modified_ = false;
    insertIndex_ = -1;
    changed_ = true;
    eof_ = bof_ = false;
    state_ = DataSetState::Browse;
    notify(change);
    // Announced with the line: its post ended the edit.
    notify(DataSetChange::StateChanged);
    runHook(&DataSetObserver::afterPost);
    return true;
}

void FixedWidthTable::Cancel()
{
    checkActive();
    if (state_ != DataSetState::EditState && state_ != DataSetState::InsertState) return;
    buffer_.clear();
    modified_ = false;
    insertIndex_ = -1;
    setState(DataSetState::Browse);
}

void FixedWidthTable::deleteRecord()
{
    checkWritable();
    if (state_ == DataSetState::InsertState) {
        Cancel();
        return;
    }
    if (lines_.empty()) fail("Cannot perform this operation on an empty dataset");
    if (state_ == DataSetState::EditState) Cancel();
    if (cursor_ < 0) throw Error("No Records");
    const DataSetChange change{DataSetChange::RecordRemoved, cursor_, -1, lines_[static_cast<size_t>(cursor_)].id};
    announce(change);
    lines_.erase(static_cast<size_t>(change.index));
    changed_ = true;
    if (cursor_ >= static_cast<long>(lines_.size())) cursor_ = static_cast<long>(lines_.size()) - 1;
    eof_ = lines_.empty();
    notify(change);
    runHook(&DataSetObserver::afterDelete);
}

}  // namespace edlt
