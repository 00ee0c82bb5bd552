// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/rules/CheckAFM.h"
#include "programs/edlt-cli/Cli.h"

namespace edlt::cli {

namespace {
// The conversion error alone, as scripts that check tax numbers have always read it.
void printConversionError(const std::string& cp1253Text)
{
    std::cerr << cp1253::toUtf8(escapeControls(cp1253Text)) << '\n';
}
}  // namespace

int runCheckAfm(const Args& args)
{
    if (args.size() != 1) return usageError("η check-afm θέλει ακριβώς ένα όρισμα: edlt-cli check-afm TEXT");
    std::string text;
    if (!argToCp1253(args[0], text)) {
        // A character outside the code page cannot be a digit: the conversion fails on it.
        printConversionError(format("'%s' is not a valid integer value", {"?"}));
        return ExitUnreadable;
    }
    try {
        return checkAFM(text) ? ExitOk : ExitRefused;
    } catch (const ConvertError& e) {
        printConversionError(e.message());
        return ExitUnreadable;
    }
}

}  // namespace edlt::cli
