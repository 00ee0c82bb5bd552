// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing two declarations: how lines are matched, what counts as a change, the totals of
// both, the readable text, and the files the comparison refuses.
#include <gtest/gtest.h>

#include <map>

#include "core/session/CompareDeclarations.h"
#include "core/session/ComparisonOutput.h"
#include "core/store/AtomicFile.h"
#include "tests/TestUtil.h"
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;

namespace {

using Fields = std::map<detail::Field, std::string>;

// A workspace line: gross 1000, deductions 200, net 800 unless given.
std::string line(const std::string& afm, const char* surname, Fields f = {})
{
    Fields all = {{detail::AFM, afm},          {detail::SurName, G(surname)}, {detail::TypeInc, "10"},
                  {detail::AkaInc, "1000"},    {detail::Kratiseis, "200"},    {detail::Kathares, "800"},
                  {detail::ForosParakr, "100"}};
    for (auto& [k, v] : f) all[k] = v;
    std::string l(detail::RecordSize, ' ');
    l[0] = '3';
    for (auto& [k, v] : all) l.replace(static_cast<size_t>(detail::fields[k].offset), v.size(), v);
    return l;
}

DeclarationComparison compare(const std::vector<std::string>& older, const std::vector<std::string>& newer)
{
    return compareDeclarations(detailLinesOf(older), detailLinesOf(newer));
}

std::string written(void (*write)(const DeclarationComparison&, ByteSink&), const DeclarationComparison& c)
{
    StringSink out;
    write(c, out);
    return out.text();
}

std::vector<size_t> numbers(const std::vector<DeclarationComparison::Line>& lines)
{
    std::vector<size_t> out;
    for (const auto& l : lines) out.push_back(l.number);
    return out;
}

TEST(CompareDeclarations, OneAddedOneRemovedOneChanged)
{
    const std::vector<std::string> older = {line("111111111", "ΑΛΦΑ"), line("222222222", "ΒΗΤΑ"),
                                            line("333333333", "ΓΑΜΜΑ")};
    const std::vector<std::string> newer = {
        line("111111111", "ΑΛΦΑ"),
        line("222222222", "ΒΗΤΑ", {{detail::AkaInc, "1200,5"}, {detail::Kathares, "1000,5"}}),
        line("444444444", "ΔΕΛΤΑ", {{detail::TypeInc, "15"}})};
    const DeclarationComparison c = compare(older, newer);
    EXPECT_FALSE(c.same());
    EXPECT_EQ(numbers(c.onlyOld), std::vector<size_t>{3});
    EXPECT_EQ(numbers(c.onlyNew), std::vector<size_t>{3});
    ASSERT_EQ(c.changed.size(), 1u);
    EXPECT_EQ(c.changed[0].oldLine.number, 2u);
    EXPECT_EQ(c.changed[0].newLine.number, 2u);
    EXPECT_EQ(c.changed[0].fields, (1U << detail::AkaInc) | (1U << detail::Kathares));

    // Income type 15 is left out of the totals, as the totals boxes leave it.
    EXPECT_EQ(written(writeComparisonText, c),
              "Μόνο στην παλιά δήλωση: 1\n"
              "  γραμμή 3: ΑΦΜ 333333333, Είδος Αποδοχών 10, ΓΑΜΜΑ\n"
              "Μόνο στη νέα δήλωση: 1\n"
              "  γραμμή 3: ΑΦΜ 444444444, Είδος Αποδοχών 15, ΔΕΛΤΑ\n"
              "Με αλλαγές: 1\n"
              "  γραμμή 2 (στην παλιά 2): ΑΦΜ 222222222, Είδος Αποδοχών 10, ΒΗΤΑ\n"
              "    Ακαθάριστες Αποδοχές: 1000 → 1200,5\n"
              "    Καθαρές Αποδοχές: 800 → 1000,5\n"
              "Σύνολα (παλιά → νέα, διαφορά):\n"
              "  Ακαθάριστες Αποδοχές: 3000 → 2200,5, -799,5\n"
              "  Κρατήσεις: 600 → 400, -200\n"
              "  Καθαρές Αποδοχές: 2400 → 1800,5, -599,5\n"
              "  Φόρος που Παρακρατήθηκε: 300 → 200, -100\n"
              "  Χαρτόσημο: 0 → 0, 0\n"
              "  ΟΓΑ Χαρτοσήμου: 0 → 0, 0\n"
              "  Φόρος που Αναλογεί: 0 → 0, 0\n"
              "  ΟΓΑ Φόρου που Παρακρατήθηκε: 0 → 0, 0\n"
              "  ΟΓΑ Φόρου που Αναλογεί: 0 → 0, 0\n"
              "  Εγγραφές: 3 → 3, 0\n"
              "  Μοναδικοί ΑΦΜ: 3 → 3, 0\n");
}

TEST(CompareDeclarations, RepeatedPairsAreMatchedInTheirOrder)
{
    const std::string a = "111111111";
    const auto gross = [&](const char* amount, const char* net) {
        return line(a, "ΑΛΦΑ", {{detail::AkaInc, amount}, {detail::Kathares, net}});
    };
    struct Case {
        const char* name;
        std::vector<std::string> older, newer;
        std::vector<size_t> onlyOld, onlyNew;
        std::vector<std::pair<size_t, size_t>> changed;
    };
    const std::vector<Case> cases = {
        {"the second of a pair gone",
         {gross("1000", "800"), gross("2000", "1800")},
         {gross("1000", "800")},
         {2},
         {},
         {}},
        {"the first of a pair changed",
         {gross("1000", "800"), gross("2000", "1800")},
         {gross("3000", "2800"), gross("2000", "1800")},
         {},
         {},
         {{1, 1}}},
        // Moved lines are matched by their key, not their place.
        {"order of keys",
         {line("222222222", "B"), gross("1000", "800")},
         {gross("1000", "800"), line("222222222", "B")},
         {},
         {},
         {}},
        {"same tax number, another income type",
         {gross("1000", "800")},
         {line(a, "ΑΛΦΑ", {{detail::TypeInc, "11"}})},
         {1},
         {1},
         {}},
    };
    for (const Case& c : cases) {
        const DeclarationComparison r = compare(c.older, c.newer);
        EXPECT_EQ(numbers(r.onlyOld), c.onlyOld) << c.name;
        EXPECT_EQ(numbers(r.onlyNew), c.onlyNew) << c.name;
        std::vector<std::pair<size_t, size_t>> changed;
        for (const auto& ch : r.changed) changed.emplace_back(ch.oldLine.number, ch.newLine.number);
        EXPECT_EQ(changed, c.changed) << c.name;
        EXPECT_EQ(r.same(), c.onlyOld.empty() && c.onlyNew.empty() && c.changed.empty()) << c.name;
    }
}

TEST(CompareDeclarations, OnlyDifferentValuesAreChanges)
{
    const std::string base = line("111111111", "ΑΛΦΑ", {{detail::Hmeres, "25"}});
    const std::vector<std::pair<Fields, uint32_t>> cases = {
        {{{detail::AkaInc, "1000,00"}}, 0},  // the same amount written otherwise
        {{{detail::Xartosimo, "0"}}, 0},     // blank and nought
        {{{detail::Hmeres, "025"}}, 0},
        {{{detail::Name, G("ΝΙΚΟΣ")}}, 1U << detail::Name},
        {{{detail::ForosAnal, "0,01"}}, 1U << detail::ForosAnal},
        {{{detail::Hmeres, "26"}}, 1U << detail::Hmeres},
    };
    for (const auto& [fields, expected] : cases) {
        Fields all = fields;
        all.emplace(detail::Hmeres, "25");
        const std::string changed = line("111111111", "ΑΛΦΑ", all);
        const DeclarationComparison r = compare({base}, {changed});
        EXPECT_EQ(r.changed.empty() ? 0U : r.changed[0].fields, expected) << changed;
    }

    // An amount that is not a number leaves no totals: refused, naming the declaration.
    for (bool inOld : {true, false}) {
        const std::string bad = line("111111111", "ΑΛΦΑ", {{detail::AkaInc, "1x00"}});
        try {
            if (inOld) compare({bad, bad}, {base});
            else
                compare({base}, {bad});
            ADD_FAILURE() << "not refused";
        } catch (const UncomparableAmounts& e) {
            EXPECT_EQ(e.inOld(), inOld);
            EXPECT_EQ(e.message(),
                      G(inOld ? "Γραμμή 1: '1x00' is not a valid floating point value (και άλλες 1 γραμμές)"
                              : "Γραμμή 1: '1x00' is not a valid floating point value"));
        }
    }
}

TEST(CompareDeclarations, DeclarationFilesAreReadAsOpenReadsThem)
{
    TempDir dir;
    HeaderFields h;
    h.YearOfData = "2023";
    h.AFM = "123456783";
    h.CompanyName = G("ΑΛΦΑ");
    AtomicFileWriter w(dir / "decl");
    TotalsTexts totals;
    const std::vector<std::string> lines = {line("111111111", "ΑΛΦΑ", {{detail::AkaInc, "1000,5"}})};
    writeDeclarationFile(w, h, totals, detailLinesOf(lines), "20240115");
    w.commit();
    ArenaLines read;
    EXPECT_EQ(readDetailLines(dir / "decl", read), std::nullopt);
    ASSERT_EQ(read.lines.size(), 1u);
    EXPECT_EQ(detail::fieldValue(read.lines[0], detail::AkaInc), "1000,5");
    EXPECT_TRUE(compare(lines, {std::string(read.lines[0])}).same());

    writeFile(dir / "junk", "hello\r\n");
    EXPECT_EQ(readDetailLines(dir / "junk", read), G("Μη έγκυρο αρχείο"));
    EXPECT_TRUE(read.lines.empty());
    EXPECT_EQ(readDetailLines(dir / "none", read), G("Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου (") +
                                                       (dir / "none").string() +
                                                       G(": Το αρχείο ή ο φάκελος δεν υπάρχει)"));
}

TEST(CompareDeclarations, CsvIsWhatAGreekSpreadsheetOpens)
{
    const DeclarationComparison c =
        compare({line("011111111", "ΑΛΦΑ \"Α\"")}, {line("011111111", "ΑΛΦΑ \"Α\"", {{detail::AkaInc, "1000,5"}})});
    const std::string csv = written(writeComparisonCsv, c);
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF\"Αποτέλεσμα\";\"Γραμμή παλιάς\";", 0), 0u);
    EXPECT_NE(csv.find("\r\n\"Αλλαγή\";1;1;\"011111111\";\"10\";\"ΑΛΦΑ \"\"Α\"\"\";\"Ακαθάριστες Αποδοχές\";"
                       "1000,00;1000,50;0,50\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\n\"Σύνολο\";;;;;;\"Εγγραφές\";1;1;0\r\n"), std::string::npos) << csv;
    EXPECT_EQ(csv.find('\n', csv.size() - 1), csv.size() - 1);
    EXPECT_EQ(csv.find("\n\n"), std::string::npos);
}

