// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Advisory locks (flock) on the declaration files a command reads and rewrites, so two
// programs never both read the old file and one's changes are lost to the other's save.
#include <chrono>
#include <filesystem>
#include <optional>

namespace edlt {

// An open file descriptor, closed when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release();

private:
    int fd_;
};

class FileLock {
public:
    enum class Mode { Shared, Exclusive };
    static constexpr std::chrono::seconds defaultWait{10};

    // Locks the file path names (following symbolic links); nothing to lock when it does
    // not exist. A file replaced by another program while waiting is locked anew, so the
    // lock held is on the file the path names now. Waits up to wait for another holder,
    // then throws Error naming the file.
    FileLock(const std::filesystem::path& path, Mode mode, std::chrono::milliseconds wait = defaultWait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

// What tells a file apart from its older self: another program's save changes at least one.
struct FileIdentity {
    unsigned long device = 0, inode = 0;
    long long size = 0, modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
    // nullopt when nothing is there.
    static std::optional<FileIdentity> of(const std::filesystem::path& path);
};

}  // namespace edlt
