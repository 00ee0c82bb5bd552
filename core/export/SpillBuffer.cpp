// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/SpillBuffer.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/store/AtomicFile.h"

namespace edlt {
namespace {

// What copyTo reads of the file at a time.
constexpr size_t chunkSize = 1 << 20;

std::string spillFailure(const std::filesystem::path& folder, int error)
{
    return format(cp1253::lit("Δεν είναι δυνατή η χρήση προσωρινού αρχείου στο φάκελο %s. %s"),
                  {cp1253::pathText(folder), systemErrorText(error)});
}

int openIn(const std::filesystem::path& folder, int& error)
{
#ifdef O_TMPFILE
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
#endif
    // File systems without O_TMPFILE: a named file removed at once, named so that a
    // run killed in between leaves a name the stale-file cleanup recognises.
    std::string pattern = (folder / (".zip" + std::string(AtomicFileWriter::tempMarker) + "XXXXXX")).string();
    int fd2 = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd2 < 0) {
        error = errno;
        return -1;
    }
    ::unlink(pattern.c_str());
    return fd2;
}

}  // namespace

SpillBuffer::SpillBuffer(std::filesystem::path folder, size_t memoryLimit)
    : folder_(folder.empty() ? std::filesystem::path(".") : std::move(folder)), limit_(memoryLimit)
{
}

SpillBuffer::~SpillBuffer()
{
    if (fd_ >= 0) ::close(fd_);
}

void SpillBuffer::write(std::string_view data)
{
    size_ += data.size();
    if (fd_ < 0 && memory_.size() + data.size() <= limit_) {
        memory_.append(data);
        return;
    }
    if (fd_ < 0) {
        openFile();
        writeFile(memory_);
        std::string().swap(memory_);
    }
    writeFile(data);
}

void SpillBuffer::copyTo(ByteSink& sink)
{
    if (fd_ < 0) {
        sink.write(memory_);
        return;
    }
    std::string buffer(chunkSize, '\0');
    for (uint64_t offset = 0; offset < size_;) {
        ssize_t n = ::pread(fd_, buffer.data(), buffer.size(), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw Error(spillFailure(folder_, errno));
        if (n == 0) throw Error(spillFailure(folder_, EIO));
        sink.write(std::string_view(buffer.data(), static_cast<size_t>(n)));
        offset += static_cast<uint64_t>(n);
    }
}

void SpillBuffer::openFile()
{
    int error = 0;
    fd_ = openIn(folder_, error);
    if (fd_ >= 0) return;
    std::error_code ec;
    std::filesystem::path fallback = std::filesystem::temp_directory_path(ec);
    int ignored = 0;
    if (!ec) fd_ = openIn(fallback, ignored);
    if (fd_ < 0) throw Error(spillFailure(folder_, error));
}

void SpillBuffer::writeFile(std::string_view data)
{
    while (!data.empty()) {
        ssize_t n = ::write(fd_, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw Error(spillFailure(folder_, errno));
        if (n == 0) throw Error(spillFailure(folder_, ENOSPC));
        data.remove_prefix(static_cast<size_t>(n));
    }
}

}  // namespace edlt
