#pragma once
// One running program per workspace folder. An flock on a file inside the folder: the
// kernel drops it when the holder dies, so a crashed run never leaves a stale lock.
#include <filesystem>

namespace edlt {

class WorkspaceLock {
public:
    enum class Result { Acquired, HeldByAnother, Unavailable };

    WorkspaceLock() = default;
    ~WorkspaceLock();
    WorkspaceLock(const WorkspaceLock&) = delete;
    WorkspaceLock& operator=(const WorkspaceLock&) = delete;

    // Creates the folder if needed and takes the lock. Unavailable means the lock file
    // could not be made (a disk problem, not another program).
    Result acquire(const std::filesystem::path& folder);
    // Removes the lock file and lets go.
    void release();
    bool held() const { return fd_ >= 0; }

    static constexpr const char* fileName = ".lock";

private:
    int fd_ = -1;
    std::filesystem::path path_;
};

}  // namespace edlt
