#include "core/reports/FirstPage.h"

#include <algorithm>

#include "core/base/Amount.h"
#include "core/base/Convert.h"
#include "core/reports/PageWriter.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"

namespace edlt::reports {
namespace {

// The program's fragments between the blocks, in page order; F[i] is a whole line or the
// fixed part of a line around a value.
struct Fragments {
    std::vector<std::string> f;
    const std::string& operator[](size_t i) const { return f[i]; }
};

const Fragments& fragments()
{
    static const Fragments fr = [] {
        Fragments out;
        for (const char* utf8 : {
                 // 0: rest of row 5
                 "</span></td><td class=xl286748></td><td class=xl286748></td><td class=xl286748></td>"
                 "<td class=xl286748></td>",
                 // 1
                 "<td class=xl286748></td><td class=xl286748></td><td class=xl286748></td><td class=xl286748 "
                 "colspan=3><span style=\"mso-spacerun:yes\">",
                 // 2
                 "</span><font class=\"font76748\">Αριθ. Φακέλλου ...............…</font></td></tr>",
                 // 3: start of row 6
                 "<tr height=37 style=\"mso-height-source:userset;height:27.75pt\"><td height=37 class=xl156748 "
                 "style=\"height:27.75pt\"></td>",
                 // 4: the period cell's opening tag, around the period text
                 "<td class=xl266748 colspan=6 x:str=\"",
                 // 5: rest of row 9
                 "<td class=xl286748 colspan=5>Ονοματεπώνυμο (Επωνυμία)</td><td colspan=5 class=xl316748>",
                 // 6
                 "</td><td class=xl336748><span style=\"mso-spacerun:yes\">           </span>Όνομα</td>"
                 "<td class=xl316748>",
                 // 7: row 10
                 "</td></tr><tr height=29 style=\"mso-height-source:userset;height:21.75pt\"><td height=29 "
                 "class=xl156748 style=\"height:21.75pt\"></td><td class=xl286748 colspan=4>Είδος επιχείρησης</td>",
                 // 8
                 "<td colspan=3 class=xl316748>&nbsp;</td><td align=left valign=top><!--[if gte vml 1]><v:rect "
                 "id=\"_x0000_s2049\"",
                 // 9
                 "style=\"position:absolute;margin-left:9pt;margin-top:6pt;width:51pt;height:10.5pt;z-index:1\" "
                 "fillcolor=\"window [65]\" strokecolor=\"windowText [64]\" ",
                 // 10
                 "o:insetmode=\"auto\"/><![endif]--><![if !vml]><span style=\"mso-ignore:vglayout;position:absolute;"
                 "z-index:1;margin-left:11px;margin-top:7px;width:70px;  height:16px\"><img width=70 height=16",
                 // 11
                 "src=\"E7FirstPageFinal.files/DHL%20DLT%2004Empty2_6748_image001.gif\" v:shapes=\"_x0000_s2049\">"
                 "</span><![endif]><spanstyle=\"mso-ignore:vglayout2\">",
                 // 12
                 "<table cellpadding=0 cellspacing=0><tr><td height=29 class=xl306748 width=72 "
                 "style=\"height:21.75pt;width:54pt\">*</td></tr></table>",
                 // 13
                 "</span></td>  <td class=xl286748 align=\"left\"><span style=\"mso-spacerun:yes\">   </span>"
                 "Διεύθυνση</td>",
                 // 14: the address cell's opening tag
                 "<td colspan=4 class=xl346748>",
                 // 15: row 11
                 "</tr> <tr height=29 style=\"mso-height-source:userset;height:21.75pt\"> <td height=29 "
                 "class=xl156748 style=\"height:21.75pt\"></td>",
                 // 16
                 "<td class=xl286748 colspan=4>Αριθμός ταυτότητας</td><td class=xl316748>&nbsp;</td><td colspan=3 "
                 "class=xl656748>Αριθμός Φορολ.Μητρώου</td><td colspan=2 class=xl666748>",
                 // 17: the deductions cell's opening tag
                 "<td colspan=2 class=xl1076748 style=\"border-right:.5pt solid black;border-left:none\">",
                 // 18: the net total cell's opening tag
                 "<td class=xl476748>",
             })
            out.f.push_back(cp1253::lit(utf8));
        return out;
    }();
    return fr;
}

}  // namespace

std::vector<std::string> ReadTemplateBlock(ByteSource& source, const std::string& nameForMessages)
{
    std::vector<std::string> lines;
    LineReader reader(source);
    std::string line;
    while (reader.next(line)) {
        auto converted = cp1253::fromUtf8(line);
        if (!converted)
            throw Error(format(cp1253::lit("Το πρότυπο εκτύπωσης %s έχει στη γραμμή %d χαρακτήρα που δεν "
                                           "γράφεται στην κωδικοσελίδα Windows-1253"),
                               {nameForMessages, std::to_string(lines.size() + 1)}));
        lines.push_back(std::move(*converted));
    }
    return lines;
}

FirstPageTemplate FirstPageTemplate::Load(const std::filesystem::path& folder)
{
    FirstPageTemplate t;
    std::vector<std::string>* blocks[] = {&t.Memo3, &t.Memo4, &t.Memo5, &t.Memo6};
    for (int i = 0; i < 4; ++i) {
        const std::filesystem::path path = folder / ("Memo" + std::to_string(i + 3) + ".htm");
        FileSource source(path);
        *blocks[i] = ReadTemplateBlock(source, cp1253::pathText(path));
    }
    return t;
}

FirstPageValues FirstPageValuesOf(const HeaderFields& h, const TotalsTexts& totals)
{
    FirstPageValues v;
    if (auto year = tryStrToInt(h.YearOfData))
        v.fiscalYear = std::to_string(static_cast<int64_t>(*year) + 1);
    else
        v.fiscalYear = h.YearOfData;
    // A year of four digits is printed whole; any other text keeps the form's own "200"
    // and its last character.
    const std::string& y = h.YearOfData;
    const bool fourDigits = y.size() == 4 && std::all_of(y.begin(), y.end(), [](char c) { return c >= '0' && c <= '9'; });
    const std::string d = fourDigits ? y : cp1253::lit("200") + (y.empty() ? std::string() : y.substr(y.size() - 1));
    v.period = cp1253::lit("Αποδοχές απο 1/1/") + d + cp1253::lit(" έως 31/12/") + d;
    v.name = h.business ? h.CompanyName : h.CompanyName + " " + h.Name;
    v.fatherName = h.business ? std::string() : h.FatherName;
    v.address = h.Town + "," + h.Street + " " + h.Number + "," + h.TK;
    v.afm = h.AFM;
    v.gross = totals[0];
    v.net = totals[2];
    const Amount gross = Amount::tryParse(totals[0]).value_or(Amount());
    const Amount net = Amount::tryParse(totals[2]).value_or(Amount());
    v.deductions = (gross - net).text();
    return v;
}

void WriteFirstPage(ByteSink& sink, const FirstPageTemplate& blocks, const HeaderFields& header,
                    const TotalsTexts& totals)
{
    const Fragments& F = fragments();
    const FirstPageValues v = FirstPageValuesOf(header, totals);
    PageWriter out(sink);

    out.block(blocks.Memo3);
    out.lineOf({"", v.fiscalYear, "&nbsp;"});
    out.line(F[0]);
    out.line(F[1]);
    out.line(F[2]);
    out.line(F[3]);
    out.lineOf({F[4], v.period, "\">"});
    out.lineOf({"", v.period, "</td>"});

    out.block(blocks.Memo4);
    out.line(F[5]);
    out.lineOf({"", v.name, "&nbsp;"});
    out.line(F[6]);
    out.lineOf({"", v.fatherName, "&nbsp;"});
    for (size_t i = 7; i <= 13; ++i) out.line(F[i]);
    out.lineOf({F[14], v.address, "&nbsp;</td>"});
    out.line(F[15]);
    out.line(F[16]);
    out.lineOf({"", v.afm, "&nbsp;</td>"});

    out.block(blocks.Memo5);
    out.lineOf({"", v.gross, "&nbsp;</td>"});
    out.lineOf({F[17], v.deductions, "&nbsp;</td>"});
    out.lineOf({F[18], v.net, "&nbsp;</td>"});

    out.block(blocks.Memo6);
    out.flush();
}

}  // namespace edlt::reports
