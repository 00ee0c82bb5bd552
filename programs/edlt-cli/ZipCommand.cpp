// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs/edlt-cli/ZipCommand.h"

#include <filesystem>
#include <optional>

#include "core/base/Error.h"
#include "core/export/ZipCommand.h"
#include "core/export/ZipWriter.h"
#include "programs/edlt-cli/PrivateWorkspace.h"

namespace edlt::cli {

int runZip(const Args& args)
{
    const char* usage = "edlt-cli zip FILE [--out ARCHIVE] [--answer yes|no]";
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {"--out", "--answer"}, {}, parsed)) return usageError(*problem + ": " + usage);
    if (parsed.positional.size() != 1 || parsed.positional[0].empty() || parsed.value("--out") == "")
        return usageError(std::string("η zip θέλει ένα αρχείο: ") + usage);
    const std::string& file = parsed.positional[0];
    // The archive holds the file under its name, which standard input does not have.
    if (file == "-") return usageError(std::string("η zip θέλει ένα αρχείο με όνομα, όχι την τυπική είσοδο: ") + usage);
    const std::string answer = parsed.value("--answer").value_or("no");
    if (answer != "yes" && answer != "no") return usageError(std::string("η --answer θέλει yes ή no: ") + usage);
    const std::optional<std::string> out = parsed.value("--out");

    std::filesystem::path source(file);
    requireRegularFile(file);
    try {
        if (out == "-") {
            PrivateWorkspace folder;
            const std::filesystem::path archive = folder.path() / (source.filename().string() + ".zip");
            packFileToZip(source, archive, [] { return true; });
            copyToStandardOutput(archive);
            return ExitOk;
        }
        const std::filesystem::path archive = out ? zipArchivePath(*out) : std::filesystem::path(file + ".zip");
        FileLocks locks({{file, FileLock::Mode::Shared}, {archive.string(), FileLock::Mode::Exclusive}});
        const std::filesystem::path chosen = out ? std::filesystem::path(*out) : archive;
        const ZipOutcome outcome = packFileToZip(source, archive, [&] {
            if (answer == "yes") return true;
            printErr(zipReplaceQuestion(chosen));  // the window's question, answered no
            return false;
        });
        return outcome == ZipOutcome::Written ? ExitOk : ExitRefused;
    } catch (const ZipRefused& e) {
        printErr(e.message());
        return ExitRefused;
    } catch (const Error& e) {
        printFailure(e.message());
        return ExitUnreadable;
    }
}

}  // namespace edlt::cli
