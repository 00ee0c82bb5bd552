#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/export/ZipCommand.h"
#include "core/export/ZipWriter.h"
#include "tests/TestUtil.h"

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

// Declaration-like lines with some random bytes between them.
std::string mixedData(size_t size, unsigned seed = 1)
{
    std::mt19937 rng(seed);
    std::string out;
    while (out.size() < size) {
        out += "3" + std::to_string(100000000 + rng() % 899999999) + "          ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΩΡΓΟΣ 0000012345\r\n";
        if (rng() % 8 == 0)
            for (int i = 0; i < 64; ++i) out += static_cast<char>(rng());
    }
    out.resize(size);
    return out;
}

std::string randomData(size_t size)
{
    std::mt19937 rng(7);
    std::string out(size, '\0');
    for (char& c : out) c = static_cast<char>(rng());
    return out;
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

// A temporary folder that can hold a tiny file system of its own, so a write can run out
// of space for real.
class SmallDisk : public TempDir {
public:
    ~SmallDisk() { ::umount(path().c_str()); }
    bool mount() { return ::mount("tmpfs", path().c_str(), "tmpfs", 0, "size=256k") == 0; }
};

bool haveTool(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }
int run(const std::string& command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string archiveOf(const std::string& name, const std::string& data)
{
    ZipWriter zip;
    zip.SetClock(fixedTime);
    zip.AddFile(name);
    zip.SetFileData(0, data);
    StringSink sink;
    zip.SaveToStream(sink);
    return sink.text();
}

}  // namespace

TEST(ZipFile, OneMemberLayoutByteForByte)
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

TEST(ZipFile, EmptyDataAndZlibCompatibleDeflate)
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

TEST(ZipFile, IndexOutOfRangeChangesNothing)
{
    ZipWriter zip;
    EXPECT_THROW(zip.SetFileData(0, "x"), Error);
    zip.AddFile("a", 0x20);
    for (int bad : {1, 5, -1}) {
        try {
            zip.SetFileData(bad, "abc");
            FAIL() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), "Index out of range.");
        }
    }
    EXPECT_EQ(zip.Member(0).Common.UncompressedSize, 0u);
    EXPECT_TRUE(zip.Member(0).CompressedData.empty());
    EXPECT_EQ(zip.Entry(0).ExternalAttributes, 0x20u);
}

TEST(ZipFile, SeveralMembersGetTheirOffsets)
{
    ZipWriter zip;
    zip.AddFile("one", 0x20);
    zip.AddFile("second");
    zip.SetFileData(0, "abc");
    zip.SetFileData(1, std::string(1000, 'x'));
    StringSink sink;
    zip.SaveToStream(sink);
    const std::string& a = sink.text();
    const size_t second = 30 + 3 + zip.Member(0).Common.CompressedSize;
    EXPECT_EQ(zip.Entry(0).LocalHeaderOffset, 0u);
    EXPECT_EQ(zip.Entry(1).LocalHeaderOffset, second);
    EXPECT_EQ(le(a, second, 4), 0x04034B50u);
    EXPECT_EQ(zip.Entry(0).ExternalAttributes, 0x20u);  // kept through SetFileData
    const EndOfCentralDirectory& end = zip.EndRecord();
    EXPECT_EQ(end.EntriesTotal, 2);
    EXPECT_EQ(end.CentralDirSize, 46u + 3 + 46 + 6);
    EXPECT_EQ(le(a, end.CentralDirOffset + 46 + 3, 4), 0x02014B50u);
    EXPECT_EQ(a.size(), end.CentralDirOffset + end.CentralDirSize + 22u);
}

TEST(ZipFile, DosDateTimeLimits)
{
    auto at = [](int y, int mo, int d, int h, int mi, int s) {
        std::tm t{};
        t.tm_year = y - 1900, t.tm_mon = mo - 1, t.tm_mday = d, t.tm_hour = h, t.tm_min = mi, t.tm_sec = s;
        return DosDateTime(t);
    };
    EXPECT_EQ(at(1980, 1, 1, 0, 0, 1), 0x00210000u);
    EXPECT_EQ(at(2107, 12, 31, 23, 59, 59), 0xFF9FBF7Du);
    EXPECT_EQ(at(1979, 12, 31, 23, 59, 59), 0u);
    EXPECT_EQ(at(2108, 1, 1, 0, 0, 0), 0u);
    EXPECT_EQ(DosDateTime(fixedTime()), 0x586F6DAFu);
}

TEST(ZipFile, RefusesWhatTheFormatCannotHold)
{
    ZipWriter zip;
    EXPECT_THROW(zip.AddFile(std::string(70000, 'n')), ZipRefused);
    zip.AddFile("big");
    // 4 GiB of address space that is never touched: the size alone is refused.
    const size_t size = size_t(1) << 32;
    void* p = ::mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(p, MAP_FAILED);
    try {
        zip.SetFileData(0, std::string_view(static_cast<const char*>(p), size));
        FAIL();
    } catch (const ZipRefused& e) {
        EXPECT_EQ(e.message(), ZipTooLargeMessage());
    }
    ::munmap(p, size);
    EXPECT_EQ(zip.Member(0).Common.CompressedSize, 0u);
}

