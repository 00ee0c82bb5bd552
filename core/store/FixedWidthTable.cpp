#include "core/store/FixedWidthTable.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "core/base/Convert.h"
#include "core/store/AtomicFile.h"
#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/base/Text.h"
#include "core/store/FieldText.h"

namespace edlt {
namespace {

constexpr int defaultRecordWidth = 250;

char latinUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameLatinCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (latinUpper(a[i]) != latinUpper(b[i])) return false;
    return true;
}

}  // namespace

FixedWidthTable::FixedWidthTable(std::string name) : name_(std::move(name)) {}

FixedWidthTable::~FixedWidthTable() = default;

void FixedWidthTable::fail(std::string_view message) const
{
    throw Error(name_ + ": " + std::string(message));
}

void FixedWidthTable::checkClosed() const
{
    if (Active()) fail("Cannot perform this operation on an open dataset");
}

void FixedWidthTable::checkActive() const
{
    if (!Active()) fail("Cannot perform this operation on a closed dataset");
}

void FixedWidthTable::checkWritable() const
{
    checkActive();
    if (readOnly_) fail("Cannot modify a read-only dataset");
}

void FixedWidthTable::SetFileName(const std::filesystem::path& path)
{
    checkClosed();
    fileName_ = path;
}

void FixedWidthTable::SetSchema(std::vector<std::string> schema)
{
    checkClosed();
    schema_ = std::move(schema);
}

void FixedWidthTable::SetFileMustExist(bool value)
{
    checkClosed();
    fileMustExist_ = value;
}

void FixedWidthTable::SetTrimSpace(bool value)
{
    checkClosed();
    trimSpace_ = value;
}

void FixedWidthTable::SetReadOnly(bool value)
{
    checkClosed();
    readOnly_ = value;
}

void FixedWidthTable::SetActive(bool value)
{
    if (value && !Active()) Open();
    if (!value && Active()) Close();
}

void FixedWidthTable::AddObserver(DataSetObserver* observer)
{
    observers_.push_back(observer);
    if (observer->followsFields()) fieldObservers_.push_back(observer);
}

void FixedWidthTable::RemoveObserver(DataSetObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
    fieldObservers_.erase(std::remove(fieldObservers_.begin(), fieldObservers_.end(), observer), fieldObservers_.end());
}

void FixedWidthTable::notify(DataSetChange::Kind kind, long index, int field, int32_t id)
{
    notify(DataSetChange{kind, index, field, id});
}

namespace {

// An observer may come or go while told: the ones of this moment are told, from a copy on
// the stack (a post sends a score of these; a heap copy each cost much).
template <typename Tell>
void tellEach(const std::vector<DataSetObserver*>& observers, Tell tell)
{
    const size_t n = observers.size();
    std::array<DataSetObserver*, 8> few;
    std::vector<DataSetObserver*> many;
    DataSetObserver* const* told = few.data();
    if (n <= few.size()) {
        std::copy(observers.begin(), observers.end(), few.begin());
    } else {
        many = observers;
        told = many.data();
    }
    for (size_t i = 0; i < n; ++i)
        tell(told[i]);
}

}  // namespace

void FixedWidthTable::notify(const DataSetChange& change)
{
    tellEach(change.kind == DataSetChange::FieldChanged ? fieldObservers_ : observers_, [&](DataSetObserver* o) {
        if (controlsDisabled_ == 0 || !o->isControl()) o->dataSetChanged(change);
    });
}

void FixedWidthTable::announce(const DataSetChange& change)
{
    tellEach(observers_, [&](DataSetObserver* o) {
        if (controlsDisabled_ == 0 || !o->isControl()) o->dataSetAboutToChange(change);
    });
}

void FixedWidthTable::EnableControls()
{
    if (controlsDisabled_ == 0 || --controlsDisabled_ > 0) return;
    const DataSetChange reset{DataSetChange::Reset};
    for (DataSetObserver* o : std::vector<DataSetObserver*>(observers_)) {
        if (!o->isControl()) continue;
        o->dataSetAboutToChange(reset);
        o->dataSetChanged(reset);
        o->dataSetChanged({DataSetChange::CursorMoved});
    }
}

void FixedWidthTable::setState(DataSetState state)
{
    if (state_ == state) return;
    DataSetChange change{DataSetChange::StateChanged, state == DataSetState::InsertState ? insertIndex_ : -1};
    change.state = state;
    announce(change);
    state_ = state;
    notify(change);
}

