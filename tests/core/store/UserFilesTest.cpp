// SPDX-License-Identifier: GPL-3.0-or-later
// What saving does to the files and folders the user points it at, and the locks that
// keep two programs from losing each other's work.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "core/session/WorkspaceLock.h"
#include "core/store/AtomicFile.h"
#include "core/store/DeclarationFile.h"
#include "core/store/FileLock.h"
#include "tests/TestUtil.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

namespace {

// Files in a folder besides the given ones: a temporary left behind shows here.
std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(UserFiles, DestinationsAreUpdatedThroughOrRefusedWhole)
{
    struct Case {
        const char* name;
        std::function<fs::path(const TempDir&)> make;  // returns the path given to the writer
        bool written;
        const char* cause;          // in the refusal's message
        fs::path updated = "real";  // where the new content lands
        mode_t mode = 0640;         // its mode afterwards
    };
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const std::vector<Case> cases = {
        {"regular 640", [](const TempDir& d) { return d / "real"; }, true, nullptr},
        {"mode 600",
         [](const TempDir& d) {
             fs::permissions(d / "real", fs::perms(0600));
             return d / "real";
         },
         true, nullptr, "real", 0600},
        {"new file", [](const TempDir& d) { return d / "new"; }, true, nullptr, "new", 0600 & ~mask},
        {"read-only 444",
         [](const TempDir& d) {
             fs::permissions(d / "real", fs::perms(0444));
             return d / "real";
         },
         false, "μόνο για ανάγνωση"},
        {"symbolic link",
         [](const TempDir& d) {
             fs::create_symlink("real", d / "link");
             return d / "link";
         },
         true, nullptr},
        {"link to a link in another folder",
         [](const TempDir& d) {
             fs::create_directory(d / "sub");
             fs::create_symlink("../real", d / "sub" / "inner");
             fs::create_symlink("sub/inner", d / "link");
             return d / "link";
         },
         true, nullptr},
        {"dangling link",
         [](const TempDir& d) {
             fs::create_symlink("made", d / "link");
             return d / "link";
         },
         true, nullptr, "made", 0600 & ~mask},
        {"hard link",
         [](const TempDir& d) {
             fs::create_hard_link(d / "real", d / "other");
             return d / "real";
         },
         false, "σκληρούς συνδέσμους"},
        {"folder",
         [](const TempDir& d) {
             fs::create_directory(d / "f");
             return d / "f";
         },
         false, "κανονικό αρχείο"},
        {"named pipe",
         [](const TempDir& d) {
             ::mkfifo((d / "p").c_str(), 0600);
             return d / "p";
         },
         false, "κανονικό αρχείο"},
        {"null device", [](const TempDir&) { return fs::path("/dev/null"); }, false, "κανονικό αρχείο"},
        {"another user's file, group-writable",
         [](const TempDir& d) {
             if (::chown((d / "real").c_str(), 65534, 65534) != 0) {
             }  // as root only; else just a file
             fs::permissions(d / "real", fs::perms(0660));
             return d / "real";
         },
         true, nullptr, "real", 0660},
        {"name of 250 bytes", [](const TempDir& d) { return d / std::string(250, 'n'); }, true, nullptr,
         std::string(250, 'n'), 0600 & ~mask},
    };
    for (const Case& c : cases) {
        TempDir dir;
        writeFile(dir / "real", "old");
        fs::permissions(dir / "real", fs::perms(0640));
        const fs::path given = c.make(dir);
        const auto before = namesIn(dir.path());
        struct stat owner {};
        ::stat((dir / c.updated.string()).c_str(), &owner);
        try {
            writeFileAtomically(given, "new");
            EXPECT_TRUE(c.written) << c.name;
            EXPECT_EQ(readFile(dir / c.updated.string()), "new") << c.name;
            EXPECT_EQ(fileMode(dir / c.updated.string()), c.mode) << c.name;
            struct stat now {};
            ::stat((dir / c.updated.string()).c_str(), &now);
            if (owner.st_nlink > 0) {
                EXPECT_TRUE(now.st_uid == owner.st_uid && now.st_gid == owner.st_gid) << c.name;
            }
            // A link stays a link: the file it names was updated.
            EXPECT_EQ(fs::is_symlink(given), std::string(c.name).find("link") != std::string::npos) << c.name;
        } catch (const WriteError& e) {
            EXPECT_FALSE(c.written) << c.name;
            EXPECT_NE(e.message().find(cp1253::lit(c.cause)), std::string::npos) << c.name << ": " << e.message();
            EXPECT_EQ(readFile(dir / "real"), "old") << c.name;
        }
        auto after = namesIn(dir.path());
        std::erase(after, c.updated.string());
        auto expected = before;
        std::erase(expected, c.updated.string());
        EXPECT_EQ(after, expected) << c.name << ": nothing but the target may change";
    }
}

// A temporary goes when its writer is gone (its lock is free), whatever its age; one being
// written, another user's, and anything but a regular file stay.
TEST(UserFiles, OnlyTheUsersOwnUnlockedTemporariesAreRemoved)
{
    TempDir dir;
    const std::string marker(AtomicFileWriter::tempMarker);
    const auto twoDaysAgo = fs::file_time_type::clock::now() - std::chrono::hours(48);
    struct Case {
        std::string name;
        std::function<void(const fs::path&)> make;
        bool stays;
    };
    std::vector<int> held;
    const std::vector<Case> cases = {
        {marker + "fresh", [](const fs::path& p) { writeFile(p, "partial"); }, false},
        {".decl" + marker + "old",
         [&](const fs::path& p) {
             writeFile(p, "partial");
             fs::last_write_time(p, twoDaysAgo);
         },
         false},
        {marker + "locked",
         [&](const fs::path& p) {
             writeFile(p, "being renamed");
             held.push_back(::open(p.c_str(), O_RDONLY));
             ::flock(held.back(), LOCK_EX);
         },
         true},
        {marker + "others",
         [](const fs::path& p) {
             writeFile(p, "another user's");
             if (::chown(p.c_str(), 65534, 65534) != 0)
                 fs::permissions(p, fs::perms(0));  // not root: unopenable instead
         },
         true},
        {marker + "link",
         [&](const fs::path& p) {
             writeFile(dir / "aim", "x");
             fs::create_symlink(dir / "aim", p);
         },
         true},
        {marker + "pipe", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }, true},
        {marker + "folder", [](const fs::path& p) { fs::create_directory(p); }, true},
    };
    std::vector<std::string> expected = {"aim", "decl"};
    for (const Case& c : cases) {
        c.make(dir / c.name);
        if (c.stays) expected.push_back(c.name);
    }
    std::sort(expected.begin(), expected.end());
    writeFileAtomically(dir / "decl", "new");
    EXPECT_EQ(namesIn(dir.path()), expected);
    for (int fd : held) ::close(fd);
}

