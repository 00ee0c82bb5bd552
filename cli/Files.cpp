// How the command line meets files: standard input and output, input checks, locks.
#include <algorithm>
#include <cerrno>
#include <iostream>
#include <unistd.h>

#include "cli/Cli.h"
#include "store/AtomicFile.h"
#include "base/ByteStream.h"
#include "base/Cp1253.h"
#include "base/Error.h"

namespace edlt::cli {

namespace {

[[noreturn]] void standardStreamFailed(const char* fixedMessage, int error)
{
    throw Error(cp1253::lit(fixedMessage) + " (-: " + systemErrorText(error) + ")");
}

}  // namespace

void copyStandardInput(const std::filesystem::path& to)
{
    AtomicFileWriter copy(to, AtomicFileWriter::Durability::ProcessSafe);
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) standardStreamFailed("Δεν ήταν δυνατή η ανάγνωση της τυπικής εισόδου", errno);
        if (n == 0) break;
        copy.write(std::string_view(buffer, static_cast<size_t>(n)));
    }
    copy.commit();
}

void copyToStandardOutput(const std::filesystem::path& from)
{
    std::cout.flush();
    FileSource source(from);
    char buffer[1 << 16];
    while (size_t n = source.read(buffer, sizeof buffer)) {
        for (const char* at = buffer; n > 0;) {
            ssize_t done = ::write(STDOUT_FILENO, at, n);
            if (done < 0 && errno == EINTR) continue;
            if (done <= 0) standardStreamFailed("Δεν ήταν δυνατή η εγγραφή στην τυπική έξοδο", done < 0 ? errno : ENOSPC);
            at += done;
            n -= static_cast<size_t>(done);
        }
    }
}

void requireRegularFile(const std::string& path)
{
    if (path != "-") FileSource check{std::filesystem::path(path)};
}

FileLocks::FileLocks(std::vector<std::pair<std::string, FileLock::Mode>> files)
{
    std::vector<std::pair<std::filesystem::path, FileLock::Mode>> order;
    for (auto& [name, mode] : files) {
        if (name == "-") continue;
        std::error_code ec;
        std::filesystem::path path = std::filesystem::weakly_canonical(name, ec);
        if (ec) path = std::filesystem::absolute(name, ec);
        auto same = std::find_if(order.begin(), order.end(), [&](const auto& o) { return o.first == path; });
        if (same == order.end())
            order.emplace_back(path, mode);
        else if (mode == FileLock::Mode::Exclusive)
            same->second = mode;
    }
    std::sort(order.begin(), order.end());
    for (auto& [path, mode] : order) locks_.push_back(std::make_unique<FileLock>(path, mode));
}

}  // namespace edlt::cli
