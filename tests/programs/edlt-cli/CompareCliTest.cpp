// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli compare, and check and totals for scripts, run as a script would: exit codes,
// the JSON read back by Python's parser, the TSV's shape, and error lines that say they
// are the program's and name their file.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <sys/wait.h>

#include "core/rules/CheckAFM.h"
#include "core/store/AtomicFile.h"
#include "core/store/DeclarationFile.h"
#include "core/store/DetailRecord.h"
#include "tests/TestUtil.h"
#include "tests/programs/edlt-cli/CliRunner.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> split(const std::string& text, char by)
{
    std::vector<std::string> out;
    std::string piece;
    std::istringstream in(text);
    while (std::getline(in, piece, by)) out.push_back(piece);
    return out;
}

using Fields = std::map<detail::Field, std::string>;

class CompareCliTest : public CliRunner {
protected:
    // What a Python program prints of the JSON the last command wrote ("d" is the object).
    std::string python(const std::string& expression)
    {
        const std::string command = "python3 -c " +
                                    quoted(
                                        "import json,sys\nd=json.load(open(sys.argv[1],encoding='utf-8'))\n"
                                        "print(" +
                                        expression + ")") +
                                    " " + quoted((dir / "out").string()) + " >" + quoted((dir / "py").string()) +
                                    " 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << readFile(dir / "py");
        return readFile(dir / "py");
    }

    static std::string line(const std::string& taxNumber, const char* surname, Fields f = {})
    {
        Fields all = {{detail::AFM, taxNumber},     {detail::SurName, G(surname)}, {detail::TypeInc, "10"},
                      {detail::AkaInc, "1000"},     {detail::Kratiseis, "200"},    {detail::Kathares, "800"},
                      {detail::ForosParakr, "100"}, {detail::ForosAnal, "150"},    {detail::Hmeres, "300"}};
        for (auto& [k, v] : f) all[k] = v;
        std::string l(detail::RecordSize, ' ');
        l[0] = '3';
        for (auto& [k, v] : all) l.replace(static_cast<size_t>(detail::fields[k].offset), v.size(), v);
        return l;
    }

    std::string declaration(const std::string& name, const std::vector<std::string>& lines)
    {
        HeaderFields h;
        h.YearOfData = "2023";
        h.AFM = "123456783";
        h.CompanyName = G("ΑΛΦΑ ΑΕ");
        AtomicFileWriter w(dir / name);
        writeDeclarationFile(w, h, TotalsTexts{}, detailLinesOf(lines), "20240115");
        w.commit();
        return (dir / name).string();
    }

    // One line added, one removed, one changed.
    std::pair<std::string, std::string> pair()
    {
        return {
            declaration("old",
                        {line(afm("11111111"), "ΑΛΦΑ"), line(afm("22222222"), "ΒΗΤΑ"), line(afm("33333333"), "ΓΑΜΜΑ")}),
            declaration("new", {line(afm("11111111"), "ΑΛΦΑ"),
                                line(afm("22222222"), "ΒΗΤΑ", {{detail::AkaInc, "1200"}, {detail::Kathares, "1000"}}),
                                line(afm("44444444"), "ΔΕΛΤΑ \"Δ\"")})};
    }

    static std::string afm(const std::string& eight)
    {
        for (char d = '0'; d <= '9'; ++d)
            if (checkAFM(eight + d)) return eight + d;
        return eight + "0";
    }
};

TEST_F(CompareCliTest, ExitsAsDiffDoes)
{
    const auto [older, newer] = pair();
    CliRun same = cli({"compare", older, older});
    EXPECT_EQ(same.code, 0);
    EXPECT_EQ(same.err, "");
    EXPECT_EQ(same.out.rfind("Μόνο στην παλιά δήλωση: 0\nΜόνο στη νέα δήλωση: 0\nΜε αλλαγές: 0\n", 0), 0u) << same.out;

    CliRun differ = cli({"compare", older, newer});
    EXPECT_EQ(differ.code, 1);
    EXPECT_EQ(differ.err, "");
    EXPECT_NE(differ.out.find("Με αλλαγές: 1\n  γραμμή 2 (στην παλιά 2): ΑΦΜ " + afm("22222222") +
                              ", Είδος Αποδοχών 10, ΒΗΤΑ\n    Ακαθάριστες Αποδοχές: 1000 → 1200\n"),
              std::string::npos)
        << differ.out;

    writeFile(dir / "junk", "hello\r\n");
    const std::string junk = (dir / "junk").string(), none = (dir / "none").string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> unreadable = {
        {{"compare", junk, newer}, "edlt-cli: Μη έγκυρο αρχείο (" + junk + ")\n"},
        {{"compare", older, none, "--format=json"},
         "edlt-cli: Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου (" + none +
             ": Το αρχείο ή ο φάκελος δεν υπάρχει)\n"},
    };
    for (const auto& [args, err] : unreadable) {
        CliRun r = cli(args);
        EXPECT_EQ(r.code, 2) << args[2];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, err);
    }
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"compare", older}, {"compare", "-", "-"}, {"compare", older, newer, "--format", "xml"}}) {
        CliRun r = cli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.err.rfind("edlt-cli: ", 0), 0u) << r.err;
    }
}

