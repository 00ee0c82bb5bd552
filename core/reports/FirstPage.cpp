// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/reports/FirstPage.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

#include "core/base/Amount.h"
#include "core/base/Convert.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/reports/PageWriter.h"

namespace edlt::reports {
namespace {

// The program's fragments between the blocks, in page order: each a whole line or the
// fixed part of a line around a value.
enum class Fragment : size_t {
    FiscalYearRowEnd,      // the rest of row 5: empty cells
    FileNumberCellStart,   // more empty cells, and the file number's cell opened
    FileNumberCellEnd,     // the file number's dotted line; the row ends
    PeriodRowStart,        // the start of row 6
    PeriodCellStart,       // the period cell's opening tag, around the period text
    NameCellStart,         // row 9: the name's label and its cell opened
    FatherNameCellStart,   // the name's cell closed, the father's name's label and cell opened
    BusinessKindRowStart,  // row 10: the business kind's label
    CheckBoxShapeStart,    // the business kind's cell and the start of its check box shape
    CheckBoxShapeStyle,    // the shape's position and colours
    CheckBoxImageStart,    // the shape's end, and the picture shown instead of it
    CheckBoxImageSource,   // the picture's file
    CheckBoxMark,          // the mark inside the check box
    AddressLabel,          // the check box's cell closed, the address's label
    AddressCellStart,      // the address cell's opening tag
    TaxNumberRowStart,     // row 11
    TaxNumberCellStart,    // the identity card's and the tax number's labels, the tax number's cell opened
    DeductionsCellStart,   // the deductions cell's opening tag
    NetPayCellStart,       // the net pay cell's opening tag
    Count
};

using Fragments = std::array<std::string, static_cast<size_t>(Fragment::Count)>;

const Fragments& fragments()
{
    static constexpr const char* utf8[] = {
        // FiscalYearRowEnd
        "</span></td><td class=xl286748></td><td class=xl286748></td><td class=xl286748></td>"
        "<td class=xl286748></td>",
        // FileNumberCellStart
        "<td class=xl286748></td><td class=xl286748></td><td class=xl286748></td><td class=xl286748 "
        "colspan=3><span style=\"mso-spacerun:yes\">",
        // FileNumberCellEnd
        "</span><font class=\"font76748\">Αριθ. Φακέλλου ...............…</font></td></tr>",
        // PeriodRowStart
        "<tr height=37 style=\"mso-height-source:userset;height:27.75pt\"><td height=37 class=xl156748 "
        "style=\"height:27.75pt\"></td>",
        // PeriodCellStart
        "<td class=xl266748 colspan=6 x:str=\"",
        // NameCellStart
        "<td class=xl286748 colspan=5>Ονοματεπώνυμο (Επωνυμία)</td><td colspan=5 class=xl316748>",
        // FatherNameCellStart
        "</td><td class=xl336748><span style=\"mso-spacerun:yes\">           </span>Όνομα</td>"
        "<td class=xl316748>",
        // BusinessKindRowStart
        "</td></tr><tr height=29 style=\"mso-height-source:userset;height:21.75pt\"><td height=29 "
        "class=xl156748 style=\"height:21.75pt\"></td><td class=xl286748 colspan=4>Είδος επιχείρησης</td>",
        // CheckBoxShapeStart
        "<td colspan=3 class=xl316748>&nbsp;</td><td align=left valign=top><!--[if gte vml 1]><v:rect "
        "id=\"_x0000_s2049\"",
        // CheckBoxShapeStyle
        "style=\"position:absolute;margin-left:9pt;margin-top:6pt;width:51pt;height:10.5pt;z-index:1\" "
        "fillcolor=\"window [65]\" strokecolor=\"windowText [64]\" ",
        // CheckBoxImageStart
        "o:insetmode=\"auto\"/><![endif]--><![if !vml]><span style=\"mso-ignore:vglayout;position:absolute;"
        "z-index:1;margin-left:11px;margin-top:7px;width:70px;  height:16px\"><img width=70 height=16",
        // CheckBoxImageSource
        "src=\"E7FirstPageFinal.files/DHL%20DLT%2004Empty2_6748_image001.gif\" v:shapes=\"_x0000_s2049\">"
        "</span><![endif]><spanstyle=\"mso-ignore:vglayout2\">",
        // CheckBoxMark
        "<table cellpadding=0 cellspacing=0><tr><td height=29 class=xl306748 width=72 "
        "style=\"height:21.75pt;width:54pt\">*</td></tr></table>",
        // AddressLabel
        "</span></td>  <td class=xl286748 align=\"left\"><span style=\"mso-spacerun:yes\">   </span>"
        "Διεύθυνση</td>",
        // AddressCellStart
        "<td colspan=4 class=xl346748>",
        // TaxNumberRowStart
        "</tr> <tr height=29 style=\"mso-height-source:userset;height:21.75pt\"> <td height=29 "
        "class=xl156748 style=\"height:21.75pt\"></td>",
        // TaxNumberCellStart
        "<td class=xl286748 colspan=4>Αριθμός ταυτότητας</td><td class=xl316748>&nbsp;</td><td colspan=3 "
        "class=xl656748>Αριθμός Φορολ.Μητρώου</td><td colspan=2 class=xl666748>",
        // DeductionsCellStart
        "<td colspan=2 class=xl1076748 style=\"border-right:.5pt solid black;border-left:none\">",
        // NetPayCellStart
        "<td class=xl476748>",
    };
    static_assert(std::size(utf8) == static_cast<size_t>(Fragment::Count));
    static const Fragments fr = [] {
        Fragments out;
        for (size_t i = 0; i < out.size(); ++i) out[i] = cp1253::lit(utf8[i]);
        return out;
    }();
    return fr;
}

const std::string& fragment(Fragment f)
{
    return fragments()[static_cast<size_t>(f)];
}

}  // namespace

std::vector<std::string> readTemplateBlock(ByteSource& source, const std::string& nameForMessages)
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

FirstPageTemplate FirstPageTemplate::load(const std::filesystem::path& folder)
{
    FirstPageTemplate t;
    // The files keep the names the form's first version gave them.
    const std::pair<std::vector<std::string>*, const char*> blocks[] = {{&t.pageHead, "Memo3.htm"},
                                                                        {&t.declarantHeading, "Memo4.htm"},
                                                                        {&t.summaryHead, "Memo5.htm"},
                                                                        {&t.pageEnd, "Memo6.htm"}};
    for (const auto& [block, fileName] : blocks) {
        const std::filesystem::path path = folder / fileName;
        FileSource source(path);
        *block = readTemplateBlock(source, cp1253::pathText(path));
    }
    return t;
}

FirstPageValues firstPageValuesOf(const HeaderFields& h, const TotalsTexts& totals)
{
    FirstPageValues v;
    if (auto year = tryStrToInt(h.YearOfData)) v.fiscalYear = std::to_string(static_cast<int64_t>(*year) + 1);
    else
        v.fiscalYear = h.YearOfData;
    // A year of four digits is printed whole; any other text keeps the form's own "200"
    // and its last character.
    const std::string& y = h.YearOfData;
    const bool fourDigits = y.size() == 4 &&
                            std::all_of(y.begin(), y.end(), [](char c) { return c >= '0' && c <= '9'; });
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

void writeFirstPage(ByteSink& sink, const FirstPageTemplate& blocks, const HeaderFields& header,
                    const TotalsTexts& totals)
{
    using enum Fragment;
    const FirstPageValues v = firstPageValuesOf(header, totals);
    PageWriter out(sink);

    out.block(blocks.pageHead);
    out.lineOf({"", v.fiscalYear, "&nbsp;"});
    for (Fragment f : {FiscalYearRowEnd, FileNumberCellStart, FileNumberCellEnd, PeriodRowStart}) out.line(fragment(f));
    out.lineOf({fragment(PeriodCellStart), v.period, "\">"});
    out.lineOf({"", v.period, "</td>"});

    out.block(blocks.declarantHeading);
    out.line(fragment(NameCellStart));
    out.lineOf({"", v.name, "&nbsp;"});
    out.line(fragment(FatherNameCellStart));
    out.lineOf({"", v.fatherName, "&nbsp;"});
    for (Fragment f : {BusinessKindRowStart, CheckBoxShapeStart, CheckBoxShapeStyle, CheckBoxImageStart,
                       CheckBoxImageSource, CheckBoxMark, AddressLabel})
        out.line(fragment(f));
    out.lineOf({fragment(AddressCellStart), v.address, "&nbsp;</td>"});
    out.line(fragment(TaxNumberRowStart));
    out.line(fragment(TaxNumberCellStart));
    out.lineOf({"", v.afm, "&nbsp;</td>"});

    out.block(blocks.summaryHead);
    out.lineOf({"", v.gross, "&nbsp;</td>"});
    out.lineOf({fragment(DeductionsCellStart), v.deductions, "&nbsp;</td>"});
    out.lineOf({fragment(NetPayCellStart), v.net, "&nbsp;</td>"});

    out.block(blocks.pageEnd);
    out.flush();
}

}  // namespace edlt::reports
