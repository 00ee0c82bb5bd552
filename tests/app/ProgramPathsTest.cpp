#include "app/ProgramPaths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "reports/ReportCommand.h"
#include "base/Error.h"
#include "tests/TestUtil.h"
#include "tests/app/ScriptedUI.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

TEST(ProgramPaths, DataBesideTheExecutableThenInShare)
{
    TempDir dir;
    const fs::path bin = dir / "usr" / "bin";
    fs::create_directories(bin);
    EXPECT_EQ(DataFolder(bin), bin);  // neither: messages name the folder beside it
    fs::create_directories(dir / "usr" / "share" / "edlt" / "Addon");
    EXPECT_EQ(DataFolder(bin), dir / "usr" / "share" / "edlt");
    fs::create_directories(bin / "Addon");
    EXPECT_EQ(DataFolder(bin), bin);
}

TEST(ProgramPaths, StateFolderFollowsXdgStateHome)
{
    TempDir dir;
    EnvVar home("HOME", dir.path().string());
    {
        EnvVar state("XDG_STATE_HOME", "");
        EXPECT_EQ(UserStateFolder(), dir / ".local" / "state" / "edlt");
    }
    {
        EnvVar state("XDG_STATE_HOME", "relative/state");  // not absolute: ignored, as the basedir rules say
        EXPECT_EQ(UserStateFolder(), dir / ".local" / "state" / "edlt");
    }
    EnvVar state("XDG_STATE_HOME", (dir / "st").string());
    EXPECT_EQ(UserStateFolder(), dir / "st" / "edlt");
}

TEST(ProgramPaths, PrivateFoldersAreClosedToOthers)
{
    TempDir dir;
    CreatePrivateFolder(dir / "a" / "b" / "edlt");
    EXPECT_EQ(fileMode(dir / "a" / "b" / "edlt"), 0700u);
    fs::create_directories(dir / "open");
    fs::permissions(dir / "open", fs::perms(0755));
    CreatePrivateFolder(dir / "open");
    EXPECT_EQ(fileMode(dir / "open"), 0700u);
    writeFile(dir / "file", "x");
    try {
        CreatePrivateFolder(dir / "file");
        ADD_FAILURE() << "a file taken for a folder";
    } catch (const Error& e) {
        EXPECT_NE(e.message().find(cp1253::pathText(dir / "file")), std::string::npos) << e.message();
    }
}

// The window's session: workspace and pages in the user's folder, every file there 0600,
// the installed data untouched, a missing data file named.
TEST(ProgramPaths, SessionKeepsTheUsersFilesPrivate)
{
    TempDir data, user;
    ScriptedUI ui;
    fs::create_directories(data / "Addon" / "E7FirstPageFinal.files");
    writeFile(data / "Addon" / "E7FirstPageFinal.files" / "image001.gif", "GIF89a");
    DeclarationSession::Options o;
    o.programFolder = data.path();
    o.workspaceParent = user.path();
    o.pageFolder = user.path();
    {
        DeclarationSession session(ui, o);
        ASSERT_TRUE(session.Start());
        EXPECT_EQ(ui.messages(), std::vector<std::string>{"E " + cp1253::toUtf8(MissingDataFileMessage(data / "Addon" / "typeofinc.txt"))});
        EXPECT_EQ(fileMode(user / "temp"), 0700u);
        EXPECT_EQ(fileMode(user / "temp" / ".lock"), 0600u);
        ui.answers.push_back(mrYes);
        session.New();
        EXPECT_EQ(fileMode(user / "temp" / "generalData"), 0600u);
        EXPECT_EQ(fileMode(user / "temp" / "record2"), 0600u);

        std::vector<fs::path> shown;
        ReportCommand(session, ui).Run(ReportKind::Totals, [&](const ReportWindowRequest& r) { shown.push_back(r.pagePath); });
        ASSERT_EQ(shown, std::vector<fs::path>{user / "DLT.htm"});
        EXPECT_EQ(fileMode(user / "DLT.htm"), 0600u);
        ReportCommand::CopyFirstPagePictures(data / "Addon" / "E7FirstPageFinal.files", user.path());
        EXPECT_EQ(fileMode(user / "E7FirstPageFinal.files"), 0700u);
        EXPECT_EQ(readFile(user / "E7FirstPageFinal.files" / "image001.gif"), "GIF89a");
        EXPECT_EQ(fileMode(user / "E7FirstPageFinal.files" / "image001.gif"), 0600u);
        session.RequestClose();
    }
    EXPECT_FALSE(fs::exists(user / "temp"));
    EXPECT_FALSE(fs::exists(data / "temp"));
    EXPECT_FALSE(fs::exists(data / "DLT.htm"));
}
