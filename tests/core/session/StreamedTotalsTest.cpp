// SPDX-License-Identifier: GPL-3.0-or-later
// The totals read as a stream: the same figures and label as the whole Open gives, and any
// file Open would say something of left to it.
#include <gtest/gtest.h>

#include "core/base/ByteStream.h"
#include "core/rules/TotalsLedger.h"
#include "core/session/StreamedTotals.h"
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

namespace {

class StreamedTotalsTest : public SessionTest {
protected:
    std::string declaration;

    void SetUp() override
    {
        SessionTest::SetUp();
        newDeclaration();
        ASSERT_TRUE(addLine("012345670", "10", "100,5", "0", "100,5"));
        ASSERT_TRUE(addLine("012345670", "11", "200", "10", "190"));
        ASSERT_TRUE(addLine("111111114", "10", "999999,99", "0", "999999,99"));
        ASSERT_TRUE(addLine("111111114", "16", "50", "0", "50"));  // not summed
        session->writeDeclaration(dir / "decl.txt");
        declaration = readFile(dir / "decl.txt");
    }

    static std::optional<TotalsSummary> streamed(const std::string& content)
    {
        StringSource source(content);
        return streamedTotals(source);
    }
};

TEST_F(StreamedTotalsTest, SameFiguresAndLabelAsOpen)
{
    const auto totals = streamed(declaration);
    ASSERT_TRUE(totals);
    if (session->modified()) ui.answers.push_back(Answer::No);
    ASSERT_TRUE(session->openFile(dir / "decl.txt"));
    const TotalsSummary opened = totalsSummary(session->ledger(), 4);
    EXPECT_EQ(totals->lines, 4u);
    EXPECT_EQ(totals->distinctTaxNumbers, opened.distinctTaxNumbers);
    EXPECT_EQ(counterTextOf(*totals), session->recordCounterText());
    for (size_t box = 0; box < 9; ++box) {
        EXPECT_EQ(totals->sums[box].text(), opened.sums[box].text()) << box;
        EXPECT_EQ(totals->sums[box].text(), session->totals()[box]) << box;
    }
}

TEST_F(StreamedTotalsTest, WhatOpenWouldTellIsLeftToIt)
{
    const size_t firstBreak = declaration.find("\r\n");
    const size_t lastLine = declaration.rfind("\r\n", declaration.size() - 3) + 2;
    std::string badHeader = declaration, shortLine = declaration, unknownType = declaration;
    badHeader[0] = 'X';
    shortLine.erase(lastLine, 1);
    unknownType[lastLine] = '4';
    const std::string onlyHeader = declaration.substr(0, firstBreak + 2);
    const std::vector<std::string> contents = {badHeader, shortLine, unknownType, onlyHeader};
    for (const std::string& content : contents) EXPECT_FALSE(streamed(content)) << content.substr(0, 20);
}

}  // namespace
