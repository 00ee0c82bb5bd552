// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "core/base/Error.h"
#include "core/store/CopyFile.h"
#include "tests/TestUtil.h"

using namespace edlt;
namespace fs = std::filesystem;

namespace {

class CopyFileTest : public ::testing::Test {
protected:
    static void put(const fs::path& p, const std::string& text) { test::writeFile(p, text); }
    static std::string get(const fs::path& p) { return test::readFile(p); }

    test::TempDir folder;
    const fs::path dir = folder.path();
};

}  // namespace

TEST_F(CopyFileTest, CopiesEveryByte)
{
    // Sizes around the 8192-byte block: an exact multiple must not lose or add a block.
    for (size_t size :
         {size_t(0), size_t(1), size_t(8191), size_t(8192), size_t(8193), size_t(3 * 8192), size_t(100000)}) {
        std::string text(size, '\0');
        for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>(i * 7 + 3);
        put(dir / "record2", text);
        put(dir / "record21", "stale content that is longer than some of the sources");
        copyFile(dir / "record2", dir / "record21");
        EXPECT_EQ(get(dir / "record21"), text) << size;
    }
    EXPECT_TRUE(fs::exists(dir / "record21"));
}

TEST_F(CopyFileTest, FolderDestinationTakesTheSourceName)
{
    fs::create_directory(dir / "out");
    put(dir / "record2", "lines\r\n");
    copyFile(dir / "record2", dir / "out");
    EXPECT_EQ(get(dir / "out" / "record2"), "lines\r\n");
    copyFile(dir / "record2", (dir / "out").string() + "/");
    EXPECT_EQ(get(dir / "out" / "record2"), "lines\r\n");
    // A relative destination is taken from the working folder.
    fs::path cwd = fs::current_path();
    fs::current_path(dir / "out");
    copyFile(dir / "record2", "copy");
    fs::current_path(cwd);
    EXPECT_EQ(get(dir / "out" / "copy"), "lines\r\n");
}

TEST_F(CopyFileTest, Failures)
{
    try {
        copyFile(dir / "missing", dir / "record21");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), "Cannot open file " + (dir / "missing").string());
    }
    EXPECT_FALSE(fs::exists(dir / "record21"));
    EXPECT_THROW(copyFile(dir, dir / "record21"), Error);  // a folder is not a file to copy

    put(dir / "record2", "new");
    put(dir / "record21", "old");
    fs::path uncreatable = dir / "no-such-folder" / "record21";
    try {
        copyFile(dir / "record2", uncreatable);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), "Cannot create file " + uncreatable.string());
    }
    EXPECT_EQ(get(dir / "record21"), "old");
}
