// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/base/Error.h"
#include "core/store/FixedWidthTable.h"
#include "tests/TestUtil.h"

using namespace edlt;
using edlt::test::G;
using edlt::test::readFile;
using edlt::test::writeFile;

namespace {

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.message();
    }
    return "(no error)";
}

struct FixedWidthTableTest : ::testing::Test {
    test::TempDir dir;
    FixedWidthTable ds{"FixedFormatDataSet1"};

    void openOver(const std::string& content, std::vector<std::string> schema = {"Code=2", "Desc=5"})
    {
        writeFile(dir / "data", content);
        ds.setFileName(dir / "data");
        ds.setSchema(std::move(schema));
        ds.open();
    }
};

}  // namespace

TEST_F(FixedWidthTableTest, FieldsFromSchemaAndTrimSpace)
{
    openOver(G("10Τακτικές αποδοχές") + "\r\n", {"typeinc=2", "Desc=52"});
    EXPECT_EQ(ds.fieldValue("typeinc"), "10");
    EXPECT_EQ(ds.fieldValue("DESC"), G("Τακτικές αποδοχές"));  // names fold Latin case
    ds.close();

    std::string padded = G("10Τακτικές αποδοχές");
    padded.resize(54, ' ');
    writeFile(dir / "data", padded + "\r\n");
    ds.setTrimSpace(false);
    ds.open();
    EXPECT_EQ(ds.fieldValue("Desc").size(), 52u);
    EXPECT_EQ(ds.fieldValue("Desc").substr(17), std::string(35, ' '));
}

TEST_F(FixedWidthTableTest, DefaultWidthsAndOddSchemaLines)
{
    openOver(std::string(37, 'x') + "\nshort\n", {});
    ASSERT_EQ(ds.Fields().size(), 1u);
    EXPECT_EQ(ds.Fields()[0].name, "Line");
    EXPECT_EQ(ds.Fields()[0].width, 37);
    ds.close();

    writeFile(dir / "data", "");
    ds.open();
    EXPECT_EQ(ds.Fields()[0].width, 250);
    EXPECT_EQ(ds.recordSize(), 250);
    ds.close();

    writeFile(dir / "data", "abcdefgh\r\n");
    ds.setSchema({"A=2", "  ", "Code", "B=x", " C = 3"});
    ds.open();
    ASSERT_EQ(ds.Fields().size(), 4u);
    EXPECT_EQ(ds.Fields()[1].name, "Code");
    EXPECT_EQ(ds.Fields()[1].width, 8);  // longest line
    EXPECT_EQ(ds.Fields()[2].width, 8);
    EXPECT_EQ(ds.Fields()[3].name, "C");
    EXPECT_EQ(ds.Fields()[3].width, 3);
    EXPECT_EQ(ds.Fields()[3].offset, 18);
}

TEST_F(FixedWidthTableTest, LineBreaksOfEveryKind)
{
    openOver("a\r\nb\nc\rd\r\n\r\ne");
    EXPECT_EQ(ds.countRecords(), 6);  // the empty line counts; the final break adds nothing
    ds.setRecordNumber(5);
    EXPECT_TRUE(ds.fieldIsNull(0));
    EXPECT_EQ(ds.fieldValue(0), "");
}

TEST_F(FixedWidthTableTest, WritingFieldsPadsAndCuts)
{
    openOver("", {"A=10", "B=5", "C=3"});
    ds.insert();
    ds.setFieldValue("B", "ABC");
    EXPECT_EQ(ds.currentText(), std::string(10, ' ') + "ABC  ");
    ds.setFieldValue("B", "ABCDEFG");
    EXPECT_EQ(ds.fieldValue("B"), "ABCDE");
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.lineAt(0), std::string(10, ' ') + "ABCDE");
    EXPECT_EQ(ds.fieldValue("C"), "");
}