// A line with no break is refused at the byte past a record, not at the end of the file.
TEST(UserFiles, AnEndlessLineIsRefusedAtOnce)
{
    class Endless : public ByteSource {
    public:
        explicit Endless(std::string head) : head_(std::move(head)) {}
        size_t read(char* buffer, size_t size) override
        {
            for (size_t i = 0; i < size; ++i, ++given) buffer[i] = given < head_.size() ? head_[given] : 'x';
            return size;
        }
        size_t given = 0;

    private:
        std::string head_;
    };
    TempDir dir;
    for (const std::string& head : {std::string("0JL10"), "0JL10" + std::string(165, ' ') + "\r\n3"}) {
        Endless source(head);
        EXPECT_EQ(readDeclarationFile(source, dir / "general", dir / "record2"),
                  declaration_messages::wrongLineLength());
        EXPECT_LT(source.given, size_t(4) << 20);
    }
}

TEST(UserFiles, ALockWaitsForItsHolderAndFollowsAReplacedFile)
{
    TempDir dir;
    const fs::path file = dir / "decl";
    writeFile(file, "v1");
    const int holder = ::open(file.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    try {
        FileLock(file, FileLock::Mode::Shared, std::chrono::milliseconds(100));
        ADD_FAILURE() << "the lock was taken while another held it";
    } catch (const Error& e) {
        EXPECT_NE(e.message().find(file.string() + ": "), std::string::npos) << e.message();
    }
    // The holder saves by renaming a new file over the old one, then lets go: the waiter
    // ends up holding the new file, which a third program cannot lock meanwhile.
    std::thread save([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        writeFileAtomically(file, "v2");
        ::close(holder);
    });
    {
        FileLock lock(file, FileLock::Mode::Exclusive, std::chrono::seconds(5));
        const int third = ::open(file.c_str(), O_RDONLY);
        EXPECT_NE(::flock(third, LOCK_SH | LOCK_NB), 0);
        ::close(third);
    }
    save.join();
    EXPECT_EQ(readFile(file), "v2");
    FileLock nothingThere(dir / "missing", FileLock::Mode::Exclusive);  // a new file has nothing to lock
}

TEST(UserFiles, TheWorkspaceLockFailsClosed)
{
    struct Case {
        const char* name;
        std::function<void(const fs::path& temp)> make;
        bool acquired;
    };
    const std::vector<Case> cases = {
        {"made fresh", [](const fs::path&) {}, true},
        {"too open a folder is narrowed",
         [](const fs::path& t) {
             fs::create_directory(t);
             fs::permissions(t, fs::perms(0777));
         },
         true},
        {"folder is a link",
         [](const fs::path& t) {
             fs::create_directory(t.string() + "-real");
             fs::create_symlink(t.string() + "-real", t);
         },
         false},
        {"folder is a file", [](const fs::path& t) { writeFile(t, ""); }, false},
        {"lock is a folder", [](const fs::path& t) { fs::create_directories(t / WorkspaceLock::fileName); }, false},
        {"lock is a link",
         [](const fs::path& t) {
             fs::create_directory(t);
             fs::create_symlink("/etc/passwd", t / WorkspaceLock::fileName);
         },
         false},
        {"folder of another user",
         [](const fs::path& t) {
             fs::create_directory(t);
             if (::chown(t.c_str(), 65534, 65534) != 0) fs::remove(t);  // not root: nothing to test
         },
         ::geteuid() != 0},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path temp = dir / "temp";
        c.make(temp);
        WorkspaceLock lock;
        const auto result = lock.acquire(temp);
        EXPECT_EQ(result == WorkspaceLock::Result::Acquired, c.acquired) << c.name;
        if (c.acquired) {
            EXPECT_EQ(fileMode(temp), 0700u) << c.name;
            EXPECT_EQ(fileMode(temp / WorkspaceLock::fileName), 0600u) << c.name;
        } else {
            EXPECT_EQ(result, WorkspaceLock::Result::Unavailable) << c.name;
            EXPECT_NE(lock.problem().find(temp.string()), std::string::npos) << c.name;
        }
    }
}
