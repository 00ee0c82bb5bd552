#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the four template blocks of the first-page report (Addon/E7FirstPageFinal/Memo3.htm
to Memo6.htm) in the form a spreadsheet application gives a sheet saved as a web page.

The blocks are data: the program reads them at run time and writes its own fragments and
values between them. Run from anywhere: python3 data/make_first_page.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "Addon", "E7FirstPageFinal")

SUFFIX = "6748"
WIDTHS = [35, 34, 18, 24, 49, 32, 46, 46, 23, 72, 86, 17, 106, 71, 71]
THIN = ".5pt solid windowtext"
DOUBLE = "2.0pt double windowtext"
# Lines the blocks must have; padding keeps the counts when the layout changes.
LINE_COUNTS = {"Memo3": 2177, "Memo4": 54, "Memo5": 283, "Memo6": 491}


def pt(px):
    """Pixels to the points the spreadsheet writes (0.75 pt a pixel, halves rounded up)."""
    v = px * 3 / 4
    return int(v + 0.5)


def hpt(px):
    """Row heights keep their quarter points: 15.0pt, 10.5pt, 27.75pt."""
    v = px * 3 / 4
    s = ("%.2f" % v).rstrip("0")
    return s + "0" if s.endswith(".") else s


# --- Cell styles ------------------------------------------------------------------------
# size, bold, horizontal, vertical, borders (t r b l: None, "thin", "double"), wrap, format, rotate
def S(size, bold=False, h="general", v="bottom", b="", dbl="", wrap=False, fmt="General", rot=False):
    borders = {}
    for side in "trbl":
        borders[side] = "double" if side in dbl else ("thin" if side in b else None)
    return dict(size=size, bold=bold, h=h, v=v, borders=(borders["t"], borders["r"], borders["b"], borders["l"]),
                wrap=wrap, fmt=fmt, rot=rot)


# The classes the program's fragments name keep these numbers and these styles.
FIXED = {
    15: S(10),
    26: S(8),
    28: S(9),
    30: S(9, bold=True),
    31: S(9, b="b"),
    33: S(9, h="center", v="middle"),
    34: S(9, bold=True, b="b"),
    47: S(8, bold=True, h="right", b="rb", fmt="Standard"),
    65: S(9, h="left"),
    66: S(9, bold=True, h="center", b="b", fmt="@"),
    107: S(8, bold=True, h="right", b="tbl", fmt="Standard"),
}
# Numbers the spreadsheet left unused between the classes.
UNUSED = {19, 37, 52, 61, 78, 83, 95, 101, 116}
CLASS_COUNT = 101

styles = {}  # key -> number
style_of = {}  # number -> style dict


def key_of(st):
    return tuple(sorted((k, v if not isinstance(v, list) else tuple(v)) for k, v in st.items()))


for n, st in FIXED.items():
    styles[key_of(st)] = n
    style_of[n] = st


def free_numbers():
    for n in range(15, 125):
        if n not in FIXED and n not in UNUSED:
            yield n


_free = free_numbers()


def cls(st):
    k = key_of(st)
    if k not in styles:
        n = next(_free)
        styles[k] = n
        style_of[n] = st
    return "xl%d%s" % (styles[k], SUFFIX)


def css_of(n):
    st = style_of[n]
    lines = [
        "padding:0px;", "mso-ignore:padding;", "color:windowtext;", "font-size:%.1fpt;" % st["size"],
        "font-weight:%d;" % (700 if st["bold"] else 400), "font-style:normal;", "text-decoration:none;",
        # Arial, then any sans-serif, where the Greek cut of Arial is not installed.
        'font-family:"Arial Greek", Arial, sans-serif;', "mso-generic-font-family:swiss;", "mso-font-charset:161;",
    ]
    fmt = st["fmt"]
    if fmt == "@":
        lines.append('mso-number-format:"\\@";')
    elif fmt == "Short Date":
        lines.append('mso-number-format:"Short Date";')
    else:
        lines.append("mso-number-format:%s;" % fmt)
    lines.append("text-align:%s;" % st["h"])
    lines.append("vertical-align:%s;" % st["v"])
    t, r, b, l = st["borders"]
    spec = {None: "none", "thin": THIN, "double": DOUBLE}
    if t == r == b == l:
        lines.append("border:%s;" % spec[t])
    else:
        lines += ["border-top:%s;" % spec[t], "border-right:%s;" % spec[r], "border-bottom:%s;" % spec[b],
                  "border-left:%s;" % spec[l]]
    lines += ["mso-background-source:auto;", "mso-pattern:auto;"]
    if st["rot"]:
        # Only the spreadsheet turns the text; the HTML view wraps it across the narrow cell,
        # which prints readably everywhere (writing modes on table cells do not print alike).
        lines.append("mso-rotate:90;")
    lines.append("white-space:%s;" % ("normal" if st["wrap"] else "nowrap"))
    out = [".xl%d%s" % (n, SUFFIX)]
    out.append("\t{" + lines[0])
    out += ["\t" + x for x in lines[1:-1]]
    out.append("\t" + lines[-1][:-1] + ";}")
    return out