TEST_F(FixedWidthTableTest, RecordIdsAreNeverReused)
{
    openOver("a\r\nb\r\nc\r\n");
    ds.setRecordNumber(2);
    ds.insert();
    ds.setFieldValue(0, "n1");
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.recordNumber(), 2);  // stored before the record that was current
    EXPECT_EQ(ds.bookmark(), 4);
    ds.setRecordNumber(3);
    ds.deleteRecord();
    ds.insert();
    ds.setFieldValue(0, "n2");
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.bookmark(), 5);
    ds.appendNew();
    ds.setFieldValue(0, "n3");
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.recordNumber(), ds.countRecords());
    EXPECT_EQ(ds.lineAt(static_cast<size_t>(ds.countRecords() - 1)), "n3");
}

TEST_F(FixedWidthTableTest, DeleteMovesTheCursorAndEmptiesTheStore)
{
    openOver("a\r\nb\r\nc\r\n");
    ds.moveLast();
    ds.deleteRecord();
    EXPECT_EQ(ds.recordNumber(), 2);
    EXPECT_EQ(ds.fieldValue(0), "b");
    ds.moveFirst();
    ds.deleteRecord();
    EXPECT_EQ(ds.fieldValue(0), "b");
    ds.deleteRecord();
    EXPECT_EQ(ds.countRecords(), 0);
    EXPECT_TRUE(ds.atEnd());
    EXPECT_EQ(errorOf([&] { ds.deleteRecord(); }),
              "FixedFormatDataSet1: Cannot perform this operation on an empty dataset");
}

TEST_F(FixedWidthTableTest, EventsAndRefusal)
{
    openOver("a\r\n");
    std::vector<std::string> log;
    bool refuse = true;
    struct Hooks : DataSetObserver {
        std::vector<std::string>& log;
        bool& refuse;
        Hooks(std::vector<std::string>& l, bool& r) : log(l), refuse(r) {}
        bool beforePost(FixedWidthTable&) override
        {
            log.push_back("before");
            return !refuse;
        }
        void afterPost(FixedWidthTable&) override { log.push_back("after"); }
        void newRecord(FixedWidthTable&) override { log.push_back("new"); }
        void afterEdit(FixedWidthTable&) override { log.push_back("edit"); }
        void afterDelete(FixedWidthTable&) override { log.push_back("delete"); }
    } hooks{log, refuse};
    ds.addObserver(&hooks);

    ds.edit();
    ds.setFieldValue(0, "zz");
    EXPECT_FALSE(ds.post());
    EXPECT_EQ(ds.state(), DataSetState::EditState);
    EXPECT_EQ(ds.fieldValue(0), "zz");  // the buffer survives a refusal
    EXPECT_FALSE(ds.moveNext());        // a move posts, and the refusal stops it
    refuse = false;
    EXPECT_TRUE(ds.post());
    ds.insert();
    ds.Cancel();  // nothing written: no post
    ds.insert();
    EXPECT_TRUE(ds.moveFirst());  // unmodified insert is cancelled by a move
    EXPECT_EQ(ds.countRecords(), 1);
    ds.deleteRecord();
    EXPECT_EQ(log, (std::vector<std::string>{"edit", "before", "before", "before", "after", "new", "new", "delete"}));
    ds.removeObserver(&hooks);
}

TEST_F(FixedWidthTableTest, EditOnAnEmptyStoreInserts)
{
    openOver("");
    struct Counter : DataSetObserver {
        int news = 0;
        void newRecord(FixedWidthTable&) override { ++news; }
    } counter;
    ds.addObserver(&counter);
    int& news = counter.news;
    ds.edit();
    EXPECT_EQ(ds.state(), DataSetState::InsertState);
    EXPECT_EQ(news, 1);
    ds.deleteRecord();  // in insert state Delete cancels
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    ds.removeObserver(&counter);
}

