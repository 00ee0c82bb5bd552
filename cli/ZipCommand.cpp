#include "cli/ZipCommand.h"

#include <filesystem>
#include <optional>

#include "store/Error.h"
#include "tools/ZipCommand.h"
#include "tools/ZipFile.h"

namespace edlt::cli {

int runZip(const Args& args)
{
    std::optional<std::string> file;
    std::optional<std::string> out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--out") {
            if (i + 1 >= args.size() || out)
                return usageError("η --out θέλει ένα όνομα αρχείου: edlt-cli zip FILE [--out ARCHIVE]");
            out = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("άγνωστη επιλογή «" + a + "»: edlt-cli zip FILE [--out ARCHIVE]");
        } else if (file) {
            return usageError("η zip θέλει ένα μόνο αρχείο: edlt-cli zip FILE [--out ARCHIVE]");
        } else {
            file = a;
        }
    }
    if (!file || file->empty() || (out && out->empty()))
        return usageError("η zip θέλει ένα αρχείο: edlt-cli zip FILE [--out ARCHIVE]");

    std::filesystem::path source(*file);
    std::filesystem::path archive = out ? ZipArchivePath(*out) : std::filesystem::path(*file + ".zip");
    try {
        // The command line never asks: naming the archive is consent to replace it.
        PackFileToZip(source, archive, [] { return true; });
        return ExitOk;
    } catch (const ZipRefused& e) {
        printErr(e.message());
        return ExitRefused;
    } catch (const Error& e) {
        printErr(e.message());
        return ExitUnreadable;
    }
}

}  // namespace edlt::cli