FONTS = [
    (5, 8, False, False),
    (6, 9, False, False),
    (7, 9, False, True),
    (8, 8, True, False),
]


def font_css(num, size, bold, underline):
    out = [".font%d%s" % (num, SUFFIX), "\t{color:windowtext;", "\tfont-size:%.1fpt;" % size,
           "\tfont-weight:%d;" % (700 if bold else 400), "\tfont-style:normal;"]
    if underline:
        out += ["\ttext-decoration:underline;", "\ttext-underline-style:single;"]
    else:
        out.append("\ttext-decoration:none;")
    out += ['\tfont-family:"Arial Greek", Arial, sans-serif;', "\tmso-generic-font-family:swiss;",
            "\tmso-font-charset:161;}"]
    return out


# --- Named styles of the form -------------------------------------------------------------
N10 = S(10)
P7C = S(7, h="center")
P7L = S(7, h="left")
P7R = S(7, h="right")
P8 = S(8)
P8L = S(8, h="left")
P8C = S(8, h="center")
P8R = S(8, h="right")
P8B = S(8, bold=True)
P8M = S(8, h="left", v="middle")
P9 = S(9)
P9B = S(9, bold=True)
P9R = S(9, h="right")
P9BC = S(9, bold=True, h="center")
P9BCM = S(9, bold=True, h="center", v="middle")
P9BLM = S(9, bold=True, h="left", v="middle", wrap=True)
P9LM = S(9, h="left", v="middle")
P9U = S(9, b="b")
P9CM = S(9, h="center", v="middle")
P9WL = S(9, h="left", wrap=True)
P9BTB = S(9, bold=True, b="tb")
BOX9 = S(9, b="trbl")
T11 = S(11, bold=True, h="center", v="middle")
T14 = S(14, bold=True, h="left")
T16 = S(16, bold=True, h="center", v="middle")
P10BC = S(10, bold=True, h="center")
ROT = S(7, bold=True, h="center", v="middle", b="trbl", wrap=True, rot=True)


def hdr(size=7, bold=False, b="trbl"):
    return S(size, bold=bold, h="center", v="middle", b=b, wrap=True)


def amount(bold=False, b="trbl", dbl=""):
    return S(8, bold=bold, h="right", b=b, dbl=dbl, fmt="Standard")


def label(bold=False, h="left", b="trbl", dbl="", size=8):
    return S(size, bold=bold, h=h, b=b, dbl=dbl)


def date(size=8, bold=False, b="trbl"):
    return S(size, bold=bold, h="center", b=b, fmt="Short Date")


# --- Rows ---------------------------------------------------------------------------------
class Cell:
    def __init__(self, text="", st=None, span=1, rows=1, extra="", shape=None):
        self.text, self.st, self.span, self.rows, self.extra, self.shape = text, st, span, rows, extra, shape


def C(text, st, span=1, rows=1, extra="", shape=None):
    return Cell(text, st, span, rows, extra, shape)


def E(st=P9, n=1):
    return [Cell("", st) for _ in range(n)]


def row(height, *parts):
    cells = []
    for p in parts:
        cells += p if isinstance(p, list) else [p]
    return (height, cells)


def bordered(st):
    return any(st["borders"])


