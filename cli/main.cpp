#include <cstring>
#include <exception>
#include <iostream>
#include <map>

#include "EdltVersion.h"
#include "cli/Cli.h"
#include "cli/ZipCommand.h"
#include "store/Cp1253.h"
#include "store/Error.h"

namespace edlt::cli {

void printOut(const std::string& cp1253Text) { std::cout << cp1253::toUtf8(cp1253Text) << '\n'; }
void printErr(const std::string& cp1253Text) { std::cerr << cp1253::toUtf8(cp1253Text) << '\n'; }

int usageError(const std::string& utf8Text)
{
    std::cerr << "edlt-cli: " << utf8Text << "\nΔείτε: edlt-cli --help\n";
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
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (valueOptions.count(a)) {
            if (out.values.count(a)) return "η επιλογή " + a + " δόθηκε δύο φορές";
            if (i + 1 >= args.size()) return "η επιλογή " + a + " θέλει μια τιμή";
            out.values[a] = args[++i];
        } else if (flagOptions.count(a)) {
            if (out.flags.count(a)) return "η επιλογή " + a + " δόθηκε δύο φορές";
            out.flags.insert(a);
        } else if (a.size() > 1 && a[0] == '-') {
            return "άγνωστη επιλογή «" + a + "»";
        } else {
            out.positional.push_back(a);
        }
    }
    return std::nullopt;
}

}  // namespace edlt::cli

namespace {

const char* helpText =
    "edlt-cli: ο βοηθός γραμμής εντολών του e-ΔΛΤ\n"
    "\n"
    "Χρήση:\n"
    "  edlt-cli check-afm TEXT\n"
    "      Ελέγχει αν το TEXT είναι έγκυρος ΑΦΜ (έξοδος 0 έγκυρος, 1 μη έγκυρος,\n"
    "      2 το TEXT δεν είναι αριθμός).\n"
    "  edlt-cli new FILE --year YYYY --afm AFM --company NAME [--person] [--name NAME]\n"
    "           [--father FFF] [--activity TEXT] [--town TEXT] [--street TEXT]\n"
    "           [--number TEXT] [--tk DIGITS]\n"
    "      Δημιουργεί δήλωση χωρίς αναλυτικές γραμμές και τη γράφει στο FILE μετά τους\n"
    "      ελέγχους της Αποθήκευσης (έτος, επωνυμία, ΑΦΜ υπόχρεου). Με --person ο\n"
    "      υπόχρεος είναι φυσικό πρόσωπο (το επώνυμο στο --company).\n"
    "  edlt-cli check FILE\n"
    "      Ανοίγει το FILE και τυπώνει κάθε εύρημα ως \"<n>: <μήνυμα>\" (n η γραμμή\n"
    "      αναλυτικών αμοιβών, 0 για τον υπόχρεο).\n"
    "  edlt-cli totals FILE\n"
    "      Τυπώνει τον μετρητή εγγραφών και τα εννέα σύνολα (Edit1=... έως Edit9=...).\n"
    "  edlt-cli sort FILE --by afm|name [--out OUT]\n"
    "      Ταξινομεί τις γραμμές κατά ΑΦΜ ή κατά επώνυμο και γράφει τη δήλωση στο OUT\n"
    "      (αλλιώς στο FILE).\n"
    "  edlt-cli import FILE SHEET [--out OUT] [--answer yes|no]\n"
    "      Εισάγει τις γραμμές του φύλλου SHEET (.xls, .xlsx, .ods ή .csv) στη δήλωση FILE\n"
    "      όπως η εντολή Εισαγωγής (οι ερωτήσεις απαντώνται με --answer, αλλιώς όχι) και\n"
    "      τη γράφει στο OUT (αλλιώς στο FILE) μετά τους ελέγχους της Αποθήκευσης.\n"
    "  edlt-cli report first-page|detail|totals FILE --out PAGE|REPORT.pdf\n"
    "      Γράφει τη σελίδα εκτύπωσης (1η σελίδα, αναλυτικές αμοιβές ή σύνολα) της\n"
    "      δήλωσης FILE στο PAGE· η 1η σελίδα παίρνει δίπλα της και τον φάκελο εικόνων.\n"
    "      Με όνομα .pdf οι αναλυτικές αμοιβές και τα σύνολα γράφονται ως PDF, με τις\n"
    "      ίδιες σελίδες με την Αποθήκευση PDF του παραθύρου εκτύπωσης.\n"
    "  edlt-cli zip FILE [--out ARCHIVE]\n"
    "      Συμπιέζει το FILE σε αρχείο zip (αλλιώς FILE.zip).\n"
    "  edlt-cli --help\n"
    "      Εμφανίζει αυτό το κείμενο.\n"
    "  edlt-cli --version\n"
    "      Εμφανίζει την έκδοση.\n"
    "\n"
    "Έξοδος: 0 επιτυχία, 1 η εργασία απορρίφθηκε από έλεγχο, 2 το αρχείο δεν διαβάζεται\n"
    "ή η γραμμή εντολών είναι λανθασμένη.\n";

}  // namespace

int main(int argc, char** argv)
{
    using namespace edlt::cli;
    const std::map<std::string, int (*)(const Args&)> commands = {
        {"check-afm", runCheckAfm},
        {"new", runNew},
        {"check", runCheck},
        {"totals", runTotals},
        {"sort", runSort},
        {"report", runReport},
        {"import", runImport},
        {"zip", runZip},
    };
    if (argc < 2) {
        std::cerr << helpText;
        return ExitUnreadable;
    }
    std::string command = argv[1];
    if (command == "--version") {
        std::cout << "edlt-cli " EDLT_VERSION "\n";
        return ExitOk;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << helpText;
        return ExitOk;
    }
    auto it = commands.find(command);
    if (it == commands.end()) return usageError("άγνωστη εντολή «" + command + "»");
    Args args(argv + 2, argv + argc);
    try {
        return it->second(args);
    } catch (const edlt::Error& e) {
        printErr(e.message());
        return ExitUnreadable;
    } catch (const std::exception& e) {
        std::cerr << "edlt-cli: " << e.what() << '\n';
        return ExitUnreadable;
    }
}
