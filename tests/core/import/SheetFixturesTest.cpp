// The readers on files written by other programs (tests/data/sheets, see make_fixtures.py).
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/import/Sheet.h"

using namespace edlt;
using namespace edlt::sheet;
namespace fs = std::filesystem;

namespace {

fs::path fixture(const std::string& name) { return fs::path(EDLT_TEST_DATA) / "sheets" / name; }

// The block as UTF-8 rows, for readable comparisons.
std::vector<std::vector<std::string>> rowsOf(const Block& b)
{
    std::vector<std::vector<std::string>> rows(b.rows);
    for (size_t r = 0; r < b.rows; ++r)
        for (size_t c = 0; c < b.cols; ++c) rows[r].push_back(cp1253::toUtf8(b.at(r, c)));
    return rows;
}

std::vector<std::string> padded(std::vector<std::string> row, size_t cols)
{
    row.resize(cols);
    return row;
}

const std::vector<std::string> headings = {
    "ΑΦΜ", "Επώνυμο", "Όνομα", "Πατρώνυμο", "Πόλη", "Οδός", "Αριθμός", "ΤΚ", "Είδος", "Ακαθάριστες", "Χαρτόσημο",
    "ΟΓΑ χαρτοσήμου", "Κρατήσεις", "Καθαρές", "Φόρος", "Φόρος αναλογών", "Υποκατάστημα", "Ημέρες", "ΟΓΑ φόρου",
    "ΟΓΑ αναλογών"};

const std::vector<std::vector<std::string>> typical = {
    headings,
    {"012345670", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΙΩΡΓΟΣ", "ΝΙΚΟΛΑΟΣ", "ΑΘΗΝΑ", "ΣΤΑΔΙΟΥ", "12", "10564", "10", "1234,5", "2,4",
     "0", "100", "1132,1", "50", "50", "", "365", "0,3", "7"},
    padded({}, 20),
    {"12345670", "Μαρία-Ελένη", "O'Brien \"Jr\"", "a;b,c", "Πάτρα", "Οδός 1", "3Α", "", "11", "1234.50", "1234,50",
     "0", "0", "1234,5", "0", "0", "ΚΕΝΤΡΙΚΟ", "400", "1E20", "-0,5"},
    padded({"123456783", "ΤΕΛΟΣ", "", "", "", "", "", "", "10", "1", "0", "0", "0", "1", "0", "0", "", "1", "0"}, 20),
};

}  // namespace

class SheetFixtures : public ::testing::TestWithParam<std::string> {};

// Headings, a blank row inside the block, a tax number stored as a number (its leading
// zero gone), 1234.50 typed as text, an empty cell, a last row ending at column S:
// every kind of file gives the same block.
TEST_P(SheetFixtures, TypicalSheetGivesTheSameBlockInEveryFormat)
{
    ReadResult r = readSpreadsheet(fixture(GetParam()));
    EXPECT_EQ(r.block.rows, 5u);
    EXPECT_EQ(r.block.cols, 20u);
    EXPECT_EQ(rowsOf(r.block), typical);
    EXPECT_TRUE(r.problems.empty());
}

