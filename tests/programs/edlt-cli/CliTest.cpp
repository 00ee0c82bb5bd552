// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built edlt-cli on real files, as a script would, and checks exit codes and
// what it prints byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

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

// A valid tax number from eight digits.
std::string afm(const std::string& eight)
{
    for (char d = '0'; d <= '9'; ++d)
        if (checkAFM(eight + d)) return eight + d;
    return eight + "0";
}

int currentYear()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_year + 1900;
}

std::string today()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char b[16];
    std::strftime(b, sizeof b, "%Y%m%d", &tm);
    return b;
}

using Fields = std::map<detail::Field, std::string>;

class CliTest : public CliRunner {
protected:
    // Standard input from the shell command feed; no file written may pass 512 bytes.
    CliRun piped(const std::string& feed, const std::vector<std::string>& args)
    {
        return run(args, "ulimit -f 1; " + feed + " | ", "");
    }

    // A workspace line of the detail layout; amounts in the boxes' decimal form.
    static std::string line(const std::string& taxNumber, const std::string& surname, Fields f = {})
    {
        Fields all = {{detail::AFM, taxNumber},     {detail::SurName, G(surname.c_str())},
                      {detail::TypeInc, "10"},      {detail::AkaInc, "1000"},
                      {detail::Kratiseis, "200"},   {detail::Kathares, "800"},
                      {detail::ForosParakr, "100"}, {detail::ForosAnal, "150"},
                      {detail::Hmeres, "300"}};
        for (auto& [k, v] : f) all[k] = v;
        std::string l(detail::RecordSize, ' ');
        l[0] = '3';
        for (auto& [k, v] : all) {
            std::string value = v;
            value.resize(static_cast<size_t>(detail::fields[k].width), ' ');
            l.replace(static_cast<size_t>(detail::fields[k].offset), value.size(), value);
        }
        return l;
    }

    static HeaderFields header(const std::string& year = "2023")
    {
        HeaderFields h;
        h.YearOfData = year;
        h.AFM = "123456783";
        h.CompanyName = G("ΑΛΦΑ ΑΕ");
        return h;
    }

    // A declaration file whose totals record holds nine ones, so a recomputation shows.
    fs::path declaration(const std::vector<std::string>& lines, const HeaderFields& h = header(),
                         const std::string& name = "decl")
    {
        fs::path p = dir / name;
        AtomicFileWriter w(p);
        TotalsTexts totals;
        totals.fill("1");
        writeDeclarationFile(w, h, totals, detailLinesOf(lines), "20240115");
        w.commit();
        return p;
    }

    // Puts raw text into a field of detail line n (0-based) of a written file, for what
    // the writer itself would refuse.
    static void patch(const fs::path& p, size_t n, detail::Field field, const std::string& text)
    {
        std::string all = readFile(p);
        all.replace((3 + n) * 172 + static_cast<size_t>(detail::fields[field].offset), text.size(), text);
        writeFile(p, all);
    }

    // The detail records of a declaration file, in order.
    static std::vector<std::string> records(const fs::path& p)
    {
        std::string all = readFile(p);
        std::vector<std::string> out;
        for (size_t at = 0; at + 172 <= all.size(); at += 172) out.push_back(all.substr(at, 170));
        return out;
    }
};

