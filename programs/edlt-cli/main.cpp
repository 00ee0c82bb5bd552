// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstring>
#include <exception>
#include <iostream>
#include <map>

#include "EdltVersion.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/ZipCommand.h"

namespace edlt::cli {

namespace {
bool failureShown = false;
}

std::string escapeControls(const std::string& text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        // A file's bytes must never drive the terminal (escape sequences, bells, returns).
        if (b < 0x20 || b == 0x7F) {
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 15];
        } else {
            out += c;
        }
    }
    return out;
}

void printOut(const std::string& cp1253Text)
{
    std::cout << cp1253::toUtf8(escapeControls(cp1253Text)) << '\n';
}
void printErr(const std::string& cp1253Text)
{
    // Whatever else is on standard error, a script can tell the program's own lines.
    std::cerr << "edlt-cli: " << cp1253::toUtf8(escapeControls(cp1253Text)) << '\n';
}

void noteFailure()
{
    failureShown = true;
}

void printFailure(const std::string& cp1253Text)
{
    noteFailure();
    printErr(cp1253Text);
}

bool failurePrinted()
{
    return failureShown;
}

int usageError(const std::string& utf8Text)
{
    std::cerr << "edlt-cli: " << utf8Text << "\nedlt-cli: δείτε edlt-cli --help\n";
    return ExitUnreadable;
}

bool argToCp1253(const std::string& utf8, std::string& out)
{
    auto r = cp1253::fromUtf8(utf8);
    if (!r) return false;
    out = *r;
    return true;
}

std::filesystem::path executableFolder()
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec);
    return self.parent_path();
}

std::optional<std::string> ParsedArgs::value(const std::string& option) const
{
    auto it = values.find(option);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

std::optional<std::string> parseArgs(const Args& args, const std::set<std::string>& valueOptions,
                                     const std::set<std::string>& flagOptions, ParsedArgs& out)
{
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            out.positional.push_back(a);  // "-" alone is standard input or output
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = a.substr(eq + 1);
            a.resize(eq);
        }
        if (valueOptions.count(a)) {
            if (out.values.count(a)) return "η επιλογή " + a + " δόθηκε δύο φορές";
            if (!inlineValue && i + 1 >= args.size()) return "η επιλογή " + a + " θέλει μια τιμή";
            out.values[a] = inlineValue ? *inlineValue : args[++i];
        } else if (flagOptions.count(a) && !inlineValue) {
            if (out.flags.count(a)) return "η επιλογή " + a + " δόθηκε δύο φορές";
            out.flags.insert(a);
        } else {
            return "άγνωστη επιλογή «" + args[i] + "»";
        }
    }
    return std::nullopt;
}

}  // namespace edlt::cli

