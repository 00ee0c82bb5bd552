#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "store/AtomicFile.h"
#include "base/Error.h"
#include "store/Workspace.h"

using namespace edlt;
namespace fs = std::filesystem;

namespace {

class WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program = fs::temp_directory_path() / ("edlt-ws-" + std::to_string(::getpid()));
        fs::remove_all(program);
        fs::create_directories(program);
    }
    void TearDown() override { fs::remove_all(program); }
    static void put(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

    fs::path program;
};

}  // namespace

TEST_F(WorkspaceTest, LifeOfTheFolder)
{
    Workspace ws(program);
    EXPECT_EQ(ws.folder(), program / "temp");
    EXPECT_EQ(ws.generalData(), program / "temp" / "generalData");
    EXPECT_EQ(ws.record2(), program / "temp" / "record2");
    EXPECT_EQ(ws.record21(), program / "temp" / "record21");

    ws.create();
    ASSERT_TRUE(fs::is_directory(ws.folder()));
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
