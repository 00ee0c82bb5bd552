// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/WorkspaceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/store/FileLock.h"
#include "core/store/PrivateFolder.h"

namespace edlt {

using Descriptor = FileDescriptor;

WorkspaceLock::~WorkspaceLock()
{
    if (fd_ >= 0) ::close(fd_);
}

WorkspaceLock::Result WorkspaceLock::unavailable(const std::filesystem::path& folder, const std::string& cause)
{
    problem_ = cp1253::lit(
                   "Δεν ήταν δυνατό να κλειδωθεί ο φάκελος εργασίας του προγράμματος, που δεν μπορεί να "
                   "ξεκινήσει χωρίς αυτόν") +
               " (" + cp1253::pathText(folder) + ": " + cause + ")";
    return Result::Unavailable;
}

WorkspaceLock::Result WorkspaceLock::acquire(const std::filesystem::path& folder)
{
    // The folder it sits in too: another user able to change that could swap the workspace.
    PrivateFolder dir;
    try {
        dir = PrivateFolder::open(folder.parent_path()).open(folder.filename().string());
    } catch (const Error& e) {
        problem_ = e.message();
        return Result::Unavailable;
    }
    struct stat st {};
    path_ = folder / fileName;
    for (int attempt = 0; attempt < 10; ++attempt) {
        Descriptor lock(::openat(dir.fd(), fileName, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (lock.get() < 0) {
            const int err = errno;
            if (err == ELOOP) return unavailable(folder, notRegularFileText());
            return unavailable(folder, systemErrorText(err));
        }
        if (::fstat(lock.get(), &st) != 0) return unavailable(folder, systemErrorText(errno));
        if (!S_ISREG(st.st_mode)) return unavailable(folder, notRegularFileText());
        if (st.st_uid != ::geteuid())
            return unavailable(folder, cp1253::lit("Το αρχείο κλειδώματος ανήκει σε άλλον χρήστη"));
        if ((st.st_mode & 07777) != 0600) ::fchmod(lock.get(), 0600);
        if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            if (err == EWOULDBLOCK) return Result::HeldByAnother;
            return unavailable(folder, systemErrorText(err));
        }
        // A holder that was ending removed the file after this one opened it: the lock
        // taken is on a name no other program sees, so take it again on the new file.
        struct stat now {};
        if (::fstatat(dir.fd(), fileName, &now, AT_SYMLINK_NOFOLLOW) != 0 || now.st_ino != st.st_ino ||
            now.st_dev != st.st_dev)
            continue;
        fd_ = lock.release();
        return Result::Acquired;
    }
    return unavailable(folder, systemErrorText(EAGAIN));
}

void WorkspaceLock::release()
{
    if (fd_ < 0) return;
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
}

}  // namespace edlt
