#pragma once
// Shared helpers of the command-line companion. Each command lives in its own file and
// is listed in main.cpp.
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace edlt::cli {

using Args = std::vector<std::string>;  // the command's own arguments, UTF-8

// Exit codes of the contract.
inline constexpr int ExitOk = 0;
inline constexpr int ExitRefused = 1;
inline constexpr int ExitUnreadable = 2;

// Prints Windows-1253 text as UTF-8 with a line break.
void printOut(const std::string& cp1253Text);
void printErr(const std::string& cp1253Text);
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

int runCheckAfm(const Args& args);
int runNew(const Args& args);
int runCheck(const Args& args);
int runTotals(const Args& args);
int runSort(const Args& args);
int runReport(const Args& args);
int runImport(const Args& args);

}  // namespace edlt::cli