TEST(ZipFile, SinkFailuresReachTheCaller)
{
    ZipWriter zip;
    zip.AddFile("a");
    zip.SetFileData(0, "abc");
    for (size_t limit : {0u, 10u, 35u, 60u, 100u}) {
        FailingSink sink(limit);
        try {
            zip.SaveToStream(sink);
            FAIL() << limit;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), "disk full");
        }
        TrickleSource source("abc");
        FailingSink sink2(limit);
        EXPECT_THROW(ZipSingleMember(source, "a", 0, sink2, "."), Error) << limit;
    }
}

TEST(ZipStream, SameBytesAsTheInMemoryWriter)
{
    TempDir dir;
    // The last one is larger than the memory part of the spill buffer and goes to a file.
    for (const std::string& data : {std::string(), std::string("Z"), mixedData(3 << 20), randomData(9 << 20)}) {
        TrickleSource source(data);
        StringSink sink;
        ZipSingleMember(source, "member.txt", DosDateTime(fixedTime()), sink, dir.path());
        EXPECT_TRUE(sink.text() == archiveOf("member.txt", data)) << data.size();
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));  // the spill file had no name
}

TEST(ZipCommand, ArchiveNameAndQuestion)
{
    EXPECT_EQ(ZipArchivePath("/d/decl.txt"), fs::path("/d/decl.txt.zip"));
    EXPECT_EQ(ZipArchivePath("/d/arch.zip"), fs::path("/d/arch.zip"));
    EXPECT_EQ(ZipArchivePath("ARCH.ZIP"), fs::path("ARCH.ZIP"));
    EXPECT_EQ(ZipArchivePath("a.Zip"), fs::path("a.Zip"));
    EXPECT_EQ(ZipArchivePath("zip"), fs::path("zip.zip"));
    EXPECT_EQ(ZipArchivePath("a.zip.txt"), fs::path("a.zip.txt.zip"));
    EXPECT_EQ(ZipReplaceQuestion("/d/x"), cp1253::lit("Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο x;"));
    EXPECT_EQ(ZipReplaceQuestion("/d/Δήλωση.zip"),
              cp1253::lit("Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο Δήλωση.zip;"));
}

TEST(ZipCommand, ReplaceQuestionAndItsAnswers)
{
    TempDir dir;
    const fs::path source = dir.path() / "decl.txt";
    writeFile(source, "data");
    std::vector<std::string> asked;
    auto answer = [&](bool yes) {
        return [&asked, yes](const std::string& q) {
            asked.push_back(q);
            return yes;
        };
    };
    EXPECT_EQ(RunZipCommand(source, dir.path() / "x", answer(false)), ZipOutcome::Written);
    EXPECT_TRUE(asked.empty());  // nothing to replace yet

    writeFile(dir.path() / "x.zip", "old");
    EXPECT_EQ(RunZipCommand(source, dir.path() / "x", answer(false)), ZipOutcome::Declined);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], ZipReplaceQuestion("x"));
    EXPECT_EQ(readFile(dir.path() / "x.zip"), "old");

    EXPECT_EQ(RunZipCommand(source, dir.path() / "x.zip", answer(true)), ZipOutcome::Written);
    EXPECT_EQ(asked.back(), ZipReplaceQuestion("x.zip"));
    const std::string a = readFile(dir.path() / "x.zip");
    EXPECT_EQ(a.substr(30, 8), "decl.txt");  // the name only, no folder
    EXPECT_FALSE(fs::exists(dir.path() / "x.zip.zip"));
}

TEST(ZipCommand, FailuresLeaveTheExistingArchive)
{
    TempDir dir;
    const fs::path archive = dir.path() / "a.zip";
    auto yes = [] { return true; };
    EXPECT_THROW(PackFileToZip(dir.path() / "missing", archive, yes), Error);
    EXPECT_FALSE(fs::exists(archive));

    try {
        PackFileToZip(dir.path(), archive, yes);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(e.message().find(notRegularFileText()), std::string::npos);
    }

    // A sparse source of 4 GiB is refused before anything is read or written.
    const fs::path huge = dir.path() / "huge";
    writeFile(huge, "");
    fs::resize_file(huge, uint64_t(1) << 32);
    EXPECT_THROW(PackFileToZip(huge, archive, yes), ZipRefused);
    fs::remove(huge);

    // A name the code page cannot hold cannot be a member's name.
    writeFile(dir.path() / "文件", "x");
    EXPECT_THROW(PackFileToZip(dir.path() / "文件", archive, yes), ZipRefused);
    EXPECT_FALSE(fs::exists(archive));

    // A disk that fills while the archive is written.
    SmallDisk small;
    if (!small.mount()) GTEST_SKIP() << "cannot mount a small tmpfs here";
    writeFile(small.path() / "a.zip", "old archive");
    writeFile(dir.path() / "random", randomData(400 << 10));
    try {
        PackFileToZip(dir.path() / "random", small.path() / "a.zip", yes);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(e.message().find(cp1253::lit("Δεν υπάρχει αρκετός ελεύθερος χώρος στο δίσκο")), std::string::npos);
    }
    ZipWriter zip;
    zip.AddFile("random");
    zip.SetFileData(0, randomData(400 << 10));
    EXPECT_THROW(zip.SaveToFile(small.path() / "a.zip"), Error);
    EXPECT_EQ(readFile(small.path() / "a.zip"), "old archive");
    EXPECT_EQ(std::distance(fs::directory_iterator(small.path()), {}), 1);
}

