// SPDX-License-Identifier: GPL-3.0-or-later
// The store's properties, its cursor and reading the fields of its lines.
#include "core/store/FixedWidthTable.h"

#include "core/base/Error.h"
#include "core/base/Text.h"

namespace edlt {

FixedWidthTable::FixedWidthTable(std::string name) : name_(std::move(name)) {}

FixedWidthTable::~FixedWidthTable() = default;

void FixedWidthTable::fail(std::string_view message) const
{
    throw Error(name_ + ": " + std::string(message));
}

void FixedWidthTable::checkClosed() const
{
    if (active()) fail("Cannot perform this operation on an open dataset");
}

void FixedWidthTable::checkActive() const
{
    if (!active()) fail("Cannot perform this operation on a closed dataset");
}

void FixedWidthTable::checkWritable() const
{
    checkActive();
    if (readOnly_) fail("Cannot modify a read-only dataset");
}

void FixedWidthTable::setFileName(const std::filesystem::path& path)
{
    checkClosed();
    fileName_ = path;
}

void FixedWidthTable::setSchema(std::vector<std::string> schema)
{
    checkClosed();
    schema_ = std::move(schema);
}

void FixedWidthTable::setFileMustExist(bool value)
{
    checkClosed();
    fileMustExist_ = value;
}

void FixedWidthTable::setTrimSpace(bool value)
{
    checkClosed();
    trimSpace_ = value;
}

void FixedWidthTable::setReadOnly(bool value)
{
    checkClosed();
    readOnly_ = value;
}

void FixedWidthTable::setActive(bool value)
{
    if (value && !active()) open();
    if (!value && active()) close();
}

bool FixedWidthTable::moveFirst()
{
    checkActive();
    if (!endPendingEdit()) return false;
    cursor_ = lines_.empty() ? -1 : 0;
    eof_ = lines_.empty();
    bof_ = true;
    notify(DataSetChange::CursorMoved);
    return true;
}

bool FixedWidthTable::moveLast()
{
    checkActive();
    if (!endPendingEdit()) return false;
    cursor_ = static_cast<long>(lines_.size()) - 1;
    eof_ = true;
    bof_ = lines_.empty();
    notify(DataSetChange::CursorMoved);
    return true;
}

bool FixedWidthTable::moveNext()
{
    checkActive();
    if (!endPendingEdit()) return false;
    bof_ = false;
    if (cursor_ + 1 < static_cast<long>(lines_.size())) {
        ++cursor_;
        eof_ = false;
    } else {
        eof_ = true;
    }
    notify(DataSetChange::CursorMoved);
    return true;
}

bool FixedWidthTable::movePrior()
{
    checkActive();
    if (!endPendingEdit()) return false;
    eof_ = lines_.empty();
    if (cursor_ > 0) {
        --cursor_;
        bof_ = false;
    } else {
        bof_ = true;
    }
    notify(DataSetChange::CursorMoved);
    return true;
}

bool FixedWidthTable::atEnd() const
{
    return eof_ || lines_.empty();
}

long FixedWidthTable::countRecords() const
{
    checkActive();
    return static_cast<long>(lines_.size());
}

long FixedWidthTable::recordNumber() const
{
    if (!active() || cursor_ < 0 || cursor_ >= static_cast<long>(lines_.size())) return -1;
    return cursor_ + 1;
}

bool FixedWidthTable::setRecordNumber(long number)
{
    checkActive();
    if (!endPendingEdit()) return false;
    if (number >= 1 && number <= static_cast<long>(lines_.size()) && number - 1 != cursor_) {
        cursor_ = number - 1;
        eof_ = bof_ = false;
        notify(DataSetChange::CursorMoved);
    }
    return true;
}

int32_t FixedWidthTable::bookmark() const
{
    checkActive();
    if (cursor_ < 0 || cursor_ >= static_cast<long>(lines_.size())) throw Error("No Records");
    return lines_[static_cast<size_t>(cursor_)].id;
}

bool FixedWidthTable::gotoBookmark(int32_t id)
{
    checkActive();
    if (indexOfId(id) < 0) throw Error("Bookmark not found");
    if (!endPendingEdit()) return false;
    // The pending post may have inserted a line before it.
    const long at = indexOfId(id);
    if (at < 0) throw Error("Bookmark not found");
    cursor_ = at;
    eof_ = bof_ = false;
    notify(DataSetChange::CursorMoved);
    return true;
}

std::string_view FixedWidthTable::currentRecord() const
{
    checkActive();
    if (state_ == DataSetState::EditState || state_ == DataSetState::InsertState) return buffer_;
    if (cursor_ < 0 || cursor_ >= static_cast<long>(lines_.size())) throw Error("No Records");
    return lines_[static_cast<size_t>(cursor_)].text();
}

std::string_view FixedWidthTable::currentText() const
{
    return currentRecord();
}

std::string FixedWidthTable::fieldValueOf(std::string_view line, const FieldInfo& field) const
{
    if (line.size() <= static_cast<size_t>(field.offset)) return {};
    std::string_view value = line.substr(static_cast<size_t>(field.offset), static_cast<size_t>(field.width));
    if (trimSpace_) value = trimRight(value);
    return std::string(value);
}

const FixedWidthTable::FieldInfo& FixedWidthTable::fieldByName(std::string_view name) const
{
    checkActive();
    int i = fieldIndex(name);
    if (i < 0) fail(format("Field '%s' not found", {name}));
    return fields_[static_cast<size_t>(i)];
}

const FixedWidthTable::FieldInfo& FixedWidthTable::fieldByIndex(int index) const
{
    checkActive();
    if (index < 0 || index >= static_cast<int>(fields_.size()))
        fail(format("Field '%s' not found", {std::to_string(index)}));
    return fields_[static_cast<size_t>(index)];
}

std::string FixedWidthTable::fieldValue(std::string_view fieldName) const
{
    const FieldInfo& f = fieldByName(fieldName);
    return fieldValueOf(currentRecord(), f);
}

std::string FixedWidthTable::fieldValue(int index) const
{
    const FieldInfo& f = fieldByIndex(index);
    return fieldValueOf(currentRecord(), f);
}

bool FixedWidthTable::fieldIsNull(int index) const
{
    const FieldInfo& f = fieldByIndex(index);
    return currentRecord().size() <= static_cast<size_t>(f.offset);
}

std::string FixedWidthTable::fieldValueAt(size_t index, int field) const
{
    return fieldValueOf(lines_[index].text(), fieldByIndex(field));
}

}  // namespace edlt
