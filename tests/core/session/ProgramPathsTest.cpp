// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/ProgramPaths.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/Error.h"
#include "core/reports/ReportCommand.h"
#include "core/store/PrivateFolder.h"
#include "core/store/WorkspaceJournal.h"
#include "tests/TestUtil.h"
#include "tests/core/session/ScriptedUI.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

TEST(ProgramPaths, DataBesideTheExecutableThenInShare)
{
    TempDir dir;
    const fs::path bin = dir / "usr" / "bin";
    fs::create_directories(bin);
    EXPECT_EQ(dataFolder(bin), bin);  // neither: messages name the folder beside it
    fs::create_directories(dir / "usr" / "share" / "edlt" / "Addon");
    EXPECT_EQ(dataFolder(bin), dir / "usr" / "share" / "edlt");
    fs::create_directories(bin / "Addon");
    EXPECT_EQ(dataFolder(bin), bin);
}

TEST(ProgramPaths, StateFolderFollowsXdgStateHome)
{
    TempDir dir;
    EnvVar home("HOME", dir.path().string());
    {
        EnvVar state("XDG_STATE_HOME", "");
        EXPECT_EQ(userStateFolder(), dir / ".local" / "state" / "edlt");
    }
    {
        EnvVar state("XDG_STATE_HOME", "relative/state");  // not absolute: ignored, as the basedir rules say
        EXPECT_EQ(userStateFolder(), dir / ".local" / "state" / "edlt");
    }
    EnvVar state("XDG_STATE_HOME", (dir / "st").string());
    EXPECT_EQ(userStateFolder(), dir / "st" / "edlt");
}

namespace {

constexpr uid_t nobody = 65534;

// A data folder with what the session reads at its start.
void makeData(const fs::path& data)
{
    fs::create_directories(data / "Addon" / "E7FirstPageFinal.files");
    writeFile(data / "Addon" / "typeofinc.txt", "");
    writeFile(data / "Addon" / "E7FirstPageFinal.files" / "image001.gif", "GIF89a");
}

DeclarationSession::Options sessionOptions(const fs::path& data, const fs::path& state)
{
    DeclarationSession::Options o;
    o.programFolder = data;
    o.workspaceParent = state;
    o.pageFolder = state;
    return o;
}

std::string notPrivate(const fs::path& folder, const std::string& cause)
{
    return "E Ο φάκελος εργασίας " + folder.string() + " δεν είναι ιδιωτικός (" + cause +
           "). Το e-ΔΛΤ δεν μπορεί να ξεκινήσει.";
}

void own(const fs::path& p, uid_t uid, unsigned mode)
{
    ASSERT_EQ(::lchown(p.c_str(), uid, uid), 0);
    if (!fs::is_symlink(p)) fs::permissions(p, fs::perms(mode));
}

}  // namespace