// The window's command: the line being typed is part of the open declaration compared, and
// an older file that cannot be compared is told of by name.
class CompareWithFileTest : public SessionTest {};

TEST_F(CompareWithFileTest, ComparesTheOpenDeclarationWithTheChosenFile)
{
    newDeclaration();
    ASSERT_TRUE(addLine("111111114", "10", "1000", "200", "800"));
    FixedWidthTable& ds = session->detailStore();
    ds.appendNew();
    ds.setFieldValue(detail::AFM, "222222228");
    ds.setFieldValue(detail::TypeInc, "10");
    ds.setFieldValue(detail::AkaInc, "500");
    ds.setFieldValue(detail::Kratiseis, "0");
    ds.setFieldValue(detail::Kathares, "500");

    HeaderFields h;
    h.YearOfData = "2024";
    h.AFM = "123456783";
    h.CompanyName = G("ΑΛΦΑ");
    AtomicFileWriter w(dir / "older");
    const std::vector<std::string> older = {line("111111114", "ΑΛΦΑ", {{detail::SurName, ""}})};
    writeDeclarationFile(w, h, TotalsTexts{}, detailLinesOf(older), "20250115");
    w.commit();
    ui.files.push_back(dir / "older");
    auto c = compareWithFile(*session, ui);
    ASSERT_TRUE(c) << ::testing::PrintToString(ui.log);
    EXPECT_EQ(numbers(c->onlyNew), std::vector<size_t>{2});
    EXPECT_TRUE(c->onlyOld.empty());
    EXPECT_EQ(c->newTotals.sums[0], Amount::fromCents(150000));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{});

    writeFile(dir / "junk", "hello\r\n");
    ui.files.push_back(dir / "junk");
    ui.files.push_back(std::nullopt);
    EXPECT_FALSE(compareWithFile(*session, ui));
    EXPECT_FALSE(compareWithFile(*session, ui));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"! Μη έγκυρο αρχείο (" + (dir / "junk").string() + ")"});
}

}  // namespace
