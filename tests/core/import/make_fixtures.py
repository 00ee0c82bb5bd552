#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the small spreadsheet fixtures under tests/data/sheets with tools independent
of ours: openpyxl (.xlsx), xlwt (.xls), odfpy (.ods), and Python's zipfile for the .xlsx
features openpyxl cannot write (cached formula values, inline strings, phonetic runs).

Needs Debian's python3-openpyxl, python3-xlwt and python3-odf. Run from anywhere:
    /usr/bin/python3 tests/core/import/make_fixtures.py
"""
import datetime
import os
import zipfile

import openpyxl
import xlwt
from odf.opendocument import OpenDocumentSpreadsheet
from odf.table import Table, TableCell, TableRow
from odf.text import P

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "sheets")

HEADINGS = ["ΑΦΜ", "Επώνυμο", "Όνομα", "Πατρώνυμο", "Πόλη", "Οδός", "Αριθμός", "ΤΚ",
            "Είδος", "Ακαθάριστες", "Χαρτόσημο", "ΟΓΑ χαρτοσήμου", "Κρατήσεις", "Καθαρές",
            "Φόρος", "Φόρος αναλογών", "Υποκατάστημα", "Ημέρες", "ΟΓΑ φόρου", "ΟΓΑ αναλογών"]

# The typical import sheet: headings, a record, a blank row, a record with a tax number
# stored as a number, amounts typed as text with a full stop and a comma, an empty
# postcode, and a last row that stops at column S. None = empty cell.
TYPICAL = [
    HEADINGS,
    ["012345670", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΙΩΡΓΟΣ", "ΝΙΚΟΛΑΟΣ", "ΑΘΗΝΑ", "ΣΤΑΔΙΟΥ", "12", "10564",
     "10", 1234.5, 2.4, 0, 100, 1132.1, 50, 50, None, 365, 0.1 + 0.2, 7],
    [],
    [12345670, "Μαρία-Ελένη", "O'Brien \"Jr\"", "a;b,c", "Πάτρα", "Οδός 1", "3Α", None,
     "11", "1234.50", "1234,50", 0, 0, 1234.5, 0, 0, "ΚΕΝΤΡΙΚΟ", 400, 1e20, -0.5],
    ["123456783", "ΤΕΛΟΣ", "", "", "", "", "", "", "10", 1, 0, 0, 0, 1, 0, 0, "", 1, 0],
]

# The texts every reader must give for TYPICAL (the CSV holds them as they stand).
TYPICAL_TEXT = [
    HEADINGS,
    ["012345670", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΙΩΡΓΟΣ", "ΝΙΚΟΛΑΟΣ", "ΑΘΗΝΑ", "ΣΤΑΔΙΟΥ", "12", "10564",
     "10", "1234,5", "2,4", "0", "100", "1132,1", "50", "50", "", "365", "0,3", "7"],
    [],
    ["12345670", "Μαρία-Ελένη", "O'Brien \"Jr\"", "a;b,c", "Πάτρα", "Οδός 1", "3Α", "",
     "11", "1234.50", "1234,50", "0", "0", "1234,5", "0", "0", "ΚΕΝΤΡΙΚΟ", "400", "1E20", "-0,5"],
    ["123456783", "ΤΕΛΟΣ", "", "", "", "", "", "", "10", "1", "0", "0", "0", "1", "0", "0", "", "1", "0"],
]

# Values whose text is decided by us: dates, times, booleans, numbers far from 1, and a
# row with characters that Windows-1253 cannot hold.
VALUES = [
    [datetime.date(2024, 1, 15), datetime.datetime(2024, 1, 15, 12, 0), datetime.date(1900, 1, 1),
     datetime.date(1900, 3, 1), datetime.time(6, 0)],
    [True, False, "TRUE", 1.5e-7, 0.00001],
    [123456789012345678, 1e15, 999999999999999, 0.000123, -1234567.891],
    ["Ζ日本", "€ ok", "x😀"],
]
VALUES_TEXT = [
    ["45306", "45306,5", "1", "61", "0,25"],
    ["TRUE", "FALSE", "TRUE", "1,5E-7", "0,00001"],
    ["1,23456789012346E17", "1E15", "999999999999999", "0,000123", "-1234567,891"],
    ["Ζ??", "€ ok", "x?"],
]


def path(name):
    return os.path.join(OUT, name)


def write_xlsx(name, rows, extra_sheet=True):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Φύλλο1"
    for r, row in enumerate(rows, start=1):
        for c, value in enumerate(row, start=1):
            if value is not None and value != "":
                cell = ws.cell(row=r, column=c, value=value)
                if isinstance(value, datetime.time):
                    cell.number_format = "hh:mm"
    if extra_sheet:
        other = wb.create_sheet("Άλλο")
        other["A1"] = "δεύτερο φύλλο"
        other["Z99"] = 1
    wb.save(path(name))


def write_xls(name, rows):
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("Φύλλο1")
    date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    datetime_style = xlwt.easyxf(num_format_str="YYYY-MM-DD HH:MM")
    time_style = xlwt.easyxf(num_format_str="HH:MM")
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value is None or value == "":
                continue
            if isinstance(value, datetime.datetime):
                ws.write(r, c, value, datetime_style)
            elif isinstance(value, datetime.date):
                ws.write(r, c, value, date_style)
            elif isinstance(value, datetime.time):
                ws.write(r, c, value, time_style)
            else:
                ws.write(r, c, value)
    other = wb.add_sheet("Άλλο")
    other.write(0, 0, "δεύτερο φύλλο")
    wb.save(path(name))


def ods_cell(value):
    if value is None or value == "":
        return TableCell()
    if isinstance(value, bool):
        cell = TableCell(valuetype="boolean", booleanvalue="true" if value else "false")
        cell.addElement(P(text="TRUE" if value else "FALSE"))
    elif isinstance(value, (int, float)):
        cell = TableCell(valuetype="float", value=repr(value))
        cell.addElement(P(text=str(value)))
    elif isinstance(value, datetime.datetime):
        cell = TableCell(valuetype="date", datevalue=value.isoformat())
        cell.addElement(P(text=value.strftime("%d/%m/%Y %H:%M")))
    elif isinstance(value, datetime.date):
        cell = TableCell(valuetype="date", datevalue=value.isoformat())
        cell.addElement(P(text=value.strftime("%d/%m/%Y")))
    elif isinstance(value, datetime.time):
        cell = TableCell(valuetype="time", timevalue=value.strftime("PT%HH%MM%SS"))
        cell.addElement(P(text=value.strftime("%H:%M")))
    else:
        cell = TableCell(valuetype="string")
        for i, line in enumerate(str(value).split("\n")):
            cell.addElement(P(text=line))
    return cell


def write_ods(name, rows):
    doc = OpenDocumentSpreadsheet()
    table = Table(name="Φύλλο1")
    for row in rows:
        tr = TableRow()
        for value in row:
            tr.addElement(ods_cell(value))
        # As LibreOffice saves: the rest of the row as one repeated empty cell.
        tr.addElement(TableCell(numbercolumnsrepeated=str(16384 - len(row))))
        table.addElement(tr)
    # And the rest of the sheet as one repeated empty row.
    tail = TableRow(numberrowsrepeated=str(1048576 - len(rows)))
    tail.addElement(TableCell(numbercolumnsrepeated="16384"))
    table.addElement(tail)
    doc.spreadsheet.addElement(table)
    other = Table(name="Άλλο")
    tr = TableRow()
    tr.addElement(ods_cell("δεύτερο φύλλο"))
    other.addElement(tr)
    doc.spreadsheet.addElement(other)
    doc.save(path(name))


def csv_field(text, sep):
    if any(ch in text for ch in (sep, '"', "\n", "\r")):
        return '"' + text.replace('"', '""') + '"'
    return text


def write_csv(name, rows, sep=";", encoding="utf-8-sig", newline="\r\n"):
    lines = [sep.join(csv_field(t, sep) for t in row) for row in rows]
    with open(path(name), "wb") as f:
        f.write((newline.join(lines) + newline).encode(encoding))


def write_features_xlsx():
    """Features of the format that openpyxl does not write, by hand: the first tab is not
    sheet1.xml, cached formula values, inline and rich strings with phonetic runs,
    escapes, cells without references, an error value, a date cell, a dimension that
    claims more than the sheet holds and a styled empty cell past the last value."""
    ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
    rns = 'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    files = {
        "[Content_Types].xml": '<?xml version="1.0" encoding="UTF-8"?>'
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="xml" ContentType="application/xml"/></Types>',
        "_rels/.rels": '<?xml version="1.0" encoding="UTF-8"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        f'<Relationship Id="rId1" Type="{rel}/officeDocument" Target="xl/workbook.xml"/></Relationships>',
        "xl/workbook.xml": f'<?xml version="1.0" encoding="UTF-8"?><workbook {ns} {rns}><sheets>'
        '<sheet name="Δεδομένα" sheetId="2" r:id="rId7"/><sheet name="Φύλλο1" sheetId="1" r:id="rId1"/>'
        "</sheets></workbook>",
        "xl/_rels/workbook.xml.rels": '<?xml version="1.0" encoding="UTF-8"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        f'<Relationship Id="rId1" Type="{rel}/worksheet" Target="worksheets/sheet1.xml"/>'
        f'<Relationship Id="rId7" Type="{rel}/worksheet" Target="/xl/worksheets/../worksheets/data.xml"/>'
        f'<Relationship Id="rId3" Type="{rel}/sharedStrings" Target="sharedStrings.xml"/></Relationships>',
        "xl/sharedStrings.xml": f'<?xml version="1.0" encoding="UTF-8"?><sst {ns} count="3" uniqueCount="3">'
        "<si><t>απλό</t></si>"
        '<si><r><rPr><b/></rPr><t>πλού</t></r><r><t xml:space="preserve">σιο </t></r>'
        "<rPh sb=\"0\" eb=\"1\"><t>ΦΩΝΗΤΙΚΟ</t></rPh></si>"
        "<si><t>γραμμή1_x000D_\ngραμμή2 _x005F_x0041_</t></si></sst>",
        "xl/worksheets/sheet1.xml": f'<?xml version="1.0" encoding="UTF-8"?><worksheet {ns}>'
        '<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>λάθος φύλλο</t></is></c></row>'
        "</sheetData></worksheet>",
        "xl/worksheets/data.xml": f'<?xml version="1.0" encoding="UTF-8"?><worksheet {ns}>'
        '<dimension ref="A1:Z1000"/><sheetData>'
        '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c></row>'
        '<row r="2"><c r="A2"><f>1+2</f><v>3</v></c><c r="B2" t="str"><f>"α"&amp;"β"</f><v>αβ</v></c>'
        '<c r="C2"><f>A2*2</f></c><c r="D2" t="e"><f>1/0</f><v>#DIV/0!</v></c></row>'
        '<row r="4"><c t="inlineStr"><is><t>χωρίς αναφορά</t></is></c><c t="b"><v>1</v></c>'
        '<c t="inlineStr"><is><r><t>εν</t></r><r><t>σειρά</t></r></is></c></row>'
        '<row r="5" spans="1:3"><c r="A5" t="d"><v>2024-01-15T12:00:00</v></c><c r="B5"><v>  42.0 </v></c>'
        '<c r="C5" t="b"><v>0</v></c></row>'
        '<row r="9"><c r="K9" s="1"/></row>'
        "</sheetData></worksheet>",
    }
    with zipfile.ZipFile(path("features.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in files.items():
            z.writestr(name, text.encode("utf-8"))


def main():
    os.makedirs(OUT, exist_ok=True)
    write_xlsx("typical.xlsx", TYPICAL)
    write_xls("typical.xls", TYPICAL)
    write_ods("typical.ods", TYPICAL)
    write_csv("typical.csv", TYPICAL_TEXT)
    write_csv("typical-comma.csv", TYPICAL_TEXT, sep=",", encoding="utf-8", newline="\n")
    write_csv("typical-1253.csv", TYPICAL_TEXT, encoding="cp1253", newline="\r")
    write_xlsx("values.xlsx", VALUES, extra_sheet=False)
    write_xls("values.xls", VALUES[:3])  # xlwt writes BIFF8 text, the last row is checked elsewhere
    write_ods("values.ods", VALUES)
    write_features_xlsx()
    # A sheet whose used block ends at column S.
    narrow = [row[:19] for row in TYPICAL if row]
    write_xlsx("column-s.xlsx", narrow, extra_sheet=False)
    write_xlsx("empty.xlsx", [], extra_sheet=False)
    write_ods("empty.ods", [])
    write_xls("single.xls", [["μόνο A1"]])


if __name__ == "__main__":
    main()
