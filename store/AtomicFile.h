#pragma once
// Every file the program writes whole goes through here: the bytes go to a new file
// beside the target, every write is checked, and only a complete file is renamed over
// the target. A failure or a kill at any moment leaves the old file or the new one.
#include <filesystem>
#include <string>
#include <string_view>

#include "store/ByteStream.h"

namespace edlt {

class AtomicFileWriter : public ByteSink {
public:
    // Durable also syncs the file and its folder to disk (files the user keeps);
    // ProcessSafe skips the syncs (workspace files rewritten after every change), which
    // still survives a killed process because the rename is atomic.
    enum class Durability { Durable, ProcessSafe };

    // Creates the temporary file; throws Error("Cannot create file %s") when it cannot.
    explicit AtomicFileWriter(std::filesystem::path target, Durability durability = Durability::Durable);
    ~AtomicFileWriter() override;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(std::string_view data) override;
    // Flushes, syncs and renames over the target; throws Error on any failure, after
    // which the target is unchanged and the temporary file is gone.
    void commit();
    // Drops the new file; the target stays as it was.
    void discard();

    const std::filesystem::path& target() const { return target_; }

    // The marker in temporary names, so stale ones can be recognised and removed.
    static constexpr std::string_view tempMarker = ".edlt-tmp-";
    // Removes temporary files that a killed run left in a folder.
    static void removeStaleTemporaries(const std::filesystem::path& folder);

private:
    void flushBuffer();
    [[noreturn]] void fail(int error);

    std::filesystem::path target_;
    std::filesystem::path temp_;
    Durability durability_;
    int fd_ = -1;
    std::string buffer_;
};

// Writes content as the whole new file at path.
void writeFileAtomically(const std::filesystem::path& path, std::string_view content,
                         AtomicFileWriter::Durability durability = AtomicFileWriter::Durability::Durable);

// Makes target a second name of source's current content, replacing target atomically (a
// hard link renamed over it). Safe as a copy because every write here replaces whole files
// and never writes into one in place. Returns false where the file system has no hard
// links; the caller then copies.
bool replaceWithLink(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace edlt
