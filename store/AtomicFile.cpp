#include "store/AtomicFile.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Cp1253.h"

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
    throw WriteError(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s. %s"), {cp1253::pathText(file), cause}));
}

bool isTemporaryName(const std::string& name)
{
    return !name.empty() && name[0] == '.' && name.find(AtomicFileWriter::tempMarker) != std::string::npos;
}

std::string randomSuffix()
{
    static std::minstd_rand next(static_cast<unsigned>(std::random_device{}()) ^ static_cast<unsigned>(::getpid()));
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string s(6, 'a');
    for (char& c : s) c = letters[next() % (sizeof letters - 1)];
    return s;
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
    if (durability_ == Durability::Durable) removeOldTemporaries(folder);
    struct stat old {};
    const bool replacing = ::lstat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    // A file with no name until it is complete: a kill leaves nothing behind.
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        std::string pattern = (folder / (std::string(tempMarker) + "XXXXXX")).string();
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd_ >= 0) temp_ = pattern;
    }
    if (fd_ < 0) {
        int err = errno;
        throw WriteError(format(cp1253::lit("Δεν ήταν δυνατή η δημιουργία του αρχείου %s. %s"),
                                {cp1253::pathText(target_), systemErrorText(err)}));
    }
    if (replacing) {
        // The replaced file keeps its owner and group where this process may set them,
        // and its permission bits.
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0 && ::fchown(fd_, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Another owner's file written by its group: the new one is the writer's own.
        }
        ::fchmod(fd_, old.st_mode & 0777);
    } else {
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
        ::close(fd_);
        fd_ = -1;
        if (!temp_.empty()) ::unlink(temp_.c_str());
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
    if (fd_ < 0) throw WriteError(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s."), {cp1253::pathText(target_)}));
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
    if (fd_ < 0) throw WriteError(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s."), {cp1253::pathText(target_)}));
    flushBuffer();
    if (durability_ == Durability::Durable && ::fsync(fd_) != 0) fail(errno);
    if (temp_.empty()) {
        // The complete file gets a short name beside the target, then takes the target's.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; temp_.empty(); ++attempt) {
            std::filesystem::path name = folderOf(target_) / (std::string(tempMarker) + randomSuffix());
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                temp_ = name;
            else if (errno != EEXIST || attempt >= 100)
                fail(errno);
        }
    }
    if (::close(fd_) != 0) {
        int err = errno;
        fd_ = -1;
        ::unlink(temp_.c_str());
        cannotWrite(target_, systemErrorText(err));
    }
    fd_ = -1;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        int err = errno;
        ::unlink(temp_.c_str());
        cannotWrite(target_, systemErrorText(err));
    }
    if (durability_ == Durability::Durable) syncFolder(folderOf(target_));
}

void AtomicFileWriter::removeStaleTemporaries(const std::filesystem::path& folder)
{
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (isTemporaryName(it->path().filename().string())) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

void AtomicFileWriter::removeOldTemporaries(const std::filesystem::path& folder)
{
    const std::time_t dayAgo = std::time(nullptr) - 24 * 60 * 60;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!isTemporaryName(it->path().filename().string())) continue;
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            st.st_mtime < dayAgo)
            ::unlink(it->path().c_str());
    }
}

bool replaceWithLink(const std::filesystem::path& source, const std::filesystem::path& target)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path temp = folderOf(target) / (std::string(AtomicFileWriter::tempMarker) + randomSuffix());
        if (::link(source.c_str(), temp.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (::rename(temp.c_str(), target.c_str()) != 0) {
            ::unlink(temp.c_str());
            return false;
        }
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