INSTANTIATE_TEST_SUITE_P(SheetFormats, SheetFixtures,
                         ::testing::Values("typical.xlsx", "typical.ods", "typical.xls", "typical.csv",
                                           "typical-comma.csv", "typical-1253.csv"),
                         [](const auto& test) {
                             std::string n = test.param;
                             for (char& c : n)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

TEST(SheetValues, DatesBooleansAndNumbersFarFromOne)
{
    const std::vector<std::vector<std::string>> expected = {
        {"45306", "45306,5", "1", "61", "0,25"},
        {"TRUE", "FALSE", "TRUE", "1,5E-7", "0,00001"},
        {"1,23456789012346E17", "1E15", "999999999999999", "0,000123", "-1234567,891"},
        {"Ζ??", "€ ok", "x?", "", ""},
    };
    for (const char* name : {"values.xlsx", "values.ods"}) {
        SCOPED_TRACE(name);
        ReadResult r = readSpreadsheet(fixture(name));
        EXPECT_EQ(rowsOf(r.block), expected);
        // The row with characters Windows-1253 cannot hold is still there, and named.
        ASSERT_EQ(r.problems.size(), 1u);
        EXPECT_EQ(r.problems[0].row, 4u);
        EXPECT_NE(r.problems[0].message.find(cp1253::lit("Η στήλη Νο 1 ")), std::string::npos);
    }
}

TEST(SheetValues, XlsBooleansAsInTheOtherKinds)
{
    ReadResult r = readSpreadsheet(fixture("values.xls"));
    ASSERT_EQ(r.block.rows, 3u);
    EXPECT_EQ(rowsOf(r.block)[0], (std::vector<std::string>{"45306", "45306,5", "1", "61", "0,25"}));
    EXPECT_EQ(rowsOf(r.block)[1], (std::vector<std::string>{"TRUE", "FALSE", "TRUE", "1,5E-7", "0,00001"}));
}

TEST(SheetValues, XlsxFeaturesOtherWritersUse)
{
    ReadResult r = readSpreadsheet(fixture("features.xlsx"));
    // The first tab (not sheet1.xml); the dimension claims A1:Z1000 and K9 is styled
    // only: the block ends at the last cell with a value.
    const std::vector<std::vector<std::string>> expected = {
        {"απλό", "πλούσιο ", "γραμμή1 gραμμή2 _x0041_", ""},
        {"3", "αβ", "", "#DIV/0!"},
        {"", "", "", ""},
        {"χωρίς αναφορά", "TRUE", "ενσειρά", ""},
        {"45306,5", "42", "FALSE", ""},
    };
    EXPECT_EQ(rowsOf(r.block), expected);
}

TEST(SheetValues, BlockEndingAtColumnSHasNineteenColumns)
{
    ReadResult r = readSpreadsheet(fixture("column-s.xlsx"));
    EXPECT_EQ(r.block.rows, 4u);
    EXPECT_EQ(r.block.cols, 19u);
}

TEST(SheetValues, EmptySheetIsTheEmptyBlockAndA1AloneIsOneCell)
{
    for (const char* name : {"empty.xlsx", "empty.ods"}) {
        ReadResult r = readSpreadsheet(fixture(name));
        EXPECT_EQ(r.block.rows, 0u) << name;
        EXPECT_EQ(r.block.cols, 0u) << name;
        EXPECT_TRUE(r.block.cells.empty()) << name;
    }
    ReadResult single = readSpreadsheet(fixture("single.xls"));
    EXPECT_EQ(rowsOf(single.block), (std::vector<std::vector<std::string>>{{"μόνο A1"}}));
}

class SheetFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("edlt-sheet-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& bytes)
    {
        fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    static std::string bytesOf(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir_;
};

TEST_F(SheetFiles, KindIsToldByContentNotByName)
{
    fs::path asXls = write("renamed.xls", bytesOf(fixture("typical.xlsx")));
    fs::path asXlsx = write("renamed.xlsx", bytesOf(fixture("typical.xls")));
    fs::path asCsv = write("renamed.csv", bytesOf(fixture("typical.ods")));
    EXPECT_EQ(rowsOf(readSpreadsheet(asXls).block), typical);
    EXPECT_EQ(rowsOf(readSpreadsheet(asXlsx).block), typical);
    EXPECT_EQ(rowsOf(readSpreadsheet(asCsv).block), typical);
}

TEST_F(SheetFiles, TruncatedFilesOfEveryKindAreRefused)
{
    for (const char* name : {"typical.xlsx", "typical.ods", "typical.xls"}) {
        std::string bytes = bytesOf(fixture(name));
        for (size_t cut : {bytes.size() / 2, bytes.size() - 1, size_t(100)}) {
            fs::path p = write("cut", bytes.substr(0, cut));
            EXPECT_THROW(readSpreadsheet(p), SheetError) << name << " cut at " << cut;
        }
    }
}

TEST_F(SheetFiles, DamagedBytesInsideAnEntryAreRefused)
{
    // A flipped byte inside the compressed sheet: the inflater or the checksum notices.
    std::string bytes = bytesOf(fixture("typical.ods"));
    size_t at = bytes.find("content.xml");
    ASSERT_NE(at, std::string::npos);
    for (size_t k = 60; k < 300; k += 37) {
        std::string damaged = bytes;
        damaged[at + k] = static_cast<char>(damaged[at + k] ^ 0x5A);
        EXPECT_THROW(readSpreadsheet(write("damaged.ods", damaged)), SheetError) << k;
    }
}

TEST_F(SheetFiles, ThingsThatAreNoSpreadsheetAtAll)
{
    auto faultOf = [&](const fs::path& p) {
        try {
            readSpreadsheet(p);
        } catch (const SheetError& e) {
            return e.fault();
        }
        return SheetFault::Corrupt;  // not reached when the test passes
    };
    EXPECT_EQ(faultOf(dir_ / "missing.xlsx"), SheetFault::NotSpreadsheet);
    EXPECT_EQ(faultOf(write("picture.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16))),
              SheetFault::NotSpreadsheet);
    // An OLE2 file that holds no workbook, as a Word document would.
    std::string ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    ole.resize(1536, '\0');
    EXPECT_EQ(faultOf(write("doc.xls", ole)), SheetFault::NotSpreadsheet);
    EXPECT_EQ(faultOf(dir_), SheetFault::NotSpreadsheet);
}

TEST(SheetXls, AFileThatAskedForGigabytesCostsWhatItHolds)
{
    // A 1 KB file (found by fuzzing) for which the earlier reader asked for tens of gigabytes.
    auto start = std::chrono::steady_clock::now();
    try {
        readSpreadsheet(fixture("freexl-memory.xls"));
    } catch (const SheetError&) {
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    // And the program goes on reading.
    EXPECT_EQ(rowsOf(readSpreadsheet(fixture("typical.xls")).block), typical);
}