// A post's hooks come after every observer has heard of the change; the first refusal
// ends the asking; suspended checks ask nobody.
TEST_F(FixedWidthTableTest, HooksFollowTheChangeAndTheFirstRefusalStops)
{
    openOver("a\r\n");
    std::vector<std::string> log;
    struct Hooks : DataSetObserver {
        std::string name;
        bool allow;
        std::vector<std::string>& log;
        Hooks(std::string n, bool a, std::vector<std::string>& l) : name(std::move(n)), allow(a), log(l) {}
        void dataSetChanged(const DataSetChange& c) override
        {
            if (c.kind == DataSetChange::RecordChanged) log.push_back(name + " changed");
        }
        bool beforePost(FixedWidthTable&) override
        {
            log.push_back(name + " before");
            return allow;
        }
        void afterPost(FixedWidthTable&) override { log.push_back(name + " after"); }
    } first("1", true, log), second("2", false, log), third("3", true, log);
    for (Hooks* h : {&first, &second, &third}) ds.addObserver(h);
    ds.edit();
    ds.setFieldValue(0, "zz");
    EXPECT_FALSE(ds.post());
    EXPECT_EQ(log, (std::vector<std::string>{"1 before", "2 before"}));
    log.clear();
    {
        const ChecksSuspended unchecked(ds);
        EXPECT_TRUE(ds.post());
    }
    EXPECT_EQ(log, (std::vector<std::string>{"1 changed", "2 changed", "3 changed", "1 after", "2 after", "3 after"}));
    log.clear();
    ds.edit();
    ds.setFieldValue(0, "yy");
    EXPECT_FALSE(ds.post());
    EXPECT_EQ(log, (std::vector<std::string>{"1 before", "2 before"}));
    for (Hooks* h : {&first, &second, &third}) ds.removeObserver(h);
}

// An observer a hook removed is not run after it.
TEST_F(FixedWidthTableTest, AHookRemovedByAnotherIsNotRun)
{
    openOver("a\r\n");
    struct Later : DataSetObserver {
        int posts = 0;
        void afterPost(FixedWidthTable&) override { ++posts; }
    } later;
    struct Remover : DataSetObserver {
        Later* removed = nullptr;
        void afterPost(FixedWidthTable& ds) override { ds.removeObserver(removed); }
    } remover;
    remover.removed = &later;
    ds.addObserver(&remover);
    ds.addObserver(&later);
    ds.edit();
    ds.setFieldValue(0, "zz");
    EXPECT_TRUE(ds.post());
    EXPECT_EQ(later.posts, 0);
    ds.removeObserver(&remover);
}

TEST_F(FixedWidthTableTest, FailureMessages)
{
    EXPECT_EQ(errorOf([&] { ds.fieldValue("A"); }),
              "FixedFormatDataSet1: Cannot perform this operation on a closed dataset");
    ds.setFileName(dir / "missing");
    std::string msg = errorOf([&] { ds.open(); });
    EXPECT_EQ(msg.rfind("Cannot open file \"" + (dir / "missing").string() + "\". ", 0), 0u) << msg;
    EXPECT_FALSE(ds.active());

    openOver("a\r\n");
    EXPECT_EQ(errorOf([&] { ds.setTrimSpace(false); }),
              "FixedFormatDataSet1: Cannot perform this operation on an open dataset");
    EXPECT_EQ(errorOf([&] { ds.setFieldValue(0, "x"); }), "FixedFormatDataSet1: Dataset not in edit or insert mode");
    EXPECT_EQ(errorOf([&] { ds.post(); }), "FixedFormatDataSet1: Dataset not in edit or insert mode");
    EXPECT_EQ(errorOf([&] { ds.fieldValue("Nope"); }), "FixedFormatDataSet1: Field 'Nope' not found");
    EXPECT_EQ(errorOf([&] { ds.gotoBookmark(99); }), "Bookmark not found");
    ds.close();
    ds.setReadOnly(true);
    ds.open();
    EXPECT_EQ(errorOf([&] { ds.edit(); }), "FixedFormatDataSet1: Cannot modify a read-only dataset");
    EXPECT_EQ(errorOf([&] { ds.deleteRecord(); }), "FixedFormatDataSet1: Cannot modify a read-only dataset");
    ds.close();
    ds.setReadOnly(false);
    writeFile(dir / "data", "");
    ds.open();
    EXPECT_EQ(errorOf([&] { ds.fieldValue(0); }), "No Records");
}

