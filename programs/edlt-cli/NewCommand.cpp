// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli new: a declaration with no detail lines, written after Save As's checks.
#include <array>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/rules/Messages.h"
#include "core/store/DeclarantRecord.h"
#include "core/store/FieldText.h"
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/CliUserInterface.h"

namespace edlt::cli {

namespace {

const char* usage =
    "edlt-cli new FILE --year YYYY --afm AFM --company NAME [--person] [--name NAME] [--father FFF] "
    "[--activity TEXT] [--town TEXT] [--street TEXT] [--number TEXT] [--tk DIGITS] [--answer yes|no]";

struct HeaderOption {
    const char* option;
    HeaderField field;
};

constexpr std::array<HeaderOption, 10> headerOptions = {{
    {"--year", HeaderField::YearOfData},
    {"--afm", HeaderField::AFM},
    {"--activity", HeaderField::AntikeimenoErgasion},
    {"--company", HeaderField::CompanyName},
    {"--name", HeaderField::Name},
    {"--father", HeaderField::FatherName},
    {"--town", HeaderField::Town},
    {"--street", HeaderField::Street},
    {"--number", HeaderField::Number},
    {"--tk", HeaderField::TK},
}};

bool allDigits(const std::string& s)
{
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

int runNew(const Args& args)
{
    std::set<std::string> valueOptions;
    for (const HeaderOption& h : headerOptions) valueOptions.insert(h.option);
    valueOptions.insert("--answer");
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, valueOptions, {"--person"}, parsed)) return usageError(*problem + ": " + usage);
    if (parsed.positional.size() != 1 || parsed.positional[0].empty())
        return usageError(std::string("η new θέλει ένα αρχείο: ") + usage);
    for (const char* required : {"--year", "--afm", "--company"})
        if (!parsed.has(required)) return usageError(std::string("λείπει η επιλογή ") + required + ": " + usage);
    const std::string answer = parsed.value("--answer").value_or("no");
    if (answer != "yes" && answer != "no") return usageError(std::string("η --answer θέλει yes ή no: ") + usage);

    // Every value is checked before anything is made: the header boxes would never have
    // held a longer text, and cutting it here would write something the user did not give.
    std::array<std::optional<std::string>, headerOptions.size()> values;
    for (size_t i = 0; i < headerOptions.size(); ++i) {
        const HeaderOption& h = headerOptions[i];
        auto utf8 = parsed.value(h.option);
        if (!utf8) continue;
        std::string text;
        const std::string option = h.option;
        if (!argToCp1253(*utf8, text))
            return usageError("η τιμή της " + option +
                              " έχει χαρακτήρα που δεν γράφεται στην κωδικοσελίδα Windows-1253: " + usage);
        text = cleanFieldText(text);
        const int max = declarant::widthOf(h.field);
        if (text.size() > static_cast<size_t>(max))
            return usageError("η τιμή της " + option + " έχει περισσότερους από " + std::to_string(max) +
                              " χαρακτήρες: " + usage);
        if (h.field == HeaderField::TK && !allDigits(text))
            return usageError("η τιμή της " + option + " πρέπει να έχει μόνο ψηφία: " + usage);
        values[i] = std::move(text);
    }

    CommandSession command(true);
    DeclarationSession& session = command.session();
    session.newDeclaration();
    if (!session.declarationCommandsEnabled()) return ExitUnreadable;  // its error is on stderr
    for (size_t i = 0; i < headerOptions.size(); ++i)
        if (values[i]) session.setHeaderText(headerOptions[i].field, *values[i]);
    if (parsed.flags.count("--person")) session.choosePerson();

    try {
        if (!session.preSaveCheck()) return ExitRefused;
    } catch (const ConvertError& e) {
        // A year or tax number that is not a number fails its check with the conversion message.
        printErr(e.message());
        return ExitRefused;
    }
    const std::string& file = parsed.positional[0];
    FileLocks locks({{file, FileLock::Mode::Exclusive}});
    std::error_code ec;
    if (file != "-" && std::filesystem::exists(file, ec) && answer != "yes") {
        // Save As would ask before replacing: the answer is no, the file stays as it was.
        printErr(msg::overwriteQuestion(cp1253::pathText(std::filesystem::path(file).filename())));
        return ExitRefused;
    }
    command.write(file);
    return ExitOk;
}

}  // namespace edlt::cli