TEST_F(CompareCliTest, JsonAndTsvForScripts)
{
    const auto [older, newer] = pair();
    CliRun r = cli({"compare", older, newer, "--format=json"});
    ASSERT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(python("[x['line'] for x in d['only_old']], d['only_old'][0]['fields']['SurName'],"
                     "[x['line'] for x in d['only_new']], d['only_new'][0]['fields']['SurName'],"
                     "d['only_new'][0]['fields']['AkaInc']"),
              "[3] ΓΑΜΜΑ [3] ΔΕΛΤΑ \"Δ\" 1000.00\n");
    EXPECT_EQ(
        python("[(c['old_line'], c['new_line'], c['AFM'], [(x['field'], x['old'], x['new']) for x in c['changes']])"
               " for c in d['changed']]"),
        "[(2, 2, '" + afm("22222222") + "', [('AkaInc', '1000.00', '1200.00'), ('Kathares', '800.00', '1000.00')])]\n");
    EXPECT_EQ(python("d['totals']['old']['gross_pay'], d['totals']['new']['gross_pay'], "
                     "d['totals']['difference']['gross_pay'], d['totals']['new']['lines'], "
                     "sorted(d['totals']['old'])"),
              "3000.00 3200.00 200.00 3 ['deductions', 'distinct_tax_numbers', 'gross_pay', 'lines', 'net_pay', "
              "'oga_stamp_duty', 'oga_tax_due', 'oga_tax_withheld', 'stamp_duty', 'tax_due', 'tax_withheld']\n");

    r = cli({"compare", older, newer, "--format", "tsv"});
    ASSERT_EQ(r.code, 1) << r.err;
    const std::vector<std::string> rows = split(r.out, '\n');
    ASSERT_EQ(rows.size(), 1u + 1 + 1 + 2 + 11);
    EXPECT_EQ(rows[0], "kind\told_line\tnew_line\tAFM\tTypeInc\tfield\told\tnew\tdifference");
    for (const std::string& row : rows) EXPECT_EQ(split(row + "\t.", '\t').size(), 10u) << row;
    EXPECT_EQ(rows[3], "changed\t2\t2\t" + afm("22222222") + "\t10\tAkaInc\t1000.00\t1200.00\t200.00");
    EXPECT_EQ(rows[5], "total\t\t\t\t\tgross_pay\t3000.00\t3200.00\t200.00");
}

TEST_F(CompareCliTest, CheckAndTotalsForScripts)
{
    const std::string file =
        declaration("decl", {line(afm("11111111"), "ΑΛΦΑ", {{detail::ForosParakr, "400"}, {detail::ForosAnal, "400"}}),
                             line("123456789", "ΒΗΤΑ"), line(afm("33333333"), "ΓΑΜΜΑ")});
    // Days the writer would refuse, put into the file as another program might.
    std::string bytes = readFile(file);
    bytes.replace(5 * 172 + static_cast<size_t>(detail::fields[detail::Hmeres].offset), 3, "1\t ");
    writeFile(file, bytes);
    CliRun r = cli({"check", file, "--format=json"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(python("[(f['line'], f['field'], f['kind']) for f in d['findings']], d['refused_lines'], "
                     "d['findings'][3]['message']"),
              "[(1, 'ForosParakr', 'question'), (1, 'ForosAnal', 'question'), (2, 'AFM', 'refusal'), "
              "(3, 'Hmeres', 'conversion')] 2 '1\t' is not a valid integer value\n");
    r = cli({"check", file, "--format=tsv"});
    EXPECT_EQ(r.code, 1);
    const std::vector<std::string> rows = split(r.out, '\n');
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], "line\tfield\tkind\tmessage");
    EXPECT_EQ(rows[4], "3\tHmeres\tconversion\t'1\\x09' is not a valid integer value");

    const std::string clean =
        declaration("clean", {line(afm("11111111"), "ΑΛΦΑ", {{detail::AkaInc, "1000,5"}, {detail::Kathares, "800,5"}}),
                              line(afm("11111111"), "ΑΛΦΑ", {{detail::TypeInc, "11"}})});
    r = cli({"totals", clean, "--format=json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(python("d"),
              "{'gross_pay': '2000.50', 'deductions': '400.00', 'net_pay': '1600.50', "
              "'tax_withheld': '200.00', 'stamp_duty': '0.00', 'oga_stamp_duty': '0.00', "
              "'tax_due': '300.00', 'oga_tax_withheld': '0.00', 'oga_tax_due': '0.00', 'lines': 2, "
              "'distinct_tax_numbers': 1}\n");
    r = cli({"totals", clean, "--format", "tsv"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "key\tvalue\ngross_pay\t2000.50\ndeductions\t400.00\nnet_pay\t1600.50\ntax_withheld\t200.00\n"
              "stamp_duty\t0.00\noga_stamp_duty\t0.00\ntax_due\t300.00\noga_tax_withheld\t0.00\n"
              "oga_tax_due\t0.00\nlines\t2\ndistinct_tax_numbers\t1\n");
    // The text stays as it was.
    r = cli({"totals", clean});
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "2 Εγγραφές-1 μοναδικοί ΑΦΜ");
    EXPECT_NE(r.out.find("\nEdit1=2000,5\n"), std::string::npos) << r.out;
}

TEST_F(CompareCliTest, ErrorLinesStartWithTheProgramAndNameTheirFile)
{
    writeFile(dir / "junk", "hello\r\n");
    const std::string junk = (dir / "junk").string();
    for (const char* command : {"check", "totals"}) {
        CliRun r = cli({command, junk, "--format=json"});
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "edlt-cli: Μη έγκυρο αρχείο (" + junk + ")\n");
    }
    CliRun usage = cli({"totals"});
    for (const std::string& l : split(usage.err, '\n')) EXPECT_EQ(l.rfind("edlt-cli: ", 0), 0u) << l;
    // check-afm's conversion error stays as scripts have read it.
    CliRun afmText = cli({"check-afm", "12345678A"});
    EXPECT_EQ(afmText.code, 2);
    EXPECT_EQ(afmText.err, "'12345678A' is not a valid integer value\n");
}

}  // namespace
