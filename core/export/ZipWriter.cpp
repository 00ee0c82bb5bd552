// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/ZipWriter.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

#include "core/base/Cp1253.h"
#include "core/base/TwoCores.h"
#include "core/export/SpillBuffer.h"
#include "core/store/AtomicFile.h"

namespace edlt {
namespace {

constexpr uint64_t max32 = 0xFFFFFFFFu;
constexpr size_t localHeaderSize = 30;
constexpr size_t directoryEntrySize = 46;
constexpr size_t chunkSize = 1 << 20;
// Compressed data up to this size waits in memory; beyond it, in a temporary file.
constexpr size_t spillMemoryLimit = 8 << 20;

// Appends little-endian fields to a string; the whole record is then written at once.
class LittleEndianWriter {
public:
    explicit LittleEndianWriter(std::string& out) : out_(out) {}
    void u16(uint16_t v)
    {
        out_ += static_cast<char>(v & 0xFF);
        out_ += static_cast<char>(v >> 8);
    }
    void u32(uint32_t v)
    {
        for (int shift = 0; shift < 32; shift += 8) out_ += static_cast<char>((v >> shift) & 0xFF);
    }
    void bytes(std::string_view s) { out_.append(s); }

private:
    std::string& out_;
};

void putCommon(LittleEndianWriter& w, const ZipCommonFields& c)
{
    w.u16(c.VersionNeeded);
    w.u16(c.Flags);
    w.u16(c.Method);
    w.u32(c.DateTime);
    w.u32(c.Crc32);
    w.u32(c.CompressedSize);
    w.u32(c.UncompressedSize);
    w.u16(c.NameLength);
    w.u16(c.ExtraLength);
}

// The local header up to and including the extra field; the data follows it.
std::string localHeaderBytes(const LocalFileHeader& f)
{
    std::string out;
    LittleEndianWriter w(out);
    w.u32(f.Signature);
    putCommon(w, f.Common);
    w.bytes(std::string_view(f.Name).substr(0, f.Common.NameLength));
    w.bytes(std::string_view(f.Extra).substr(0, f.Common.ExtraLength));
    return out;
}

void putDirectoryEntry(std::string& out, const CentralDirectoryEntry& h)
{
    LittleEndianWriter w(out);
    w.u32(h.Signature);
    w.u16(h.VersionMadeBy);
    putCommon(w, h.Common);
    w.u16(h.CommentLength);
    w.u16(h.DiskNumberStart);
    w.u16(h.InternalAttributes);
    w.u32(h.ExternalAttributes);
    w.u32(h.LocalHeaderOffset);
    w.bytes(h.Name);
    w.bytes(h.Extra);
    w.bytes(h.Comment);
}

std::string endRecordBytes(const EndOfCentralDirectory& e, std::string_view comment)
{
    std::string out;
    LittleEndianWriter w(out);
    w.u32(e.Signature);
    w.u16(e.DiskNumber);
    w.u16(e.CentralDirDisk);
    w.u16(e.EntriesOnDisk);
    w.u16(e.EntriesTotal);
    w.u32(e.CentralDirSize);
    w.u32(e.CentralDirOffset);
    w.u16(e.CommentLength);
    w.bytes(comment);
    return out;
}

void checkName(const std::string& name)
{
    if (name.size() > 0xFFFF)
        throw ZipRefused(cp1253::lit("Το όνομα του αρχείου είναι πολύ μεγάλο για το αρχείο zip."));
}

ZipCommonFields freshCommon(const LocalFileHeader& f, uint32_t dateTime)
{
    ZipCommonFields c;
    c.DateTime = dateTime;
    c.NameLength = static_cast<uint16_t>(f.Name.size());
    c.ExtraLength = static_cast<uint16_t>(f.Extra.size());
    return c;
}

CentralDirectoryEntry entryFor(const LocalFileHeader& f, uint32_t externalAttributes)
{
    CentralDirectoryEntry h;
    h.Common = f.Common;
    h.ExternalAttributes = externalAttributes;
    h.Name = f.Name;
    h.Extra = f.Extra;
    return h;
}

std::string zlibFailure(int code)
{
    return format(cp1253::lit("Σφάλμα κατά τη συμπίεση των δεδομένων (zlib %d)."), {std::to_string(code)});
}

// A zlib deflate stream at the default level and memory settings, with no zlib header or
// Adler-32 trailer: the same deflate bytes a zlib stream carries between them.
class RawDeflater {
public:
    RawDeflater()
    {
        std::memset(&z_, 0, sizeof z_);
        int r = deflateInit2(&z_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        if (r != Z_OK) throw Error(zlibFailure(r));
    }
    ~RawDeflater() { deflateEnd(&z_); }
    RawDeflater(const RawDeflater&) = delete;
    RawDeflater& operator=(const RawDeflater&) = delete;
    z_stream& stream() { return z_; }

private:
    z_stream z_;
};

// Reads until the buffer is full or the source ends; fewer bytes than asked means the end.
size_t fillChunk(ByteSource& source, std::string& buffer)
{
    size_t got = 0;
    while (got < buffer.size()) {
        size_t n = source.read(buffer.data() + got, buffer.size() - got);
        if (n == 0) break;
        got += n;
    }
    return got;
}

// Reads a string it does not own.
class ViewSource : public ByteSource {
public:
    explicit ViewSource(std::string_view text) : text_(text) {}
    size_t read(char* buffer, size_t size) override
    {
        size_t n = std::min(size, text_.size());
        std::memcpy(buffer, text_.data(), n);
        text_.remove_prefix(n);
        return n;
    }

private:
    std::string_view text_;
};

struct Deflated {
    uint32_t crc = 0;
    uint64_t size = 0;  // of the data before compression
};

// Deflates data whose end is already in buffer (under a chunk) or, in chunks, everything
// source delivers after it: one stream, zlib's own bytes.
Deflated deflateWhole(std::string& in, size_t got, ByteSource& source, ByteSink& compressed)
{
    Deflated result;
    uLong crc = crc32_z(0, nullptr, 0);
    RawDeflater deflater;
    z_stream& z = deflater.stream();
    std::string out(chunkSize, '\0');
    bool end = false;
    for (bool first = true; !end; first = false) {
        if (!first) got = fillChunk(source, in);
        end = got < in.size();
        result.size += got;
        if (result.size > max32) throw ZipRefused(zipTooLargeMessage());
        crc = crc32_z(crc, reinterpret_cast<const Bytef*>(in.data()), got);
        z.next_in = reinterpret_cast<Bytef*>(in.data());
        z.avail_in = static_cast<uInt>(got);
        int flush = end ? Z_FINISH : Z_NO_FLUSH;
        int r = Z_OK;
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = static_cast<uInt>(out.size());
            r = deflate(&z, flush);
            if (r == Z_STREAM_ERROR) throw Error(zlibFailure(r));
            size_t have = out.size() - z.avail_out;
            if (have > 0) compressed.write(std::string_view(out.data(), have));
        } while (z.avail_out == 0);
        if (end && r != Z_STREAM_END) throw Error(zlibFailure(r));
    }
    result.crc = static_cast<uint32_t>(crc);
    return result;
}

// One chunk of a large member, deflated on its own: its stream picks up where the previous
// chunk's left off (that chunk's last 32 KiB as the dictionary) and ends on a byte boundary
// (a sync flush), or with the final block for the last chunk, so the pieces joined in order
// are one deflate stream.
class ChunkDeflater {
public:
    std::string in = std::string(chunkSize, '\0');
    size_t size = 0;
    std::string out;
    uLong crc = 0;