def td(cell, first=False, height=None, first_row=False, col=0):
    """One cell as the spreadsheet writes it (one or more source lines)."""
    attrs = []
    if cell.span > 1:
        attrs.append("colspan=%d" % cell.span)
    if cell.rows > 1:
        attrs.append("rowspan=%d" % cell.rows)
    if first:
        attrs.append("height=%d" % height)
    attrs.append("class=" + cls(cell.st))
    styles_ = []
    if first:
        styles_.append("height:%spt" % hpt(height))
    if first_row:
        w = sum(WIDTHS[col:col + cell.span])
        attrs.append("width=%d" % w)
        styles_.append("width:%dpt" % sum(pt(x) for x in WIDTHS[col:col + cell.span]))
    if cell.extra:
        styles_.append(cell.extra)
    if styles_:
        attrs.append("style='%s'" % ";".join(styles_))
    text = cell.text
    if not text and bordered(cell.st):
        text = "&nbsp;"
    if cell.shape:
        return shape_cell(cell, attrs)
    return ["<td %s>%s</td>" % (" ".join(attrs), text)]


def shape_cell(cell, attrs):
    sh = cell.shape
    inner = list(attrs)
    lines = ["<td %s align=left valign=top>%s" % (" ".join(attrs), sh["vml"])]
    lines += sh["fallback"]
    lines.append("<table cellpadding=0 cellspacing=0>")
    lines.append(" <tr>")
    lines.append("  <td %s>%s</td>" % (" ".join(inner), cell.text))
    lines.append(" </tr>")
    lines.append("</table>")
    lines.append("</span></td>")
    return lines


BRACE_TYPE = [
    '<!--[if gte vml 1]><v:shapetype id="_x0000_t87" coordsize="21600,21600" o:spt="87"',
    ' adj="1800,10800" path="m21600,qx10800@0l10800@2qy0@11,10800@3l10800@1qy21600,21600e"',
    ' filled="f">',
    ' <v:formulas>',
    '  <v:f eqn="mid #0 #0"/>',
    '  <v:f eqn="sum 21600 0 #0"/>',
    '  <v:f eqn="sum #1 0 #0"/>',
    '  <v:f eqn="sum #1 #0 0"/>',
    '  <v:f eqn="prod #0 9598 32768"/>',
    '  <v:f eqn="sum 21600 0 @4"/>',
    '  <v:f eqn="sum 21600 0 #1"/>',
    '  <v:f eqn="min #1 @6"/>',
    '  <v:f eqn="prod @7 1 2"/>',
    '  <v:f eqn="prod #0 2 1"/>',
    '  <v:f eqn="sum 21600 0 @9"/>',
    '  <v:f eqn="val #1"/>',
    ' </v:formulas>',
    ' <v:path arrowok="t" o:connecttype="custom" o:connectlocs="21600,0;0,10800;21600,21600"',
    '  textboxrect="13963,@4,21600,@5"/>',
    ' <v:handles>',
    '  <v:h position="center,#0" yrange="0,@8"/>',
    '  <v:h position="topLeft,#1" yrange="@9,@10"/>',
    ' </v:handles>',
    '</v:shapetype>',
]


def brace(shape_id, z, left_pt, top_pt, w_pt, h_pt, left_px, top_px, w_px, h_px, image, with_type):
    """A left brace drawn over a cell: the shape for renderers that draw it, else its picture."""
    lines = (BRACE_TYPE if with_type else []) + [
        '<v:shape id="%s" type="#_x0000_t87" style=\'position:absolute;' % shape_id,
        ' margin-left:%spt;margin-top:%spt;width:%spt;height:%spt;z-index:%d\'' % (left_pt, top_pt, w_pt, h_pt, z),
        ' adj="0"/><![endif]--><![if !vml]><span style=\'mso-ignore:vglayout;',
        'position:absolute;z-index:%d;margin-left:%dpx;margin-top:%dpx;width:%dpx;' % (z, left_px, top_px, w_px),
        'height:%dpx\'><img width=%d height=%d' % (h_px, w_px, h_px),
        'src="E7FirstPageFinal.files/DHL%%20DLT%%2004Empty2_6748_%s"' % image,
        'v:shapes="%s"></span><![endif]><span style=\'mso-ignore:vglayout2\'>' % shape_id,
    ]
    if not with_type:
        lines[0] = "<!--[if gte vml 1]>" + lines[0]
    return dict(vml=lines[0], fallback=lines[1:])


