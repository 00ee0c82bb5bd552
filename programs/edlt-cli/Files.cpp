// SPDX-License-Identifier: GPL-3.0-or-later
// How the command line meets files: standard input and output, input checks, locks.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <optional>
#include <unistd.h>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/store/AtomicFile.h"
#include "core/store/DeclarationFile.h"
#include "core/store/DetailRecord.h"
#include "programs/edlt-cli/Cli.h"

namespace edlt::cli {

namespace {

[[noreturn]] void standardStreamFailed(const char* fixedMessage, int error)
{
    throw Error(cp1253::lit(fixedMessage) + " (-: " + systemErrorText(error) + ")");
}

// More than any declaration can be: standard input is read no further.
constexpr uint64_t standardInputLimit = uint64_t{2} << 30;

// Follows the lines of an input piece by piece: false once one is longer than a record.
class LineLengthGuard {
public:
    bool accepts(std::string_view piece)
    {
        constexpr size_t record = detail::RecordSize;
        while (!piece.empty()) {
            // The line's break must come within the bytes it may still have, or one more.
            const size_t look = std::min(piece.size(), record - run_ + 1);
            const auto* lf = static_cast<const char*>(std::memchr(piece.data(), '\n', look));
            const auto* cr = static_cast<const char*>(
                std::memchr(piece.data(), '\r', lf ? static_cast<size_t>(lf - piece.data()) : look));
            const char* end = cr ? cr : lf;
            if (!end) {
                run_ += look;
                if (run_ > record) return false;
                piece.remove_prefix(look);
                continue;
            }
            run_ = 0;
            piece.remove_prefix(static_cast<size_t>(end - piece.data()) + 1);
        }
        return true;
    }

private:
    size_t run_ = 0;  // bytes of the line not yet ended
};

}  // namespace

bool copyStandardInput(const std::filesystem::path& to)
{
    AtomicFileWriter copy(to, AtomicFileWriter::Durability::ProcessSafe);
    LineLengthGuard lines;
    char buffer[1 << 16];
    uint64_t total = 0;
    for (;;) {
        const size_t room = static_cast<size_t>(std::min<uint64_t>(sizeof buffer, standardInputLimit - total));
        if (room == 0)
            throw Error(declaration_messages::openProblem() + " (-: " +
                        cp1253::lit("η τυπική είσοδος φτάνει τα 2 GiB, το όριο του μεγέθους μιας δήλωσης") + ")");
        ssize_t n = ::read(STDIN_FILENO, buffer, room);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) standardStreamFailed("Δεν ήταν δυνατή η ανάγνωση της τυπικής εισόδου", errno);
        if (n == 0) break;
        const std::string_view piece(buffer, static_cast<size_t>(n));
        // Checked before it is kept: nothing of an input that cannot be a declaration stays.
        if (!lines.accepts(piece)) return false;
        copy.write(piece);
        total += static_cast<uint64_t>(n);
    }
    copy.commit();
    return true;
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
            if (done <= 0)
                standardStreamFailed("Δεν ήταν δυνατή η εγγραφή στην τυπική έξοδο", done < 0 ? errno : ENOSPC);
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
    struct Entry {
        std::filesystem::path path;
        std::string name;  // as the user gave it
        FileLock::Mode mode;
        std::optional<FileIdentity> identity;
        bool operator<(const Entry& other) const { return path < other.path; }
    };
    std::vector<Entry> order;
    for (auto& [name, mode] : files) {
        if (name == "-") continue;
        std::error_code ec;
        std::filesystem::path path = std::filesystem::weakly_canonical(name, ec);
        if (ec) path = std::filesystem::absolute(name, ec);
        auto same = std::find_if(order.begin(), order.end(), [&](const Entry& o) { return o.path == path; });
        if (same == order.end()) order.push_back({path, name, mode, FileIdentity::of(path)});
        else if (mode == FileLock::Mode::Exclusive)
            same->mode = mode;
    }
    // Another name of a file also named (a hard link) would wait for its own lock: refused
    // at once, since replacing it would also split it from the file read.
    for (const Entry& link : order) {
        if (link.mode != FileLock::Mode::Exclusive || !link.identity) continue;
        for (const Entry& other : order) {
            if (&other == &link || !other.identity || other.identity->device != link.identity->device ||
                other.identity->inode != link.identity->inode)
                continue;
            throw WriteError(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s. Είναι άλλο όνομα (σκληρός "
                                                "σύνδεσμος) του αρχείου %s, που διαβάζεται"),
                                    {cp1253::pathText(link.name), cp1253::pathText(other.name)}));
        }
    }
    std::sort(order.begin(), order.end());
    for (const Entry& e : order) locks_.push_back(std::make_unique<FileLock>(e.path, e.mode));
}

}  // namespace edlt::cli
