// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed payments page: every detail line as a row under the declarant's data, then
// the totals row with the texts of the totals boxes.
#include <cstdio>

#include "core/base/Cp1253.h"
#include "core/reports/ReportPages.h"
#include "core/store/DetailRecord.h"

namespace edlt::reports {
namespace {

const std::vector<std::string>& columnHeaders()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> l;
        for (const char* utf8 : {
                 "<table width=\"100%\"  border=\"1\" cellspacing=\"0\" cellpadding=\"0\">",
                 "<thead style=\"display:table-header-group\"><tr>",
                 "<th class=\"style2\"><center>α/α</center></th><th class=\"style2\"><center>ΑΦΜ</center></th>"
                 "<th class=\"style2\"><center>Επώνυμο</center></th>",
                 "<th class=\"style2\"><center>Όνομα</center></th><th class=\"style2\"><center>Όνομα πατέρα ή "
                 "συζύγου</center></th>",
                 "<th class=\"style2\"><center>Διεύθυνση</center></th>",
                 "<th class=\"style2\"><center>Είδος απο-<BR>δοχών</center></th><th class=\"style2\">"
                 "<center>Ακαθάριστες αποδοχές</center></th>",
                 "<th class=\"style2\"><center>Χαρτόσημο</center></th>",
                 "<th class=\"style2\"><center>ΟΓΑ Χαρτοσήμου</center></th>",
                 "<th class=\"style2\"><center>Κρατήσεις (εκτός φόρου)</center></th>",
                 "<th class=\"style2\"><center>Καθαρές αποδοχές</center></th>",
                 "<th class=\"style2\"><center>Φόρος που παρακ/<BR> θηκε</center></th>",
                 "<th class=\"style2\"><center>Φόρος που αναλογεί</center></th>",
                 "<th class=\"style2\"><center>Υποκ/μα μισθωτού</center></th>",
                 "<th class=\"style2\"><center>Σύνολο ημερών απ/σης</center></th>",
                 "<th class=\"style2\"><center>ΟΓΑ φόρου που παρακ/<BR>θηκε</center></th>",
                 "<th class=\"style2\"><center>ΟΓΑ φόρου που αναλογεί</center></th></tr></thead>",
             })
            l.push_back(cp1253::lit(utf8));
        return l;
    }();
    return lines;
}

constexpr std::string_view cell = "<td class=\"style2\">";
constexpr std::string_view cellEnd = "&nbsp;</td>";

// Columns 7 to 18 after the address, in page order.
constexpr detail::Field laterColumns[] = {
    detail::TypeInc,      detail::AkaInc,   detail::Xartosimo,      detail::OGAXart,
    detail::Kratiseis,    detail::Kathares, detail::ForosParakr,    detail::ForosAnal,
    detail::Ypokatastima, detail::Hmeres,   detail::OGAForouParakr, detail::OGAForouAnal,
};

}  // namespace

void writeDetailedPaymentsHead(PageWriter& out, const HeaderFields& header)
{
    out.block(pageHeadTemplate());
    writeDeclarantBlock(out, header);
    for (const std::string& l : columnHeaders()) out.line(l);
}

void writeDetailedPaymentsRow(PageWriter& out, size_t serial, std::string_view line)
{
    char number[24];
    const int length = std::snprintf(number, sizeof number, "%zu", serial);
    out.line("<tr>");
    out.lineOf({cell, std::string_view(number, static_cast<size_t>(length)), "</td>"});
    for (detail::Field f : {detail::AFM, detail::SurName, detail::Name, detail::FatherName})
        out.lineOf({cell, detail::fieldValue(line, f), cellEnd});
    out.lineOf({cell, detail::fieldValue(line, detail::City), ", ", detail::fieldValue(line, detail::Street), " ",
                detail::fieldValue(line, detail::StreetNo), " ", detail::fieldValue(line, detail::TK), cellEnd});
    for (detail::Field f : laterColumns) out.lineOf({cell, detail::fieldValue(line, f), cellEnd});
    out.line("</tr>");
}

void writeDetailedPaymentsRows(PageWriter& out, const DetailLines& lines)
{
    for (size_t i = 0; i < lines.count; ++i) writeDetailedPaymentsRow(out, i + 1, lines.lineAt(i));
}

void writeDetailedPaymentsEnd(PageWriter& out, const TotalsTexts& totals)
{
    static const std::string total = cp1253::lit("<td class=\"style2\" colspan=\"6\">ΣΥΝΟΛΟ</td>");
    out.line("<tr><td class=\"style2\" colspan=\"18\">&nbsp;</td></tr>");
    out.line("<tr><td class=\"style2\">&nbsp;</td>");
    out.line(total);
    // Boxes 1, 5, 6, 2, 3, 4 and 7, two empty cells, boxes 8 and 9.
    for (int box : {1, 5, 6, 2, 3, 4, 7}) out.lineOf({cell, totals[static_cast<size_t>(box - 1)], "</td>"});
    out.line("<td class=\"style2\">&nbsp;</td>");
    out.line("<td class=\"style2\">&nbsp;</td>");
    for (int box : {8, 9}) out.lineOf({cell, totals[static_cast<size_t>(box - 1)], "</td>"});
    writeClosingLine(out);
}

void writeDetailedPaymentsPage(ByteSink& sink, const HeaderFields& header, const TotalsTexts& totals,
                               const DetailLines& lines)
{
    PageWriter out(sink);
    writeDetailedPaymentsHead(out, header);
    writeDetailedPaymentsRows(out, lines);
    writeDetailedPaymentsEnd(out, totals);
    out.flush();
}

}  // namespace edlt::reports