def build_rows():
    R = []
    # 1
    R.append(row(20, E(N10), C("Ε 7", T14, 2), E(P9, 4), C("(ΥΠΟΒΑΛΛΕΤΑΙ ΣΕ ΔΥΟ ΑΝΤΙΤΥΠΑ)", P9BC, 6), E(P9),
                 C("Σελίδα 1", P9R)))
    # 2
    R.append(row(16, E(N10), C("Φ-01.015", P8L, 3), E(P9, 4),
                 C('<font class="font86748">ΠΡΟΣΟΧΗ:</font><font class="font56748">Θα γίνει εκκαθάριση με '
                   'βάση την</font>', P8L, 5), E(P9, 2)))
    # 3
    R.append(row(14, E(N10), C("Προς τον ΠροΪστάμενο Δ.Ο.Υ.", P9BLM, 6, 2),
                 C("κλίμακα του άρθρου 9 του ν.2238/199<span style='display:none'>4</span>", P8B, 5),
                 C('<font class="font76748">Αριθ. Δήλωσης ...............................</font>', P9LM, 3, 2)))
    # 4
    R.append(row(14, E(N10), E(P9, 5)))
    # 5 (the template stops inside the fiscal-year cell)
    R.append(row(14, E(N10), C("Οικονομικό έτος<span style=\"mso-spacerun:yes\">", P9BTB, 4, extra="OPEN")))
    # 6 (the program writes the period cell)
    R.append(row(37, C("ΟΡΙΣΤΙΚΗ ΔΗΛΩΣΗ", T16, 4), E(P9, 4)))
    # 7
    R.append(row(20, E(N10), E(P9, 4),
                 C("Εκκαθάρισης των ποσών φόρου, τελών χαρτοσήμου και εισφοράς ΟΓΑ", P9BC, 8), E(P9, 2)))
    # 8
    R.append(row(15, E(N10), E(P9, 4), C("που οφείλονται σε εισοδήματα από μισθωτές υπηρεσίες", P9BC, 8),
                 C("του πατέρα ή συζύγου", P9WL, 1, 2), E(P9)))
    # 9 (start only)
    R.append(row(29, E(N10), C("ΣΤΟΙΧ. ΥΠΟΧ.", ROT, 1, 3)))
    # 11 (rest only)
    R.append(row(29, C("Αριθ.τηλεφ.", P9R), C("", BOX9, 2)))
    # 12
    R.append(row(25, E(N10), C("ΣΤΟΙΧ. ΝΟΜ. ΕΚΠΡ/ ΠΟΥ", ROT, 1, 4), C("Ονοματεπώνυμο (Επωνυμία)", P9, 5),
                 C("", P9U, 5), C("'Ονομα", P9CM, 1, 2), C("το\nυ πατέρα ή συζύγου", P9WL, 1, 2), C("", P9U)))
    # 13
    R.append(row(20, E(N10), E(P9, 10), E(P9)))
    # 14
    R.append(row(21, E(N10), C("Διεύθυνση :", P9, 3), C("", P9U, 7), C("Αριθ.τηλεφ.", P9R), C("", P9U, 2)))
    # 15
    R.append(row(23, E(N10), E(P9, 2), C("(ΟΔΟΣ - ΑΡΙΘ.-ΤΑΧ. ΚΩΔ.-ΣΥΝΟΙΚΙΑ-ΠΟΛΗ-ή ΧΩΡΙΟ)", P7C, 7), E(P9),
                 C("Α.Φ.Μ.", P9R), C("", BOX9, 2)))
    # 16
    R.append(row(30, E(N10), E(P9, 4), C("ΑΝΑΚΕΦΑΛΑΙΩΣΗ ΑΠΟΔΟΧΩΝ ΚΑΙ ΛΟΙΠΩΝ ΣΤΟΙΧΕΙΩΝ", T11, 8), E(P9, 2)))
    # 17
    R.append(row(62, E(N10), C("Δικαιούχοι των αποδοχών", hdr(8, True), 4),
                 C("Σύνολο ακαθάριστων αποδοχών<br><br>2", hdr(), 2, 2),
                 C("Σύνολο κρατήσεων<br><br>3", hdr(), 2, 2),
                 C("Καθαρές φορολογητέες αποδοχές<br><br>4", hdr(), 1, 2),
                 C("Ποσά φόρου που αναλογούν στις καθαρές αποδοχές σύμφωνα με το άρθρο 57 του "
                   "ν.2238/1994<br>5", hdr(), 2, 2),
                 C("Ποσά φόρου που οφείλονται και πρέπει να αποδοθούν στο δημόσιο,μετά τη έκπτωση 1,5% από τα "
                   "αντίστοιχα ποσά που αναλογούν.<br>6", hdr(b="trb"), 1, 2),
                 C("Ποσά που αναλογούν και οφείλονται για τέλη χαρτοσήμου και εισφορά ΟΓΑ στο χαρτόσημο",
                   hdr(b="tr"), 2)))
    # 18
    R.append(row(49, E(N10), C("Κατηγορία", hdr(8, True, "trbl"), 2), C("Κώδ.", ROT),
                 C("Αριθμός<br><br>1", hdr(b="rbl")), C("Χαρτοσήμου<br><br>7", hdr(b="trb")),
                 C("ΟΓΑ χαρτοσήμου<br><br>8", hdr(b="trbl"))))
    # 19 to 21
    for height, name, code in ((19, "Υπάλληλοι", "1"), (18, "Εργάτες", "2"), (19, "Συνταξιούχοι", "3")):
        R.append(row(height, E(N10), C(name, label(b="rbl", size=7), 2), C(code, label(h="center", b="rb")),
                     C("", amount(b="rb")), C("", amount(b="rb"), 2), C("", amount(b="rb"), 2),
                     C("", amount(b="rb")), C("", amount(b="rb"), 2), C("", amount(b="rb")),
                     C("", amount(b="rb")), C("", amount(b="rbl"))))
    # 22 (start only: the program writes the three totals)
    R.append(row(18, E(N10), C("Άθροισμα", label(True, b="rbl"), 2), C("4", label(True, "center", b="rb")),
                 C("", amount(True, b="rb")), C("GROSS", None)))
    # 22 (rest)
    R.append(row(18, C("", amount(True, b="rb"), 2), C("", amount(True, b="rb")), C("", amount(True, b="rb")),
                 C("", amount(True, b="rbl"))))
    # 23 to 29
    R.append(row(19, E(N10), E(P9, 2), C("Αφαιρούνται τα ποσά που αποδόθηκαν με προσωρινές "
                                         "δηλώσεις...............", P8R, 8),
                 C("5", label(h="center", b="trbl")), C("", amount(b="tb")), C("", amount(b="tbl")),
                 C("", amount(b="trbl"))))
    brace1 = brace("_x0000_s2050", 2, "52.5", "2.25", ".75", "23.25", 70, 3, 3, 33, "image002.gif", True)
    R.append(row(21, E(N10), E(P9, 7), C("", P9, 1, 2), C("Υπόλοιπο", P8M, 1, 2, shape=brace1),
                 C("Χρεωστικό......", P8L), C("6", label(h="center", b="rbl")), C("", amount(b="b")),
                 C("", amount(b="bl")), C("", amount(b="rbl"))))
    R.append(row(16, E(N10), E(P9, 7), C("Πιστωτικό.......", P8L), C("7", label(h="center", b="rbl")),
                 C("", amount(b="b")), C("", amount(b="bl")), C("", amount(b="rbl"))))
    R.append(row(19, E(N10), E(P9, 4),
                 C("Πρόσθετος φόρος...........% λόγω εκπροθέσμου................", P8R, 6),
                 C("8", label(h="center", b="rbl")), C("", amount(b="b")), C("", amount(b="bl")),
                 C("", amount(b="rbl"))))
    R.append(row(18, E(N10), E(P9, 3),
                 C("Πρόσθετο τέλος χαρτοσήμου...........% λόγω εκπροθέσμου................", P8R, 7),
                 C("9", label(h="center", b="rbl")), C("", amount(b="b")), C("", amount(b="bl")),
                 C("", amount(b="rbl"))))
    R.append(row(19, E(N10), E(P9),
                 C("Πρόσθετη εισφορά ΟΓΑ χαρτοσήμου...........% λόγω εκπροθέσμου..................", P8R, 9),
                 C("10", label(h="center", b="rl", dbl="b")), C("", amount(dbl="b", b="")),
                 C("", amount(b="l", dbl="b")), C("", amount(b="rl", dbl="b"))))
    R.append(row(16, E(N10), E(P9, 8), C("Σύνολο................", S(8, True, "right"), 2),
                 C("11", label(True, "center", b="rbl")), C("", amount(True, b="b")),
                 C("", amount(True, b="bl")), C("", amount(True, b="rbl"))))
    # 30
    R.append(row(24, E(N10), C("ΑΝΑΛΥΣΗ ΤΩΝ ΠΟΣΩΝ ΦΟΡΟΥ, ΤΕΛΩΝ ΧΑΡΤ.ΚΑΙ ΕΙΣΦΟΡΑΣ ΟΓΑ ΠΟΥ ΑΠΟΔΟΘΗΚΑΝ ΚΑΤΑ "
                                 "ΔΙΜΗΝΟ Ή ΜΗΝΑ", P9BCM, 14)))
    # 31, 32
    R.append(row(21, E(N10), C("Δίμηνα", hdr(8, True), 2, 2), C("Ακαθάριστες αποδοχές", hdr(8, b="trb"), 3, 2),
                 C("Ποσά που παρακρατήθηκαν και αποδόθηκαν", hdr(8, b="trb"), 5),
                 C("Άθροισμα", hdr(8, b="trb"), 2, 2), C("Στοιχεία διπλοτύπου", hdr(8, b="trb"), 2)))
    R.append(row(16, E(N10), C("Φόρου", hdr(8, b="rb"), 2), C("Χαρτοσήμου", hdr(8, b="rb"), 2),
                 C("ΟΓΑ Χαρτοσήμου", hdr(7, b="rb")), C("Αριθμός", hdr(8, b="rb")),
                 C("Χρονολογία", hdr(8, b="rb"))))
    # 33 to 39
    for height, letter in ((19, "Α"), (15, "Β"), (15, "Γ"), (16, "Δ"), (15, "Ε"), (14, "ΣΤ**")):
        R.append(row(height, E(N10), C(letter, label(h="center", b="rbl"), 2), C("", amount(b="rb"), 3),
                     C("", amount(b="rb"), 2), C("", amount(b="rb"), 2), C("", amount(b="rb")),
                     C("", amount(b="rb"), 2), C("", S(8, h="center", b="rb")), C("", date(b="rb"))))
    R.append(row(16, E(N10), C("Σύνολο", label(True, "center", b="rbl"), 2), C("", amount(True, b="rb"), 3),
                 C("", amount(True, b="rb"), 2), C("", amount(True, b="rb"), 2), C("", amount(True, b="rb")),
                 C("", amount(True, b="rb"), 2), C("", S(8, True, "center", b="rb")), C("", date(8, True, b="rb"))))
    # 40 to 47
    R.append(row(22, E(N10), E(P9), C("Ο ΛΟΓΙΣΤΗΣ", P10BC, 3), E(P9), C("ΠΑΡΑΛΗΦΘΗΚΕ", P10BC, 3),
                 C("ΑΦΕΚ", P9B), E(P9, 3), C("", date(10, True), 2)))
    R.append(row(17, E(N10), C("Επων:", P8), E(P9, 4), C("Εμπρόθεσμα-Εκπρόθεσμα", P8C, 4), E(P9),
                 C("(τόπος", P7C, 2), C("ημερομηνία)", P7L), E(P9)))
    R.append(row(17, E(N10), C("Ονομ", P8), E(P9, 6), C("200.<span style='display:none'>..</span>", P8),
                 E(P9), C("Ο ΔΗΛΩΝ", P10BC, 3), E(P9, 2)))
    R.append(row(17, E(N10), C("Δ/νση:", P8), E(P9, 4), C("(ημερομηνία παραλαβής)", P7C, 4),
                 C("ΒΕΒΑΙΩΘΗΚΕ", P9B), E(P9, 2), C("ΚΑΤΑΒΛΗΘΗΚΕ", P9BC, 2)))
    R.append(row(14, E(N10), C("Α.Φ.Μ", P8), E(P9, 4), C("Ο Παραλαβών", P8C, 2), E(P9), C("Ποσό", P8), E(P9, 2),
                 C("Ποσό", P8), E(P9, 2)))
    brace2 = brace("_x0000_s2051", 3, "61.5", "0", "16.5", "21.75", 82, 0, 24, 31, "image003.gif", False)
    R.append(row(16, E(N10), C("Αρμόδια Δ.Ο.Υ:", P8, 3), E(P9, 5), C("Αριθ.χρημ.καταλ.", P8, 2), E(P9),
                 C("Διπλοτύπου", P8M, 1, 2, shape=brace2), C("Αριθμός", P8L), E(P9)))
    R.append(row(14, E(N10), C("Αρ.Μητρ.άδ.άσκ.επαγγ/τ:", P8, 4), E(P9, 4), C("Χρον.Βεβαίωσης", P8, 2), E(P9),
                 C("Χρονολ.", P8L), E(P9)))
    R.append(row(15, E(N10), C("Κατηγορία άδειας:", P8, 4), E(P9, 4), C("Ο Βεβαιώσας", P8C, 2), E(P9),
                 C("Ο Επιμελητής Είσπραξης", P8C, 2), E(P9)))
    # 48 to 50
    for height in (9, 15, 16):
        R.append(row(height, E(N10, 15)))
    return R


