// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include "tests/FaultyDeclaration.h"
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;

class RecoveryTest : public SessionTest {};

namespace {
const char* question =
    "? Βρέθηκαν στοιχεία δήλωσης που δεν αποθηκεύτηκαν (η εφαρμογή δεν τερματίστηκε κανονικά). Θέλετε να τα ανακτήσετε;";
}

TEST_F(RecoveryTest, WorkLeftByACrashIsRecovered)
{
    newDeclaration();
    session->choosePerson();
    session->setHeaderText(HeaderField::Name, G("ΓΙΑΝΝΗΣ"));
    session->setHeaderText(HeaderField::TK, "10564");
    ASSERT_TRUE(addLine("012345670", "10", "1000", "200", "800"));
    ASSERT_TRUE(addLine("111111114", "11", "50", "0", "50"));
    const HeaderFields before = session->header();
    session.reset();  // the program dies: no closing, the workspace stays

    ui.clear();
    ui.answers = {Answer::Yes};
    session = makeSession();
    ASSERT_TRUE(session->start());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{question});
    const HeaderFields& h = session->header();
    EXPECT_EQ(h.YearOfData, before.YearOfData);
    EXPECT_EQ(h.AFM, before.AFM);
    EXPECT_EQ(h.CompanyName, before.CompanyName);
    EXPECT_EQ(h.Name, G("ΓΙΑΝΝΗΣ"));
    EXPECT_EQ(h.TK, "10564");
    EXPECT_FALSE(h.business);
    EXPECT_EQ(session->detailStore().countRecords(), 2);
    EXPECT_EQ(session->recordCounterText(), G("2 Εγγραφές-2 μοναδικοί ΑΦΜ"));
    EXPECT_EQ(session->totals()[0], "1050");
    EXPECT_TRUE(session->modified());
    EXPECT_FALSE(session->startPanelVisible());

    // Closing normally removes it all: nothing is offered next time.
    ui.answers = {Answer::No};
    EXPECT_TRUE(session->requestClose());
    session.reset();
    EXPECT_FALSE(std::filesystem::exists(dir / "temp"));
    ui.clear();
    session = makeSession();
    ASSERT_TRUE(session->start());
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(RecoveryTest, DecliningRecoveryKeepsTheFilesUntilNewOrExit)
{
    newDeclaration();
    ASSERT_TRUE(addLine("012345670", "10", "1000", "200", "800"));
    session.reset();
    ui.clear();
    ui.answers = {Answer::No};
    session = makeSession();
    ASSERT_TRUE(session->start());
    EXPECT_TRUE(session->startPanelVisible());
    EXPECT_EQ(workspaceLines().size(), 1u);
}

namespace {

const std::string keptSuffix = "). Τα στοιχεία της φυλάσσονται και θα προταθούν ξανά στην επόμενη εκκίνηση.";

bool isKeptNotice(const std::string& line, const std::string& kind)
{
    const std::string prefix = kind + " Η ανάκτηση της προηγούμενης εργασίας δεν ολοκληρώθηκε (";
    return line.rfind(prefix, 0) == 0 && line.size() > prefix.size() + keptSuffix.size() &&
           line.compare(line.size() - keptSuffix.size(), keptSuffix.size(), keptSuffix) == 0;
}

// Every file of a folder with its bytes, the lock file aside (each run makes its own).
std::map<std::string, std::string> contents(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename() != WorkspaceLock::fileName)
            files[e.path().filename().string()] = e.is_regular_file() ? readFile(e.path()) : "<folder>";
    return files;
}

// A small file system of its own, filled to the last byte on demand.
class SmallDisk {
public:
    explicit SmallDisk(std::filesystem::path at) : path_(std::move(at))
    {
        std::filesystem::create_directories(path_);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=1m,mode=0700") == 0;
    }
    ~SmallDisk()
    {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }
    const std::filesystem::path& path() const { return path_; }
    void fill()
    {
        const int fd = ::open((path_ / "filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        while (::write(fd, block.data(), 1) > 0) {
        }
        ::close(fd);
    }
    void makeRoom() { std::filesystem::remove(path_ / "filler"); }

private:
    std::filesystem::path path_;
    bool mounted_ = false;
};

}  // namespace

TEST_F(RecoveryTest, RecoveryOnAFullDiskNeedsNoRoomAndKeepsTheWorkspace)
{
    SmallDisk disk(dir / "disk");
    if (!disk.mounted()) GTEST_SKIP() << "a tmpfs cannot be mounted here";
    workspaceParent = disk.path();
    session = makeSession();
    ASSERT_TRUE(session->start());
    newDeclaration();
    for (size_t i = 0; i < 44; ++i) ASSERT_TRUE(addLine(validAfm(i), "10", "1000", "0", "1000"));
    const std::vector<std::string> stored = workspaceLines();
    ASSERT_EQ(stored.size(), 44u);
    ASSERT_TRUE(std::filesystem::exists(session->workspaceFiles().journal()));
    const std::filesystem::path workspace = session->workspaceFiles().folder();
    session.reset();  // killed

    disk.fill();
    const auto left = contents(workspace);
    ui.clear();
    ui.answers = {Answer::Yes};
    session = makeSession();
    ASSERT_TRUE(session->start());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{question});
    ASSERT_EQ(session->detailStore().countRecords(), 44);
    EXPECT_EQ(session->header().AFM, "123456783");
    EXPECT_EQ(session->totals()[0], "44000");
    EXPECT_EQ(contents(workspace), left);
    session.reset();  // killed again before any room was made
    EXPECT_EQ(contents(workspace), left);

    disk.makeRoom();
    ui.clear();
    ui.answers = {Answer::Yes};
    session = makeSession();
    ASSERT_TRUE(session->start());
    EXPECT_EQ(workspaceLines(), stored);
    ASSERT_EQ(session->detailStore().countRecords(), 44);
    for (size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(session->detailStore().lineAt(i), stored[i]) << i;
    // A change after it never starts the journal again over lines the file lacks.
    ASSERT_TRUE(addLine(validAfm(44), "10", "1", "0", "1"));
    std::vector<std::string> now = stored;
    now.emplace_back(session->detailStore().lineAt(44));
    EXPECT_EQ(workspaceLines(), now);
    ui.answers = {Answer::No};
    EXPECT_TRUE(session->requestClose());
}

