// SPDX-License-Identifier: GPL-3.0-or-later
// The sort made without the store: the bytes the session's sort and Save As give, and any
// file Open would say something of, or that the session's sort reads back, left to them.
#include <gtest/gtest.h>

#include "core/base/ByteStream.h"
#include "core/session/StreamedSort.h"
#include "core/store/DetailRecord.h"
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

namespace {

class StreamedSortTest : public SessionTest {
protected:
    std::string declaration;

    void SetUp() override
    {
        SessionTest::SetUp();
        newDeclaration();
        // Equal surnames with different tax numbers, so the exchange sort's tie order shows.
        ASSERT_TRUE(addLine("111111114", "10", "200", "0", "200", {{detail::SurName, "B"}}));
        ASSERT_TRUE(addLine("012345670", "10", "100,5", "0", "100,5", {{detail::SurName, "B"}}));
        ASSERT_TRUE(addLine("222222228", "10", "200", "0", "200", {{detail::SurName, "B"}}));
        ASSERT_TRUE(addLine("333333331", "16", "50", "0", "50", {{detail::SurName, "A"}}));
        ASSERT_TRUE(addLine("012345670", "11", "200", "10", "190", {{detail::SurName, "C"}}));
        session->writeDeclaration(dir / "decl.txt");
        declaration = readFile(dir / "decl.txt");
    }

    static std::optional<PlainDeclaration> plain(const std::string& content)
    {
        StringSource source(content);
        return readPlainDeclaration(source);
    }
};

TEST_F(StreamedSortTest, SameBytesAsTheSessionsSort)
{
    using Key = DeclarationSession::SortKey;
    for (const Key key : {Key::Surname, Key::TaxNumber}) {
        const auto read = plain(declaration);
        ASSERT_TRUE(read);
        StringSink sorted;
        writeSortedDeclaration(sorted, *read, key, "20261207");
        if (session->modified()) ui.answers.push_back(Answer::No);
        ASSERT_TRUE(session->openFile(dir / "decl.txt"));
        key == Key::Surname ? session->SortBySurname() : session->SortByTaxNumber();
        session->writeDeclaration(dir / "sorted.txt");
        EXPECT_EQ(sorted.text(), readFile(dir / "sorted.txt"));
        EXPECT_NE(sorted.text(), declaration);
    }
}

TEST_F(StreamedSortTest, WhatOpenOrTheSortWouldTreatOtherwiseIsLeftToThem)
{
    const size_t lastLine = declaration.rfind("\r\n", declaration.size() - 3) + 2;
    std::string badAmount = declaration, lineBreak = declaration, shortLine = declaration;
    badAmount[lastLine + static_cast<size_t>(detail::fields[detail::AkaInc].offset)] = 'x';
    lineBreak[lastLine + static_cast<size_t>(detail::fields[detail::SurName].offset) + 2] = '\r';
    shortLine.erase(lastLine, 1);
    const std::string onlyHeader = declaration.substr(0, declaration.find("\r\n") + 2);
    for (const std::string& content : {badAmount, lineBreak, shortLine, onlyHeader})
        EXPECT_FALSE(plain(content)) << content.substr(0, 20);
}

}  // namespace