// The state folder and its workspace are used only as real folders of the user's own,
// closed to others; anything else stops the start with the folder and the cause named,
// and nothing is made in a folder reached through a link.
TEST(ProgramPaths, OnlyAPrivateStateFolderIsWorkedIn)
{
    struct Case {
        const char* name;
        std::function<void(const fs::path& state, const fs::path& elsewhere)> make;
        const char* refused;  // the folder named, relative to the state folder's parent
        const char* cause;
        bool asRoot = false;
    };
    const auto folder = [](const fs::path& p, unsigned mode) {
        fs::create_directories(p);
        fs::permissions(p, fs::perms(mode));
    };
    const std::vector<Case> cases = {
        {"missing, with its parents", [](const fs::path&, const fs::path&) {}, nullptr, nullptr},
        {"own, open to others",
         [&](const fs::path& s, const fs::path&) {
             folder(s, 0777);
             folder(s / "temp", 0755);
         },
         nullptr, nullptr},
        {"another user's",
         [&](const fs::path& s, const fs::path&) {
             folder(s, 0777);
             own(s, nobody, 0777);
         },
         "edlt", "ανήκει σε άλλον χρήστη", true},
        {"a link",
         [](const fs::path& s, const fs::path& e) {
             fs::create_directories(s.parent_path());
             fs::create_symlink(e, s);
         },
         "edlt", "είναι συμβολικός σύνδεσμος"},
        {"a file",
         [](const fs::path& s, const fs::path&) {
             fs::create_directories(s.parent_path());
             writeFile(s, "");
         },
         "edlt", "δεν είναι φάκελος"},
        {"temp a link",
         [&](const fs::path& s, const fs::path& e) {
             folder(s, 0700);
             fs::create_symlink(e, s / "temp");
         },
         "edlt/temp", "είναι συμβολικός σύνδεσμος"},
        {"temp another user's",
         [&](const fs::path& s, const fs::path&) {
             folder(s / "temp", 0777);
             own(s / "temp", nobody, 0777);
         },
         "edlt/temp", "ανήκει σε άλλον χρήστη", true},
    };
    for (const Case& c : cases) {
        if (c.asRoot && ::geteuid() != 0) continue;  // only root can give a folder away
        TempDir data, dir;
        makeData(data.path());
        const fs::path state = dir / "st" / "edlt", elsewhere = dir / "elsewhere";
        fs::create_directories(elsewhere);
        c.make(state, elsewhere);
        ScriptedUI ui;
        DeclarationSession session(ui, sessionOptions(data.path(), state));
        const bool started = session.start();
        EXPECT_EQ(started, c.refused == nullptr) << c.name;
        if (c.refused) {
            EXPECT_EQ(ui.messages(), std::vector<std::string>{notPrivate(dir / "st" / c.refused, c.cause)}) << c.name;
        } else {
            EXPECT_EQ(ui.messages(), std::vector<std::string>{}) << c.name;
            EXPECT_EQ(fileMode(state), 0700u) << c.name;
            EXPECT_EQ(fileMode(state / "temp"), 0700u) << c.name;
            session.requestClose();
        }
        EXPECT_TRUE(fs::is_empty(elsewhere)) << c.name;
    }
}

// Whatever was under a name the program writes in the state folder, the write makes a new
// file of the user's own, 0600; whoever held the old one open reads none of the new bytes.
TEST(ProgramPaths, FilesFoundInTheStateFolderAreNeverWrittenInto)
{
    struct Case {
        const char* name;
        fs::path file;  // relative to the state folder
        bool planted;
        std::function<void(DeclarationSession&, ScriptedUI&, const fs::path& state)> write;
    };
    const auto report = [](DeclarationSession& s, ScriptedUI& ui, const fs::path&) {
        ReportCommand(s, ui).run(ReportKind::DetailedPayments, [](const ReportWindowRequest&) {});
    };
    const auto pictures = [](DeclarationSession& s, ScriptedUI&, const fs::path& state) {
        ReportCommand::copyFirstPagePictures(ReportCommand::firstPagePicturesFolder(s.programFolder()), state);
    };
    const auto journal = [](DeclarationSession& s, ScriptedUI&, const fs::path&) {
        const Workspace& ws = s.workspaceFiles();
        writeFile(ws.record2(), "one\r\n");
        FixedWidthTable ds;
        ds.setFileName(ws.record2());
        ds.open();
        WorkspaceJournal j(ds, ws.record2(), ws.journal());
        ds.setRecordNumber(1);
        ds.edit();
        ds.setFieldValue(0, "two");
        ds.post();
        j.flush();
    };
    const std::vector<Case> cases = {
        {"report page", "DLT.htm", true, report},
        {"first page picture", fs::path("E7FirstPageFinal.files") / "image001.gif", true, pictures},
        {"journal", fs::path("temp") / "journal", true, journal},
        {"journal, new", fs::path("temp") / "journal", false, journal},
    };
    for (const Case& c : cases) {
        TempDir data, state;
        makeData(data.path());
        ScriptedUI ui;
        DeclarationSession session(ui, sessionOptions(data.path(), state.path()));
        ASSERT_TRUE(session.start());
        ui.answers.push_back(Answer::Yes);
        session.newDeclaration();
        const fs::path file = state / c.file;
        fs::create_directories(file.parent_path());
        fs::permissions(file.parent_path(), fs::perms(0700));
        int reader = -1;
        if (c.planted) {
            writeFile(file, "planted");
            fs::permissions(file, fs::perms(0666));
            if (::geteuid() == 0) own(file, nobody, 0666);
            reader = ::open(file.c_str(), O_RDONLY);
        }
        c.write(session, ui, state.path());
        struct stat st {};
        ASSERT_EQ(::lstat(file.c_str(), &st), 0) << c.name;
        EXPECT_EQ(st.st_uid, ::geteuid()) << c.name;
        EXPECT_EQ(st.st_mode & 07777, 0600u) << c.name;
        if (reader >= 0) {
            char bytes[64];
            EXPECT_EQ(::pread(reader, bytes, sizeof bytes, 0), 7) << c.name;
            ::close(reader);
        }
        session.requestClose();
    }
}

