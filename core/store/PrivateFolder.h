// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's own folders for payroll data: real folders of the user, mode 0700. A folder
// is held open once checked; files reached through it (reach()) cannot be sent elsewhere
// by the folder being renamed or replaced with a link afterwards.
#include <filesystem>
#include <string>

namespace edlt {

class PrivateFolder {
public:
    PrivateFolder() = default;
    ~PrivateFolder();
    PrivateFolder(PrivateFolder&& other) noexcept;
    PrivateFolder& operator=(PrivateFolder&& other) noexcept;
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    // Opens folder, creating it (mode 0700) and its missing parents; a folder of the user's
    // own with a wider mode is narrowed to 0700. Throws Error: notPrivateMessage for a folder
    // of another user, a symbolic link or anything but a folder; the creation message when
    // it cannot be made. A folder already held (reach() of another) is checked again.
    static PrivateFolder open(const std::filesystem::path& folder);
    // The folder name inside this one, on the same terms.
    PrivateFolder open(const std::string& name) const;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // The folder through its descriptor: /proc/self/fd/N.
    std::filesystem::path reach() const;

    // "Ο φάκελος εργασίας <folder> δεν είναι ιδιωτικός (<cause>). ..." (Windows-1253).
    static std::string notPrivateMessage(const std::filesystem::path& folder, const std::string& cause);

private:
    explicit PrivateFolder(int fd) : fd_(fd) {}
    static PrivateFolder openAt(int at, const std::string& name, const std::filesystem::path& shown);

    int fd_ = -1;
};

// Removes whatever is at path unless it is a regular file of the user's own, mode 0600, with
// no other name: a file someone else made (or left open to others) is never written into,
// the next write makes a new one. Throws Error naming path when it cannot be removed.
void removeUnlessPrivateFile(const std::filesystem::path& path);

}  // namespace edlt
