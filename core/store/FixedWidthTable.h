// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// FixedWidthTable: a text file held in memory as lines, each cut into named text
// fields by a schema of "Name=width" lines, with a cursor, an edit buffer and observers.
// Nothing in it knows about declarations. Its parts: FixedWidthTable.cpp (properties,
// cursor, fields), ...Edit.cpp (the edit buffer), ...Observers.cpp, ...Search.cpp and
// ...File.cpp (reading and writing the backing file).
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/BlockList.h"
#include "core/store/DataSetObserver.h"
#include "core/store/LineArena.h"

namespace edlt {

class FixedWidthTable {
public:
    struct FieldInfo {
        std::string name;
        int width;
        int offset;
    };
    enum FindOption { IgnoreCase = 1, PrefixMatch = 2 };

    explicit FixedWidthTable(std::string name = "FixedFormatDataSet");
    ~FixedWidthTable();
    FixedWidthTable(const FixedWidthTable&) = delete;
    FixedWidthTable& operator=(const FixedWidthTable&) = delete;

    // Properties: all but Active only while closed.
    const std::string& Name() const { return name_; }
    const std::filesystem::path& fileName() const { return fileName_; }
    void setFileName(const std::filesystem::path& path);
    const std::vector<std::string>& schema() const { return schema_; }
    void setSchema(std::vector<std::string> schema);
    bool fileMustExist() const { return fileMustExist_; }
    void setFileMustExist(bool value);
    bool trimSpace() const { return trimSpace_; }
    void setTrimSpace(bool value);
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool value);
    bool active() const { return state_ != DataSetState::Inactive; }
    void setActive(bool value);

    void open();
    // Opens with the lines FileName was just written with, instead of reading them back.
    void openWithLines(ArenaLines lines);
    void close();
    // The lines in a new order (order[k]: the position of the line that goes to k), each cut
    // to maxLength, with record ids 1..n in that order and the cursor on the first: the
    // store as opening the file of those lines would leave it, without reading it.
    void reorderLines(const std::vector<size_t>& order, size_t maxLength);
    DataSetState state() const { return state_; }

    // Moves end a pending edit first; they return false when its post was refused
    // (the cursor then stays where it was).
    bool moveFirst();
    bool moveNext();
    bool movePrior();
    bool moveLast();
    bool atEnd() const;
    bool atBeginning() const { return bof_; }
    long countRecords() const;
    long recordNumber() const;
    bool setRecordNumber(long number);

    // The record id of the current line, and going back to it.
    int32_t bookmark() const;
    bool gotoBookmark(int32_t id);

    std::string fieldValue(std::string_view fieldName) const;
    std::string fieldValue(int index) const;
    bool fieldIsNull(int index) const;
    void setFieldValue(std::string_view fieldName, std::string_view value);
    void setFieldValue(int index, std::string_view value);
    // The whole edit buffer at once: a line put back exactly as it was stored.
    void setRecordText(std::string_view text);
    int fieldIndex(std::string_view fieldName) const;  // -1 when absent
    const std::vector<FieldInfo>& Fields() const { return fields_; }
    int recordSize() const { return recordSize_; }

    void edit();
    void insert();
    void appendNew();
    // Asks the observers' beforePost; false when one refused (state and edit buffer stay as they were).
    bool post();
    void Cancel();
    void deleteRecord();
    // Whether a field was written since the edit began.
    bool modified() const { return modified_; }
    // The line a post would store (the edit buffer), or the current line in Browse.
    std::string_view currentText() const;

    // The first matching line from the line at index from on.
    bool findRecord(std::string_view keyFields, const std::vector<std::string>& keyValues, int options = 0,
                    long from = 0);
    bool findRecord(std::string_view keyFields, std::string_view keyValue, int options = 0, long from = 0);

    void saveLinesTo(const std::filesystem::path& path);
    bool storeChanged() const { return changed_; }
    // The lines are kept elsewhere too (a journal beside the file): Close need not write them.
    void markLinesSaved() { changed_ = false; }

