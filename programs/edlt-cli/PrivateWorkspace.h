// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command's own temporary folder: the session keeps its workspace files in it, so a
// command never touches the window program's "temp" folder nor another command's files.
// The folder goes when this object does, whichever way the command ends, also when
// SIGINT, SIGTERM, SIGHUP or SIGPIPE ends the program. What SIGKILL leaves, the next
// command removes: the folder is locked for the command's life.
#include <filesystem>

namespace edlt::cli {

class PrivateWorkspace {
public:
    // Removes the user's folders whose command is gone, then creates and locks a fresh
    // folder (mode 0700) in the system's temporary folder (TMPDIR honoured); throws Error
    // with a Greek message when it cannot.
    PrivateWorkspace();
    ~PrivateWorkspace();
    PrivateWorkspace(const PrivateWorkspace&) = delete;
    PrivateWorkspace& operator=(const PrivateWorkspace&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    int lockFd_ = -1;
};

}  // namespace edlt::cli
