// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two declarations side by side: their detail lines matched by tax number and income type
// (a pair that repeats is matched in the order of its lines), what is only in the older one,
// only in the newer one, what changed between matched lines, and the totals of both.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Error.h"
#include "core/session/ScriptOutput.h"
#include "core/store/DeclarationFile.h"
#include "core/store/DetailRecord.h"
#include "core/store/FixedWidthTable.h"
#include "core/store/LineArena.h"

namespace edlt {

class DeclarationSession;
class LongWork;
class UserInterface;

struct DeclarationComparison {
    // A detail line: its 1-based number in its declaration and its workspace text.
    struct Line {
        size_t number = 0;
        std::string_view text;
    };
    // Matched lines whose other fields differ; fields has a bit for each detail::Field changed.
    struct Change {
        Line oldLine, newLine;
        uint32_t fields = 0;
        bool changed(detail::Field field) const { return (fields >> field) & 1U; }
    };

    std::vector<Line> onlyOld;    // in the older declaration's order
    std::vector<Line> onlyNew;    // in the newer one's order
    std::vector<Change> changed;  // in the newer one's order
    TotalsSummary oldTotals, newTotals;
    LineArena arena;  // holds the texts of the lines listed

    bool same() const { return onlyOld.empty() && onlyNew.empty() && changed.empty(); }
};

// The fields a change is looked for in, in record order (the record type and fillers left out).
const std::vector<detail::Field>& comparedFields();
// A field's Greek caption, Windows-1253 ("Ακαθάριστες Αποδοχές", "Επώνυμο").
const std::string& fieldCaption(detail::Field field);

// A declaration whose totals cannot be made: a line holds an amount that is not a number.
// The message is "Γραμμή N: " and the conversion message, as the totals boxes' own.
class UncomparableAmounts : public ConvertError {
public:
    UncomparableAmounts(const std::string& message, bool inOld) : ConvertError(message), inOld_(inOld) {}
    bool inOld() const { return inOld_; }

private:
    bool inOld_;
};

// Compares the lines of two declarations (workspace form); throws UncomparableAmounts.
DeclarationComparison compareDeclarations(const DetailLines& oldLines, const DetailLines& newLines);

// The line a listed row stands for in the newer declaration (nullptr for a line only in the
// older one and for the totals), in the order of the window's list.
const DeclarationComparison::Line* comparedNewLine(const DeclarationComparison& comparison, size_t row);
// Where that line is now in the lines compared (1-based; 0 when gone): at its number while
// the line there has its tax number and income type, else the first line that has them
// (the lines were sorted or edited since).
size_t currentLineNumber(const FixedWidthTable& store, const DeclarationComparison::Line& line);

// The detail lines of a declaration file, read and checked as Open reads them with nothing
// written; the message Open shows when it refuses the file (lines then empty). work, when
// given, is told how far the reading got.
std::optional<std::string> readDetailLines(const std::filesystem::path& path, ArenaLines& lines,
                                           LongWork* work = nullptr);

// The window's command: asks for the older declaration's file and compares it with the one
// open (its line being edited stored first). nullopt when cancelled or refused (the user has
// been told why).
std::optional<DeclarationComparison> compareWithFile(DeclarationSession& session, UserInterface& ui);

}  // namespace edlt
