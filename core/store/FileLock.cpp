// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"

namespace edlt {

FileDescriptor::~FileDescriptor()
{
    if (fd_ >= 0) ::close(fd_);
}

int FileDescriptor::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

FileLock::FileLock(const std::filesystem::path& path, Mode mode, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    const int operation = (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    for (;;) {
        // O_NONBLOCK: a pipe named here must not hang the command before its input check.
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return;  // nothing there yet, or unreadable: the read or write will say so
        struct stat held {};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return;
        }
        while (::flock(fd, operation) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
                const int err = errno;
                ::close(fd);
                const std::string cause = err == EWOULDBLOCK ? cp1253::lit("το χρησιμοποιεί άλλο πρόγραμμα")
                                                             : systemErrorText(err);
                throw Error(cp1253::lit("Το αρχείο δεν είναι διαθέσιμο· δοκιμάστε ξανά όταν τελειώσει το άλλο "
                                        "πρόγραμμα") +
                            " (" + cp1253::pathText(path) + ": " + cause + ")");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        // The holder we waited for may have saved by renaming a new file over this one.
        struct stat now {};
        if (::stat(path.c_str(), &now) == 0 && now.st_dev == held.st_dev && now.st_ino == held.st_ino) {
            fd_ = fd;
            return;
        }
        ::close(fd);
    }
}

FileLock::~FileLock()
{
    if (fd_ >= 0) ::close(fd_);
}

std::optional<FileIdentity> FileIdentity::of(const std::filesystem::path& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{static_cast<unsigned long>(st.st_dev), static_cast<unsigned long>(st.st_ino),
                        static_cast<long long>(st.st_size),
                        static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

}  // namespace edlt