TEST_F(CliTest, CommandLineErrorsExitTwoWithUsage)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"nosuch"},
             {"new", "f", "--afm", "123456783", "--company", "X"},
             {"new", "f", "--year", "2023", "--afm", "123456783", "--company", "X", "--colour", "red"},
             {"new", "f", "--year", "2023", "--afm", "123456783", "--company"},
             {"check"},
             {"check", "a", "b"},
             {"totals"},
             {"sort", "f"},
             {"sort", "f", "--by", "date"},
         }) {
        CliRun r = cli(args);
        EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
    CliRun help = cli({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* command : {"check-afm", "new", "check", "totals", "sort", "zip"})
        EXPECT_NE(help.out.find(std::string("edlt-cli ") + command + " "), std::string::npos) << command;
}

TEST_F(CliTest, NewWritesTheDeclarationOfABusinessAndOfAPerson)
{
    CliRun r = cli({"new",        (dir / "a").string(),
                    "--year",     "2023",
                    "--afm",      "123456783",
                    "--company",  "ΑΛΦΑ ΑΕ",
                    "--name",     "ΚΡΥΦΟ",
                    "--activity", "ΕΜΠΟΡΙΟ",
                    "--town",     "ΑΘΗΝΑ",
                    "--street",   "ΣΤΑΔΙΟΥ",
                    "--number",   "12Α",
                    "--tk",       "10562"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    std::string declarant = "12023" + G("ΑΛΦΑ ΑΕ") + std::string(11 + 12, ' ') + "0123456783" + G("ΕΜΠΟΡΙΟ") +
                            std::string(9, ' ') + G("ΑΘΗΝΑ") + "     " + G("ΣΤΑΔΙΟΥ") + std::string(9, ' ') + G("12Α") +
                            "  10562" + std::string(73, ' ');
    EXPECT_EQ(readFile(dir / "a"), "0JL10    " + today() + "2023" + std::string(149, ' ') + "\r\n" + declarant +
                                       "\r\n2" + std::string(124, '0') + std::string(45, ' ') + "\r\n");

    r = cli({"new", (dir / "p").string(), "--year", std::to_string(currentYear()), "--afm", "123456783", "--company",
             "ΠΑΠΑΣ", "--person", "--name", "ΓΙΩΡΓΟΣ", "--father", "ΝΙΚ"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readFile(dir / "p").substr(172, 45), "1" + std::to_string(currentYear()) + G("ΠΑΠΑΣ") +
                                                       std::string(13, ' ') + G("ΓΙΩΡΓΟΣ") + "  " + G("ΝΙΚ") +
                                                       "1123456783");
}

TEST_F(CliTest, NewRefusedByTheSaveChecksWritesNothing)
{
    const std::string next = std::to_string(currentYear() + 1);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--year", "1899", "--afm", "123456783", "--company", "Α"},
         "Γράψτε το έτος που αφορούν τα στοιχεία, με τέσσερα ψηφία\n"},
        {{"--year", next, "--afm", "123456783", "--company", "Α"},
         "Γράψτε το έτος που αφορούν τα στοιχεία, με τέσσερα ψηφία\n"},
        {{"--year", "", "--afm", "123456783", "--company", "Α"},
         "Γράψτε το έτος που αφορούν τα στοιχεία, με τέσσερα ψηφία\n"},
        {{"--year", "20x3", "--afm", "123456783", "--company", "Α"}, "'20x3' is not a valid integer value\n"},
        {{"--year", "2023", "--afm", "123456783", "--company", ""}, "Γράψτε την Επωνυμία της επιχείρησης\n"},
        {{"--year", "2023", "--afm", "123456783", "--company", "", "--person"},
         "Γράψτε το Ονοματεπώνυμο του υπόχρεου\n"},
        {{"--year", "2023", "--afm", "123456789", "--company", "Α"}, "Έχετε δώσει λανθασμένο ΑΦΜ Υπόχρεου\n"},
        {{"--year", "2023", "--afm", "", "--company", "Α"}, "Έχετε δώσει λανθασμένο ΑΦΜ Υπόχρεου\n"},
    };
    for (const auto& [options, message] : cases) {
        std::vector<std::string> args = {"new", (dir / "x").string()};
        args.insert(args.end(), options.begin(), options.end());
        CliRun r = cli(args);
        EXPECT_EQ(r.code, 1) << message;
        EXPECT_EQ(r.err, "edlt-cli: " + message);
        EXPECT_FALSE(fs::exists(dir / "x"));
    }
}

TEST_F(CliTest, NewRefusesValuesTheHeaderCannotHold)
{
    for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
             {"--company", "ΑΛΦΑ ΒΗΤΑ ΓΑΜΜΑ ΔΕΛΤΑ"},  // 21 characters for 18
             {"--company", "ΑΛΦΑ 中"},
             {"--tk", "1O562"},
             {"--father", "ΝΙΚΟ"},
         }) {
        CliRun r =
            cli({"new", (dir / "x").string(), "--year", "2023", "--afm", "123456783", "--company", "Α", option, value});
        EXPECT_EQ(r.code, 2) << option << " " << value;
        EXPECT_NE(r.err.find(option), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir / "x"));
    }
}