    void run(std::string_view dictionary, bool last)
    {
        z_stream& z = deflater_.stream();
        int r = deflateReset(&z);
        if (r == Z_OK && !dictionary.empty())
            r = deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(dictionary.data()),
                                     static_cast<uInt>(dictionary.size()));
        if (r != Z_OK) throw Error(zlibFailure(r));
        crc = crc32_z(0, reinterpret_cast<const Bytef*>(in.data()), size);
        out.resize(deflateBound(&z, static_cast<uLong>(size)) + 16);
        z.next_in = reinterpret_cast<Bytef*>(in.data());
        z.avail_in = static_cast<uInt>(size);
        size_t have = 0;
        const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
        for (;;) {
            z.next_out = reinterpret_cast<Bytef*>(out.data() + have);
            z.avail_out = static_cast<uInt>(out.size() - have);
            r = deflate(&z, flush);
            if (r == Z_STREAM_ERROR) throw Error(zlibFailure(r));
            have = out.size() - z.avail_out;
            if (last ? r == Z_STREAM_END : z.avail_out > 0) break;
            out.resize(out.size() * 2);
        }
        out.resize(have);
    }

    // The input's last 32 KiB, the next chunk's dictionary.
    std::string_view tail() const
    {
        const size_t keep = std::min<size_t>(size, size_t{1} << MAX_WBITS);
        return std::string_view(in.data() + size - keep, keep);
    }

private:
    RawDeflater deflater_;
};

// Large data: chunks deflated two at a time, one on each core.
Deflated deflateInChunks(std::string& firstChunk, ByteSource& source, ByteSink& compressed)
{
    Deflated result;
    uLong crc = crc32_z(0, nullptr, 0);
    ChunkDeflater pair[2];
    pair[0].in.swap(firstChunk);
    pair[0].size = pair[0].in.size();
    std::string dictionary;
    bool finished = false;
    for (bool first = true; !finished; first = false) {
        if (!first) pair[0].size = fillChunk(source, pair[0].in);
        const bool firstIsLast = pair[0].size < chunkSize;
        pair[1].size = firstIsLast ? 0 : fillChunk(source, pair[1].in);
        const bool secondIsLast = !firstIsLast && pair[1].size < chunkSize;
        // An empty second chunk still ends the stream: its final block holds nothing.
        runBoth(
            !firstIsLast && pair[1].size > 0, [&] { pair[0].run(dictionary, firstIsLast); },
            [&] {
                if (!firstIsLast) pair[1].run(pair[0].tail(), secondIsLast);
            });
        finished = firstIsLast || secondIsLast;
        for (size_t k = 0; k < (firstIsLast ? 1u : 2u); ++k) {
            const ChunkDeflater& chunk = pair[k];
            result.size += chunk.size;
            if (result.size > max32) throw ZipRefused(zipTooLargeMessage());
            crc = crc32_combine(crc, chunk.crc, static_cast<z_off_t>(chunk.size));
            compressed.write(chunk.out);
        }
        dictionary.assign(pair[1].tail());
    }
    result.crc = static_cast<uint32_t>(crc);
    return result;
}

// Deflates everything source delivers into compressed; the one place member data is
// compressed. Data under a chunk is one zlib stream as it always was; larger data goes
// to both cores.
Deflated deflateMember(ByteSource& source, ByteSink& compressed)
{
    std::string in(chunkSize, '\0');
    const size_t got = fillChunk(source, in);
    if (got < in.size()) return deflateWhole(in, got, source, compressed);
    return deflateInChunks(in, source, compressed);
}

// Writes members one after another, then the directory and the end record: the one place
// the layout of an archive is written. Offsets count from the first byte given to sink.
class ZipStreamWriter {
public:
    explicit ZipStreamWriter(ByteSink& sink) : sink_(sink) {}