def wrap(line, width=78):
    """Long source lines are folded at a blank, the continuation indented by one blank."""
    out = []
    while len(line) > width:
        cut = line.rfind(" ", 20, width)
        if cut <= 0:
            break
        out.append(line[:cut])
        line = " " + line[cut + 1:]
    out.append(line)
    return out


def tr_lines(height, cells, first_row=False, open_end=False, continue_row=False, close=True):
    lines = []
    if not continue_row:
        lines.append(" <tr height=%d style='mso-height-source:userset;height:%spt'>" % (height, hpt(height)))
    col = 0
    for i, c in enumerate(cells):
        first = i == 0 and not continue_row
        if c.text == "GROSS":
            lines.append('  <td colspan=2 class=xl1076748 style="border-right:.5pt solid black;border-left:none">')
            return lines
        if c.extra == "OPEN":
            attrs = "colspan=%d class=%s" % (c.span, cls(c.st))
            lines.append("  <td %s>%s" % (attrs, c.text))
            return lines
        for piece in td(c, first, height, first_row, col):
            for folded in piece.split("\n"):
                lines += ["  " + w for w in wrap(folded)]
        col += c.span
    if close:
        lines.append(" </tr>")
    return lines


def head_lines():
    L = [
        '<html xmlns:v="urn:schemas-microsoft-com:vml"',
        'xmlns:o="urn:schemas-microsoft-com:office:office"',
        'xmlns:x="urn:schemas-microsoft-com:office:excel"',
        'xmlns="http://www.w3.org/TR/REC-html40">',
        "",
        "<head>",
        "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1253\">",
        "<meta name=ProgId content=Excel.Sheet>",
        '<meta name=Generator content="Microsoft Excel 11">',
        '<link rel=File-List href="E7FirstPageFinal.files/filelist.xml">',
        "<!--[if !mso]>",
        "<style>",
        "v\\:* {behavior:url(#default#VML);}",
        "o\\:* {behavior:url(#default#VML);}",
        "x\\:* {behavior:url(#default#VML);}",
        ".shape {behavior:url(#default#VML);}",
        "</style>",
        "<![endif]-->",
        '<style id="DHL DLT 04Empty2_6748_Styles">',
        "<!--table",
        '\t{mso-displayed-decimal-separator:"\\,";',
        '\tmso-displayed-thousand-separator:"\\.";}',
    ]
    for f in FONTS:
        L += font_css(*f)
    return L


