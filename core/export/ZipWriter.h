// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ZipWriter: the program's own writer of .zip archives (it never reads one). Members are
// deflated through zlib at its default level; names are Windows-1253 bytes with flag
// bit 11 clear. Sizes and offsets are 32-bit: no zip64, no data descriptor.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/ByteStream.h"
#include "core/base/Error.h"

namespace edlt {

// Work the zip format cannot hold (a member of 4 GiB or more, a name too long, too many
// members); kept apart from file errors so callers can tell a refusal from a failure.
class ZipRefused : public Error {
public:
    using Error::Error;
};

// The 26 bytes a local header and its directory entry share, in their order on disk.
struct ZipCommonFields {
    uint16_t VersionNeeded = 20;
    uint16_t Flags = 0;
    uint16_t Method = 8;
    uint32_t DateTime = 0;  // DOS time in the low half, DOS date in the high half
    uint32_t Crc32 = 0;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    uint16_t NameLength = 0;
    uint16_t ExtraLength = 0;
};

struct LocalFileHeader {
    uint32_t Signature = 0x04034B50;
    ZipCommonFields Common;
    std::string Name;
    std::string Extra;
    std::string CompressedData;
};

struct CentralDirectoryEntry {
    uint32_t Signature = 0x02014B50;
    uint16_t VersionMadeBy = 20;
    ZipCommonFields Common;
    uint16_t CommentLength = 0;
    uint16_t DiskNumberStart = 0;
    uint16_t InternalAttributes = 0;
    uint32_t ExternalAttributes = 0;
    uint32_t LocalHeaderOffset = 0;
    std::string Name;
    std::string Extra;
    std::string Comment;
};

struct EndOfCentralDirectory {
    uint32_t Signature = 0x06054B50;
    uint16_t DiskNumber = 0;
    uint16_t CentralDirDisk = 0;
    uint16_t EntriesOnDisk = 0;
    uint16_t EntriesTotal = 0;
    uint32_t CentralDirSize = 0;
    uint32_t CentralDirOffset = 0;
    uint16_t CommentLength = 0;
};

// DOS time and date as one value (time in the low half); 0 outside the years 1980-2107.
uint32_t dosDateTime(const std::tm& local);
// Of the local clock at `when`.
uint32_t dosDateTime(std::time_t when);

// Archives of several members held in memory; written through the same streaming writer
// as ZipSingleMember, so both give the same bytes.
class ZipWriter {
public:
    ZipWriter();

    // Appends a member with no data yet. Throws ZipRefused when the name or the number of
    // members does not fit the format.
    void addFile(const std::string& name, uint32_t externalAttributes = 0);
    // Compresses data into member `index`; "Index out of range." when there is no such member.
    void setFileData(int index, std::string_view data);
    // Writes the whole archive; offsets count from the first byte given to the stream.
    void saveToStream(ByteSink& stream);
    // Writes the archive as the whole new file at path; on failure the old file stays.
    void saveToFile(const std::filesystem::path& path);

    size_t Count() const { return Files.size(); }
    const LocalFileHeader& member(size_t index) const { return Files.at(index); }
    const CentralDirectoryEntry& Entry(size_t index) const { return CentralDirectory.at(index); }
    const EndOfCentralDirectory& endRecord() const { return EndOfCentralDir; }

    // Where member times come from; tests fix it.
    void setClock(std::function<std::time_t()> clock) { Clock = std::move(clock); }

private:
    std::vector<LocalFileHeader> Files;
    std::vector<CentralDirectoryEntry> CentralDirectory;
    EndOfCentralDirectory EndOfCentralDir;
    std::string ZipComment;
    std::function<std::time_t()> Clock;
};

// Writes the same archive as ZipWriter with one member `name` (external attributes 0)
// holding everything source delivers, without holding the data: it is read and deflated in
// chunks, and only the compressed form waits for the local header, in memory while small
// and beyond that in an unnamed temporary file in spillFolder.
void zipSingleMember(ByteSource& source, const std::string& name, uint32_t dosDateTime, ByteSink& sink,
                     const std::filesystem::path& spillFolder);

// One member of zipMembers: its data is read from source as the archive is written.
// Stored members (no compression) are read whole into memory: only for small ones, such as
// the "mimetype" an OpenDocument package must begin with, uncompressed.
struct ZipStreamMember {
    std::string name;
    ByteSource* source = nullptr;
    bool stored = false;
};

// Writes an archive of several members, in order, without holding their data: each is
// deflated in chunks as zipSingleMember does, its compressed form waiting in spillFolder
// when large. External attributes 0.
void zipMembers(const std::vector<ZipStreamMember>& members, uint32_t dosDateTime, ByteSink& sink,
                const std::filesystem::path& spillFolder);

// The refusal for data of 4 GiB or more.
std::string zipTooLargeMessage();

}  // namespace edlt
