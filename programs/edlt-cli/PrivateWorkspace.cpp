// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs/edlt-cli/PrivateWorkspace.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"

namespace edlt::cli {

namespace {

constexpr int cleanedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
constexpr std::string_view folderPrefix = "edlt-cli-";
// Held (flock) by the command for its whole life: a folder whose lock is free is a killed
// command's.
constexpr char lockName[] = "lock";

// What the signal handler removes; set only while the signals are blocked.
int folderFd = -1;
char folderPath[PATH_MAX];

// The kernel's linux_dirent64; its name follows d_type (a flexible array, not ISO C++).
struct DirEntry64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
};
constexpr size_t direntNameOffset = offsetof(DirEntry64, d_type) + 1;

// Empties a folder with system calls alone, which a signal handler may make. Links are
// removed, never followed. keep, when given, is left in the top folder.
void emptyFolder(int dirFd, int depth, const char* keep = nullptr)
{
    alignas(DirEntry64) char buffer[4096];
    for (bool removed = true; removed;) {
        removed = false;
        ::lseek(dirFd, 0, SEEK_SET);
        for (long n; (n = ::syscall(SYS_getdents64, dirFd, buffer, sizeof buffer)) > 0;) {
            for (long at = 0; at < n;) {
                const auto* entry = reinterpret_cast<const DirEntry64*>(buffer + at);
                at += entry->d_reclen;
                const char* name = reinterpret_cast<const char*>(entry) + direntNameOffset;
                if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
                if (keep != nullptr && std::strcmp(name, keep) == 0) continue;
                if (::unlinkat(dirFd, name, 0) == 0) {
                    removed = true;
                } else if (errno == EISDIR && depth < 4) {
                    int sub = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                    if (sub >= 0) {
                        emptyFolder(sub, depth + 1);
                        ::close(sub);
                    }
                    if (::unlinkat(dirFd, name, AT_REMOVEDIR) == 0) removed = true;
                }
            }
        }
    }
}

void removeOnSignal(int signal)
{
    if (folderFd >= 0) {
        emptyFolder(folderFd, 0);
        ::rmdir(folderPath);
    }
    // The disposition went back to the default on entry: the signal ends the program
    // as it would have, once this handler returns.
    ::raise(signal);
}

sigset_t cleanedSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int s : cleanedSignals) sigaddset(&set, s);
    return set;
}

class SignalsBlocked {
public:
    SignalsBlocked()
    {
        sigset_t set = cleanedSignalSet();
        ::sigprocmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsBlocked() { ::sigprocmask(SIG_SETMASK, &old_, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

private:
    sigset_t old_;
};

void installHandlers()
{
    struct sigaction action {};
    action.sa_handler = removeOnSignal;
    action.sa_mask = cleanedSignalSet();
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    for (int s : cleanedSignals) {
        struct sigaction old {};
        // A signal the caller chose to ignore stays ignored (nohup, a shell's background job).
        if (::sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(s, &action, nullptr);
    }
}

// Opens (making it when missing) and locks a folder's lock file; -1 when another holds it
// or the folder is gone.
int takeLock(int dirFd)
{
    const int fd = ::openat(dirFd, lockName, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Removes the folders killed commands of this user left in base: real folders (not links)
// of the user whose lock is free. The lock file goes last, so a command that made its
// folder just now and locks it meanwhile keeps it (the folder is then not empty).
void removeAbandonedFolders(const std::filesystem::path& base)
{
    const int baseFd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd < 0) return;
    DIR* dir = ::fdopendir(baseFd);
    if (dir == nullptr) {
        ::close(baseFd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::string_view(entry->d_name).substr(0, folderPrefix.size()) != folderPrefix) continue;
        const int fd = ::openat(baseFd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()) {
            const int lock = takeLock(fd);
            if (lock >= 0) {
                emptyFolder(fd, 0, lockName);
                ::unlinkat(fd, lockName, 0);
                ::unlinkat(baseFd, entry->d_name, AT_REMOVEDIR);
                ::close(lock);
            }
        }
        ::close(fd);
    }
    ::closedir(dir);
}

[[noreturn]] void cannotCreate(const std::filesystem::path& base, int error)
{
    throw Error(cp1253::lit("Δεν ήταν δυνατή η δημιουργία προσωρινού φακέλου") + " (" + cp1253::pathText(base) + ": " +
                systemErrorText(error) + ")");
}

}  // namespace

PrivateWorkspace::PrivateWorkspace()
{
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    removeAbandonedFolders(base);
    const std::string pattern = (base / (std::string(folderPrefix) + "XXXXXX")).string();
    // No signal between making the folder and telling the handler about it.
    SignalsBlocked blocked;
    for (int attempt = 0; lockFd_ < 0; ++attempt) {
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (::mkdtemp(name.data()) == nullptr) cannotCreate(base, errno);
        const int dirFd = ::open(name.data(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        lockFd_ = dirFd < 0 ? -1 : takeLock(dirFd);
        if (lockFd_ >= 0) {
            path_ = name.data();
            folderFd = dirFd;
            break;
        }
        // Another command's sweep took the fresh folder for a killed one's and removes it.
        const int error = errno;
        if (dirFd >= 0) ::close(dirFd);
        if (attempt >= 10) cannotCreate(base, error);
    }
    if (path_.native().size() < sizeof folderPath) {
        std::memcpy(folderPath, path_.c_str(), path_.native().size() + 1);
        installHandlers();
    } else {
        ::close(folderFd);
        folderFd = -1;
    }
}

PrivateWorkspace::~PrivateWorkspace()
{
    SignalsBlocked blocked;
    if (folderFd >= 0) ::close(folderFd);
    folderFd = -1;
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    ::close(lockFd_);
}

}  // namespace edlt::cli
