#include <cstring>
#include <exception>
#include <iostream>
#include <map>

#include "cli/Cli.h"
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

}  // namespace edlt::cli

namespace {

const char* helpText =
    "edlt-cli: ο βοηθός γραμμής εντολών του e-ΔΛΤ\n"
    "\n"
    "Χρήση:\n"
    "  edlt-cli check-afm TEXT\n"
    "      Ελέγχει αν το TEXT είναι έγκυρος ΑΦΜ (έξοδος 0 έγκυρος, 1 μη έγκυρος,\n"
    "      2 το TEXT δεν είναι αριθμός).\n"
    "  edlt-cli --help\n"
    "      Εμφανίζει αυτό το κείμενο.\n"
    "\n"
    "Έξοδος: 0 επιτυχία, 1 η εργασία απορρίφθηκε από έλεγχο, 2 το αρχείο δεν διαβάζεται\n"
    "ή η γραμμή εντολών είναι λανθασμένη.\n";

}  // namespace

int main(int argc, char** argv)
{
    using namespace edlt::cli;
    const std::map<std::string, int (*)(const Args&)> commands = {
        {"check-afm", runCheckAfm},
    };
    if (argc < 2) {
        std::cerr << helpText;
        return ExitUnreadable;
    }
    std::string command = argv[1];
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
