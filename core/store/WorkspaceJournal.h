// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The detail lines between two rewrites of their workspace file: each store and delete
// appends one entry (insert, replace or remove at a position, with the line) to a journal
// beside the file, so a store costs the same at any size and survives a kill once it has
// returned. The file itself (the base) is rewritten now and then (compaction) and the
// journal starts again.
//
// The journal's header names the base it applies to (device, inode, size, time written): a base
// rewritten since, by anyone, makes the journal stale, and a stale journal is ignored.
// Every entry carries a checksum; a kill in the middle of a write leaves a torn last
// entry, which is ignored too (its store had not returned).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/store/FixedWidthTable.h"

namespace edlt {

class WorkspaceJournal : public DataSetObserver {
public:
    // Compaction is due past entryLimit entries or past a quarter of the base's bytes.
    WorkspaceJournal(FixedWidthTable& store, std::filesystem::path base, std::filesystem::path journal,
                     size_t entryLimit = 4096);
    ~WorkspaceJournal() override;
    WorkspaceJournal(const WorkspaceJournal&) = delete;
    WorkspaceJournal& operator=(const WorkspaceJournal&) = delete;

    void dataSetChanged(const DataSetChange& change) override;
    bool followsFields() const override { return false; }

    // Appends the changes heard since the last call, in one write. Throws Error; after a
    // failure only a compaction makes the files whole again (wantsCompaction says so).
    void flush();
    // Forgets the changes heard and not yet written: the base is to be rewritten whole.
    void dropPending() { pending_.clear(); }
    // The base was just rewritten with every line: the journal goes.
    void reset();
    bool wantsCompaction() const;
    // Whether the workspace file lacks changes this journal holds or was to hold.
    bool holdsEntries() const { return entries_ > 0 || broken_ || !pending_.empty(); }

    // The lines of base with the journal's changes applied, or nothing when the journal
    // is missing, stale or empty. Throws Error when the base cannot be read.
    static std::optional<std::vector<std::string>> replayed(const std::filesystem::path& base,
                                                            const std::filesystem::path& journal);
    // Rewrites the base with the journal's changes (kill-safe) and removes the journal.
    static void fold(const std::filesystem::path& base, const std::filesystem::path& journal);
    // Whether the journal holds changes the base lacks.
    static bool holdsChanges(const std::filesystem::path& base, const std::filesystem::path& journal);

private:
    struct Change {
        char kind;  // 'I' insert before, 'C' replace, 'D' remove
        uint32_t index;
        std::string text;
    };
    void writeHeader(const std::string& identity);
    [[noreturn]] void fail(int error);

    FixedWidthTable& store_;
    std::filesystem::path base_;
    std::filesystem::path path_;
    size_t entryLimit_;
    std::vector<Change> pending_;
    int fd_ = -1;
    std::string identity_;  // of the base the open journal applies to
    uint64_t baseBytes_ = 0;
    uint64_t bytes_ = 0;  // entries written, header excluded
    size_t entries_ = 0;
    bool broken_ = false;  // a write failed: the journal no longer follows the lines
};

}  // namespace edlt
