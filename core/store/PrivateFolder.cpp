// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/PrivateFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/store/FileLock.h"

namespace edlt {
namespace {

constexpr std::string_view heldPrefix = "/proc/self/fd/";

[[noreturn]] void cannotCreate(const std::filesystem::path& folder, int error)
{
    throw Error(format(cp1253::lit("Δεν ήταν δυνατή η δημιουργία του φακέλου %s. %s"),
                       {cp1253::pathText(folder), systemErrorText(error)}));
}

[[noreturn]] void notPrivate(const std::filesystem::path& folder, const char* cause)
{
    throw Error(PrivateFolder::notPrivateMessage(folder, cp1253::lit(cause)));
}

bool isHeld(const std::string& path)
{
    return path.size() > heldPrefix.size() && path.compare(0, heldPrefix.size(), heldPrefix) == 0 &&
           path.find_first_not_of("0123456789", heldPrefix.size()) == std::string::npos;
}

// The folder behind fd must be the user's and closed to everyone else.
void checkOpened(int fd, const std::filesystem::path& shown)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0) cannotCreate(shown, errno);
    if (!S_ISDIR(st.st_mode)) notPrivate(shown, "δεν είναι φάκελος");
    if (st.st_uid != ::geteuid()) notPrivate(shown, "ανήκει σε άλλον χρήστη");
    // Left open by an older run or by hand: closed again without a word.
    if ((st.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0)
        throw Error(PrivateFolder::notPrivateMessage(shown, systemErrorText(errno)));
}

}  // namespace

PrivateFolder::~PrivateFolder()
{
    if (fd_ >= 0) ::close(fd_);
}

PrivateFolder::PrivateFolder(PrivateFolder&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

PrivateFolder& PrivateFolder::operator=(PrivateFolder&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

std::string PrivateFolder::notPrivateMessage(const std::filesystem::path& folder, const std::string& cause)
{
    return format(cp1253::lit("Ο φάκελος εργασίας %s δεν είναι ιδιωτικός (%s). Το e-ΔΛΤ δεν μπορεί να ξεκινήσει."),
                  {cp1253::pathText(folder), cause});
}

std::filesystem::path PrivateFolder::reach() const
{
    return std::string(heldPrefix) + std::to_string(fd_);
}

PrivateFolder PrivateFolder::open(const std::filesystem::path& folder)
{
    std::filesystem::path path = folder.lexically_normal();
    if (!path.has_filename()) path = path.parent_path();
    if (isHeld(path.native())) {
        PrivateFolder held(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!held.isOpen()) cannotCreate(path, errno);
        checkOpened(held.fd_, path);
        return held;
    }
    std::error_code ec;
    const std::filesystem::path parent = path.has_parent_path() ? path.parent_path() : ".";
    std::filesystem::create_directories(parent, ec);
    if (ec) cannotCreate(path, ec.value());
    FileDescriptor at(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (at.get() < 0) cannotCreate(path, errno);
    return openAt(at.get(), path.filename().string(), path);
}

PrivateFolder PrivateFolder::open(const std::string& name) const
{
    return openAt(fd_, name, reach() / name);
}

PrivateFolder PrivateFolder::openAt(int at, const std::string& name, const std::filesystem::path& shown)
{
    for (int attempt = 0;; ++attempt) {
        if (::mkdirat(at, name.c_str(), 0700) != 0 && errno != EEXIST) cannotCreate(shown, errno);
        PrivateFolder folder(::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (folder.isOpen()) {
            checkOpened(folder.fd_, shown);
            return folder;
        }
        const int err = errno;
        if (err == ENOENT && attempt < 3) continue;  // removed between the two calls
        // O_NOFOLLOW on a link and O_DIRECTORY on a file fail alike: look at which it is.
        struct stat st {};
        if ((err == ELOOP || err == ENOTDIR) && ::fstatat(at, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            notPrivate(shown, S_ISLNK(st.st_mode) ? "είναι συμβολικός σύνδεσμος" : "δεν είναι φάκελος");
        cannotCreate(shown, err);
    }
}

void removeUnlessPrivateFile(const std::filesystem::path& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return;
    if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0600 && st.st_nlink == 1) return;
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return;
    const int err = errno;
    throw Error(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s. %s"),
                       {cp1253::pathText(path), systemErrorText(err)}));
}

}  // namespace edlt