def body_start_lines():
    cols = []
    for w in WIDTHS:
        alt = int(round((w - 5) / 7 * 256))
        cols.append(" <col width=%d style='mso-width-source:userset;mso-width-alt:%d;width:%dpt'>" % (w, alt, pt(w)))
    return [
        "</style>",
        "</head>",
        "",
        "<body>",
        "<!--[if !excel]>&nbsp;&nbsp;<![endif]-->",
        "<!--The following information was generated by Microsoft Office Excel's Publish",
        "as Web Page wizard.-->",
        "<!--If the same item is republished from Excel, all information between the DIV",
        "tags will be replaced.-->",
        "<!----------------------------->",
        "<!--START OF OUTPUT FROM EXCEL PUBLISH AS WEB PAGE WIZARD -->",
        "<!----------------------------->",
        "",
        '<div id="DHL DLT 04Empty2_6748" align=center x:publishsource="Excel">',
        "",
        "<table x:str border=0 cellpadding=0 cellspacing=0 width=730 style='border-collapse:",
        " collapse;table-layout:fixed;width:550pt'>",
    ] + cols


def end_lines():
    L = [" <![if supportMisalignedColumns]>", " <tr height=0 style='display:none'>"]
    for w in WIDTHS:
        L.append("  <td width=%d style='width:%dpt'></td>" % (w, pt(w)))
    L += [" </tr>", " <![endif]>", "</table>", "", "</div>", "", "", "<!----------------------------->",
          "<!--END OF OUTPUT FROM EXCEL PUBLISH AS WEB PAGE WIZARD-->", "<!----------------------------->",
          "</body>", "", "</html>"]
    return L


