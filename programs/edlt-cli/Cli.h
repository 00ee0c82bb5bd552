// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared helpers of the command-line companion. Each command lives in its own file and
// is listed in main.cpp.
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/store/FileLock.h"

namespace edlt::cli {

using Args = std::vector<std::string>;  // the command's own arguments, UTF-8

// Exit codes of the contract.
inline constexpr int ExitOk = 0;
inline constexpr int ExitRefused = 1;
inline constexpr int ExitUnreadable = 2;

// Prints Windows-1253 text as UTF-8 with a line break; control characters are shown as
// \xHH. Lines on standard error start with "edlt-cli: ".
void printOut(const std::string& cp1253Text);
void printErr(const std::string& cp1253Text);
std::string escapeControls(const std::string& text);
// The message with the file it is about, " (<file>)", unless it names it already (as the
// frame "<message> (<file>: <cause>)" does).
std::string namingFile(const std::string& cp1253Text, const std::string& file);
// UTF-8 text as it is to standard output (the formats for scripts).
void printUtf8(const std::string& utf8);
// printErr for a message of failure: the command then never exits 0.
void printFailure(const std::string& cp1253Text);
bool failurePrinted();
void noteFailure();

// Standard input copied whole to a file (a declaration is read from a file). Stops at
// once, keeping nothing, and returns false at a line longer than a record; throws Error
// when it cannot be read or reaches 2 GiB.
bool copyStandardInput(const std::filesystem::path& to);
// A file's bytes to standard output; throws Error naming standard output and the cause.
void copyToStandardOutput(const std::filesystem::path& from);
// Refuses (FileOpenError, exit 2) an input that is not a regular file, before reading it.
void requireRegularFile(const std::string& path);

// Locks the files a command reads (Shared) and rewrites (Exclusive), in path order so two
// commands never wait for each other; a file named twice is locked once, exclusively
// when either use asks. "-" is not locked. Throws Error after waiting 10 s for another.
class FileLocks {
public:
    explicit FileLocks(std::vector<std::pair<std::string, FileLock::Mode>> files);

private:
    std::vector<std::unique_ptr<FileLock>> locks_;
};
// Prints a usage line (UTF-8) on stderr and returns ExitUnreadable.
int usageError(const std::string& utf8Text);
// Converts a UTF-8 argument; nullopt-like empty result is signalled by ok=false.
bool argToCp1253(const std::string& utf8, std::string& out);

// The folder of the running executable (where Addon/ is installed).
std::filesystem::path executableFolder();

// A command line split by the options a command knows.
struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // options that take the next argument
    std::set<std::string> flags;                // options that stand alone
    bool has(const std::string& option) const { return values.count(option) || flags.count(option); }
    std::optional<std::string> value(const std::string& option) const;
};
// Returns the problem (UTF-8) when an option is unknown, repeated or lacks its value.
std::optional<std::string> parseArgs(const Args& args, const std::set<std::string>& valueOptions,
                                     const std::set<std::string>& flagOptions, ParsedArgs& out);

// What --format asks for: text (the default), json, and tsv where the command has it;
// nullopt for anything else.
enum class OutputFormat { Text, Json, Tsv };
std::optional<OutputFormat> outputFormat(const ParsedArgs& parsed, bool tsvToo = true);

int runCheckAfm(const Args& args);
int runNew(const Args& args);
int runCheck(const Args& args);
int runTotals(const Args& args);
int runSort(const Args& args);
int runReport(const Args& args);
int runImport(const Args& args);
int runZip(const Args& args);
int runCompare(const Args& args);
int runExport(const Args& args);

}  // namespace edlt::cli