// The window holds its state folder open: once checked, its name can be taken over by
// anyone able to, and every write still goes into the folder that was checked; messages
// and the print window name where that folder is now.
TEST(ProgramPaths, WritesGoIntoTheFolderCheckedWhateverBecomesOfItsName)
{
    TempDir data, dir;
    makeData(data.path());
    PrivateFolder held = PrivateFolder::open(dir / "edlt");
    ScriptedUI ui;
    DeclarationSession session(ui, sessionOptions(data.path(), held.reach()));
    ASSERT_TRUE(session.start());
    ui.answers.push_back(Answer::Yes);
    session.newDeclaration();

    fs::rename(dir / "edlt", dir / "moved");
    fs::create_directories(dir / "taken");
    fs::create_symlink(dir / "taken", dir / "edlt");
    std::vector<fs::path> shown;
    ASSERT_TRUE(ReportCommand(session, ui).run(ReportKind::DetailedPayments, [&](const ReportWindowRequest& r) {
        shown.push_back(r.pagePath);
    }));
    EXPECT_EQ(shown, std::vector<fs::path>{dir / "moved" / "DLT.htm"});
    EXPECT_TRUE(fs::exists(dir / "moved" / "temp" / "record21"));
    EXPECT_TRUE(fs::is_empty(dir / "taken"));
    EXPECT_EQ(cp1253::pathText(session.workspaceFiles().record2()),
              cp1253::pathText(dir / "moved" / "temp" / "record2"));
    session.requestClose();
    EXPECT_FALSE(fs::exists(dir / "moved" / "temp"));
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
        ASSERT_TRUE(session.start());
        EXPECT_EQ(ui.messages(), std::vector<std::string>{
                                     "E " + cp1253::toUtf8(missingDataFileMessage(data / "Addon" / "typeofinc.txt"))});
        EXPECT_EQ(fileMode(user / "temp"), 0700u);
        EXPECT_EQ(fileMode(user / "temp" / ".lock"), 0600u);
        ui.answers.push_back(Answer::Yes);
        session.newDeclaration();
        EXPECT_EQ(fileMode(user / "temp" / "generalData"), 0600u);
        EXPECT_EQ(fileMode(user / "temp" / "record2"), 0600u);

        std::vector<fs::path> shown;
        ReportCommand(session, ui).run(ReportKind::Totals, [&](const ReportWindowRequest& r) {
            shown.push_back(r.pagePath);
        });
        ASSERT_EQ(shown, std::vector<fs::path>{user / "DLT.htm"});
        EXPECT_EQ(fileMode(user / "DLT.htm"), 0600u);
        ReportCommand::copyFirstPagePictures(data / "Addon" / "E7FirstPageFinal.files", user.path());
        EXPECT_EQ(fileMode(user / "E7FirstPageFinal.files"), 0700u);
        EXPECT_EQ(readFile(user / "E7FirstPageFinal.files" / "image001.gif"), "GIF89a");
        EXPECT_EQ(fileMode(user / "E7FirstPageFinal.files" / "image001.gif"), 0600u);
        session.requestClose();
    }
    EXPECT_FALSE(fs::exists(user / "temp"));
    EXPECT_FALSE(fs::exists(data / "temp"));
    EXPECT_FALSE(fs::exists(data / "DLT.htm"));
}
