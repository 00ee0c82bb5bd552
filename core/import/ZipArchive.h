// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zip archive read with suspicion: libzip inflates as much as a deflate stream holds,
// whatever size an entry declares, so the bytes actually read are counted against our
// own limits (entries, duplicate names, bytes inflated in all, and the compression ratio
// of an entry that inflates past a large size).
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace edlt::sheet {

class ZipArchive {
public:
    // Both throw SheetError: NotSpreadsheet when it is no zip at all, Corrupt when it
    // is a damaged one, Unsafe or TooLarge past the limits.
    static std::unique_ptr<ZipArchive> openFile(const std::filesystem::path& path);
    static std::unique_ptr<ZipArchive> openMemory(std::string bytes);

    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // The entry's name as stored, found exactly or else ignoring ASCII case (part names
    // of an Office file are case-insensitive); empty when there is none.
    std::string find(std::string_view name) const;
    bool contains(std::string_view name) const { return !find(name).empty(); }

    // An upper bound of what the entry can inflate to within our limits: its declared
    // size, never more than the ratio and size limits allow. For allocation hints only.
    uint64_t sizeHint(std::string_view name) const;

    // Inflates an entry in chunks through chunk; stops early when chunk returns false.
    // Throws SheetError when the entry is missing (Corrupt), damaged or past the limits.
    void read(std::string_view name, const std::function<bool(const char*, size_t)>& chunk);
    // A small entry whole; past maxBytes is TooLarge.
    std::string readAll(std::string_view name, size_t maxBytes);

    // The bytes inflated so far, counted against the limit of all entries. An entry read
    // a second time after an attempt that stopped counts once: forgetReadsSince(mark).
    uint64_t bytesRead() const { return totalRead_; }
    void forgetReadsSince(uint64_t mark) { totalRead_ = std::min(totalRead_, mark); }

private:
    struct Handle;
    explicit ZipArchive(std::unique_ptr<Handle> handle);
    void index();

    std::unique_ptr<Handle> handle_;
    uint64_t totalRead_ = 0;
    std::unordered_map<std::string, uint64_t> entries_;    // name as stored -> index
    std::unordered_map<std::string, std::string> folded_;  // lower-case name -> name as stored
};

}  // namespace edlt::sheet
