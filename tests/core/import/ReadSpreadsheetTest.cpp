// SPDX-License-Identifier: GPL-3.0-or-later
// Which reader a file goes to, and files that are damaged or no spreadsheet at all.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/import/Sheet.h"
#include "tests/core/import/SheetFixtures.h"

using namespace edlt;
using namespace edlt::sheet;
using namespace edlt::test;
namespace fs = std::filesystem;

class ReadSpreadsheetTest : public ::testing::Test {
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

TEST_F(ReadSpreadsheetTest, KindIsToldByContentNotByName)
{
    fs::path asXls = write("renamed.xls", bytesOf(fixture("typical.xlsx")));
    fs::path asXlsx = write("renamed.xlsx", bytesOf(fixture("typical.xls")));
    fs::path asCsv = write("renamed.csv", bytesOf(fixture("typical.ods")));
    EXPECT_EQ(rowsOf(readSpreadsheet(asXls).block), typical);
    EXPECT_EQ(rowsOf(readSpreadsheet(asXlsx).block), typical);
    EXPECT_EQ(rowsOf(readSpreadsheet(asCsv).block), typical);
}

TEST_F(ReadSpreadsheetTest, TruncatedFilesOfEveryKindAreRefused)
{
    for (const char* name : {"typical.xlsx", "typical.ods", "typical.xls"}) {
        std::string bytes = bytesOf(fixture(name));
        for (size_t cut : {bytes.size() / 2, bytes.size() - 1, size_t(100)}) {
            fs::path p = write("cut", bytes.substr(0, cut));
            EXPECT_THROW(readSpreadsheet(p), SheetError) << name << " cut at " << cut;
        }
    }
}

TEST_F(ReadSpreadsheetTest, DamagedBytesInsideAnEntryAreRefused)
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

TEST_F(ReadSpreadsheetTest, ThingsThatAreNoSpreadsheetAtAll)
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
