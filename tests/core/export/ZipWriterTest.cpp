// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/export/ZipWriter.h"
#include "tests/TestUtil.h"
#include "tests/core/export/ZipTestData.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

namespace {

uint32_t le(const std::string& s, size_t pos, int width)
{
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s.at(pos + static_cast<size_t>(i)));
    return v;
}

// 2024-03-15 13:45:31 local time: DOS time 0x6DAF (seconds halved down), date 0x586F.
std::time_t fixedTime()
{
    std::tm t{};
    t.tm_year = 124, t.tm_mon = 2, t.tm_mday = 15, t.tm_hour = 13, t.tm_min = 45, t.tm_sec = 31, t.tm_isdst = -1;
    return std::mktime(&t);
}

std::string zlibRawDeflate(const std::string& data)
{
    uLongf size = compressBound(data.size());
    std::string out(size, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                        data.size(), Z_DEFAULT_COMPRESSION),
              Z_OK);
    return out.substr(2, size - 6);
}

// Hands out a few bytes at a time, as pipes and slow disks do.
class TrickleSource : public ByteSource {
public:
    explicit TrickleSource(std::string text) : text_(std::move(text)) {}
    size_t read(char* buffer, size_t size) override
    {
        size_t n = std::min({size, text_.size() - pos_, size_t(70001)});
        std::memcpy(buffer, text_.data() + pos_, n);
        pos_ += n;
        return n;
    }

private:
    std::string text_;
    size_t pos_ = 0;
};

std::string archiveOf(const std::string& name, const std::string& data)
{
    ZipWriter zip;
    zip.setClock(fixedTime);
    zip.addFile(name);
    zip.setFileData(0, data);
    StringSink sink;
    zip.saveToStream(sink);
    return sink.text();
}

}  // namespace

TEST(ZipWriter, OneMemberLayoutByteForByte)
{
    const std::string name = "abc.txt", data = "abc";
    const std::string deflated = zlibRawDeflate(data);
    const size_t n = name.size(), c = deflated.size();
    const std::string a = archiveOf(name, data);
    ASSERT_EQ(a.size(), 98 + 2 * n + c);

    EXPECT_EQ(le(a, 0, 4), 0x04034B50u);
    EXPECT_EQ(le(a, 4, 2), 20u);
    EXPECT_EQ(le(a, 6, 2), 0u);
    EXPECT_EQ(le(a, 8, 2), 8u);
    EXPECT_EQ(le(a, 10, 2), 0x6DAFu);
    EXPECT_EQ(le(a, 12, 2), 0x586Fu);
    EXPECT_EQ(le(a, 14, 4), 0x352441C2u);
    EXPECT_EQ(le(a, 18, 4), c);
    EXPECT_EQ(le(a, 22, 4), 3u);
    EXPECT_EQ(le(a, 26, 2), n);
    EXPECT_EQ(le(a, 28, 2), 0u);
    EXPECT_EQ(a.substr(30, n), name);
    EXPECT_EQ(a.substr(30 + n, c), deflated);

    const size_t d = 30 + n + c;
    EXPECT_EQ(le(a, d, 4), 0x02014B50u);
    EXPECT_EQ(le(a, d + 4, 2), 20u);
    EXPECT_EQ(a.substr(d + 6, 26), a.substr(4, 26));
    EXPECT_EQ(a.substr(d + 32, 14), std::string(14, '\0'));  // comment, disk, attributes, offset 0
    EXPECT_EQ(a.substr(d + 46, n), name);

    const size_t e = 76 + 2 * n + c;
    EXPECT_EQ(le(a, e, 4), 0x06054B50u);
    EXPECT_EQ(le(a, e + 4, 4), 0u);
    EXPECT_EQ(le(a, e + 8, 2), 1u);
    EXPECT_EQ(le(a, e + 10, 2), 1u);
    EXPECT_EQ(le(a, e + 12, 4), 46 + n);
    EXPECT_EQ(le(a, e + 16, 4), d);
    EXPECT_EQ(le(a, e + 20, 2), 0u);
}

