// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A comparison of two declarations as people and programs read it: the command line's text,
// JSON and TSV, the window's list rows and its CSV file. All UTF-8; the long ones are
// written to a sink a block at a time.
#include <cstddef>
#include <string>

#include "core/base/ByteStream.h"
#include "core/session/CompareDeclarations.h"

namespace edlt {

// Readable Greek text: the lines only in the older declaration, only in the newer one, the
// changed ones (each field old → new), then the totals of both and their differences.
void writeComparisonText(const DeclarationComparison& comparison, ByteSink& out);
// One JSON object and a line break:
// {"only_old":[{"line":n,"fields":{"AFM":"…",…}}],"only_new":[…],
//  "changed":[{"old_line":n,"new_line":n,"AFM":"…","TypeInc":"…",
//              "changes":[{"field":"AkaInc","old":"1000.00","new":"1200.00"}]}],
//  "totals":{"old":{…},"new":{…},"difference":{…}}}
// Amounts are decimal strings with a full stop; line numbers and counts are numbers.
void writeComparisonJson(const DeclarationComparison& comparison, ByteSink& out);
// A heading row "kind old_line new_line AFM TypeInc field old new difference", then a row
// for each line only in one, each changed field, each total and the two counts.
void writeComparisonTsv(const DeclarationComparison& comparison, ByteSink& out);
// As the TSV with Greek headings, for a Greek spreadsheet: UTF-8 with a byte-order mark,
// ';' between fields, CR LF, texts quoted, amounts with the decimal comma.
void writeComparisonCsv(const DeclarationComparison& comparison, ByteSink& out);

// The window's list: a row a line only in one, a row a changed line, then a row a total.
struct ComparisonRow {
    enum class Kind { OnlyOld, OnlyNew, Changed, Total };
    Kind kind = Kind::Total;
    size_t oldLine = 0, newLine = 0;  // 1-based; 0 where the declaration has no such line
    std::string afm, typeInc, surname, details;
};
size_t comparisonRowCount(const DeclarationComparison& comparison);
// Made when asked for: a list of a million rows holds no text of its own.
ComparisonRow comparisonRow(const DeclarationComparison& comparison, size_t row);
// "Μόνο στην παλιά", "Μόνο στη νέα", "Αλλαγή", "Σύνολο".
const std::string& comparisonKindText(ComparisonRow::Kind kind);
// "Σύγκριση: 1 μόνο στην παλιά, 1 μόνο στη νέα, 1 με αλλαγές" or "… ίδιες γραμμές".
std::string comparisonSummary(const DeclarationComparison& comparison);

}  // namespace edlt