TEST_F(FixedWidthTableTest, FileMustExistFalseCreatesTheFile)
{
    ds.setFileName(dir / "new");
    ds.setFileMustExist(false);
    ds.open();
    EXPECT_TRUE(std::filesystem::exists(dir / "new"));
    EXPECT_EQ(ds.countRecords(), 0);
}

TEST_F(FixedWidthTableTest, FindRecordKeysAndOptions)
{
    std::vector<std::string> schema = {"AFM=9", "SurName=18"};
    std::string lines = std::string("123456783") + G("ΠΑΠΑΔΟΠΟΥΛΟΣ") + "\r\n" + "111111111" + "SMITH\r\n" +
                        "222222222" + G("ΠΑΠΑ") + "\r\n";
    openOver(lines, schema);
    EXPECT_TRUE(ds.findRecord("SurName", G(" ΠΑΠΑ "), FixedWidthTable::PrefixMatch));
    EXPECT_EQ(ds.recordNumber(), 1);
    EXPECT_TRUE(ds.findRecord("SurName", G(" ΠΑΠΑ ")));
    EXPECT_EQ(ds.recordNumber(), 3);  // only the whole word matches without PrefixMatch
    EXPECT_TRUE(ds.findRecord("SurName", "smith", FixedWidthTable::IgnoreCase));
    EXPECT_FALSE(ds.findRecord("SurName", "smith"));
    EXPECT_FALSE(ds.findRecord("SurName", G("παπα"), FixedWidthTable::IgnoreCase));  // Greek never folds
    EXPECT_TRUE(ds.findRecord("AFM,SurName", std::vector<std::string>{"111111111", "SMITH"}));
    EXPECT_EQ(ds.recordNumber(), 2);
    EXPECT_FALSE(ds.findRecord("AFM SurName", std::vector<std::string>{"111111111", "PAPA"}));
    EXPECT_FALSE(ds.findRecord("  ", "x"));
}

TEST_F(FixedWidthTableTest, CloseWritesOnlyWhatChanged)
{
    openOver("a\r\nb\n");
    ds.close();
    EXPECT_EQ(readFile(dir / "data"), "a\r\nb\n");  // only read: never written

    ds.open();
    ds.edit();
    ds.setFieldValue(0, "c");
    ds.post();
    ds.saveLinesTo(dir / "copy");
    EXPECT_EQ(ds.fileName(), dir / "copy");
    writeFile(dir / "copy", "untouched");
    ds.close();  // SaveLinesTo cleared the changed flag
    EXPECT_EQ(readFile(dir / "copy"), "untouched");

    ds.setFileName(dir / "data");
    ds.open();
    ds.deleteRecord();
    ds.close();
    EXPECT_EQ(readFile(dir / "data"), "b\r\n");
}

TEST_F(FixedWidthTableTest, SaveLinesToOnEmptyStoreMakesAnEmptyFile)
{
    openOver("");
    ds.saveLinesTo(dir / "out");
    EXPECT_TRUE(std::filesystem::exists(dir / "out"));
    EXPECT_EQ(readFile(dir / "out"), "");
}

TEST_F(FixedWidthTableTest, LongLinesStayUntilEdited)
{
    openOver("12345678901\r\n");  // record size 7
    EXPECT_EQ(ds.lineAt(0), "12345678901");
    ds.edit();
    ds.setFieldValue("Code", "99");
    ds.post();
    EXPECT_EQ(ds.lineAt(0), "9934567");
}

// A new order in place leaves the store as reopening the file of those lines would.
TEST_F(FixedWidthTableTest, ReorderedLinesAsIfReadBack)
{
    openOver("a\r\n12345678901\r\nb\r\n");  // record size 7
    ds.setRecordNumber(3);
    ds.reorderLines({2, 1, 0}, 7);
    std::vector<std::pair<std::string, int32_t>> lines;
    ds.forEachLine([&](std::string_view text, int32_t id) { lines.emplace_back(text, id); });
    EXPECT_EQ(lines, (std::vector<std::pair<std::string, int32_t>>{{"b", 1}, {"1234567", 2}, {"a", 3}}));
    EXPECT_EQ(ds.recordNumber(), 1);
    EXPECT_FALSE(ds.storeChanged());
    EXPECT_NE(errorOf([&] { ds.reorderLines({0}, 7); }), "(no error)");
}

