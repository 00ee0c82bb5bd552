// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/ZipArchive.h"

#include <zip.h>

#include <algorithm>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

#include "core/base/Handoff.h"
#include "core/import/CellText.h"
#include "core/import/Sheet.h"

namespace edlt::sheet {
namespace {

std::string foldCase(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

[[noreturn]] void failOpen(int code)
{
    switch (code) {
    case ZIP_ER_NOZIP: fail(SheetFault::NotSpreadsheet);
    case ZIP_ER_MEMORY: fail(SheetFault::TooLarge);
    default: fail(SheetFault::Corrupt, {}, damagedArchiveCause);
    }
}

// An entry this large is inflated on a second core while the caller parses it.
constexpr uint64_t inflateAheadBytes = uint64_t(1) << 20;
constexpr size_t pieceBytes = 64 * 1024;

// Inflates an entry on a thread of its own, a few pieces ahead of the caller's parsing;
// false when no thread could be started (nothing was read then).
bool inflateAhead(const std::function<size_t(char*, size_t)>& inflate,
                  const std::function<bool(const char*, size_t)>& chunk)
{
    Handoff<std::vector<char>> pieces(8);
    std::thread inflating;
    try {
        inflating = std::thread([&] {
            try {
                for (;;) {
                    std::vector<char> piece(pieceBytes);
                    const size_t n = inflate(piece.data(), piece.size());
                    if (n == 0) break;
                    piece.resize(n);
                    if (!pieces.put(std::move(piece))) return;
                }
                pieces.close();
            } catch (...) {
                pieces.close(std::current_exception());
            }
        });
    } catch (const std::system_error&) {
        return false;
    }
    struct Join {
        Handoff<std::vector<char>>& pieces;
        std::thread& thread;
        ~Join()
        {
            pieces.leave();
            thread.join();
        }
    } join{pieces, inflating};
    while (auto piece = pieces.take())
        if (!chunk(piece->data(), piece->size())) break;
    return true;
}

}  // namespace

struct ZipArchive::Handle {
    zip_t* zip = nullptr;
    std::string bytes;  // the archive when it is read from memory; libzip reads it in place
    ~Handle()
    {
        if (zip) zip_discard(zip);
    }
};

ZipArchive::ZipArchive(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

ZipArchive::~ZipArchive() = default;

std::unique_ptr<ZipArchive> ZipArchive::openFile(const std::filesystem::path& path)
{
    auto handle = std::make_unique<Handle>();
    int code = 0;
    handle->zip = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    // The file starts as a zip does: one that is no archive at all was cut short or damaged.
    if (!handle->zip && code == ZIP_ER_NOZIP) fail(SheetFault::NotSpreadsheet, {}, damagedArchiveCause);
    if (!handle->zip) failOpen(code);
    std::unique_ptr<ZipArchive> archive(new ZipArchive(std::move(handle)));
    archive->index();
    return archive;
}

std::unique_ptr<ZipArchive> ZipArchive::openMemory(std::string bytes)
{
    auto handle = std::make_unique<Handle>();
    handle->bytes = std::move(bytes);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(handle->bytes.data(), handle->bytes.size(), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        fail(SheetFault::TooLarge);
    }
    handle->zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!handle->zip) {
        zip_source_free(source);
        int code = zip_error_code_zip(&error);
        zip_error_fini(&error);
        failOpen(code);
    }
    zip_error_fini(&error);
    std::unique_ptr<ZipArchive> archive(new ZipArchive(std::move(handle)));
    archive->index();
    return archive;
}

void ZipArchive::index()
{
    zip_int64_t count = zip_get_num_entries(handle_->zip, 0);
    if (count < 0) fail(SheetFault::Corrupt);
    if (static_cast<uint64_t>(count) > limits::maxZipEntries) fail(SheetFault::Unsafe);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(handle_->zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (!name) fail(SheetFault::Corrupt);
        // Two entries of one name: which of them a program reads is anyone's guess.
        if (!entries_.emplace(name, static_cast<uint64_t>(i)).second) fail(SheetFault::Unsafe);
        folded_.emplace(foldCase(name), name);
    }
}

std::string ZipArchive::find(std::string_view name) const
{
    if (entries_.count(std::string(name))) return std::string(name);
    auto it = folded_.find(foldCase(name));
    return it == folded_.end() ? std::string() : it->second;
}

uint64_t ZipArchive::sizeHint(std::string_view name) const
{
    auto it = entries_.find(find(name));
    if (it == entries_.end()) return 0;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(handle_->zip, it->second, 0, &st) != 0) return 0;
    uint64_t size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    uint64_t compressed = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
    uint64_t bound = std::max<uint64_t>(limits::ratioFreeBytes, compressed * limits::maxRatio);
    return std::min({size, bound, limits::maxZipBytes});
}

void ZipArchive::read(std::string_view name, const std::function<bool(const char*, size_t)>& chunk)
{
    auto it = entries_.find(find(name));
    if (it == entries_.end()) fail(SheetFault::Corrupt);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(handle_->zip, it->second, 0, &st) != 0) fail(SheetFault::Corrupt, {}, damagedArchiveCause);
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) fail(SheetFault::Protected);
    const uint64_t compressed = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;

    zip_file_t* file = zip_fopen_index(handle_->zip, it->second, 0);
    if (!file) fail(SheetFault::Corrupt, {}, damagedArchiveCause);
    struct Closer {
        zip_file_t* f;
        ~Closer() { zip_fclose(f); }
    } closer{file};

    uint64_t total = 0;
    // One piece inflated and checked against the limits; 0 at the end of the entry.
    auto inflate = [&](char* buffer, size_t size) -> size_t {
        zip_int64_t n = zip_fread(file, buffer, size);
        if (n < 0) fail(SheetFault::Corrupt, {}, damagedArchiveCause);  // a damaged stream or a CRC that does not match
        total += static_cast<uint64_t>(n);
        totalRead_ += static_cast<uint64_t>(n);
        if (totalRead_ > limits::maxZipBytes) fail(SheetFault::TooLarge);
        if (total > limits::ratioFreeBytes && total / limits::maxRatio > compressed) fail(SheetFault::Unsafe);
        return static_cast<size_t>(n);
    };
    const uint64_t declared = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    if ((declared >= inflateAheadBytes || compressed >= inflateAheadBytes / 8) && inflateAhead(inflate, chunk)) return;
    std::vector<char> buffer(pieceBytes);
    while (const size_t n = inflate(buffer.data(), buffer.size()))
        if (!chunk(buffer.data(), n)) return;
}

std::string ZipArchive::readAll(std::string_view name, size_t maxBytes)
{
    std::string out;
    read(name, [&](const char* data, size_t size) {
        if (out.size() + size > maxBytes) fail(SheetFault::TooLarge);
        out.append(data, size);
        return true;
    });
    return out;
}

}  // namespace edlt::sheet
