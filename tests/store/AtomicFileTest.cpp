#include <gtest/gtest.h>

#include "store/AtomicFile.h"
#include "base/ByteStream.h"
#include "base/Cp1253.h"
#include "base/Error.h"
#include "tests/TestUtil.h"

using namespace edlt;

TEST(AtomicFile, CommitReplacesAndDiscardKeepsTheOldFile)
{
    test::TempDir dir;
    auto target = dir / "file";
    test::writeFile(target, "old");
    {
        AtomicFileWriter w(target);
        w.write("new content");
        EXPECT_EQ(test::readFile(target), "old");  // nothing visible before the commit
    }  // destroyed without commit
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
}

TEST(LineReader, SplitsAtEveryBreakAndCapsLongLines)
{
    // Breaks far into a line, of either kind, past the reader's scanning windows.
    StringSource src("a\r\nbb\ncc\r\r\n" + std::string(5000, 'z') + "\n" + std::string(300, 'y') + "\r" +
                     std::string(90, 'w') + "\nlast");
    LineReader r(src, 100);
    std::string line;
    std::vector<std::string> got;
    std::vector<bool> tooLong;
    while (r.next(line)) {
        got.push_back(line);
        tooLong.push_back(r.lastLineTooLong());
    }
    ASSERT_EQ(got.size(), 8u);
    EXPECT_EQ(got[2], "cc");
    EXPECT_EQ(got[3], "");
    EXPECT_EQ(got[4].size(), 100u);
    EXPECT_TRUE(tooLong[4]);
    EXPECT_EQ(got[5], std::string(100, 'y'));
    EXPECT_TRUE(tooLong[5]);
    EXPECT_EQ(got[6], std::string(90, 'w'));
    EXPECT_FALSE(tooLong[7]);
    EXPECT_EQ(got[7], "last");
}

TEST(Cp1253, ConvertsBothWaysAndRefusesForeignCharacters)
{
    auto g = cp1253::fromUtf8("Αβγ Ά");
    ASSERT_TRUE(g);
    EXPECT_EQ(*g, "\xC1\xE2\xE3 \xA2");
    EXPECT_EQ(cp1253::toUtf8(*g), "Αβγ Ά");
    EXPECT_FALSE(cp1253::fromUtf8("Ωμέγα ж"));  // Cyrillic has no place
    EXPECT_FALSE(cp1253::fromUtf8("\xFF\xFE"));  // not UTF-8
    EXPECT_EQ(cp1253::toUtf8("\xAA"), "\xEF\xBF\xBD");  // unassigned byte
    EXPECT_EQ(cp1253::pathText("/tmp/ж.txt"), "/tmp/?.txt");
}