    // Read access to any line without moving the cursor (grid painting, sorting, sums).
    std::string_view lineAt(size_t index) const { return lines_[index].text(); }
    int32_t lineIdAt(size_t index) const { return lines_[index].id; }
    std::string fieldValueAt(size_t index, int field) const;
    // Every line in order with its record id, without a search per line.
    template <class F>
    void forEachLine(F&& f) const
    {
        lines_.forEach([&](const Line& l) { return f(l.text(), l.id); });
    }
    // The lines at from..to-1 in order (two threads may each walk a part).
    template <class F>
    void forEachLineIn(size_t from, size_t to, F&& f) const
    {
        lines_.forEachIn(from, to, [&](const Line& l) { f(l.text()); });
    }
    // During an Insert, the position the new line will take.
    long insertIndex() const { return insertIndex_; }
    long cursor() const { return cursor_; }

    void addObserver(DataSetObserver* observer);
    void removeObserver(DataSetObserver* observer);
    // Many changes in a row (an import): the controls hear nothing until the matching
    // EnableControls, then one Reset and the cursor.
    void disableControls() { ++controlsDisabled_; }
    void enableControls();
    // Lines put back as they were, already checked: no beforePost is asked until the
    // matching ResumeChecks.
    void suspendChecks() { ++checksSuspended_; }
    void resumeChecks() { --checksSuspended_; }

private:
    // A line's bytes live in arena_; an edit that fits is written over them in place.
    struct Line {
        char* data;
        uint32_t size;
        uint32_t room;
        int32_t id;
        std::string_view text() const { return {data, size}; }
        // A line over bytes the store's arena holds.
        static Line over(std::string_view held, int32_t id)
        {
            const auto size = static_cast<uint32_t>(held.size());
            return Line{const_cast<char*>(held.data()), size, size, id};
        }
    };
    Line makeLine(std::string_view text, int32_t id);
    void setText(Line& line, std::string_view text);

    [[noreturn]] void fail(std::string_view message) const;
    void checkClosed() const;
    void checkActive() const;
    void checkWritable() const;
    void activate(BlockList<Line> lines, LineArena arena);
    bool endPendingEdit();
    void buildFields();
    std::string_view currentRecord() const;
    std::string fieldValueOf(std::string_view line, const FieldInfo& field) const;
    const FieldInfo& fieldByName(std::string_view name) const;
    const FieldInfo& fieldByIndex(int index) const;
    void writeLines(const std::filesystem::path& path) const;
    void startInsert(bool append);
    void notify(DataSetChange::Kind kind, long index = -1, int field = -1, int32_t id = 0);
    void announce(const DataSetChange& change);
    void notify(const DataSetChange& change);
    bool postAllowed();
    void runHook(void (DataSetObserver::*hook)(FixedWidthTable&));
    long indexOfId(int32_t id) const;
    void setState(DataSetState state);

    std::string name_;
    std::filesystem::path fileName_;
    std::vector<std::string> schema_;
    bool fileMustExist_ = true;
    bool trimSpace_ = true;
    bool readOnly_ = false;

    DataSetState state_ = DataSetState::Inactive;
    // In blocks: the import inserts every row at the front, and a line stored in the middle
    // of a million must not move half of them.
    BlockList<Line> lines_;
    LineArena arena_;
    std::vector<FieldInfo> fields_;
    int recordSize_ = 0;
    int32_t lastId_ = 0;
    long cursor_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    std::string buffer_;
    bool modified_ = false;
    long insertIndex_ = -1;
    bool changed_ = false;
    std::vector<DataSetObserver*> observers_;
    std::vector<DataSetObserver*> fieldObservers_;  // those of observers_ that follow fields
    int controlsDisabled_ = 0;
    int checksSuspended_ = 0;
};

// Controls are not told while this lives (DisableControls, then EnableControls).
class ControlsDisabled {
public:
    explicit ControlsDisabled(FixedWidthTable& ds) : ds_(ds) { ds_.disableControls(); }
    ~ControlsDisabled() { ds_.enableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    FixedWidthTable& ds_;
};

// No beforePost is asked while this lives (SuspendChecks, then ResumeChecks).
class ChecksSuspended {
public:
    explicit ChecksSuspended(FixedWidthTable& ds) : ds_(ds) { ds_.suspendChecks(); }
    ~ChecksSuspended() { ds_.resumeChecks(); }
    ChecksSuspended(const ChecksSuspended&) = delete;
    ChecksSuspended& operator=(const ChecksSuspended&) = delete;

private:
    FixedWidthTable& ds_;
};

}  // namespace edlt