    // The local header of f, then its compressed data as writeData delivers it; returns
    // the member's offset.
    template <typename WriteData>
    uint32_t member(const LocalFileHeader& f, uint32_t externalAttributes, WriteData&& writeData)
    {
        const auto offset = static_cast<uint32_t>(position_);
        std::string header = localHeaderBytes(f);
        sink_.write(header);
        writeData(sink_);
        position_ += header.size() + f.Common.CompressedSize;
        CentralDirectoryEntry h = entryFor(f, externalAttributes);
        h.LocalHeaderOffset = offset;
        putDirectoryEntry(directory_, h);
        ++count_;
        return offset;
    }

    EndOfCentralDirectory finish(std::string_view comment)
    {
        sink_.write(directory_);
        EndOfCentralDirectory e;
        e.EntriesOnDisk = static_cast<uint16_t>(count_);
        e.EntriesTotal = static_cast<uint16_t>(count_);
        e.CentralDirSize = static_cast<uint32_t>(directory_.size());
        e.CentralDirOffset = static_cast<uint32_t>(position_);
        e.CommentLength = static_cast<uint16_t>(comment.size());
        sink_.write(endRecordBytes(e, comment));
        return e;
    }

private:
    ByteSink& sink_;
    uint64_t position_ = 0;
    size_t count_ = 0;
    std::string directory_;
};

}  // namespace