TEST(ZipWriter, EmptyDataAndZlibCompatibleDeflate)
{
    const std::string empty = archiveOf("e", "");
    EXPECT_EQ(empty.size(), 100u + 2);
    EXPECT_EQ(le(empty, 14, 4), 0u);
    EXPECT_EQ(le(empty, 18, 4), 2u);
    EXPECT_EQ(le(empty, 22, 4), 0u);
    EXPECT_EQ(empty.substr(31, 2), std::string("\x03\x00", 2));

    // The member data is exactly what a zlib stream at the default level carries.
    const std::string data = mixedData(300000);
    const std::string a = archiveOf("m", data);
    const std::string deflated = zlibRawDeflate(data);
    EXPECT_EQ(a.substr(31, deflated.size()), deflated);
    EXPECT_EQ(le(a, 14, 4), crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// Data of a megabyte or more is deflated in chunks on both cores: one stream still, which
// inflates back to the data, with the CRC and sizes of the whole.
TEST(ZipWriter, LargeDataInflatesBackWhole)
{
    for (const std::string& data : {mixedData(1 << 20), mixedData((3 << 20) + 17), randomData((2 << 20) + 5)}) {
        const std::string a = archiveOf("m", data);
        const uint32_t packed = le(a, 18, 4);
        EXPECT_EQ(le(a, 22, 4), data.size());
        EXPECT_EQ(le(a, 14, 4), crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        z_stream z{};
        ASSERT_EQ(inflateInit2(&z, -MAX_WBITS), Z_OK);
        std::string back(data.size() + 1, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(a.data() + 31));
        z.avail_in = packed;
        z.next_out = reinterpret_cast<Bytef*>(back.data());
        z.avail_out = static_cast<uInt>(back.size());
        EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << data.size();
        EXPECT_EQ(z.avail_in, 0u) << data.size();  // the stream ends where the member does
        back.resize(z.total_out);
        inflateEnd(&z);
        EXPECT_TRUE(back == data) << data.size();
    }
}

TEST(ZipWriter, IndexOutOfRangeChangesNothing)
{
    ZipWriter zip;
    EXPECT_THROW(zip.setFileData(0, "x"), Error);
    zip.addFile("a", 0x20);
    for (int bad : {1, 5, -1}) {
        try {
            zip.setFileData(bad, "abc");
            FAIL() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), "Index out of range.");
        }
    }
    EXPECT_EQ(zip.member(0).Common.UncompressedSize, 0u);
    EXPECT_TRUE(zip.member(0).CompressedData.empty());
    EXPECT_EQ(zip.Entry(0).ExternalAttributes, 0x20u);
}

TEST(ZipWriter, SeveralMembersGetTheirOffsets)
{
    ZipWriter zip;
    zip.addFile("one", 0x20);
    zip.addFile("second");
    zip.setFileData(0, "abc");
    zip.setFileData(1, std::string(1000, 'x'));
    StringSink sink;
    zip.saveToStream(sink);
    const std::string& a = sink.text();
    const size_t second = 30 + 3 + zip.member(0).Common.CompressedSize;
    EXPECT_EQ(zip.Entry(0).LocalHeaderOffset, 0u);
    EXPECT_EQ(zip.Entry(1).LocalHeaderOffset, second);
    EXPECT_EQ(le(a, second, 4), 0x04034B50u);
    EXPECT_EQ(zip.Entry(0).ExternalAttributes, 0x20u);  // kept through SetFileData
    const EndOfCentralDirectory& end = zip.endRecord();
    EXPECT_EQ(end.EntriesTotal, 2);
    EXPECT_EQ(end.CentralDirSize, 46u + 3 + 46 + 6);
    EXPECT_EQ(le(a, end.CentralDirOffset + 46 + 3, 4), 0x02014B50u);
    EXPECT_EQ(a.size(), end.CentralDirOffset + end.CentralDirSize + 22u);
}

TEST(ZipWriter, DosDateTimeLimits)
{
    auto at = [](int y, int mo, int d, int h, int mi, int s) {
        std::tm t{};
        t.tm_year = y - 1900, t.tm_mon = mo - 1, t.tm_mday = d, t.tm_hour = h, t.tm_min = mi, t.tm_sec = s;
        return dosDateTime(t);
    };
    EXPECT_EQ(at(1980, 1, 1, 0, 0, 1), 0x00210000u);
    EXPECT_EQ(at(2107, 12, 31, 23, 59, 59), 0xFF9FBF7Du);
    EXPECT_EQ(at(1979, 12, 31, 23, 59, 59), 0u);
    EXPECT_EQ(at(2108, 1, 1, 0, 0, 0), 0u);
    EXPECT_EQ(dosDateTime(fixedTime()), 0x586F6DAFu);
}

TEST(ZipWriter, RefusesWhatTheFormatCannotHold)
{
    ZipWriter zip;
    EXPECT_THROW(zip.addFile(std::string(70000, 'n')), ZipRefused);
    zip.addFile("big");
    // 4 GiB of address space that is never touched: the size alone is refused.
    const size_t size = size_t(1) << 32;
    void* p = ::mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(p, MAP_FAILED);
    try {
        zip.setFileData(0, std::string_view(static_cast<const char*>(p), size));
        FAIL();
    } catch (const ZipRefused& e) {
        EXPECT_EQ(e.message(), zipTooLargeMessage());
    }
    ::munmap(p, size);
    EXPECT_EQ(zip.member(0).Common.CompressedSize, 0u);
}

TEST(ZipWriter, SinkFailuresReachTheCaller)
{
    ZipWriter zip;
    zip.addFile("a");
    zip.setFileData(0, "abc");
    for (size_t limit : {0u, 10u, 35u, 60u, 100u}) {
        FailingSink sink(limit);
        try {
            zip.saveToStream(sink);
            FAIL() << limit;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), "disk full");
        }
        TrickleSource source("abc");
        FailingSink sink2(limit);
        EXPECT_THROW(zipSingleMember(source, "a", 0, sink2, "."), Error) << limit;
    }
}

TEST(ZipWriter, SameBytesAsTheInMemoryWriter)
{
    TempDir dir;
    // The last one is larger than the memory part of the spill buffer and goes to a file.
    for (const std::string& data : {std::string(), std::string("Z"), mixedData(3 << 20), randomData(9 << 20)}) {
        TrickleSource source(data);
        StringSink sink;
        zipSingleMember(source, "member.txt", dosDateTime(fixedTime()), sink, dir.path());
        EXPECT_TRUE(sink.text() == archiveOf("member.txt", data)) << data.size();
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));  // the spill file had no name
}