void FixedWidthTable::Open()
{
    if (Active()) return;
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

void FixedWidthTable::OpenWithLines(ArenaLines lines)
{
    if (Active()) return;
    cursor_ = -1;
    changed_ = false;
    BlockList<Line> taken;
    int32_t id = 0;
    // The arena comes along: its bytes are not copied.
    for (std::string_view text : lines.lines) taken.push_back(Line::over(text, ++id));
    std::vector<std::string_view>().swap(lines.lines);
    activate(std::move(taken), std::move(lines.arena));
}

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

void FixedWidthTable::Close()
{
    if (!Active()) return;
    buffer_.clear();
    modified_ = false;
    if (changed_ && !readOnly_) writeLines(fileName_);
    announce({DataSetChange::Reset});
    lines_.clear();
    arena_.clear();
    fields_.clear();
    cursor_ = -1;
    lastId_ = 0;
    changed_ = false;
    eof_ = bof_ = true;
    state_ = DataSetState::Inactive;
    notify(DataSetChange::Reset);
}

bool FixedWidthTable::endPendingEdit()
{
    if (state_ != DataSetState::EditState && state_ != DataSetState::InsertState) return true;
    if (modified_) return Post();
    Cancel();
    return true;
}

bool FixedWidthTable::MoveFirst()
{
    checkActive();
    if (!endPendingEdit()) return false;
    cursor_ = lines_.empty() ? -1 : 0;
    eof_ = lines_.empty();
    bof_ = true;
    notify(DataSetChange::CursorMoved);
    return true;
}

bool FixedWidthTable::MoveLast()
{
    checkActive();
    if (!endPendingEdit()) return false;
    cursor_ = static_cast<long>(lines_.size()) - 1;
    eof_ = true;
    bof_ = lines_.empty();
    notify(DataSetChange::CursorMoved);
    return true;
}

bool FixedWidthTable::MoveNext()
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

bool FixedWidthTable::MovePrior()
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

bool FixedWidthTable::AtEnd() const
{
    return eof_ || lines_.empty();
}

long FixedWidthTable::CountRecords() const
{
    checkActive();
    return static_cast<long>(lines_.size());
}

long FixedWidthTable::RecordNumber() const
{
    if (!Active() || cursor_ < 0 || cursor_ >= static_cast<long>(lines_.size())) return -1;
    return cursor_ + 1;
}

bool FixedWidthTable::SetRecordNumber(long number)
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

int32_t FixedWidthTable::Bookmark() const
{
    checkActive();
    if (cursor_ < 0 || cursor_ >= static_cast<long>(lines_.size())) throw Error("No Records");
    return lines_[static_cast<size_t>(cursor_)].id;
}

long FixedWidthTable::indexOfId(int32_t id) const
{
    long at = 0;
    bool found = false;
    lines_.forEach([&](const Line& l) {
        found = l.id == id;
        if (!found) ++at;
        return !found;
    });
    return found ? at : -1;
}

bool FixedWidthTable::GotoBookmark(int32_t id)
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

std::string_view FixedWidthTable::CurrentText() const
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

int FixedWidthTable::FieldIndex(std::string_view fieldName) const
{
    for (size_t i = 0; i < fields_.size(); ++i)
        if (sameLatinCase(fields_[i].name, fieldName)) return static_cast<int>(i);
    return -1;
}

const FixedWidthTable::FieldInfo& FixedWidthTable::fieldByName(std::string_view name) const
{
    checkActive();
    int i = FieldIndex(name);
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

std::string FixedWidthTable::FieldValue(std::string_view fieldName) const
{
    const FieldInfo& f = fieldByName(fieldName);
    return fieldValueOf(currentRecord(), f);
}

std::string FixedWidthTable::FieldValue(int index) const
{
    const FieldInfo& f = fieldByIndex(index);
    return fieldValueOf(currentRecord(), f);
}

bool FixedWidthTable::FieldIsNull(int index) const
{
    const FieldInfo& f = fieldByIndex(index);
    return currentRecord().size() <= static_cast<size_t>(f.offset);
}

std::string FixedWidthTable::FieldValueAt(size_t index, int field) const
{
    return fieldValueOf(lines_[index].text(), fieldByIndex(field));
}

void FixedWidthTable::SetFieldValue(std::string_view fieldName, std::string_view value)
{
    const FieldInfo& f = fieldByName(fieldName);
    SetFieldValue(static_cast<int>(&f - fields_.data()), value);
}

void FixedWidthTable::SetFieldValue(int index, std::string_view value)
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

void FixedWidthTable::Edit()
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
    if (AfterEdit) AfterEdit(*this);
}

void FixedWidthTable::startInsert(bool append)
{
    buffer_.clear();
    modified_ = false;
    insertIndex_ = (append || lines_.empty() || cursor_ < 0) ? static_cast<long>(lines_.size()) : cursor_;
    setState(DataSetState::InsertState);
    if (OnNewRecord) OnNewRecord(*this);
}

void FixedWidthTable::Insert()
{
    checkWritable();
    if (!endPendingEdit()) return;
    startInsert(false);
}

void FixedWidthTable::AppendNew()
{
    checkWritable();
    if (!endPendingEdit()) return;
    startInsert(true);
}

bool FixedWidthTable::Post()
{
    checkActive();
    if (state_ != DataSetState::EditState && state_ != DataSetState::InsertState)
        fail("Dataset not in edit or insert mode");
    if (BeforePost && !BeforePost(*this)) return false;
    std::string text = buffer_.size() > static_cast<size_t>(recordSize_) ? buffer_.substr(0, static_cast<size_t>(recordSize_))
                                                                         : buffer_;
    DataSetChange change{DataSetChange::RecordChanged, cursor_};
    if (state_ == DataSetState::EditState) {
        change.id = lines_[static_cast<size_t>(cursor_)].id;
        announce(change);
        setText(lines_[static_cast<size_t>(cursor_)], text);
    } else {
        change = {DataSetChange::RecordInserted, std::clamp<long>(insertIndex_, 0, static_cast<long>(lines_.size())), -1,
                  lastId_ + 1};
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
    if (AfterPost) AfterPost(*this);
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

void FixedWidthTable::Delete()
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
    if (AfterDelete) AfterDelete(*this);
}

bool FixedWidthTable::FindRecord(std::string_view keyFields, std::string_view keyValue, int options)
{
    return FindRecord(keyFields, std::vector<std::string>{std::string(keyValue)}, options);
}

bool FixedWidthTable::FindRecord(std::string_view keyFields, const std::vector<std::string>& keyValues,
                                     int options)
{
    checkActive();
    if (lines_.empty() || trim(keyFields).empty()) return false;
    std::vector<const FieldInfo*> keys;
    size_t start = 0;
    for (size_t i = 0; i <= keyFields.size(); ++i) {
        if (i == keyFields.size() || keyFields[i] == ',' || keyFields[i] == ' ') {
            std::string_view name = keyFields.substr(start, i - start);
            if (!name.empty()) keys.push_back(&fieldByName(name));
            start = i + 1;
        }
    }
    if (keys.empty()) return false;
    if (!MoveFirst()) return false;

    auto matches = [&](std::string_view line) {
        for (size_t k = 0; k < keys.size(); ++k) {
            std::string_view key = trim(keyValues.size() == 1 ? keyValues[0]
                                              : k < keyValues.size() ? keyValues[k]
                                                                     : std::string_view());
            std::string value = fieldValueOf(line, *keys[k]);
            std::string_view text = trim(value);
            if (text.size() < key.size()) return false;
            if (text.size() > key.size() && !(options & PrefixMatch)) return false;
            for (size_t i = 0; i < key.size(); ++i) {
                char a = text[i], b = key[i];
                if (options & IgnoreCase) a = latinUpper(a), b = latinUpper(b);
                if (a != b) return false;
            }
        }
        return true;
    };
    // Walk without telling the bound controls of every step; they see where it stops.
    long at = 0;
    bool found = false;
    lines_.forEach([&](const Line& l) {
        found = matches(l.text());
        if (!found) ++at;
        return !found;
    });
    if (found) {
        cursor_ = at;
        eof_ = bof_ = false;
        notify(DataSetChange::CursorMoved);
        return true;
    }
    cursor_ = static_cast<long>(lines_.size()) - 1;
    eof_ = true;
    notify(DataSetChange::CursorMoved);
    return false;
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

void FixedWidthTable::SaveLinesTo(const std::filesystem::path& path)
{
    checkActive();
    writeLines(path);
    fileName_ = path;
    changed_ = false;
}

}  // namespace edlt