std::string zipTooLargeMessage()
{
    return cp1253::lit(
        "Το αρχείο είναι πολύ μεγάλο για συμπίεση: το αρχείο zip δέχεται μόνο αρχεία "
        "μικρότερα από 4 GB.");
}

uint32_t dosDateTime(const std::tm& local)
{
    int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) return 0;
    int second = std::min(local.tm_sec, 59);  // a leap second would not fit five bits
    uint32_t time = static_cast<uint32_t>(local.tm_hour * 2048 + local.tm_min * 32 + second / 2);
    uint32_t date = static_cast<uint32_t>((year - 1980) * 512 + (local.tm_mon + 1) * 32 + local.tm_mday);
    return (date << 16) | time;
}

uint32_t dosDateTime(std::time_t when)
{
    std::tm local{};
    if (!::localtime_r(&when, &local)) return 0;
    return dosDateTime(local);
}

ZipWriter::ZipWriter() : Clock([] { return std::time(nullptr); }) {}

void ZipWriter::addFile(const std::string& name, uint32_t externalAttributes)
{
    checkName(name);
    if (Files.size() >= 0xFFFF)
        throw ZipRefused(cp1253::lit("Το αρχείο zip δεν μπορεί να έχει περισσότερα από 65535 αρχεία."));
    LocalFileHeader f;
    f.Name = name;
    f.Common = freshCommon(f, dosDateTime(Clock()));
    CentralDirectoryEntry h = entryFor(f, externalAttributes);
    Files.reserve(Files.size() + 1);
    CentralDirectory.reserve(CentralDirectory.size() + 1);
    Files.push_back(std::move(f));
    CentralDirectory.push_back(std::move(h));
}

void ZipWriter::setFileData(int index, std::string_view data)
{
    if (index < 0 || static_cast<size_t>(index) >= Files.size()) throw Error("Index out of range.");
    if (data.size() > max32) throw ZipRefused(zipTooLargeMessage());
    ViewSource source(data);
    StringSink compressed;
    const Deflated d = deflateMember(source, compressed);
    if (compressed.text().size() > max32) throw ZipRefused(zipTooLargeMessage());

    LocalFileHeader& f = Files[static_cast<size_t>(index)];
    f.Signature = 0x04034B50;
    f.Common = freshCommon(f, dosDateTime(Clock()));
    f.Common.Crc32 = d.crc;
    f.Common.CompressedSize = static_cast<uint32_t>(compressed.text().size());
    f.Common.UncompressedSize = static_cast<uint32_t>(d.size);
    f.CompressedData = compressed.text();
    CentralDirectoryEntry& h = CentralDirectory[static_cast<size_t>(index)];
    h = entryFor(f, h.ExternalAttributes);
}

