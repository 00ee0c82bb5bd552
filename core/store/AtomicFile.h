// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every file the program writes whole goes through here: the bytes go to a new file
// beside the target, every write is checked, and only a complete file is renamed over
// the target. A failure or a kill at any moment leaves the old file or the new one.
#include <filesystem>
#include <string>
#include <string_view>

#include "core/base/ByteStream.h"
#include "core/base/Error.h"

namespace edlt {

// A file could not be written; the message names it and the cause. Kept apart from read
// failures so a full disk is never reported as a problem of the file being read.
class WriteError : public Error {
public:
    using Error::Error;
};

class AtomicFileWriter : public ByteSink {
public:
    // Durable also syncs the file and its folder to disk (files the user keeps), applies
    // checkedDestination to the target and keeps a replaced file's owner and mode;
    // ProcessSafe skips all three (the program's own workspace files, rewritten after every
    // change, always private to the user), which still survives a killed process because
    // the rename is atomic.
    enum class Durability { Durable, ProcessSafe };

    // Creates the temporary file; throws WriteError when it cannot.
    explicit AtomicFileWriter(std::filesystem::path target, Durability durability = Durability::Durable);
    ~AtomicFileWriter() override;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(std::string_view data) override;
    // Flushes, syncs and gives the file the target's name: straight away where nothing is
    // there yet, else by a rename over the target. Throws WriteError on any failure, after
    // which the target is unchanged and the temporary file is gone.
    void commit();
    // Drops the new file; the target stays as it was.
    void discard();

    // The file that is replaced: the final target of a symbolic link for durable writes.
    const std::filesystem::path& target() const { return target_; }

    // Where a file the user named may be replaced: a symbolic link is followed to its
    // final target. Throws WriteError, with nothing written, for what must not be
    // replaced: anything but a regular file, a file with other hard links (replacing it
    // would split them), a file without any write bit (for every user, root too), a file
    // or folder the user may not write.
    static std::filesystem::path checkedDestination(const std::filesystem::path& path);

    // The start of every temporary name, so stale ones can be recognised and removed.
    // Short, so a name near the file system's limit can still be saved beside.
    static constexpr std::string_view tempMarker = ".edlt-tmp-";
    // Removes the temporary files in a folder whose writer is gone: regular files of this
    // user whose lock can be taken (a writer holds its file's lock until the file has its
    // final name), whatever their age. Every writer does this in its folder first.
    static void removeStaleTemporaries(const std::filesystem::path& folder);

private:
    void flushBuffer();
    [[noreturn]] void fail(int error);

    std::filesystem::path target_;
    std::filesystem::path temp_;  // empty while the new file has no name (O_TMPFILE)
    Durability durability_;
    int fd_ = -1;
    std::string buffer_;
};

// Writes content as the whole new file at path.
void writeFileAtomically(const std::filesystem::path& path, std::string_view content,
                         AtomicFileWriter::Durability durability = AtomicFileWriter::Durability::Durable);

// Makes target a second name of source's current content, replacing target atomically (a
// hard link renamed over it); nothing to do when it is one already. Safe as a copy because every write here replaces
// whole files and never writes into one in place. Returns false where the file system has no hard links; the caller
// then copies.
bool replaceWithLink(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace edlt
