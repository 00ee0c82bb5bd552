#include "store/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store/Cp1253.h"
#include "store/Error.h"

namespace edlt {
namespace {

constexpr size_t bufferSize = 1 << 20;

// A file in a folder closed to others is made 0600: the workspace and the report pages
// hold names and pay, and a file there never needs more than its owner.
mode_t defaultFileMode(const std::filesystem::path& folder)
{
    struct stat st {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) == 0 && (st.st_mode & 077) == 0) return 0600;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
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

void syncFolder(const std::filesystem::path& folder)
{
    int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target, Durability durability)
    : target_(std::move(target)), durability_(durability)
{
    std::filesystem::path folder = target_.parent_path();
    std::string pattern = (folder / ("." + target_.filename().string() + std::string(tempMarker) + "XXXXXX")).string();
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        int err = errno;
        throw Error(format(cp1253::lit("Δεν ήταν δυνατή η δημιουργία του αρχείου %s. %s"), {cp1253::pathText(target_), systemErrorText(err)}));
    }
    temp_ = pattern;
    ::fchmod(fd_, defaultFileMode(folder));
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
        ::unlink(temp_.c_str());
    }
    buffer_.clear();
}

void AtomicFileWriter::fail(int error)
{
    discard();
    throw Error(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s. %s"), {cp1253::pathText(target_), systemErrorText(error)}));
}

void AtomicFileWriter::flushBuffer()
{
    int err = 0;
    if (!buffer_.empty() && !writeAll(fd_, buffer_.data(), buffer_.size(), err)) fail(err);
    buffer_.clear();
}

void AtomicFileWriter::write(std::string_view data)
{
    if (fd_ < 0) throw Error(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s."), {cp1253::pathText(target_)}));
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
    if (fd_ < 0) throw Error(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s."), {cp1253::pathText(target_)}));
    flushBuffer();
    if (durability_ == Durability::Durable && ::fsync(fd_) != 0) fail(errno);
    if (::close(fd_) != 0) {
        int err = errno;
        fd_ = -1;
        ::unlink(temp_.c_str());
        throw Error(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s. %s"), {cp1253::pathText(target_), systemErrorText(err)}));
    }
    fd_ = -1;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        int err = errno;
        ::unlink(temp_.c_str());
        throw Error(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s. %s"), {cp1253::pathText(target_), systemErrorText(err)}));
    }
    if (durability_ == Durability::Durable) syncFolder(target_.parent_path());
}

void AtomicFileWriter::removeStaleTemporaries(const std::filesystem::path& folder)
{
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.empty() && name[0] == '.' && name.find(tempMarker) != std::string::npos) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

bool replaceWithLink(const std::filesystem::path& source, const std::filesystem::path& target)
{
    static unsigned counter = 0;
    const std::string stem = "." + target.filename().string() + std::string(AtomicFileWriter::tempMarker) + "l" +
                             std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path temp = target.parent_path() / (stem + std::to_string(++counter));
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
