// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One running program per workspace folder. An flock on a file inside the folder: the
// kernel drops it when the holder dies, so a crashed run never leaves a stale lock.
// The lock fails closed: a folder that is not the user's own private folder, or a lock
// file that cannot be made, stops the program rather than letting two share it.
#include <filesystem>
#include <string>

namespace edlt {

class WorkspaceLock {
public:
    enum class Result { Acquired, HeldByAnother, Unavailable };

    WorkspaceLock() = default;
    ~WorkspaceLock();
    WorkspaceLock(const WorkspaceLock&) = delete;
    WorkspaceLock& operator=(const WorkspaceLock&) = delete;

    // Creates the folder (0700) if needed, checks it and the folder it sits in are real
    // folders of the user's own (a symbolic link is never followed; a wider mode is narrowed
    // to 0700) and takes the lock. Unavailable: the reason is in problem().
    Result acquire(const std::filesystem::path& folder);
    // Removes the lock file and lets go.
    void release();
    bool held() const { return fd_ >= 0; }
    // Why the last acquire gave Unavailable: the message naming the folder and the cause
    // (Windows-1253); for a folder that is not private, the message that the program cannot start.
    const std::string& problem() const { return problem_; }

    static constexpr const char* fileName = ".lock";

private:
    Result unavailable(const std::filesystem::path& folder, const std::string& cause);

    int fd_ = -1;
    std::filesystem::path path_;
    std::string problem_;
};

}  // namespace edlt
