// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <set>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/store/AtomicFile.h"
#include "tests/TestUtil.h"

using namespace edlt;
namespace fs = std::filesystem;

namespace {

// The file a writer has open in folder, opened anew: another open file description, as
// another process would have.
int reopenWritersFile(const fs::path& folder)
{
    for (const auto& e : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const fs::path open = fs::read_symlink(e.path(), ec);
        if (!ec && open.parent_path() == folder) return ::open(e.path().c_str(), O_RDONLY | O_CLOEXEC);
    }
    return -1;
}

// The names that appeared in folder while work ran.
std::set<std::string> namesMadeDuring(const fs::path& folder, const std::function<void()>& work)
{
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ::inotify_add_watch(watch, folder.c_str(), IN_CREATE | IN_MOVED_TO);
    work();
    std::set<std::string> names;
    alignas(inotify_event) char buffer[8192];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;)
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0) names.insert(event->name);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    ::close(watch);
    return names;
}

}  // namespace

TEST(AtomicFile, CommitReplacesAndDiscardKeepsTheOldFile)
{
    test::TempDir dir;
    auto target = dir / "file";
    test::writeFile(target, "old");
    {
        AtomicFileWriter w(target);
        w.write("new content");
        EXPECT_EQ(test::readFile(target), "old");  // nothing visible before the commit
    }                                              // destroyed without commit
    EXPECT_EQ(test::readFile(target), "old");
    writeFileAtomically(target, "new");
    EXPECT_EQ(test::readFile(target), "new");
    // No temporary is left behind either way.
    size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1u);
}

TEST(AtomicFile, UncreatableTargetAndStaleTemporaries)
{
    test::TempDir dir;
    EXPECT_THROW(AtomicFileWriter(dir / "no-such-folder" / "f"), Error);
    test::writeFile(dir / (".x" + std::string(AtomicFileWriter::tempMarker) + "abc123"), "junk");
    test::writeFile(dir / "keep", "k");
    AtomicFileWriter::removeStaleTemporaries(dir.path());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(AtomicFile, LargeWritesArriveWhole)
{
    test::TempDir dir;
    std::string big(3 << 20, 'x');
    for (size_t i = 0; i < big.size(); i += 4096) big[i] = static_cast<char>('a' + (i / 4096) % 26);
    AtomicFileWriter w(dir / "big");
    w.write("head");
    w.write(big);
    w.write("tail");
    w.commit();
    EXPECT_EQ(test::readFile(dir / "big"), "head" + big + "tail");
}

// A linked copy behaves as a copy because writes replace whole files: rewriting either
// name leaves the other as it was, and no temporary is left beside them.
TEST(AtomicFile, LinkedCopyStaysApartFromLaterWrites)
{
    test::TempDir dir;
    auto source = dir / "lines", copy = dir / "scratch";
    test::writeFile(source, "first");
    test::writeFile(copy, "older");
    ASSERT_TRUE(replaceWithLink(source, copy));
    EXPECT_EQ(test::readFile(copy), "first");
    writeFileAtomically(source, "second", AtomicFileWriter::Durability::ProcessSafe);
    EXPECT_EQ(test::readFile(copy), "first");
    writeFileAtomically(copy, "third", AtomicFileWriter::Durability::ProcessSafe);
    EXPECT_EQ(test::readFile(source), "second");
    size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++files;
    EXPECT_EQ(files, 2u);
    EXPECT_FALSE(replaceWithLink(dir / "missing", copy));
    EXPECT_EQ(test::readFile(copy), "third");
    // Linked again onto the same file: the rename would do nothing and leave its spare link.
    ASSERT_TRUE(replaceWithLink(source, copy));
    ASSERT_TRUE(replaceWithLink(source, copy));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
}

// A writer's file is locked from its creation, so a sweep by another writer in the folder
// passes it by, while a temporary nobody holds goes.
TEST(AtomicFile, AWritersFileIsLockedUntilItIsInPlace)
{
    test::TempDir dir;
    AtomicFileWriter first(dir / "first", AtomicFileWriter::Durability::ProcessSafe);
    first.write("first");
    const int other = reopenWritersFile(dir.path());
    ASSERT_GE(other, 0);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    // One in its last step (named, still locked) and one a killed writer left.
    const std::string marker(AtomicFileWriter::tempMarker);
    test::writeFile(dir / (marker + "renaming"), "x");
    test::writeFile(dir / (marker + "killed"), "x");
    const int renaming = ::open((dir / (marker + "renaming")).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(renaming, LOCK_EX | LOCK_NB), 0);
    writeFileAtomically(dir / "second", "second", AtomicFileWriter::Durability::ProcessSafe);
    first.commit();
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);  // let go once in place
    ::close(other);
    ::close(renaming);
    EXPECT_EQ(test::readFile(dir / "first"), "first");
    EXPECT_TRUE(fs::exists(dir / (marker + "renaming")));
    EXPECT_FALSE(fs::exists(dir / (marker + "killed")));
}

// A new target gets its name straight away; only a replaced one goes through a temporary.
// The program's own files are private whatever they replace; the user's keep their mode.
TEST(AtomicFile, NewFilesAreLinkedInPlaceAndWorkspaceFilesStayPrivate)
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    using D = AtomicFileWriter::Durability;
    struct Case {
        const char* name;
        bool existing;
        D durability;
        unsigned mode;
        uid_t owner;
    };
    const Case cases[] = {
        {"new user's file", false, D::Durable, 0600 & ~mask, ::geteuid()},
        {"new workspace file", false, D::ProcessSafe, 0600 & ~mask, ::geteuid()},
        {"user's file replaced", true, D::Durable, 0644, 65534},
        {"workspace file replaced", true, D::ProcessSafe, 0600 & ~mask, ::geteuid()},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const fs::path target = dir / "file";
        if (c.existing) {
            test::writeFile(target, "old");
            fs::permissions(target, fs::perms(0644));
        }
        const bool chowned = c.existing && ::chown(target.c_str(), 65534, 65534) == 0;  // as root only
        const auto names = namesMadeDuring(dir.path(), [&] { writeFileAtomically(target, "new", c.durability); });
        EXPECT_EQ(names.size(), c.existing ? 2u : 1u) << c.name;  // a temporary, then the target
        EXPECT_TRUE(names.count("file")) << c.name;
        EXPECT_EQ(test::readFile(target), "new") << c.name;
        EXPECT_EQ(test::fileMode(target), c.mode) << c.name;
        struct stat st {};
        ::stat(target.c_str(), &st);
        if (chowned) {
            EXPECT_EQ(st.st_uid, c.owner) << c.name;
        }
    }
}
