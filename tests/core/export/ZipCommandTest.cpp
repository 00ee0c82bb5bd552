// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/mount.h>
#include <sys/wait.h>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/export/ZipCommand.h"
#include "core/export/ZipWriter.h"
#include "tests/TestUtil.h"
#include "tests/core/export/ZipTestData.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

namespace {

// A temporary folder that can hold a tiny file system of its own, so a write can run out
// of space for real.
class SmallDisk : public TempDir {
public:
    ~SmallDisk() { ::umount(path().c_str()); }
    bool mount() { return ::mount("tmpfs", path().c_str(), "tmpfs", 0, "size=256k") == 0; }
};

bool haveTool(const char* name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}
int run(const std::string& command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(ZipCommand, ArchiveNameAndQuestion)
{
    EXPECT_EQ(zipArchivePath("/d/decl.txt"), fs::path("/d/decl.txt.zip"));
    EXPECT_EQ(zipArchivePath("/d/arch.zip"), fs::path("/d/arch.zip"));
    EXPECT_EQ(zipArchivePath("ARCH.ZIP"), fs::path("ARCH.ZIP"));
    EXPECT_EQ(zipArchivePath("a.Zip"), fs::path("a.Zip"));
    EXPECT_EQ(zipArchivePath("zip"), fs::path("zip.zip"));
    EXPECT_EQ(zipArchivePath("a.zip.txt"), fs::path("a.zip.txt.zip"));
    EXPECT_EQ(zipReplaceQuestion("/d/x"), cp1253::lit("Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο x;"));
    EXPECT_EQ(zipReplaceQuestion("/d/Δήλωση.zip"),
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
    EXPECT_EQ(runZipCommand(source, dir.path() / "x", answer(false)), ZipOutcome::Written);
    EXPECT_TRUE(asked.empty());  // nothing to replace yet

    writeFile(dir.path() / "x.zip", "old");
    EXPECT_EQ(runZipCommand(source, dir.path() / "x", answer(false)), ZipOutcome::Declined);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], zipReplaceQuestion("x"));
    EXPECT_EQ(readFile(dir.path() / "x.zip"), "old");

    EXPECT_EQ(runZipCommand(source, dir.path() / "x.zip", answer(true)), ZipOutcome::Written);
    EXPECT_EQ(asked.back(), zipReplaceQuestion("x.zip"));
    const std::string a = readFile(dir.path() / "x.zip");
    EXPECT_EQ(a.substr(30, 8), "decl.txt");  // the name only, no folder
    EXPECT_FALSE(fs::exists(dir.path() / "x.zip.zip"));
}

TEST(ZipCommand, FailuresLeaveTheExistingArchive)
{
    TempDir dir;
    const fs::path archive = dir.path() / "a.zip";
    auto yes = [] { return true; };
    EXPECT_THROW(packFileToZip(dir.path() / "missing", archive, yes), Error);
    EXPECT_FALSE(fs::exists(archive));

    try {
        packFileToZip(dir.path(), archive, yes);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(e.message().find(notRegularFileText()), std::string::npos);
    }

    // A sparse source of 4 GiB is refused before anything is read or written.
    const fs::path huge = dir.path() / "huge";
    writeFile(huge, "");
    fs::resize_file(huge, uint64_t(1) << 32);
    EXPECT_THROW(packFileToZip(huge, archive, yes), ZipRefused);
    fs::remove(huge);

    // A name the code page cannot hold cannot be a member's name.
    writeFile(dir.path() / "文件", "x");
    EXPECT_THROW(packFileToZip(dir.path() / "文件", archive, yes), ZipRefused);
    EXPECT_FALSE(fs::exists(archive));

    // A disk that fills while the archive is written.
    SmallDisk small;
    if (!small.mount()) GTEST_SKIP() << "cannot mount a small tmpfs here";
    writeFile(small.path() / "a.zip", "old archive");
    writeFile(dir.path() / "random", randomData(400 << 10));
    try {
        packFileToZip(dir.path() / "random", small.path() / "a.zip", yes);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(e.message().find(cp1253::lit("Δεν υπάρχει αρκετός ελεύθερος χώρος στο δίσκο")), std::string::npos);
    }
    ZipWriter zip;
    zip.addFile("random");
    zip.setFileData(0, randomData(400 << 10));
    EXPECT_THROW(zip.saveToFile(small.path() / "a.zip"), Error);
    EXPECT_EQ(readFile(small.path() / "a.zip"), "old archive");
    EXPECT_EQ(std::distance(fs::directory_iterator(small.path()), {}), 1);
}

TEST(ZipCommand, StandardReadersExtractIdenticalCopies)
{
    const bool unzip = haveTool("unzip"), python = haveTool("python3");
    if (!unzip && !python) GTEST_SKIP() << "neither unzip nor python3 is installed";
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> cases = {{"empty.txt", ""},
                                                                    {"one", "1"},
                                                                    {"five.bin", mixedData(5 << 20)},
                                                                    {"odd.bin", mixedData((3 << 20) + 17)},
                                                                    {"Δήλωση 2024.txt", mixedData(20000)}};
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
        ASSERT_EQ(runZipCommand(source, source, [](const std::string&) { return true; }), ZipOutcome::Written);
        const std::string archive = "'" + source.string() + ".zip'";
        if (unzip) {
            EXPECT_EQ(run("unzip -tq " + archive + " >/dev/null"), 0) << name;
            EXPECT_EQ(run("unzip -p " + archive + " > '" + (dir.path() / "out").string() + "'"), 0) << name;
            EXPECT_TRUE(readFile(dir.path() / "out") == data) << name;
        }
        if (python) {
            std::string hex;
            for (char k : zipMemberName(source)) {
                const auto c = static_cast<unsigned char>(k);
                hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
            }
            EXPECT_EQ(run("python3 -c \"" + std::string(check) + "\" " + archive + " '" + source.string() + "' " + hex),
                      0)
                << name;
        }
    }
}

TEST(ZipCommand, PacksAndReports)
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
    EXPECT_EQ(readFile(dir.path() / "err"),
              "edlt-cli: Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο arch.zip;\n");
    EXPECT_EQ(run(cli + " zip " + d + "/decl.txt --out=" + d + "/arch.zip --answer yes"), 0);
    EXPECT_FALSE(fs::exists(dir.path() / "arch.zip.zip"));
    EXPECT_EQ(run(cli + " zip - 2>/dev/null"), 2);

    EXPECT_EQ(run(cli + " zip " + d + "/missing 2>" + d + "/err"), 2);
    EXPECT_EQ(readFile(dir.path() / "err"),
              "edlt-cli: Cannot open file \"" + d + "/missing\". Το αρχείο ή ο φάκελος δεν υπάρχει\n");
    EXPECT_EQ(run(cli + " zip 2>/dev/null"), 2);
    EXPECT_EQ(run(cli + " zip a b 2>/dev/null"), 2);
    EXPECT_EQ(run(cli + " zip a --out 2>/dev/null"), 2);

    writeFile(dir.path() / "huge", "");
    fs::resize_file(dir.path() / "huge", uint64_t(1) << 32);
    EXPECT_EQ(run(cli + " zip " + d + "/huge 2>/dev/null"), 1);
    EXPECT_FALSE(fs::exists(dir.path() / "huge.zip"));
}