TEST_F(CliTest, CheckReportsEveryFindingInOrder)
{
    const std::string a = afm("11111111"), b = afm("22222222");
    fs::path p = declaration(
        {
            line(a, "ΑΛΦΑ", {{detail::ForosParakr, "400"}, {detail::ForosAnal, "400"}}),  // question only
            line("123456789", "ΒΗΤΑ"),                                                    // refused
            line(b, "ΓΑΜΜΑ"),                                                             // days patched below
            line(a, "ΑΛΦΑ"), line(a, "ΑΛΦΑ", {{detail::Kathares, "700"}}),  // refused, and a duplicate too
            line(a, "ΑΛΦΑ", {{detail::TypeInc, "11"}}),                     // same tax number, other type: fine
        },
        header("1899"));
    patch(p, 2, detail::Hmeres, "1x ");
    CliRun r = cli({"check", p.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "1: Ο Φόρος που Παρακρατήθηκε είναι μεγαλύτερος του 40% των Καθαρών Αποδοχών. Είστε βέβαιος ότι θέλετε "
              "να συνεχίσετε με την αποθήκευση;\n"
              "1: Ο Φόρος που Αναλογεί είναι μεγαλύτερος του 40% των Καθαρών Αποδοχών. Είστε βέβαιος ότι θέλετε να "
              "συνεχίσετε με την αποθήκευση;\n"
              "2: Έχετε συμπληρώσει μη αποδεκτό ΑΦΜ στην εγγραφή αναλυτικών αμοιβών\n"
              "3: '1x' is not a valid integer value\n"
              "5: Οι Καθαρές αποδοχές δε συμφωνούν με τα υπόλοιπα ποσά που έχετε δηλώσει.Ελέγξτε τα ποσά των "
              "διάφορων κρατήσεων καθώς και τις Ακαθάριστες αποδοχές\n"
              "0: Γράψτε το έτος που αφορούν τα στοιχεία, με τέσσερα ψηφία\n"
              "4: Ο ΑΦΜ: " +
                  a +
                  " έχει εισαχθεί 2 φορές στις αναλυτικές αμοιβές με τον ίδιο κωδικό Είδους Αποδοχών\n"
                  "5: Ο ΑΦΜ: " +
                  a +
                  " έχει εισαχθεί 2 φορές στις αναλυτικές αμοιβές με τον ίδιο κωδικό Είδους Αποδοχών\n"
                  "5: Ο ΑΦΜ: " +
                  a + " έχει εισαχθεί 2 φορές στις αναλυτικές αμοιβές με τον ίδιο κωδικό Είδους Αποδοχών\n");
}

TEST_F(CliTest, CheckPassesWhenOnlyQuestionsWereAsked)
{
    HeaderFields h = header("2023");
    CliRun clean = cli({"check", declaration({line(afm("11111111"), "ΑΛΦΑ")}, h).string()});
    EXPECT_EQ(clean.code, 0);
    EXPECT_EQ(clean.out + clean.err, "");

    // A line with the declarant's own tax number is asked about, answered yes.
    CliRun asked = cli({"check", declaration({line("123456783", "ΑΛΦΑ")}, h).string()});
    EXPECT_EQ(asked.code, 0);
    EXPECT_EQ(asked.out,
              "1: Ο ΑΦΜ: που εισάγατε είναι ίδιος με τον ΑΦΜ υπόχρεου. Είστε σίγουρος ότι αυτό είναι σωστό;\n");
}

TEST_F(CliTest, CheckReportsEachDeclarantProblemOnLineZero)
{
    HeaderFields h = header("abc");
    h.CompanyName.clear();
    h.business = false;
    h.AFM = "12A";
    CliRun r = cli({"check", declaration({}, h).string()});
    EXPECT_EQ(r.code, 1);
    // The year and the tax number come from the file as they stand, blanks included.
    EXPECT_EQ(r.out,
              "0: 'abc ' is not a valid integer value\n0: Γράψτε το Ονοματεπώνυμο του υπόχρεου\n"
              "0: '12A      ' is not a valid integer value\n");
}

TEST_F(CliTest, UnreadableFilesExitTwoWithTheOpenMessage)
{
    writeFile(dir / "junk", "hello\r\n");
    for (const char* command : {"check", "totals", "sort"}) {
        std::vector<std::string> args = {command, (dir / "junk").string()};
        if (std::string(command) == "sort") args.insert(args.end(), {"--by", "afm"});
        CliRun r = cli(args);
        EXPECT_EQ(r.code, 2) << command;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "edlt-cli: Μη έγκυρο αρχείο (" + (dir / "junk").string() + ")\n");
        EXPECT_EQ(readFile(dir / "junk"), "hello\r\n");
    }
    CliRun missing = cli({"totals", (dir / "none").string()});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.err, "edlt-cli: Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου (" + (dir / "none").string() +
                               ": Το αρχείο ή ο φάκελος δεν υπάρχει)\n");
}

