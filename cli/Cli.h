#pragma once
// Shared helpers of the command-line companion. Each command lives in its own file and
// is listed in main.cpp.
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

int runCheckAfm(const Args& args);

}  // namespace edlt::cli
