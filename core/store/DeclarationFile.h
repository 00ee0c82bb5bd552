// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The declaration file: 170-byte records of types "0" (header), "1" (declarant),
// "2" (totals) and "3" (one per detail line), each ending in CR LF. Writing it from the
// header, the totals and the detail lines, and reading it back into the workspace files.
#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/ByteStream.h"
#include "core/store/HeaderFields.h"
#include "core/store/LineArena.h"

namespace edlt {

// Totals texts indexed Edit1..Edit9 (index 0 = Edit1), decimal form as the totals boxes show them.
using TotalsTexts = std::array<std::string, 9>;

// The detail lines as the detail store holds them (workspace form, raw lines).
struct DetailLines {
    size_t count;
    std::function<std::string_view(size_t)> lineAt;
};

// A view of lines held in a vector (which must outlive the view).
DetailLines detailLinesOf(const std::vector<std::string>& lines);

// The widths of the nine totals, in the order Edit1..Edit9 of the totals record.
inline constexpr std::array<int, 9> totalsWidths = {15, 15, 15, 14, 13, 12, 14, 13, 13};

// The messages of reading, Windows-1253.
namespace declaration_messages {
const std::string& invalidFile();        // first line does not begin with "0JL10"
const std::string& openProblem();        // unknown record type or a read error
const std::string& wrongLineLength();    // a record that is not 170 bytes
const std::string& headerReadProblem();  // shown by the caller when LoadHeaderFields fails
}  // namespace declaration_messages

// Writes the whole declaration file. Throws Error when an amount, the days or a header
// value cannot be written in its field (nothing longer than 170 bytes is ever written),
// ConvertError when an amount or the days are not numbers, and whatever the sink throws.
void writeDeclarationFile(ByteSink& sink, const HeaderFields& header, const TotalsTexts& totals,
                          const DetailLines& lines, std::string_view todayYYYYMMDD);

// The detail record of the file (without CR LF) for one workspace line; throws as above.
std::string workspaceToFileLine(std::string_view line);

// Reads and checks the whole file; on success writes generalData and record2 (through
// AtomicFileWriter, ProcessSafe durability) and returns nullopt; on failure returns the
// Windows-1253 message and leaves both workspace files exactly as they were.
// Throws Error only when the workspace files themselves cannot be written.
// With workspaceLines, the lines record2 was written with are handed over too (left empty
// on failure), so that the store needs not read them back.
std::optional<std::string> readDeclarationFile(ByteSource& source, const std::filesystem::path& generalDataPath,
                                               const std::filesystem::path& record2Path,
                                               ArenaLines* workspaceLines = nullptr);

// Reads and checks the whole file as readDeclarationFile does, keeping only the detail
// lines (workspace form) and writing nothing; the same messages on failure, lines left empty.
// With firstDeclarant, the first declarant record (what generalData would begin with) too,
// left empty when there is none.
std::optional<std::string> readDeclarationLines(ByteSource& source, ArenaLines& workspaceLines,
                                                std::string* firstDeclarant = nullptr);

// Converts one 170-byte detail record into its workspace line. Throws Error with a Greek
// message when the record is not 170 bytes or an amount cannot be held in the workspace
// (negative, or its decimal form longer than the field). lineNumber is the 1-based line
// in the file, named in the message when not 0.
std::string fileToWorkspaceLine(std::string_view line, size_t lineNumber = 0);

// Header fields from the first line of generalData; an empty source gives empty fields and
// the natural-person kind. Throws Error on a read failure.
HeaderFields loadHeaderFields(ByteSource& generalData);
// As above from a file; a missing file counts as empty.
HeaderFields loadHeaderFields(const std::filesystem::path& generalDataPath);

}  // namespace edlt