// The lines cannot be read back (the file of lines is a folder): the recovery fails, and
// what it left is kept through closing until it is recovered or declined.
TEST_F(RecoveryTest, WorkNotRecoveredIsKeptUntilRecoveredOrDeclined)
{
    for (const Answer againAtNew : {Answer::Yes, Answer::No}) {
        SCOPED_TRACE(againAtNew == Answer::Yes ? "recovered at New" : "declined at New");
        newDeclaration();
        ASSERT_TRUE(addLine("012345670", "10", "1000", "200", "800"));
        ASSERT_TRUE(addLine("111111114", "11", "50", "0", "50"));
        const std::filesystem::path workspace = session->workspaceFiles().folder();
        const std::filesystem::path record2 = session->workspaceFiles().record2();
        session.reset();
        std::filesystem::rename(record2, dir / "lines");
        std::filesystem::create_directory(record2);
        const auto left = contents(workspace);

        for (int start = 0; start < 2; ++start) {
            ui.clear();
            ui.answers = {Answer::Yes};
            session = makeSession();
            ASSERT_TRUE(session->start());
            ASSERT_EQ(ui.messages().size(), 2u);
            EXPECT_TRUE(isKeptNotice(ui.messages()[1], "E")) << ui.messages()[1];
            EXPECT_TRUE(session->startPanelVisible());
            EXPECT_TRUE(session->workUnrecovered());
            ui.clear();
            EXPECT_TRUE(session->requestClose());
            ASSERT_EQ(ui.messages().size(), 1u);
            EXPECT_TRUE(isKeptNotice(ui.messages()[0], "W")) << ui.messages()[0];
            session.reset();
            EXPECT_EQ(contents(workspace), left);
        }

        // The cause gone, New offers the work again before it replaces anything.
        ui.answers = {Answer::Yes};
        session = makeSession();
        ASSERT_TRUE(session->start());
        ASSERT_TRUE(session->workUnrecovered());
        std::filesystem::remove(record2);
        std::filesystem::rename(dir / "lines", record2);
        ui.clear();
        ui.answers = {againAtNew, Answer::Yes};
        session->newDeclaration();
        EXPECT_EQ(ui.messages().front(), question);
        EXPECT_FALSE(session->workUnrecovered());
        EXPECT_EQ(session->detailStore().countRecords(), againAtNew == Answer::Yes ? 2 : 0);
        EXPECT_EQ(session->modified(), againAtNew == Answer::Yes);
        ui.answers = {Answer::No};
        EXPECT_TRUE(session->requestClose());
        EXPECT_FALSE(std::filesystem::exists(workspace));
        session = makeSession();
        ASSERT_TRUE(session->start());
    }
}

// Work a declaration file holds is not offered after a kill; a change after it is.
TEST_F(RecoveryTest, OnlyUnsavedWorkIsOffered)
{
    enum class After { SaveAs, ChangeAfterSaveAs, Open, New, HeaderTyped };
    for (const After after : {After::SaveAs, After::ChangeAfterSaveAs, After::Open, After::New, After::HeaderTyped}) {
        SCOPED_TRACE(static_cast<int>(after));
        const std::filesystem::path saved = dir / ("saved" + std::to_string(static_cast<int>(after)));
        if (after == After::New) {
            ui.answers = {Answer::Yes};
            session->newDeclaration();
        } else {
            newDeclaration();
        }
        if (after != After::New && after != After::HeaderTyped) {
            ASSERT_TRUE(addLine("012345670", "10", "1000", "200", "800"));
            ui.files = {saved};
            ASSERT_EQ(session->saveAs(), DeclarationSession::SaveResult::Saved);
        }
        if (after == After::Open) {
            ui.files = {saved};
            session->open();
        }
        if (after == After::ChangeAfterSaveAs) {
            ASSERT_TRUE(addLine("111111114", "11", "50", "0", "50"));
        }
        if (after == After::HeaderTyped) session->setHeaderText(HeaderField::TK, "10564");
        const bool offered = after == After::ChangeAfterSaveAs || after == After::HeaderTyped;
        session.reset();  // killed

        ui.clear();
        if (offered) ui.answers = {Answer::No};
        session = makeSession();
        ASSERT_TRUE(session->start());
        EXPECT_EQ(ui.messages(), offered ? std::vector<std::string>{question} : std::vector<std::string>{});
        EXPECT_TRUE(session->requestClose());
        session = makeSession();
        ASSERT_TRUE(session->start());
    }
}