TEST_F(CliTest, AmountsThatAreNotNumbersAreNamedByLine)
{
    fs::path p =
        declaration({line(afm("11111111"), "ΑΛΦΑ"), line(afm("22222222"), "ΒΗΤΑ"), line(afm("33333333"), "ΓΑΜΜΑ")});
    patch(p, 1, detail::AkaInc, "00001x0000");
    patch(p, 2, detail::AkaInc, "00002x0000");
    const std::string file = readFile(p);
    const std::string first = "Γραμμή 2: '00001x0000' is not a valid floating point value";
    for (std::vector<std::string> args :
         {std::vector<std::string>{"totals", p.string()}, {"sort", p.string(), "--by", "afm"}}) {
        CliRun r = cli(args);
        EXPECT_EQ(r.code, 2) << args[0];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "edlt-cli: " + first + " (και άλλη 1 γραμμή) (" + p.string() + ")\n");
        EXPECT_EQ(readFile(p), file);
    }
    // The check names every such line and goes on with the others.
    CliRun r = cli({"check", p.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "edlt-cli: " + first + " (και άλλη 1 γραμμή) (" + p.string() + ")\n");
    EXPECT_EQ(r.out,
              "2: '00001x0000' is not a valid floating point value\n"
              "3: '00002x0000' is not a valid floating point value\n");
}

