// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/WorkspaceJournal.h"

#include <gtest/gtest.h>

#include "core/store/AtomicFile.h"
#include "tests/TestUtil.h"

using namespace edlt;
using namespace edlt::test;

// A kill can cut the journal at any byte: what is read back is always the base with a
// whole prefix of the changes, never part of one; a damaged entry ends the replay, and a
// base rewritten since makes the journal count for nothing.
TEST(WorkspaceJournal, EveryCutReplaysAWholePrefixOfTheChanges)
{
    TempDir dir;
    const auto base = dir / "record2", journal = dir / "journal";
    writeFile(base, "one\r\ntwo\r\nthree\r\n");
    FixedWidthTable ds;
    ds.setFileName(base);
    ds.open();
    WorkspaceJournal j(ds, base, journal);

    std::vector<std::vector<std::string>> states = {{"one", "two", "three"}};
    std::vector<size_t> ends;  // the journal's size after each flush
    auto step = [&](const std::function<void()>& change) {
        change();
        j.flush();
        ends.push_back(std::filesystem::file_size(journal));
        std::vector<std::string> lines;
        for (long i = 0; i < ds.countRecords(); ++i) lines.emplace_back(ds.lineAt(static_cast<size_t>(i)));
        states.push_back(lines);
    };
    auto store = [&](long record, bool insert, const std::string& text) {
        ds.setRecordNumber(record);
        insert ? ds.insert() : ds.edit();
        ds.setFieldValue(0, text);
        ds.post();
    };
    step([&] { store(2, true, "new"); });
    step([&] { store(1, false, "ONE"); });
    step([&] {
        ds.setRecordNumber(3);
        ds.deleteRecord();
    });
    step([&] {
        ds.appendNew();
        ds.setFieldValue(0, "last");
        ds.post();
    });
    ASSERT_EQ(states.back(), (std::vector<std::string>{"ONE  ", "new  ", "three", "last "}));

    const std::string whole = readFile(journal);
    const auto cut = dir / "cut";
    for (size_t length = 0; length <= whole.size(); ++length) {
        writeFile(cut, whole.substr(0, length));
        size_t applied = 0;
        while (applied < ends.size() && ends[applied] <= length) ++applied;
        auto lines = WorkspaceJournal::replayed(base, cut);
        EXPECT_EQ(lines.value_or(states[0]), states[applied]) << length;
        EXPECT_EQ(WorkspaceJournal::holdsChanges(base, cut), applied > 0) << length;
    }

    std::string damaged = whole;
    damaged[ends[1] + 12] ^= 0x20;  // inside the third entry
    writeFile(cut, damaged);
    EXPECT_EQ(WorkspaceJournal::replayed(base, cut), states[2]);

    writeFileAtomically(base, "one\r\ntwo\r\nthree\r\n", AtomicFileWriter::Durability::ProcessSafe);
    EXPECT_FALSE(WorkspaceJournal::replayed(base, journal));
    WorkspaceJournal::fold(base, journal);
    EXPECT_FALSE(std::filesystem::exists(journal));
    EXPECT_EQ(readFile(base), "one\r\ntwo\r\nthree\r\n");
}