TEST(ZipReaders, StandardReadersExtractIdenticalCopies)
{
    const bool unzip = haveTool("unzip"), python = haveTool("python3");
    if (!unzip && !python) GTEST_SKIP() << "neither unzip nor python3 is installed";
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty.txt", ""}, {"one", "1"}, {"five.bin", mixedData(5 << 20)}, {"Δήλωση 2024.txt", mixedData(20000)}};
    const char* check =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "assert z.testzip() is None\n"
        "[i] = z.infolist()\n"
        "assert i.flag_bits & 0x800 == 0\n"
        "assert i.filename.encode('cp437') == bytes.fromhex(sys.argv[3]), i.filename\n"
        "assert z.read(i) == open(sys.argv[2], 'rb').read()\n";
    for (const auto& [name, data] : cases) {
        const fs::path source = dir.path() / name;
        writeFile(source, data);
        ASSERT_EQ(RunZipCommand(source, source, [](const std::string&) { return true; }), ZipOutcome::Written);
        const std::string archive = "'" + source.string() + ".zip'";
        if (unzip) {
            EXPECT_EQ(run("unzip -tq " + archive + " >/dev/null"), 0) << name;
            EXPECT_EQ(run("unzip -p " + archive + " > '" + (dir.path() / "out").string() + "'"), 0) << name;
            EXPECT_TRUE(readFile(dir.path() / "out") == data) << name;
        }
        if (python) {
            std::string hex;
            for (char k : ZipMemberName(source)) {
                const auto c = static_cast<unsigned char>(k);
                hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
            }
            EXPECT_EQ(run("python3 -c \"" + std::string(check) + "\" " + archive + " '" + source.string() + "' " + hex), 0)
                << name;
        }
    }
}

TEST(ZipCli, PacksAndReports)
{
    TempDir dir;
    const char* other = std::getenv("EDLT_CLI");
    const std::string cli = other ? other : EDLT_CLI_PATH, d = dir.path().string();
    writeFile(dir.path() / "decl.txt", mixedData(5000));
    EXPECT_EQ(run(cli + " zip " + d + "/decl.txt"), 0);
    EXPECT_TRUE(fs::exists(dir.path() / "decl.txt.zip"));
    EXPECT_EQ(run(cli + " zip " + d + "/decl.txt --out " + d + "/arch"), 0);
    EXPECT_TRUE(fs::exists(dir.path() / "arch.zip"));
    // An existing archive is replaced on --answer yes alone (not as arch.zip.zip).
    EXPECT_EQ(run(cli + " zip " + d + "/decl.txt --out " + d + "/arch.zip 2>" + d + "/err"), 1);
    EXPECT_EQ(readFile(dir.path() / "err"), "Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο arch.zip;\n");
    EXPECT_EQ(run(cli + " zip " + d + "/decl.txt --out=" + d + "/arch.zip --answer yes"), 0);
    EXPECT_FALSE(fs::exists(dir.path() / "arch.zip.zip"));
    EXPECT_EQ(run(cli + " zip - 2>/dev/null"), 2);

    EXPECT_EQ(run(cli + " zip " + d + "/missing 2>" + d + "/err"), 2);
    EXPECT_EQ(readFile(dir.path() / "err"), "Cannot open file \"" + d + "/missing\". Το αρχείο ή ο φάκελος δεν υπάρχει\n");
    EXPECT_EQ(run(cli + " zip 2>/dev/null"), 2);
    EXPECT_EQ(run(cli + " zip a b 2>/dev/null"), 2);
    EXPECT_EQ(run(cli + " zip a --out 2>/dev/null"), 2);

    writeFile(dir.path() / "huge", "");
    fs::resize_file(dir.path() / "huge", uint64_t(1) << 32);
    EXPECT_EQ(run(cli + " zip " + d + "/huge 2>/dev/null"), 1);
    EXPECT_FALSE(fs::exists(dir.path() / "huge.zip"));
}