namespace {

struct CommandHelp {
    const char* name;
    const char* text;
};

const CommandHelp commandHelp[] = {
    {"check-afm",
     "  edlt-cli check-afm TEXT\n"
     "      Ελέγχει αν το TEXT είναι έγκυρος ΑΦΜ (έξοδος 0 έγκυρος, 1 μη έγκυρος,\n"
     "      2 το TEXT δεν είναι αριθμός).\n"},
    {"new",
     "  edlt-cli new FILE --year YYYY --afm AFM --company NAME [--person] [--name NAME]\n"
     "           [--father FFF] [--activity TEXT] [--town TEXT] [--street TEXT]\n"
     "           [--number TEXT] [--tk DIGITS] [--answer yes|no]\n"
     "      Δημιουργεί δήλωση χωρίς αναλυτικές γραμμές και τη γράφει στο FILE μετά τους\n"
     "      ελέγχους της Αποθήκευσης (έτος, επωνυμία, ΑΦΜ υπόχρεου). Με --person ο\n"
     "      υπόχρεος είναι φυσικό πρόσωπο (το επώνυμο στο --company). Υπάρχον FILE\n"
     "      αντικαθίσταται μόνο με --answer yes.\n"},
    {"check",
     "  edlt-cli check FILE [--format text|json|tsv]\n"
     "      Ανοίγει το FILE και τυπώνει κάθε εύρημα ως \"<n>: <μήνυμα>\" (n η γραμμή\n"
     "      αναλυτικών αμοιβών, 0 για τον υπόχρεο). Με --format json ένα αντικείμενο\n"
     "      {\"findings\":[{\"line\":n,\"field\":\"AkaInc\",\"kind\":\"refusal|question|conversion\",\n"
     "      \"message\":\"...\"}],\"refused_lines\":n,\"questions\":n}· με --format tsv μια\n"
     "      γραμμή επικεφαλίδων line, field, kind, message και μία γραμμή ανά εύρημα.\n"},
    {"totals",
     "  edlt-cli totals FILE [--format text|json|tsv]\n"
     "      Τυπώνει τον μετρητή εγγραφών και τα εννέα σύνολα (Edit1=... έως Edit9=...).\n"
     "      Με --format json ή tsv τα σύνολα με ονόματα: gross_pay, deductions, net_pay,\n"
     "      tax_withheld, stamp_duty, oga_stamp_duty, tax_due, oga_tax_withheld,\n"
     "      oga_tax_due (ποσά ως κείμενο με τελεία, π.χ. \"1234.50\"), lines και\n"
     "      distinct_tax_numbers· το tsv με γραμμή επικεφαλίδων key, value.\n"},
    {"compare",
     "  edlt-cli compare OLD NEW [--format text|json|tsv]\n"
     "      Συγκρίνει δύο δηλώσεις: οι γραμμές ταιριάζουν κατά ΑΦΜ και είδος αποδοχών (ίδιο\n"
     "      ζεύγος πολλές φορές: με τη σειρά τους). Τυπώνει τις γραμμές μόνο στην OLD, μόνο\n"
     "      στη NEW, όσες άλλαξαν (πεδίο, παλιά → νέα τιμή) και τα εννέα σύνολα των δύο με\n"
     "      τη διαφορά τους. Έξοδος 0 ίδιες γραμμές, 1 διαφέρουν, 2 ένα αρχείο δεν\n"
     "      διαβάζεται ή έχει ποσό που δεν είναι αριθμός (χωρίς σύνολα δεν συγκρίνεται).\n"
     "      Με --format json ένα αντικείμενο:\n"
     "        only_old, only_new: [{\"line\":n,\"fields\":{\"AFM\":\"...\",\"SurName\":...}}]\n"
     "        changed: [{\"old_line\":n,\"new_line\":n,\"AFM\":\"...\",\"TypeInc\":\"...\",\n"
     "                   \"changes\":[{\"field\":\"AkaInc\",\"old\":\"1000.00\",\"new\":\"1200.00\"}]}]\n"
     "        totals: {\"old\":{...},\"new\":{...},\"difference\":{...}} με τα ονόματα\n"
     "                της totals --format json\n"
     "      Ποσά ως κείμενο με τελεία, αριθμοί γραμμών και πλήθη ως αριθμοί. Με --format tsv\n"
     "      οι στήλες kind, old_line, new_line, AFM, TypeInc, field, old, new, difference.\n"},
    {"sort",
     "  edlt-cli sort FILE --by afm|name [--out OUT]\n"
     "      Ταξινομεί τις γραμμές κατά ΑΦΜ ή κατά επώνυμο και γράφει τη δήλωση στο OUT\n"
     "      (αλλιώς στο FILE).\n"},
    {"import",
     "  edlt-cli import FILE SHEET [--out OUT] [--answer yes|no]\n"
     "      Εισάγει τις γραμμές του φύλλου SHEET (.xls, .xlsx, .ods ή .csv) στη δήλωση FILE\n"
     "      όπως η εντολή Εισαγωγής (οι ερωτήσεις απαντώνται με --answer, αλλιώς όχι) και\n"
     "      τη γράφει στο OUT (αλλιώς στο FILE) μετά τους ελέγχους της Αποθήκευσης. Κρυφό\n"
     "      πρώτο φύλλο εισάγεται μόνο με --answer yes· αλλιώς εισάγεται το πρώτο ορατό.\n"
     "      Γραμμή που απορρίπτεται κατά την αποθήκευση ονομάζεται στο τέλος ως \"Γραμμή N\n"
     "      του φύλλου, ΑΦΜ X\"· φύλλο που δεν διαβάζεται δίνει την αιτία σε δική της γραμμή.\n"},
    {"report",
     "  edlt-cli report first-page|detail|totals FILE --out PAGE|REPORT.pdf [--pages N|N-M]\n"
     "      Γράφει τη σελίδα εκτύπωσης (1η σελίδα, αναλυτικές αμοιβές ή σύνολα) της\n"
     "      δήλωσης FILE στο PAGE· η 1η σελίδα παίρνει δίπλα της και τον φάκελο εικόνων.\n"
     "      Με όνομα .pdf οι αναλυτικές αμοιβές και τα σύνολα γράφονται ως PDF, με τις\n"
     "      ίδιες σελίδες με την Αποθήκευση PDF του παραθύρου εκτύπωσης: κάθε σελίδα έχει\n"
     "      στο κάτω μέρος «Σελίδα N από M — ΑΦΜ <ΑΦΜ υπόχρεου> <όνομα>». Με --pages\n"
     "      γράφονται μόνο η σελίδα N ή οι σελίδες N έως M (π.χ. --pages 100-120)· μια\n"
     "      περιοχή που δεν υπάρχει στην αναφορά δίνει έξοδο 2.\n"},
    {"zip",
     "  edlt-cli zip FILE [--out ARCHIVE] [--answer yes|no]\n"
     "      Συμπιέζει το FILE σε αρχείο zip (αλλιώς FILE.zip). Υπάρχον ARCHIVE\n"
     "      αντικαθίσταται μόνο με --answer yes.\n"},
    {"export",
     "  edlt-cli export FILE --out SHEET [--headings] [--answer yes|no]\n"
     "      Γράφει τις αναλυτικές γραμμές της δήλωσης FILE, με τη σειρά τους, στο\n"
     "      λογιστικό φύλλο SHEET (.xlsx, .ods ή .csv κατά την κατάληξη): μία γραμμή\n"
     "      ανά αναλυτική γραμμή, στήλες A έως T όπως τις διαβάζει η Εισαγωγή, ώστε το\n"
     "      φύλλο να εισάγεται ξανά. Τα ποσά γράφονται ως αριθμοί με δύο δεκαδικά, οι\n"
     "      ΑΦΜ και οι Τ.Κ. ως κείμενο. Το .csv είναι UTF-8 με BOM, με ; και\n"
     "      υποδιαστολή το κόμμα. Με --headings η πρώτη γραμμή έχει τους τίτλους των\n"
     "      στηλών (η Εισαγωγή θα την έπαιρνε για γραμμή). Υπάρχον SHEET\n"
     "      αντικαθίσταται μόνο με --answer yes.\n"},
};

const char* conventionsText =
    "\n"
    "Οι επιλογές γράφονται --opt τιμή ή --opt=τιμή· το -- τελειώνει τις επιλογές.\n"
    "FILE - διαβάζει τη δήλωση από την τυπική είσοδο· --out - γράφει στην τυπική έξοδο.\n"
    "Έξοδος: 0 επιτυχία, 1 η εργασία απορρίφθηκε από έλεγχο ή ερώτηση (δεν γράφτηκε\n"
    "τίποτα), 2 ένα αρχείο δεν διαβάζεται ή δεν γράφεται ή η γραμμή εντολών είναι λανθασμένη\n"
    "(η compare: 0 ίδιες γραμμές, 1 διαφέρουν, 2 σφάλμα αρχείου, όπως η diff).\n"
    "Κάθε μήνυμα λάθους αρχίζει με \"edlt-cli: \" και ονομάζει το αρχείο που αφορά.\n";

std::string helpText()
{
    std::string text = "edlt-cli: ο βοηθός γραμμής εντολών του e-ΔΛΤ\n\nΧρήση:\n";
    for (const CommandHelp& c : commandHelp) text += c.text;
    text += "  edlt-cli --help | COMMAND --help\n      Εμφανίζει αυτό το κείμενο ή το κείμενο μιας εντολής.\n";
    text += "  edlt-cli --version\n      Εμφανίζει την έκδοση.\n";
    return text + conventionsText;
}

// --help anywhere before "--" asks for the command's help instead of running it.
bool asksForHelp(const edlt::cli::Args& args)
{
    for (const std::string& a : args) {
        if (a == "--") return false;
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace edlt::cli;
    const std::map<std::string, int (*)(const Args&)> commands = {
        {"check-afm", runCheckAfm}, {"new", runNew},   {"check", runCheck},
        {"totals", runTotals},      {"sort", runSort}, {"report", runReport},
        {"import", runImport},      {"zip", runZip},   {"compare", runCompare},
        {"export", runExport},
    };
    if (argc < 2) {
        std::cerr << helpText();
        return ExitUnreadable;
    }
    std::string command = argv[1];
    if (command == "--version") {
        std::cout << "edlt-cli " EDLT_VERSION "\n";
        return ExitOk;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << helpText();
        return ExitOk;
    }
    auto it = commands.find(command);
    if (it == commands.end()) return usageError("άγνωστη εντολή «" + command + "»");
    Args args(argv + 2, argv + argc);
    if (asksForHelp(args)) {
        for (const CommandHelp& c : commandHelp)
            if (command == c.name) std::cout << "Χρήση:\n" << c.text << conventionsText;
        return ExitOk;
    }
    int code = ExitUnreadable;
    try {
        code = it->second(args);
    } catch (const edlt::Error& e) {
        printFailure(e.message());
    } catch (const std::exception& e) {
        printFailure(edlt::cp1253::pathText(e.what()));
    }
    std::cout.flush();
    if (!std::cout) {
        printFailure(edlt::cp1253::lit("Δεν ήταν δυνατή η εγγραφή στην τυπική έξοδο"));
        return ExitUnreadable;
    }
    // A command that told of a failure never reports success.
    return code == ExitOk && failurePrinted() ? ExitUnreadable : code;
}