def pad(lines, count, before):
    """Blank lines before the lines that start with `before` (row or class boundaries, where
    the page's parser ignores them), spread evenly, bring a block to its line count."""
    if count == 0:
        return lines
    missing = count - len(lines)
    if missing < 0:
        raise SystemExit("block too long by %d lines" % -missing)
    spots = [i for i, l in enumerate(lines) if l.startswith(before)]
    share = [missing // len(spots) + (1 if k < missing % len(spots) else 0) for k in range(len(spots))]
    for i, n in reversed(list(zip(spots, share))):
        lines[i:i] = [""] * n
    return lines


def main():
    rows = build_rows()
    # Rows in template order: 1-4, 5 (open), | 6 rest, 7, 8, 9 start | 11 rest, 12-21, 22 start | 22 rest, 23-51
    body3, body4, body5, body6 = [], [], [], []
    for i in range(4):
        body3 += tr_lines(*rows[i], first_row=(i == 0))
    body3 += tr_lines(*rows[4], close=False)
    body4 += tr_lines(*rows[5], continue_row=True)
    for i in (6, 7):
        body4 += tr_lines(*rows[i])
    body4 += tr_lines(*rows[8], close=False)
    body5 += tr_lines(*rows[9], continue_row=True)
    idx = 10
    while rows[idx][1][-1].text != "GROSS":
        body5 += tr_lines(*rows[idx])
        idx += 1
    body5 += tr_lines(*rows[idx], close=False)
    body6 += tr_lines(*rows[idx + 1], continue_row=True)
    for r in rows[idx + 2:]:
        body6 += tr_lines(*r)
    body6 += end_lines()

    # Classes named by the rows exist now; the style block lists them in order, then
    # variants up to the count the form's sheet carried.
    fill = [S(s, b, h, v, bb) for s in (8, 9) for b in (False, True) for h in ("left", "center", "right")
            for v in ("bottom", "middle") for bb in ("", "b", "t", "trbl", "tb")]
    for st in fill:
        if len(style_of) >= CLASS_COUNT:
            break
        cls(st)
    if len(style_of) != CLASS_COUNT or max(style_of) != 124:
        raise SystemExit("class count %d, highest %d" % (len(style_of), max(style_of)))

    memo3 = head_lines()
    for n in sorted(style_of):
        memo3 += css_of(n)
    memo3 += ["-->"]
    memo3 += body_start_lines()
    memo3 += body3
    memo3 = pad(memo3, LINE_COUNTS["Memo3"], ".xl")
    body4 = pad(body4, LINE_COUNTS["Memo4"], " <tr")
    body5 = pad(body5, LINE_COUNTS["Memo5"], " <tr")
    body6 = pad(body6, LINE_COUNTS["Memo6"], " <tr")

    os.makedirs(OUT, exist_ok=True)
    for name, lines in (("Memo3", memo3), ("Memo4", body4), ("Memo5", body5), ("Memo6", body6)):
        with open(os.path.join(OUT, name + ".htm"), "w", encoding="utf-8", newline="\n") as f:
            f.write("\n".join(lines) + "\n")
        print(name, len(lines))


if __name__ == "__main__":
    main()
