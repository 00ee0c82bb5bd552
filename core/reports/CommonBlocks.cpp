// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces the detailed payments and totals pages share.
#include "core/base/Cp1253.h"
#include "core/reports/ReportPages.h"

namespace edlt::reports {

const std::vector<std::string>& pageHeadTemplate()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> l;
        for (const char* utf8 : {
                 "",
                 "<html>",
                 "<head>",
                 "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1253\">",
                 "<title>ΟΡΙΣΤΙΚΗ ΔΗΛΩΣΗ ΔΛΤ</title>",
                 "<style type=\"text/css\">",
                 "<!--",
                 ".style2 {font-size: 12}",
                 "",
                 "-->",
                 "</style>",
                 "</head>",
                 "",
                 "<body>",
                 "<table cellpadding=\"0\" cellspacing=\"0\" width=\"100%\" border=\"0\" >",
                 "<thead style=\"display:table-header-group\"><tr><th><font size=\"1\">ΚΕΝΤΡΙΚΗ ΔΙΟΙΚΗΣΗ - "
                 "ΚΕΝΤΡΟ ΗΛΕΚΤΡΟΝΙΚΩΝ ΥΠΗΡΕΣΙΩΝ</font></th></tr></thead>",
                 "",
                 "<tr><td class=\"style2\" ><center><b>ΟΡΙΣΤΙΚΗ ΔΗΛΩΣΗ  ",
                 "ΔΛΤ</b></center><br></td></tr>",
                 "",
                 "<tr><td>",
             })
            l.push_back(cp1253::lit(utf8));
        return l;
    }();
    return lines;
}

void writeDeclarantBlock(PageWriter& out, const HeaderFields& h)
{
    static const std::string business = cp1253::lit("<tr><td class=\"style2\">Επωνυμία:</td>");
    static const std::string person = cp1253::lit("<tr><td class=\"style2\">Ονοματεπώνυμο:</td>");
    static const std::vector<std::string> fixed = [] {
        std::vector<std::string> l;
        for (const char* utf8 : {
                 "<td class=\"style2\">Έτος:</td>",
                 "<tr><td class=\"style2\" colspan=\"6\"><br><center><b>ΣΤΟΙΧΕΙΑ ΥΠΟΧΡΕΟΥ</b></center></td></tr>",
                 "<td class=\"style2\">ΑΦΜ:</td>",
                 "</tr><tr><td class=\"style2\">Πατρώνυμο:</td>",
                 "<tr><td class=\"style2\">Αντικείμενο εργασιών:</td>",
                 "<td class=\"style2\">Διεύθυνση:</td>",
                 "<td class=\"style2\">Τηλ:</td>",
                 "</tr><tr><td class=\"style2\">&nbsp;</td><td class=\"style2\">&nbsp;</td><td "
                 "class=\"style2\">&nbsp;</td><td class=\"style2\">(πόλη, οδός, αριθμός, Τ.Κ.)</td><td "
                 "class=\"style2\">&nbsp;</td><td class=\"style2\">&nbsp;</td></tr>",
             })
            l.push_back(cp1253::lit(utf8));
        return l;
    }();
    const std::string_view cell = "<td class=\"style2\">";

    out.line("<table cellpadding=\"0\" cellspacing=\"0\" width=\"200\"  border=\"0\">");
    out.line("<tr>");
    out.line(fixed[0]);
    out.lineOf({cell, h.YearOfData, "</td>"});
    out.line("</tr></table>");
    out.line("<table width=\"100%\"  border=\"0\" cellspacing=\"0\" cellpadding=\"0\">");
    out.line(fixed[1]);
    out.line(h.business ? business : person);
    if (h.business) out.lineOf({"<td class=\"style2\" colspan=\"3\">", h.CompanyName, "</td>"});
    else
        out.lineOf({"<td class=\"style2\" colspan=\"3\">", h.CompanyName, " ", h.Name, "</td>"});
    out.line(fixed[2]);
    out.lineOf({cell, h.AFM, "</td>"});
    out.line(fixed[3]);
    out.lineOf({cell, h.FatherName, "&nbsp;</td></tr>"});
    out.line("<td class=\"style2\" colspan=\"4\">&nbsp;</td></tr>");
    out.line(fixed[4]);
    out.lineOf({cell, h.AntikeimenoErgasion, "</td>"});
    out.line(fixed[5]);
    out.lineOf({cell, h.Town, ", ", h.Street, " ", h.Number, ", ", h.TK, "</td>"});
    out.line(fixed[6]);
    out.line("<td class=\"style2\">&nbsp;</td>");
    out.line(fixed[7]);
    out.line("<tr><td class=\"style2\" colspan=\"6\">&nbsp;</td></tr></table>");
}

void writeClosingLine(PageWriter& out)
{
    out.line("</tr></table></td></tr></table></body></html>");
}

}  // namespace edlt::reports
