// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli compare: two declaration files line by line, as diff compares texts: exit 0 when
// they hold the same lines, 1 when they differ, 2 when one cannot be read.
#include <array>
#include <iostream>
#include <memory>
#include <optional>

#include "core/base/ByteStream.h"
#include "core/base/TwoCores.h"
#include "core/session/CompareDeclarations.h"
#include "core/session/ComparisonOutput.h"
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/PrivateWorkspace.h"

namespace edlt::cli {

namespace {
// What the comparison writes goes to standard output a block at a time (main tells of a
// failed write).
class StandardOutput : public ByteSink {
public:
    void write(std::string_view data) override
    {
        std::cout.write(data.data(), static_cast<std::streamsize>(data.size()));
    }
};
}  // namespace

int runCompare(const Args& args)
{
    const char* usage = "edlt-cli compare OLD NEW [--format text|json|tsv]";
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {"--format"}, {}, parsed)) return usageError(*problem + ": " + usage);
    if (parsed.positional.size() != 2 || parsed.positional[0].empty() || parsed.positional[1].empty())
        return usageError(std::string("η compare θέλει δύο αρχεία δήλωσης: ") + usage);
    if (parsed.positional[0] == "-" && parsed.positional[1] == "-")
        return usageError(std::string("μόνο το ένα από τα δύο αρχεία μπορεί να είναι η τυπική είσοδος: ") + usage);
    const auto format = outputFormat(parsed);
    if (!format) return usageError(std::string("η --format θέλει text, json ή tsv: ") + usage);

    const std::array<std::string, 2> files = {parsed.positional[0], parsed.positional[1]};
    FileLocks locks({{files[0], FileLock::Mode::Shared}, {files[1], FileLock::Mode::Shared}});
    // Standard input is read through a copy in a folder of the command's own.
    std::unique_ptr<PrivateWorkspace> folder;
    std::array<std::filesystem::path, 2> paths = {files[0], files[1]};
    for (auto& path : paths) {
        if (path != "-") continue;
        folder = std::make_unique<PrivateWorkspace>();
        path = folder->path() / "stdin";
        if (!copyStandardInput(path)) {
            printFailure(namingFile(declaration_messages::wrongLineLength(), "-"));
            return ExitUnreadable;
        }
    }
    // Both files at once, each on a core of its own; OLD's problem is told first.
    std::array<ArenaLines, 2> lines;
    std::array<std::optional<std::string>, 2> problems;
    runBoth(
        true, [&] { problems[0] = readDetailLines(paths[0], lines[0]); },
        [&] { problems[1] = readDetailLines(paths[1], lines[1]); });
    for (size_t i = 0; i < 2; ++i)
        if (problems[i]) {
            printFailure(namingFile(*problems[i], files[i]));
            return ExitUnreadable;
        }

    auto view = [](const ArenaLines& l) { return DetailLines{l.lines.size(), [&l](size_t i) { return l.lines[i]; }}; };
    std::optional<DeclarationComparison> comparison;
    try {
        comparison.emplace(compareDeclarations(view(lines[0]), view(lines[1])));
    } catch (const UncomparableAmounts& e) {
        printFailure(namingFile(e.message(), files[e.inOld() ? 0 : 1]));
        return ExitUnreadable;
    }
    StandardOutput out;
    switch (*format) {
    case OutputFormat::Text: writeComparisonText(*comparison, out); break;
    case OutputFormat::Json: writeComparisonJson(*comparison, out); break;
    case OutputFormat::Tsv: writeComparisonTsv(*comparison, out); break;
    }
    return comparison->same() ? ExitOk : ExitRefused;
}

}  // namespace edlt::cli
