// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <unistd.h>

#include "core/base/Error.h"
#include "core/store/AtomicFile.h"
#include "core/store/Workspace.h"
#include "tests/TestUtil.h"

using namespace edlt;
namespace fs = std::filesystem;

namespace {

class WorkspaceTest : public ::testing::Test {
protected:
    static void put(const fs::path& p, const std::string& text) { test::writeFile(p, text); }

    test::TempDir folder;
    const fs::path program = folder.path();
};

}  // namespace

TEST_F(WorkspaceTest, LifeOfTheFolder)
{
    Workspace ws(program);
    ws.create();
    ASSERT_TRUE(fs::is_directory(ws.folder()));
    // The work is kept in three files of its own, found again by a later run on the same
    // program folder and by no other.
    EXPECT_EQ((std::set<fs::path>{ws.generalData(), ws.record2(), ws.record21()}).size(), 3u);
    put(ws.generalData(), "header");
    EXPECT_EQ(test::readFile(Workspace(program).generalData()), "header");
    EXPECT_FALSE(fs::exists(Workspace(program / "other").generalData()));
    fs::remove(ws.generalData());

    put(ws.record2(), "lines");
    put(ws.folder() / (".record2" + std::string(AtomicFileWriter::tempMarker) + "abc123"), "half written");
    ws.create();  // an existing folder is fine; a killed run's temporaries go
    EXPECT_EQ(std::distance(fs::directory_iterator(ws.folder()), fs::directory_iterator()), 1);

    ws.emptyFiles();
    EXPECT_EQ(fs::file_size(ws.record2()), 0u);
    EXPECT_EQ(fs::file_size(ws.generalData()), 0u);
    EXPECT_FALSE(fs::exists(ws.record21()));

    put(ws.record21(), "copy");
    ws.clear();
    EXPECT_FALSE(fs::exists(ws.folder()));
    ws.clear();  // nothing left: still no error
}

TEST_F(WorkspaceTest, ClearKeepsAFolderWithOtherFiles)
{
    Workspace ws(program);
    ws.create();
    ws.emptyFiles();
    put(ws.folder() / "user-file", "x");
    ws.clear();
    EXPECT_TRUE(fs::exists(ws.folder() / "user-file"));
    EXPECT_FALSE(fs::exists(ws.generalData()));
    EXPECT_FALSE(fs::exists(ws.record2()));
}

TEST_F(WorkspaceTest, EmptyFilesFailsWithoutAFolder)
{
    Workspace ws(program / "missing");
    EXPECT_THROW(ws.emptyFiles(), Error);
}
