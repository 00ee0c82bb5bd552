// SPDX-License-Identifier: GPL-3.0-or-later
// The totals page: the declarant's data and one row with the nine totals boxes as they stand.
#include "core/base/Cp1253.h"
#include "core/reports/ReportPages.h"

namespace edlt::reports {
namespace {

const std::vector<std::string>& tableHead()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> l;
        for (const char* utf8 : {
                 "<center><b>ΕΚΤΥΠΩΣΗ ΣΥΝΟΛΩΝ</b></center>",
                 "<table width=\"100%\"  border=\"1\" cellspacing=\"0\" cellpadding=\"0\">",
                 "<thead style=\"display:table-header-group\"><tr>",
                 "<th class=\"style2\" colspan=\"7\"><center>&nbsp;</center></th>",
                 "<th class=\"style2\"><center>Ακαθάριστες αποδοχές</center></th>",
                 "<th class=\"style2\"><center>Χαρτόσημο</center></th>",
                 "<th class=\"style2\"><center>ΟΓΑ Χαρτοσήμου</center></th>",
                 "<th class=\"style2\"><center>Κρατήσεις (εκτός φόρου)</center></th>",
                 "<th class=\"style2\"><center>Καθαρές αποδοχές</center></th>",
                 "<th class=\"style2\"><center>Φόρος που παρακ/<BR> θηκε</center></th>",
                 "<th class=\"style2\"><center>Φόρος που αναλογεί</center></th>",
                 "<th class=\"style2\"><center>ΟΓΑ φόρου που παρακ/<BR>θηκε</center></th>",
                 "<th class=\"style2\"><center>ΟΓΑ φόρου που αναλογεί</center></th></tr></thead>",
                 "<tr><td class=\"style2\" colspan=\"16\">&nbsp;</td></tr>",
                 "<tr>",
                 "<td class=\"style2\" colspan=\"7\">ΣΥΝΟΛΟ</td>",
             })
            l.push_back(cp1253::lit(utf8));
        return l;
    }();
    return lines;
}

}  // namespace

void writeTotalsPage(ByteSink& sink, const HeaderFields& header, const TotalsTexts& totals)
{
    PageWriter out(sink);
    out.block(pageHeadTemplate());
    writeDeclarantBlock(out, header);
    for (const std::string& l : tableHead()) out.line(l);
    // The nine totals in the page's order: boxes 1, 5, 6, 2, 3, 4, 7, 8, 9.
    for (int box : {1, 5, 6, 2, 3, 4, 7, 8, 9})
        out.lineOf({"<td class=\"style2\">", totals[static_cast<size_t>(box - 1)], "</td>"});
    writeClosingLine(out);
    out.flush();
}

}  // namespace edlt::reports
