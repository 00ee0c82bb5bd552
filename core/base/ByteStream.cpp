// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/ByteStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"

namespace edlt {

constexpr size_t lineScanWindow = 256;

size_t StringSource::read(char* buffer, size_t size)
{
    size_t n = std::min(size, text_.size() - pos_);
    std::memcpy(buffer, text_.data() + pos_, n);
    pos_ += n;
    return n;
}

FileSource::FileSource(const std::filesystem::path& path) : path_(path)
{
    // Not blocking on a pipe that has no writer; a regular file reads the same either way.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    std::string cause;
    struct stat st {};
    if (fd_ < 0) cause = systemErrorText(errno);
    else if (::fstat(fd_, &st) != 0)
        cause = systemErrorText(errno);
    else if (!S_ISREG(st.st_mode))
        cause = notRegularFileText();
    if (cause.empty()) return;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    const std::string file = cp1253::pathText(path);
    throw FileOpenError(format("Cannot open file \"%s\". %s", {file, cause}), file, cause);
}

FileSource::~FileSource()
{
    if (fd_ >= 0) ::close(fd_);
}

size_t FileSource::read(char* buffer, size_t size)
{
    for (;;) {
        ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno == EINTR) continue;
        int err = errno;
        throw Error(format("%s: %s", {cp1253::pathText(path_), systemErrorText(err)}));
    }
}

LineReader::LineReader(ByteSource& source, size_t maxLength, bool stopWhenTooLong)
    : source_(source), maxLength_(maxLength), stopWhenTooLong_(stopWhenTooLong)
{
}

bool LineReader::fill()
{
    if (eof_) return false;
    if (pos_ > 0) {
        buffer_.erase(0, pos_);
        pos_ = 0;
    }
    constexpr size_t chunk = 1 << 20;
    size_t old = buffer_.size();
    buffer_.resize(old + chunk);
    size_t n = source_.read(buffer_.data() + old, chunk);
    buffer_.resize(old + n);
    if (n == 0) eof_ = true;
    return n > 0;
}

bool LineReader::next(std::string& line)
{
    line.clear();
    tooLong_ = false;
    bool any = false;
    for (;;) {
        if (pos_ >= buffer_.size() && !fill()) return any;
        any = true;
        const char* start = buffer_.data() + pos_;
        size_t avail = buffer_.size() - pos_;
        const char* stop = start + avail;
        // The first CR or LF, by library scans of short windows (a window, not the rest
        // of the buffer, so a file with only one kind of line break stays linear).
        const char* end = stop;
        for (size_t offset = 0; offset < avail; offset += lineScanWindow) {
            const char* w = start + offset;
            const size_t n = std::min(lineScanWindow, avail - offset);
            const auto* lf = static_cast<const char*>(std::memchr(w, '\n', n));
            const auto* cr = static_cast<const char*>(std::memchr(w, '\r', lf ? static_cast<size_t>(lf - w) : n));
            if (cr || lf) {
                end = cr ? cr : lf;
                break;
            }
        }
        size_t len = static_cast<size_t>(end - start);
        if (line.size() < maxLength_) {
            size_t take = std::min(len, maxLength_ - line.size());
            line.append(start, take);
            if (take < len) tooLong_ = true;
        } else if (len > 0) {
            tooLong_ = true;
        }
        pos_ += len;
        if (tooLong_ && stopWhenTooLong_) return true;
        if (end == stop) continue;  // the break lies in a later chunk
        char c = *end;
        ++pos_;
        if (c == '\r') {
            if (pos_ >= buffer_.size()) fill();
            if (pos_ < buffer_.size() && buffer_[pos_] == '\n') ++pos_;
        }
        return true;
    }
}

std::string notRegularFileText()
{
    return cp1253::lit("Δεν είναι κανονικό αρχείο");
}

std::string systemErrorText(int error)
{
    const char* text = nullptr;
    switch (error) {
    case ENOSPC:
    case EDQUOT: text = "Δεν υπάρχει αρκετός ελεύθερος χώρος στο δίσκο"; break;
    case EACCES:
    case EPERM: text = "Δεν επιτρέπεται η πρόσβαση"; break;
    case EROFS: text = "Το μέσο αποθήκευσης επιτρέπει μόνο ανάγνωση"; break;
    case ENOENT: text = "Το αρχείο ή ο φάκελος δεν υπάρχει"; break;
    case ENOTDIR: text = "Μέρος της διαδρομής δεν είναι φάκελος"; break;
    case EISDIR: text = "Η διαδρομή είναι φάκελος"; break;
    case EIO: text = "Σφάλμα εισόδου/εξόδου"; break;
    case EFBIG: text = "Το αρχείο είναι πολύ μεγάλο"; break;
    case ENAMETOOLONG: text = "Το όνομα του αρχείου είναι πολύ μεγάλο"; break;
    default: break;
    }
    if (text) return cp1253::lit(text);
    return cp1253::pathText(std::strerror(error));
}

}  // namespace edlt