TEST_F(CliTest, TotalsAreRecomputedFromTheLines)
{
    const std::string a = afm("11111111"), b = afm("22222222");
    fs::path p = declaration({
        line(a, "ΑΛΦΑ", {{detail::AkaInc, "1000,5"}, {detail::Kathares, "800,5"}, {detail::Xartosimo, "0,25"}}),
        line(a, "ΑΛΦΑ", {{detail::TypeInc, "11"}, {detail::Xartosimo, "0,25"}}),
        line(b, "ΒΗΤΑ", {{detail::TypeInc, "15"}, {detail::AkaInc, "99999"}}),
    });
    CliRun r = cli({"totals", p.string()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "3 Εγγραφές-2 μοναδικοί ΑΦΜ\nEdit1=2000,5\nEdit2=400\nEdit3=1600,5\nEdit4=200\n"
              "Edit5=0,5\nEdit6=0\nEdit7=300\nEdit8=0\nEdit9=0\n");
}

TEST_F(CliTest, SortWritesTheLinesInOrderWithFreshTotals)
{
    const std::string a = afm("11111111"), b = afm("22222222"), c = afm("33333333");
    const std::vector<std::string> lines = {line(c, "ΑΛΦΑ"), line(a, "ΓΑΜΜΑ"), line(b, "ΒΗΤΑ")};
    fs::path p = declaration(lines);
    const std::string original = readFile(p);

    CliRun r = cli({"sort", p.string(), "--by", "name", "--out", (dir / "byname").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(readFile(p), original);
    std::vector<std::string> sorted = records(dir / "byname");
    ASSERT_EQ(sorted.size(), 6u);
    auto z = [](const std::string& digits, size_t width) { return std::string(width - digits.size(), '0') + digits; };
    EXPECT_EQ(sorted[2].substr(0, 125), "2" + z("300000", 15) + z("60000", 15) + z("240000", 15) + z("30000", 14) +
                                            z("0", 13) + z("0", 12) + z("45000", 14) + z("0", 13) + z("0", 13));
    EXPECT_EQ(sorted[3].substr(1, 9), c);
    EXPECT_EQ(sorted[4].substr(1, 9), b);
    EXPECT_EQ(sorted[5].substr(1, 9), a);

    r = cli({"sort", p.string(), "--by", "afm"});
    ASSERT_EQ(r.code, 0) << r.err;
    sorted = records(p);
    ASSERT_EQ(sorted.size(), 6u);
    EXPECT_EQ(sorted[3], workspaceToFileLine(lines[1]));
    EXPECT_EQ(sorted[4], workspaceToFileLine(lines[2]));
    EXPECT_EQ(sorted[5], workspaceToFileLine(lines[0]));
}

TEST_F(CliTest, SortThatCannotWriteLeavesTheFileAlone)
{
    // Days that are not a number cannot be written in the file's numeric field.
    fs::path p = declaration({line(afm("22222222"), "Β"), line(afm("11111111"), "Α")});
    patch(p, 0, detail::Hmeres, "1x ");
    const std::string original = readFile(p);
    CliRun r = cli({"sort", p.string(), "--by", "afm"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err, "");
    EXPECT_EQ(readFile(p), original);
}

// A regular file is sorted without the store: the same bytes as the whole Open (which reads
// standard input) gives, equal keys included, written to --out or in place.
TEST_F(CliTest, SortedFileIsTheOneOpenGives)
{
    std::mt19937 rng(29);
    const std::vector<std::string> taxNumbers = {afm("33333333"), afm("11111111"), afm("22222222")};
    const std::vector<std::string> surnames = {"Β", "Α", "ΑΒ", "Α"};
    auto pick = [&](const auto& from) { return from[rng() % from.size()]; };
    for (const size_t count : {size_t{1}, size_t{2}, size_t{7}, size_t{60}, size_t{400}}) {
        std::vector<std::string> lines;
        for (size_t i = 0; i < count; ++i)
            lines.push_back(line(pick(taxNumbers), pick(surnames),
                                 {{detail::TypeInc, pick(std::vector<std::string>{"10", "11"})},
                                  {detail::AkaInc, pick(std::vector<std::string>{"1000", "30", "7"})}}));
        const fs::path p = declaration(lines);
        for (const char* by : {"name", "afm"}) {
            const CliRun opened = cli({"sort", "-", "--by", by}, p);
            ASSERT_EQ(opened.code, 0) << opened.err;
            const CliRun toOut = cli({"sort", p.string(), "--by", by, "--out", (dir / "sorted").string()});
            EXPECT_EQ(toOut.code, 0) << toOut.err;
            EXPECT_EQ(toOut.err, "");
            EXPECT_EQ(readFile(dir / "sorted"), opened.out) << count << " " << by;
            fs::copy_file(p, dir / "inplace", fs::copy_options::overwrite_existing);
            EXPECT_EQ(cli({"sort", (dir / "inplace").string(), "--by", by}).code, 0);
            EXPECT_EQ(readFile(dir / "inplace"), opened.out) << count << " " << by;
        }
    }
}

}  // namespace

TEST_F(CliTest, ConventionsOfTheCommandLine)
{
    fs::path file = declaration({line(afm("22222222"), "B"), line(afm("11111111"), "A")});
    const std::string original = readFile(file);
    CliRun help = cli({"--help"}), sortHelp = cli({"sort", "--help"}), version = cli({"--version"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("edlt-cli zip FILE [--out ARCHIVE] [--answer yes|no]"), std::string::npos);
    EXPECT_EQ(sortHelp.code, 0);
    EXPECT_EQ(sortHelp.out.rfind("Χρήση:\n  edlt-cli sort FILE", 0), 0u) << sortHelp.out;
    EXPECT_EQ(version.out, "edlt-cli 1.1.0.2\n");

    // Standard input to standard output, then the same with --opt=value and "--".
    CliRun piped = cli({"sort", "-", "--by", "afm"}, file);
    EXPECT_EQ(piped.code, 0) << piped.err;
    EXPECT_EQ(records(dir / "out")[3].substr(1, 9), afm("11111111"));
    const std::string sorted = piped.out;
    EXPECT_EQ(cli({"sort", "--by=afm", "--out=" + (dir / "copy").string(), "--", file.string()}).code, 0);
    EXPECT_EQ(readFile(dir / "copy"), sorted);
    EXPECT_EQ(readFile(file), original);

    // Names standard streams cannot stand for, and inputs that are not regular files.
    EXPECT_EQ(cli({"report", "first-page", file.string(), "--out", "-"}).code, 2);
    EXPECT_EQ(cli({"zip", "-"}).code, 2);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (std::vector<std::string> args : {std::vector<std::string>{"check", (dir / "fifo").string()},
                                          {"zip", (dir / "fifo").string()},
                                          {"import", file.string(), (dir / "fifo").string()}}) {
        CliRun r = cli(args);
        EXPECT_EQ(r.code, 2) << args[0];
        EXPECT_NE(r.err.find((dir / "fifo").string()), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Δεν είναι κανονικό αρχείο"), std::string::npos) << r.err;
    }
    EXPECT_EQ(readFile(file), original);

    // A file's control bytes never reach the terminal raw.
    patch(file, 0, detail::Hmeres, "\x1b[2");
    CliRun checked = cli({"check", file.string()});
    EXPECT_EQ(checked.out, "1: '\\x1B[2' is not a valid integer value\n");
    EXPECT_EQ(checked.out.find('\x1b'), std::string::npos);
}

TEST_F(CliTest, NewKeepsAnExistingFileUnlessAnsweredYes)
{
    fs::path file = declaration({line(afm("11111111"), "A")});
    const std::string original = readFile(file);
    std::vector<std::string> args = {"new", file.string(), "--year", "2023", "--afm", "123456783", "--company", "X"};
    CliRun kept = cli(args);
    EXPECT_EQ(kept.code, 1);
    EXPECT_EQ(kept.err, "edlt-cli: Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο decl;\n");
    EXPECT_EQ(readFile(file), original);
    args.push_back("--answer=yes");
    EXPECT_EQ(cli(args).code, 0);
    EXPECT_EQ(records(file).size(), 3u);
}

// Every command that writes a file meets the same destinations the same way.
TEST_F(CliTest, DestinationsOfEveryWritingCommand)
{
    const fs::path source = declaration({line(afm("11111111"), "A")}, header(), "source");
    writeFile(dir / "sheet.csv", afm("33333333") + ";PAPAS;;;;;;;10;1000;0;0;100;900;0;0;;5;0;0\r\n");
    struct Destination {
        const char* name;
        std::function<void(const fs::path&)> make;  // from a regular file "old"
        bool written;
        const char* cause = "";
    };
    const std::vector<Destination> destinations = {
        {"symbolic link", [](const fs::path& t) { fs::create_symlink("old", t); }, true},
        {"read-only",
         [](const fs::path& t) {
             fs::copy_file(t.parent_path() / "old", t);
             fs::permissions(t, fs::perms(0444));
         },
         false},
        {"hard link", [](const fs::path& t) { fs::create_hard_link(t.parent_path() / "old", t); }, false},
        {"folder", [](const fs::path& t) { fs::create_directory(t); }, false},
        {"pipe", [](const fs::path& t) { ::mkfifo(t.c_str(), 0600); }, false},
        // Refused before any lock is taken: it would wait for the input's own lock.
        {"hard link of the input", [&](const fs::path& t) { fs::create_hard_link(source, t); }, false, "(σκληρ"},
    };
    const std::string sourceBytes = readFile(source);
    const std::vector<std::pair<const char*, std::vector<std::string>>> commands = {
        {"sort", {"sort", source.string(), "--by", "afm", "--out"}},
        {"import", {"import", source.string(), (dir / "sheet.csv").string(), "--answer", "yes", "--out"}},
        {"zip", {"zip", source.string(), "--answer", "yes", "--out"}},
        {"report", {"report", "detail", source.string(), "--out"}},
    };
    for (const auto& [command, args] : commands) {
        for (const Destination& d : destinations) {
            fs::create_directories(dir / "d");
            writeFile(dir / "d" / "old", "old");
            const fs::path target = dir / "d" / (std::string(command) == "zip" ? "t.zip" : "t");
            d.make(target);
            std::vector<std::string> full = args;
            full.push_back(target.string());
            CliRun r = cli(full);
            EXPECT_EQ(r.code, d.written ? 0 : 2) << command << ", " << d.name << ": " << r.err;
            EXPECT_EQ(readFile(dir / "d" / "old") != "old", d.written) << command << ", " << d.name;
            if (d.written) {
                EXPECT_TRUE(fs::is_symlink(target));
            } else {
                EXPECT_NE(r.err.find(target.string()), std::string::npos) << r.err;
                EXPECT_NE(r.err.find(d.cause), std::string::npos) << r.err;
            }
            EXPECT_EQ(readFile(source), sourceBytes);
            fs::remove_all(dir / "d");
        }
    }
}

// Two imports into one file at once: the second waits for the first and adds to its result.
TEST_F(CliTest, ConcurrentImportsLoseNoRows)
{
    fs::path file = declaration({line(afm("11111111"), "A")});
    std::string command;
    for (const char* n : {"3333", "4444"}) {
        std::string sheet;
        for (int i = 1000; i < 3000; ++i)
            sheet += afm(n + std::to_string(i)) + ";PAPAS;;;;;;;10;1000;0;0;100;900;0;0;;5;0;0\r\n";
        writeFile(dir / (std::string(n) + ".csv"), sheet);
        command += quoted(EDLT_CLI_PATH) + " import " + quoted(file.string()) + " " +
                   quoted((dir / (std::string(n) + ".csv")).string()) + " --answer yes >/dev/null 2>&1 & ";
    }
    command += "a=0; for j in $(jobs -p); do wait $j || a=1; done; exit $a";
    EXPECT_EQ(std::system(("bash -c " + ::quoted(command)).c_str()), 0);
    EXPECT_EQ(records(file).size(), 3u + 4001u);
}

// Standard input that cannot be a declaration is refused as it comes, by every command
// reading it: nothing of it is kept (the piped runs can write no file past 512 bytes).
TEST_F(CliTest, EndlessStandardInputEndsAtTheFirstLineLongerThanARecord)
{
    const fs::path file = declaration({line(afm("11111111"), "A")});
    writeFile(dir / "sheet.csv", afm("33333333") + ";PAPAS;;;;;;;10;1000;0;0;100;900;0;0;;5;0;0\r\n");
    const std::vector<std::string> feeds = {
        "cat /dev/zero",
        "tr '\\0' a </dev/zero",                                                  // one line without end
        "{ head -c 344 " + quoted(file.string()) + "; tr '\\0' a </dev/zero; }",  // after two sound records
    };
    const std::vector<std::vector<std::string>> commands = {
        {"check", "-"},
        {"totals", "-"},
        {"sort", "-", "--by", "afm"},
        {"import", "-", (dir / "sheet.csv").string(), "--out", (dir / "imported").string()},
        {"report", "detail", "-", "--out", (dir / "page").string()},
    };
    for (const std::string& feed : feeds) {
        for (const auto& args : commands) {
            CliRun r = piped(feed, args);
            EXPECT_EQ(r.code, 2) << feed << " | " << args[0];
            EXPECT_EQ(r.err,
                      "edlt-cli: Παρουσιάστηκε πρόβλημα κατά το άνοιγμα του αρχείου. Το μήκος της γραμμής "
                      "είναι λανθασμένο (-)\n")
                << feed << " | " << args[0];
            EXPECT_EQ(r.out, "");
        }
    }
    EXPECT_FALSE(fs::exists(dir / "imported"));
    EXPECT_FALSE(fs::exists(dir / "page"));
}

// Another program appends to the file all the while, taking no lock: a command that would
// write the file back writes nothing, and every appended line stays.
TEST_F(CliTest, WritingBackRefusesAFileChangedSinceItWasRead)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 20000; ++i) lines.push_back(line(afm(std::to_string(20000000 - i)), "ΑΛΦΑ"));
    // Each appended line has a tax number of its own: the import's save checks pass.
    const std::string rest = workspaceToFileLine(line("", "OMEGA")).substr(10) + "\r\n";
    writeFile(dir / "sheet.csv", afm("33333333") + ";PAPAS;;;;;;;10;1000;0;0;100;900;0;0;;5;0;0\r\n");
    for (const char* command : {"sort", "import"}) {
        const fs::path p = declaration(lines);
        const std::string original = readFile(p);
        const std::string appender = "i=0; while [ ! -e stop ]; do i=$((i+1)); printf '3%09d%s' $i " + quoted(rest) +
                                     " >>" + quoted(p.string()) + "; done; touch stopped";
        ASSERT_EQ(
            std::system(("cd " + quoted(dir.path().string()) + " && (" + appender + ") >/dev/null 2>&1 &").c_str()), 0);
        while (fs::file_size(p) == original.size()) std::this_thread::yield();

        CliRun r = std::string(command) == "sort"
                       ? cli({"sort", p.string(), "--by", "afm"})
                       : cli({"import", p.string(), (dir / "sheet.csv").string(), "--answer", "yes"});
        writeFile(dir / "stop", "");
        while (!fs::exists(dir / "stopped")) std::this_thread::yield();
        fs::remove(dir / "stop");
        fs::remove(dir / "stopped");

        EXPECT_EQ(r.code, 2) << command;
        EXPECT_EQ(r.err, "edlt-cli: Δεν ήταν δυνατή η εγγραφή του αρχείου " + p.string() +
                             ". Άλλο πρόγραμμα το άλλαξε μετά την ανάγνωσή του και οι αλλαγές του θα χάνονταν\n")
            << command;
        const std::string now = readFile(p);
        ASSERT_EQ(now.compare(0, original.size(), original), 0) << command;
        ASSERT_EQ((now.size() - original.size()) % 172, 0u) << command;
        for (size_t at = original.size(); at < now.size(); at += 172)
            ASSERT_EQ(now.compare(at + 10, rest.size(), rest), 0) << command << " at " << at;
    }
}

TEST_F(CliTest, ForbiddenBytesAreFindingsAndSortKeepsEveryByte)
{
    const std::vector<std::pair<std::string, std::string>> surnames = {
        // the bytes, and as shown
        {std::string("A\0B", 3), "\\x00"},
        {"A\tB", "\\x09"},
        {"A\x7F", "\\x7F"},
        {"A\x1B[2J", "\\x1B"},
        {"A\xFF", "\\xFF"},
    };
    std::vector<std::string> lines;
    std::string findings;
    for (const auto& [bytes, shown] : surnames) {
        // Falling tax numbers: sorting reverses the lines.
        lines.push_back(line(afm(std::to_string(90000000 - lines.size())), "", {{detail::SurName, bytes}}));
        findings += std::to_string(lines.size()) + ": Το πεδίο «Επώνυμο» περιέχει τον χαρακτήρα " + shown +
                    ", που δεν επιτρέπεται στη δήλωση\n";
    }
    const fs::path p = declaration(lines);
    CliRun checked = cli({"check", p.string()});
    EXPECT_EQ(checked.code, 1);
    EXPECT_EQ(checked.out, findings);

    std::vector<std::string> expected = records(p);
    std::reverse(expected.begin() + 3, expected.end());
    ASSERT_EQ(cli({"sort", p.string(), "--by", "afm"}).code, 0);
    const std::vector<std::string> sorted = records(p);
    ASSERT_EQ(sorted.size(), expected.size());
    for (size_t i = 3; i < sorted.size(); ++i) EXPECT_EQ(sorted[i], expected[i]) << i;
}

TEST_F(CliTest, ImportSaysWhereAndWhy)
{
    const std::string generic =
        "Υπήρξε πρόβλημα κατά το άνοιγμα του αρχείου. Βεβαιωθείτε ότι έχετε εγκατεστημένο Excel στον υπολογιστή σας "
        "και/ή το αρχείο που προσπαθείτε να ανοίξετε είναι αρχείο Excel.";
    // A row the line check refuses when it is stored: after the messages, the sheet's row.
    const fs::path decl = declaration({});
    const std::string refused = afm("44444444");
    writeFile(dir / "sheet.csv", afm("33333333") + ";PAPAS;;;;;;;10;1000;0;0;100;900;0;0;;5;0;0\r\n" + refused +
                                     ";PAPAS;;;;;;;10;1000;0;0;100;900;0;0;;400;0;0\r\n");
    CliRun r = cli({"import", decl.string(), (dir / "sheet.csv").string()});
    EXPECT_EQ(r.code, 1);
    const std::string named = " (" + (dir / "sheet.csv").string() + ")\n";
    EXPECT_EQ(r.err,
              "edlt-cli: Οι ημέρες απασχόλησης πρέπει να είναι <= 365. Διορθώστε το για να προχωρήσει η "
              "αποθήκευση." +
                  named + "edlt-cli: Παρουσιάστηκαν σφάλματα κατά την εισαγωγή των στοιχείων. Η εισαγωγή διακόπηκε" +
                  named + "edlt-cli: Γραμμή 2 του φύλλου, ΑΦΜ " + refused + "\n");

    // A workbook that cannot be read: the message, then its cause on a line of its own.
    const fs::path causes = fs::path(EDLT_TEST_DATA) / "sheets" / "causes";
    r = cli({"import", decl.string(), (causes / "protected.xlsx").string()});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "edlt-cli: " + generic + " (" + (causes / "protected.xlsx").string() +
                         ")\nedlt-cli: Το αρχείο προστατεύεται με κωδικό.\n");

    // A hidden first sheet: the visible one unless answered yes.
    for (const char* answer : {"no", "yes"}) {
        r = cli({"import", decl.string(), (causes / "hidden-first.ods").string(), "--out", (dir / "out.txt").string(),
                 "--answer", answer});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "edlt-cli: Το πρώτο φύλλο «2023» είναι κρυφό. Να εισαχθούν τα στοιχεία του;\n");
        const std::vector<std::string> lines = records(dir / "out.txt");
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(lines[3].substr(1, 9), std::string(answer) == "yes" ? "012345670" : "111111114");
    }
}

TEST_F(CliTest, ExportWritesTheLinesInOrderAndKeepsAnExistingSheet)
{
    const fs::path decl =
        declaration({line(afm("01234567"), "ΑΛΦΑ", {{detail::TK, "01234"}}), line(afm("22222222"), "ΒΗΤΑ")});
    const std::string sheet = (dir / "lines.csv").string();
    CliRun r = cli({"export", decl.string(), "--out", sheet});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string first = "\xEF\xBB\xBF\"" + afm("01234567") +
                              "\";\"ΑΛΦΑ\";\"\";\"\";\"\";\"\";\"\";\"01234\";\"10\";"
                              "1000,00;";
    EXPECT_EQ(readFile(sheet).substr(0, first.size()), first);
    EXPECT_NE(readFile(sheet).find("\r\n\"" + afm("22222222") + "\";\"ΒΗΤΑ\""), std::string::npos);

    // An existing sheet is replaced only when answered yes; the question is the window's.
    writeFile(sheet, "old");
    r = cli({"export", decl.string(), "--out", sheet, "--headings"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "edlt-cli: Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο lines.csv;\n");
    EXPECT_EQ(readFile(sheet), "old");
    r = cli({"export", decl.string(), "--out=" + sheet, "--headings", "--answer", "yes"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readFile(sheet).substr(0, 11), "\xEF\xBB\xBF\"ΑΦΜ\"");

    for (const std::vector<std::string>& args : {std::vector<std::string>{"export", decl.string()},
                                                 {"export", decl.string(), "--out", "x.txt"},
                                                 {"export", decl.string(), "--out", "-"}})
        EXPECT_EQ(cli(args).code, 2) << ::testing::PrintToString(args);
    r = cli({"export", decl.string(), "--out", (dir / "none" / "x.xlsx").string()});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("edlt-cli: Δεν ήταν δυνατή η εξαγωγή των γραμμών σε λογιστικό φύλλο (" +
                              (dir / "none" / "x.xlsx").string() + ": ",
                          0),
              0u)
        << r.err;
    EXPECT_EQ(cli({"export", "--help"}).out.rfind("Χρήση:\n  edlt-cli export FILE --out SHEET", 0), 0u);
}