TEST_F(FixedWidthTableTest, ObserversHearCursorStateAndFields)
{
    struct Recorder : DataSetObserver {
        explicit Recorder(bool followed) : fields(followed) {}
        bool fields;
        std::vector<DataSetChange::Kind> kinds;
        void dataSetChanged(const DataSetChange& c) override { kinds.push_back(c.kind); }
        bool followsFields() const override { return fields; }
    } rec(true), linesOnly(false);
    openOver("a\r\nb\r\n");
    ds.addObserver(&rec);
    ds.addObserver(&linesOnly);
    ds.moveNext();
    ds.edit();
    ds.setFieldValue(0, "x");
    ds.post();
    ds.removeObserver(&rec);
    ds.removeObserver(&linesOnly);
    ds.moveFirst();
    EXPECT_EQ(rec.kinds, (std::vector<DataSetChange::Kind>{DataSetChange::CursorMoved, DataSetChange::StateChanged,
                                                           DataSetChange::FieldChanged, DataSetChange::RecordChanged,
                                                           DataSetChange::StateChanged}));
    EXPECT_EQ(linesOnly.kinds,
              (std::vector<DataSetChange::Kind>{DataSetChange::CursorMoved, DataSetChange::StateChanged,
                                                DataSetChange::RecordChanged, DataSetChange::StateChanged}));
}

// Each change to the lines, the state or the whole store is announced while the store is
// still as it was, so a view can say which rows will come and go.
TEST_F(FixedWidthTableTest, ChangesAreAnnouncedBeforeTheyAreMade)
{
    struct Recorder : DataSetObserver {
        FixedWidthTable* ds = nullptr;
        std::vector<std::string> heard;
        void dataSetAboutToChange(const DataSetChange& c) override
        {
            heard.push_back("before " + std::to_string(c.kind) + " at " + std::to_string(c.index) + ": " +
                            std::to_string(ds->active() ? ds->countRecords() : -1) + " lines, state " +
                            std::to_string(static_cast<int>(ds->state())) + " -> " +
                            std::to_string(static_cast<int>(c.state)));
        }
        void dataSetChanged(const DataSetChange& c) override
        {
            if (c.kind != DataSetChange::CursorMoved && c.kind != DataSetChange::FieldChanged)
                heard.push_back("after " + std::to_string(c.kind));
        }
    } rec;
    rec.ds = &ds;
    openOver("a\r\nb\r\n");
    ds.addObserver(&rec);
    ds.moveNext();
    ds.insert();  // before line 1
    ds.setFieldValue(0, "n");
    ds.post();
    ds.edit();
    ds.setFieldValue(0, "x");
    ds.post();
    ds.deleteRecord();
    ds.appendNew();
    ds.Cancel();
    ds.close();
    ds.removeObserver(&rec);
    const std::vector<std::string> expected = {
        "before 2 at 1: 2 lines, state 1 -> 3",  "after 2",             // insert begins
        "before 4 at 1: 2 lines, state 3 -> 0",  "after 4", "after 2",  // its post
        "before 2 at -1: 3 lines, state 1 -> 2", "after 2",             // edit begins
        "before 6 at 1: 3 lines, state 2 -> 0",  "after 6", "after 2",  // its post
        "before 5 at 1: 3 lines, state 1 -> 0",  "after 5",             // delete
        "before 2 at 2: 2 lines, state 1 -> 3",  "after 2",             // append begins
        "before 2 at -1: 2 lines, state 3 -> 1", "after 2",             // cancelled
        "before 0 at -1: 2 lines, state 1 -> 0", "after 0",             // closed
    };
    EXPECT_EQ(rec.heard, expected);
}
