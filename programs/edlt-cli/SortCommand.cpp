// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli sort: the two sort buttons, written back without checks (sorting changes no line).
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>

#include "core/base/Error.h"
#include "core/session/StreamedSort.h"
#include "core/store/AtomicFile.h"
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/CliUserInterface.h"

namespace edlt::cli {

namespace {

// The date Save As writes in the header, as the session takes it from the system.
std::string todayText()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    return text;
}

// A regular file Open takes without a word is sorted without the store (most of the memory
// and time Open takes) and written as the session writes it; true when done so.
bool sortPlainFile(const std::string& file, const std::string& out, DeclarationSession::SortKey key)
{
    // A pipe read once could not be read again by Open; standard output goes through the session.
    std::error_code unknown;
    if (file == "-" || out == "-" || !std::filesystem::is_regular_file(file, unknown)) return false;
    // Like every command, this one clears what killed commands left, though it needs no folder.
    const PrivateWorkspace folder;
    const auto identity = FileIdentity::of(file);
    std::optional<PlainDeclaration> declaration;
    try {
        FileSource source(file);
        declaration = readPlainDeclaration(source);
    } catch (const Error&) {
        return false;
    }
    if (!declaration) return false;
    AtomicFileWriter writer(out, AtomicFileWriter::Durability::Durable);
    writeSortedDeclaration(writer, *declaration, key, todayText());
    requireUnchangedInput(file, identity, out);
    writer.commit();
    return true;
}

}  // namespace

int runSort(const Args& args)
{
    const char* usage = "edlt-cli sort FILE --by afm|name [--out OUT]";
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {"--by", "--out"}, {}, parsed)) return usageError(*problem + ": " + usage);
    if (parsed.positional.size() != 1 || parsed.positional[0].empty())
        return usageError(std::string("η sort θέλει ένα αρχείο: ") + usage);
    const std::string by = parsed.value("--by").value_or("");
    if (by != "afm" && by != "name") return usageError(std::string("η --by θέλει afm ή name: ") + usage);
    const std::string out = parsed.value("--out").value_or(parsed.positional[0]);
    if (out.empty()) return usageError(std::string("η --out θέλει ένα όνομα αρχείου: ") + usage);

    const std::string& file = parsed.positional[0];
    FileLocks locks(
        {{file, out == file ? FileLock::Mode::Exclusive : FileLock::Mode::Shared}, {out, FileLock::Mode::Exclusive}});
    if (sortPlainFile(file, out,
                      by == "afm" ? DeclarationSession::SortKey::TaxNumber : DeclarationSession::SortKey::Surname))
        return ExitOk;
    CommandSession command;
    DeclarationSession& session = command.session();
    if (!command.open(file)) return ExitUnreadable;
    // Nor can a declaration be written with an amount that is not a number (its message is on stderr).
    if (session.unconvertibleAmounts()) return ExitUnreadable;
    if (by == "afm") session.SortByTaxNumber();
    else
        session.SortBySurname();
    // A sort that failed has shown its error and left the lines unsorted: write nothing.
    if (command.ui.errorCount() > 0) return ExitUnreadable;
    command.write(out);
    return ExitOk;
}

}  // namespace edlt::cli
