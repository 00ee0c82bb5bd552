// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/AtomicFile.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/Cp1253.h"

namespace edlt {
namespace {

constexpr size_t bufferSize = 1 << 20;

mode_t newFileMode()
{
    // Payroll data is private: a new file is readable by its owner alone, less what the
    // umask takes away.
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0600 & ~mask;
}

bool writeAll(int fd, const char* data, size_t size, int& error)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (n == 0) {
            error = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::filesystem::path folderOf(const std::filesystem::path& file)
{
    std::filesystem::path folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

void syncFolder(const std::filesystem::path& folder)
{
    int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

[[noreturn]] void cannotWrite(const std::filesystem::path& file, const std::string& cause)
{
    throw WriteError(
        format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s. %s"), {cp1253::pathText(file), cause}));
}

bool isTemporaryName(std::string_view name)
{
    return !name.empty() && name[0] == '.' && name.find(AtomicFileWriter::tempMarker) != std::string_view::npos;
}

std::string randomSuffix()
{
    static std::minstd_rand next(static_cast<unsigned>(std::random_device{}()) ^ static_cast<unsigned>(::getpid()));
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string s(6, 'a');
    for (char& c : s) c = letters[next() % (sizeof letters - 1)];
    return s;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether name in the folder still is the file fd has open.
bool stillNamed(int dirFd, const char* name, int fd)
{
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           sameFile(opened, named);
}

// Removes a temporary whose writer is gone. Only a regular file of this user, opened
// without following a link, whose lock is free, and still under the name when locked (a
// writer that just renamed its file away released the lock on the final name).
void removeIfAbandoned(int dirFd, const char* name)
{
    struct stat seen {};
    if (::fstatat(dirFd, name, &seen, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(seen.st_mode) || seen.st_uid != ::geteuid())
        return;
    // Any access opens it for the lock; the kept mode of a replaced file may deny reading.
    int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) fd = ::openat(dirFd, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat opened {};
    if (::fstat(fd, &opened) == 0 && sameFile(opened, seen) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        stillNamed(dirFd, name, fd))
        ::unlinkat(dirFd, name, 0);
    ::close(fd);
}

// Where O_TMPFILE is missing: a named file, locked at once. A sweep that took the lock
// first removes the name; then the next name is tried.
int openNamedTemporary(const std::filesystem::path& folder, std::filesystem::path& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string pattern = (folder / (std::string(AtomicFileWriter::tempMarker) + "XXXXXX")).string();
        const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        // A file system without locks has no sweep either: the name is safe unlocked.
        const bool takenByASweep = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (!takenByASweep && stillNamed(AT_FDCWD, pattern.c_str(), fd)) {
            name = pattern;
            return fd;
        }
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

std::filesystem::path AtomicFileWriter::checkedDestination(const std::filesystem::path& path)
{
    std::filesystem::path p = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0) {
            if (errno != ENOENT) cannotWrite(p, systemErrorText(errno));
            break;  // a new file: only its folder matters
        }
        if (S_ISLNK(st.st_mode)) {
            // Saving through a link updates the file it names, in that file's folder.
            if (hops >= 40) cannotWrite(path, systemErrorText(ELOOP));
            std::error_code ec;
            std::filesystem::path next = std::filesystem::read_symlink(p, ec);
            if (ec) cannotWrite(p, systemErrorText(ec.value()));
            p = next.is_absolute() ? next : folderOf(p) / next;
            continue;
        }
        if (!S_ISREG(st.st_mode)) cannotWrite(p, notRegularFileText());
        if (st.st_nlink > 1)
            cannotWrite(p, cp1253::lit("Το αρχείο έχει και άλλα ονόματα (σκληρούς συνδέσμους), που η αποθήκευση θα "
                                       "χώριζε"));
        if ((st.st_mode & 0222) == 0) cannotWrite(p, cp1253::lit("Το αρχείο είναι μόνο για ανάγνωση"));
        if (::access(p.c_str(), W_OK) != 0) cannotWrite(p, systemErrorText(errno));
        break;
    }
    // The new content is made beside the target, so its folder must take a new file.
    const std::filesystem::path folder = folderOf(p);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        const int err = errno;
        if (err != EACCES && err != EPERM && err != EROFS) cannotWrite(p, systemErrorText(err));
        cannotWrite(p, format(cp1253::lit("%s (φάκελος %s)"), {systemErrorText(err), cp1253::pathText(folder)}));
    }
    return p;
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target, Durability durability)
    : target_(durability == Durability::Durable ? checkedDestination(target) : std::move(target)),
      durability_(durability)
{
    const std::filesystem::path folder = folderOf(target_);
    removeStaleTemporaries(folder);
    struct stat old {};
    const bool keepOwnerAndMode = durability_ == Durability::Durable && ::lstat(target_.c_str(), &old) == 0 &&
                                  S_ISREG(old.st_mode);

    // A file with no name until it is complete: a kill leaves nothing behind. Its lock,
    // held until it has its final name, tells a sweep that it is in use.
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd_ >= 0) ::flock(fd_, LOCK_EX | LOCK_NB);
    else if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
        fd_ = openNamedTemporary(folder, temp_);
    if (fd_ < 0) {
        int err = errno;
        throw WriteError(format(cp1253::lit("Δεν ήταν δυνατή η δημιουργία του αρχείου %s. %s"),
                                {cp1253::pathText(target_), systemErrorText(err)}));
    }
    if (keepOwnerAndMode) {
        // The user's replaced file keeps its owner and group where this process may set
        // them, and its permission bits.
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0 && ::fchown(fd_, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Another owner's file written by its group: the new one is the writer's own.
        }
        ::fchmod(fd_, old.st_mode & 0777);
    } else {
        // The program's own files never take over what was there before them.
        ::fchmod(fd_, newFileMode());
    }
    buffer_.reserve(bufferSize);
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

void AtomicFileWriter::discard()
{
    if (fd_ >= 0) {
        // Unnamed while still locked, so no sweep takes it for abandoned in between.
        if (!temp_.empty()) ::unlink(temp_.c_str());
        ::close(fd_);
        fd_ = -1;
    }
    buffer_.clear();
}

void AtomicFileWriter::fail(int error)
{
    discard();
    cannotWrite(target_, systemErrorText(error));
}

void AtomicFileWriter::flushBuffer()
{
    int err = 0;
    if (!buffer_.empty() && !writeAll(fd_, buffer_.data(), buffer_.size(), err)) fail(err);
    buffer_.clear();
}

void AtomicFileWriter::write(std::string_view data)
{
    if (fd_ < 0)
        throw WriteError(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s."), {cp1253::pathText(target_)}));
    if (buffer_.size() + data.size() > bufferSize) {
        flushBuffer();
        if (data.size() >= bufferSize) {
            int err = 0;
            if (!writeAll(fd_, data.data(), data.size(), err)) fail(err);
            return;
        }
    }
    buffer_.append(data);
}

void AtomicFileWriter::commit()
{
    if (fd_ < 0)
        throw WriteError(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s."), {cp1253::pathText(target_)}));
    flushBuffer();
    if (durability_ == Durability::Durable && ::fsync(fd_) != 0) fail(errno);
    if (temp_.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        // Nothing to replace: the complete file takes the target's name at once.
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            const int closed = ::close(fd_);
            const int err = errno;
            fd_ = -1;
            if (closed != 0) {
                ::unlink(target_.c_str());
                cannotWrite(target_, systemErrorText(err));
            }
            if (durability_ == Durability::Durable) syncFolder(folderOf(target_));
            return;
        }
        if (errno != EEXIST) fail(errno);
        // The complete file gets a short name beside the target, then takes the target's.
        for (int attempt = 0; temp_.empty(); ++attempt) {
            std::filesystem::path name = folderOf(target_) / (std::string(tempMarker) + randomSuffix());
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) temp_ = name;
            else if (errno != EEXIST || attempt >= 100)
                fail(errno);
        }
    }
    // The lock stays with a duplicate until after the rename; closing the file itself
    // first still reports a late write error while the target is the old file.
    const int holder = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (holder < 0) fail(errno);
    const int closed = ::close(fd_);
    int err = errno;
    fd_ = -1;
    if (closed != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        if (closed == 0) err = errno;
        ::unlink(temp_.c_str());
        ::close(holder);
        cannotWrite(target_, systemErrorText(err));
    }
    ::close(holder);
    if (durability_ == Durability::Durable) syncFolder(folderOf(target_));
}

void AtomicFileWriter::removeStaleTemporaries(const std::filesystem::path& folder)
{
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return;
    DIR* dir = ::fdopendir(dirFd);
    if (dir == nullptr) {
        ::close(dirFd);
        return;
    }
    while (const dirent* entry = ::readdir(dir))
        if (isTemporaryName(entry->d_name)) removeIfAbandoned(dirFd, entry->d_name);
    ::closedir(dir);
}

bool replaceWithLink(const std::filesystem::path& source, const std::filesystem::path& target)
{
    struct stat linked {
    }, replaced{};
    if (::stat(source.c_str(), &linked) != 0) return false;
    // rename leaves both names of one file in place, so a spare link would stay behind.
    if (::lstat(target.c_str(), &replaced) == 0 && sameFile(linked, replaced)) return true;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path temp = folderOf(target) /
                                           (std::string(AtomicFileWriter::tempMarker) + randomSuffix());
        if (::link(source.c_str(), temp.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (::rename(temp.c_str(), target.c_str()) != 0) {
            ::unlink(temp.c_str());
            return false;
        }
        // Target became a name of the same file meanwhile: the rename did nothing.
        struct stat left {};
        if (::lstat(temp.c_str(), &left) == 0 && sameFile(left, linked)) ::unlink(temp.c_str());
        return true;
    }
    return false;
}

void writeFileAtomically(const std::filesystem::path& path, std::string_view content,
                         AtomicFileWriter::Durability durability)
{
    AtomicFileWriter writer(path, durability);
    writer.write(content);
    writer.commit();
}

}  // namespace edlt
