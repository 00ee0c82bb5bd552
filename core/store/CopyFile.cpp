// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/CopyFile.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/store/AtomicFile.h"
#include "core/store/FileLock.h"

namespace edlt {
namespace {

constexpr size_t blockSize = 8192;

using Fd = FileDescriptor;

// Reads until the block is full or the file ends, so a short block means the end.
size_t readBlock(int fd, char* buffer, size_t size, const std::filesystem::path& path)
{
    size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, buffer + got, size - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            throw Error(format("Cannot read file %s. %s", {cp1253::pathText(path), systemErrorText(err)}));
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

}  // namespace

void copyFile(const std::filesystem::path& source, const std::filesystem::path& destination)
{
    std::error_code ec;
    std::filesystem::path target = std::filesystem::absolute(destination, ec);
    if (ec) target = destination;
    if (std::filesystem::is_directory(target, ec)) target /= source.filename();

    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (in.get() < 0 || ::fstat(in.get(), &st) != 0 || S_ISDIR(st.st_mode))
        throw Error(format("Cannot open file %s", {cp1253::pathText(source)}));

    std::unique_ptr<AtomicFileWriter> out;
    try {
        out = std::make_unique<AtomicFileWriter>(target, AtomicFileWriter::Durability::ProcessSafe);
    } catch (const Error&) {
        throw Error(format("Cannot create file %s", {cp1253::pathText(target)}));
    }

    auto buffer = std::make_unique<char[]>(blockSize);
    size_t n;
    do {
        n = readBlock(in.get(), buffer.get(), blockSize, source);
        out->write(std::string_view(buffer.get(), n));
    } while (n == blockSize);
    out->commit();
}

}  // namespace edlt
