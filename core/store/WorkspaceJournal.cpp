// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/WorkspaceJournal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/store/AtomicFile.h"

namespace edlt {
namespace {

constexpr std::string_view magic = "EDLTJRN1";
constexpr size_t identitySize = 4 * 8;
constexpr size_t headerSize = magic.size() + identitySize + 4;
constexpr size_t entryOverhead = 1 + 4 + 4 + 4;  // kind, index, length, checksum

void putU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putU64(std::string& out, uint64_t v)
{
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t getU32(std::string_view in, size_t at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(static_cast<unsigned char>(in[at + static_cast<size_t>(i)])) << (8 * i);
    return v;
}

uint32_t checksum(std::string_view bytes)
{
    return static_cast<uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// The base as it is now; empty when it cannot be examined. Not its change time: the
// scratch copy is made a second name of it, which changes that.
std::string identityOf(const std::filesystem::path& base, uint64_t* size = nullptr)
{
    struct stat st {};
    if (::stat(base.c_str(), &st) != 0) return {};
    std::string id;
    putU64(id, static_cast<uint64_t>(st.st_dev));
    putU64(id, static_cast<uint64_t>(st.st_ino));
    putU64(id, static_cast<uint64_t>(st.st_size));
    putU64(id, static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000ULL + static_cast<uint64_t>(st.st_mtim.tv_nsec));
    if (size) *size = static_cast<uint64_t>(st.st_size);
    return id;
}

std::string readAll(const std::filesystem::path& path)
{
    std::string bytes;
    FileSource source(path);
    char chunk[1 << 16];
    while (size_t n = source.read(chunk, sizeof chunk)) bytes.append(chunk, n);
    return bytes;
}

// The entries of a journal that applies to base as it is now; empty otherwise. Stops at
// the first entry that is torn or damaged.
struct Entry {
    char kind;
    uint32_t index;
    std::string_view text;
};

std::vector<Entry> validEntries(std::string_view journal, const std::filesystem::path& base)
{
    std::vector<Entry> entries;
    if (journal.size() < headerSize || journal.substr(0, magic.size()) != magic) return entries;
    const std::string_view identity = journal.substr(magic.size(), identitySize);
    if (getU32(journal, magic.size() + identitySize) != checksum(journal.substr(0, magic.size() + identitySize)))
        return entries;
    if (identity != identityOf(base)) return entries;
    size_t at = headerSize;
    while (journal.size() - at >= entryOverhead) {
        const char kind = journal[at];
        const uint32_t length = getU32(journal, at + 5);
        if (length > journal.size() - at - entryOverhead) break;
        const size_t body = 9 + length;
        if (getU32(journal, at + body) != checksum(journal.substr(at, body))) break;
        if (kind != 'I' && kind != 'C' && kind != 'D') break;
        entries.push_back({kind, getU32(journal, at + 1), journal.substr(at + 9, length)});
        at += body + 4;
    }
    return entries;
}

}  // namespace

WorkspaceJournal::WorkspaceJournal(FixedWidthTable& store, std::filesystem::path base, std::filesystem::path journal,
                                   size_t entryLimit)
    : store_(store), base_(std::move(base)), path_(std::move(journal)), entryLimit_(entryLimit)
{
    store_.addObserver(this);
}

WorkspaceJournal::~WorkspaceJournal()
{
    store_.removeObserver(this);
    if (fd_ >= 0) ::close(fd_);
}

void WorkspaceJournal::dataSetChanged(const DataSetChange& change)
{
    const auto index = static_cast<uint32_t>(change.index);
    switch (change.kind) {
    case DataSetChange::RecordInserted:
        pending_.push_back({'I', index, std::string(store_.lineAt(static_cast<size_t>(change.index)))});
        break;
    case DataSetChange::RecordChanged:
        pending_.push_back({'C', index, std::string(store_.lineAt(static_cast<size_t>(change.index)))});
        break;
    case DataSetChange::RecordRemoved: pending_.push_back({'D', index, {}}); break;
    case DataSetChange::Reset: pending_.clear(); break;
    default: break;
    }
}

void WorkspaceJournal::fail(int error)
{
    broken_ = true;
    throw Error(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s. %s"),
                       {cp1253::pathText(path_), systemErrorText(error)}));
}

void WorkspaceJournal::writeHeader(const std::string& identity)
{
    if (fd_ >= 0) ::close(fd_);
    // Always a new file of the user's own, never one found under the name.
    for (int attempt = 0;; ++attempt) {
        if (::unlink(path_.c_str()) != 0 && errno != ENOENT) fail(errno);
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ >= 0) break;
        if (errno != EEXIST || attempt >= 3) fail(errno);
    }
    identity_ = identity;
    bytes_ = 0;
    entries_ = 0;
    std::string header(magic);
    header += identity;
    putU32(header, checksum(header));
    if (::write(fd_, header.data(), header.size()) != static_cast<ssize_t>(header.size())) fail(errno ? errno : ENOSPC);
}

void WorkspaceJournal::flush()
{
    if (pending_.empty()) return;
    if (broken_)
        throw Error(format(cp1253::lit("Δεν ήταν δυνατή η εγγραφή του αρχείου %s."), {cp1253::pathText(path_)}));
    std::string identity = identityOf(base_, &baseBytes_);
    if (identity.empty()) fail(errno);
    // A base rewritten since the journal began (a sort, an open, a compaction) holds
    // every line up to now: the journal starts again over it.
    if (fd_ < 0 || identity != identity_) writeHeader(identity);
    std::string out;
    for (const Change& c : pending_) {
        const size_t start = out.size();
        out.push_back(c.kind);
        putU32(out, c.index);
        putU32(out, static_cast<uint32_t>(c.text.size()));
        out += c.text;
        putU32(out, checksum(std::string_view(out).substr(start)));
    }
    const char* data = out.data();
    size_t left = out.size();
    while (left > 0) {
        ssize_t n = ::write(fd_, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int err = n < 0 ? errno : ENOSPC;
            // Best effort: the entries before stay readable.
            if (::ftruncate(fd_, static_cast<off_t>(headerSize + bytes_)) == 0) ::lseek(fd_, 0, SEEK_END);
            fail(err);
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    bytes_ += out.size();
    entries_ += pending_.size();
    pending_.clear();
}

void WorkspaceJournal::reset()
{
    pending_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    identity_.clear();
    bytes_ = 0;
    entries_ = 0;
    broken_ = false;
    std::error_code ec;
    std::filesystem::remove(path_, ec);
}

bool WorkspaceJournal::wantsCompaction() const
{
    return broken_ || entries_ + pending_.size() >= entryLimit_ || bytes_ > (64u << 10) + baseBytes_ / 4;
}

std::optional<std::vector<std::string>> WorkspaceJournal::replayed(const std::filesystem::path& base,
                                                                   const std::filesystem::path& journal)
{
    std::error_code ec;
    if (!std::filesystem::exists(journal, ec)) return std::nullopt;
    const std::string bytes = readAll(journal);
    const std::vector<Entry> entries = validEntries(bytes, base);
    if (entries.empty()) return std::nullopt;

    // Positions move in a list of 4-byte numbers, not of lines: a million-line base
    // replays thousands of inserts in a moment.
    std::vector<std::string> pool;
    {
        FileSource source(base);
        LineReader reader(source);
        std::string line;
        while (reader.next(line)) pool.push_back(std::move(line));
    }
    std::vector<uint32_t> order(pool.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    for (const Entry& e : entries) {
        if (e.kind == 'I' && e.index <= order.size()) {
            order.insert(order.begin() + e.index, static_cast<uint32_t>(pool.size()));
            pool.emplace_back(e.text);
        } else if (e.kind == 'C' && e.index < order.size()) {
            order[e.index] = static_cast<uint32_t>(pool.size());
            pool.emplace_back(e.text);
        } else if (e.kind == 'D' && e.index < order.size()) {
            order.erase(order.begin() + e.index);
        } else {
            break;  // never written by us: the rest cannot be trusted
        }
    }
    std::vector<std::string> lines;
    lines.reserve(order.size());
    for (uint32_t i : order) lines.push_back(std::move(pool[i]));
    return lines;
}

void WorkspaceJournal::fold(const std::filesystem::path& base, const std::filesystem::path& journal)
{
    if (auto lines = replayed(base, journal)) {
        AtomicFileWriter writer(base, AtomicFileWriter::Durability::ProcessSafe);
        std::string chunk;
        for (const std::string& l : *lines) {
            chunk += l;
            chunk += "\r\n";
            if (chunk.size() >= (1 << 20)) {
                writer.write(chunk);
                chunk.clear();
            }
        }
        writer.write(chunk);
        writer.commit();
    }
    // Stale from here on even if a kill stops the removal: the base is a new file.
    std::error_code ec;
    std::filesystem::remove(journal, ec);
}

bool WorkspaceJournal::holdsChanges(const std::filesystem::path& base, const std::filesystem::path& journal)
{
    try {
        std::error_code ec;
        if (!std::filesystem::exists(journal, ec)) return false;
        return !validEntries(readAll(journal), base).empty();
    } catch (const Error&) {
        return false;
    }
}

}  // namespace edlt