void ZipWriter::saveToStream(ByteSink& stream)
{
    // The layout is checked before the first byte: an archive the 32-bit fields cannot
    // describe is refused rather than written with wrapped offsets.
    uint64_t directoryOffset = 0;
    for (const LocalFileHeader& f : Files)
        directoryOffset += localHeaderSize + f.Name.size() + f.Extra.size() + f.CompressedData.size();
    uint64_t directorySize = 0;
    for (const CentralDirectoryEntry& h : CentralDirectory)
        directorySize += directoryEntrySize + h.Name.size() + h.Extra.size() + h.Comment.size();
    if (directoryOffset > max32 || directorySize > max32) throw ZipRefused(zipTooLargeMessage());

    ZipStreamWriter writer(stream);
    for (size_t k = 0; k < Files.size(); ++k) {
        const LocalFileHeader& f = Files[k];
        CentralDirectory[k].LocalHeaderOffset = writer.member(f, CentralDirectory[k].ExternalAttributes,
                                                              [&f](ByteSink& sink) { sink.write(f.CompressedData); });
    }
    EndOfCentralDir = writer.finish(ZipComment);
}

void ZipWriter::saveToFile(const std::filesystem::path& path)
{
    AtomicFileWriter writer(path);
    saveToStream(writer);
    writer.commit();
}

void zipSingleMember(ByteSource& source, const std::string& name, uint32_t dosDateTime, ByteSink& sink,
                     const std::filesystem::path& spillFolder)
{
    checkName(name);
    SpillBuffer compressed(spillFolder, spillMemoryLimit);
    const Deflated d = deflateMember(source, compressed);

    LocalFileHeader f;
    f.Name = name;
    f.Common = freshCommon(f, dosDateTime);
    f.Common.Crc32 = d.crc;
    f.Common.UncompressedSize = static_cast<uint32_t>(d.size);
    uint64_t directoryOffset = localHeaderSize + name.size() + compressed.size();
    if (compressed.size() > max32 || directoryOffset > max32) throw ZipRefused(zipTooLargeMessage());
    f.Common.CompressedSize = static_cast<uint32_t>(compressed.size());

    ZipStreamWriter writer(sink);
    writer.member(f, 0, [&compressed](ByteSink& out) { compressed.copyTo(out); });
    writer.finish({});
}

void zipMembers(const std::vector<ZipStreamMember>& members, uint32_t dosDateTime, ByteSink& sink,
                const std::filesystem::path& spillFolder)
{
    if (members.size() >= 0xFFFF)
        throw ZipRefused(cp1253::lit("Το αρχείο zip δεν μπορεί να έχει περισσότερα από 65535 αρχεία."));
    ZipStreamWriter writer(sink);
    uint64_t position = 0;
    for (const ZipStreamMember& m : members) {
        checkName(m.name);
        LocalFileHeader f;
        f.Name = m.name;
        f.Common = freshCommon(f, dosDateTime);
        std::string whole;
        SpillBuffer compressed(spillFolder, spillMemoryLimit);
        if (m.stored) {
            std::string chunk(chunkSize, '\0');
            while (size_t got = fillChunk(*m.source, chunk)) {
                whole.append(chunk, 0, got);
                if (whole.size() > max32) throw ZipRefused(zipTooLargeMessage());
                if (got < chunk.size()) break;
            }
            f.Common.Method = 0;
            f.Common.VersionNeeded = 10;
            f.Common.Crc32 = static_cast<uint32_t>(
                crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(whole.data()), whole.size()));
            f.Common.UncompressedSize = f.Common.CompressedSize = static_cast<uint32_t>(whole.size());
        } else {
            const Deflated d = deflateMember(*m.source, compressed);
            if (compressed.size() > max32) throw ZipRefused(zipTooLargeMessage());
            f.Common.Crc32 = d.crc;
            f.Common.UncompressedSize = static_cast<uint32_t>(d.size);
            f.Common.CompressedSize = static_cast<uint32_t>(compressed.size());
        }
        position += localHeaderSize + m.name.size() + f.Common.CompressedSize;
        if (position > max32) throw ZipRefused(zipTooLargeMessage());
        writer.member(f, 0, [&](ByteSink& out) {
            if (m.stored) out.write(whole);
            else
                compressed.copyTo(out);
        });
    }
    writer.finish({});
}

}  // namespace edlt
