// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report pages, each written to a byte sink: the detailed payments page and the totals
// page (both under the page head and the declarant block), and the first page of the form
// (in FirstPage.h). Values are the texts the boxes and lines hold, HTML-escaped.
#include <string>
#include <vector>

#include "core/base/ByteStream.h"
#include "core/reports/PageWriter.h"
#include "core/store/DeclarationFile.h"
#include "core/store/DetailRecord.h"
#include "core/store/HeaderFields.h"

namespace edlt::reports {

// The page head template: document head, the issuing-authority line repeated on
// every printed page, the title, and the opened cell that holds the rest. Built in: the
// detailed payments and totals reports must work without the Addon folder.
const std::vector<std::string>& pageHeadTemplate();

// The 22 lines of the declarant block.
void writeDeclarantBlock(PageWriter& out, const HeaderFields& header);
// The last line of the detailed payments and totals pages.
void writeClosingLine(PageWriter& out);

// The detailed payments page in three steps, so the command can refresh the workspace
// between the column headers and the rows: head (template, declarant, column headers),
// one row per line, then the separator, the totals row and the closing line.
void writeDetailedPaymentsHead(PageWriter& out, const HeaderFields& header);
void writeDetailedPaymentsRows(PageWriter& out, const DetailLines& lines);
// One row: serial is its 1-based number, line the workspace line it shows.
void writeDetailedPaymentsRow(PageWriter& out, size_t serial, std::string_view line);
void writeDetailedPaymentsEnd(PageWriter& out, const TotalsTexts& totals);
// All three steps over workspace lines.
void writeDetailedPaymentsPage(ByteSink& sink, const HeaderFields& header, const TotalsTexts& totals,
                               const DetailLines& lines);

void writeTotalsPage(ByteSink& sink, const HeaderFields& header, const TotalsTexts& totals);

}  // namespace edlt::reports
