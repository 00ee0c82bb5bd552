#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes small hostile sheets into a folder (made at test time, never committed): each is
a few KB or MB and once cost the import gigabytes or hours.
    /usr/bin/python3 tests/core/import/make_hostile.py OUTDIR
Needs python3-xlwt for the .xls; the rest is Python's own zipfile."""
import os
import sys
import zipfile

import xlwt

ODS_HEAD = ('<?xml version="1.0" encoding="UTF-8"?><office:document-content '
            'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet>'
            '<table:table table:name="A">')
ODS_TAIL = '</table:table></office:spreadsheet></office:body></office:document-content>'
NS = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'


def ods(path, rows):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        z.writestr("content.xml", ODS_HEAD + rows + ODS_TAIL)


def xlsx(path, sheet, strings=None, comment=""):
    files = {
        "[Content_Types].xml": '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
        "xl/workbook.xml": f'<workbook {NS} xmlns:r="{REL}"><sheets><sheet name="A" sheetId="1" r:id="rId1"/>'
                           '</sheets></workbook>',
        "xl/_rels/workbook.xml.rels":
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            f'<Relationship Id="rId1" Type="{REL}/worksheet" Target="worksheets/sheet1.xml"/>'
            f'<Relationship Id="rId2" Type="{REL}/sharedStrings" Target="sharedStrings.xml"/></Relationships>',
        "xl/worksheets/sheet1.xml": f'<worksheet {NS}>{comment}<sheetData>{sheet}</sheetData></worksheet>',
    }
    if strings is not None:
        files["xl/sharedStrings.xml"] = f'<sst {NS}>' + "".join(f"<si><t>{s}</t></si>" for s in strings) + "</sst>"
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for name, text in files.items():
            z.writestr(name, text)


def nested(levels):
    return "<a>" * levels + "</a>" * levels


def main(out):
    os.makedirs(out, exist_ok=True)
    # Rows of cells that each stand for a million blanks.
    ods(os.path.join(out, "blanks.ods"),
        '<table:table-row table:number-rows-repeated="100000"><table:table-cell table:number-columns-repeated="20">'
        '<text:p><text:s text:c="1000000"/></text:p></table:table-cell></table:table-row>')
    # One 1 MB cell repeated across every column of 1,024 rows.
    ods(os.path.join(out, "wide.ods"),
        '<table:table-row table:number-rows-repeated="1024"><table:table-cell table:number-columns-repeated="16384">'
        '<text:p>' + "a" * (1 << 20) + '</text:p></table:table-cell></table:table-row>')
    # Two 1 MB shared strings in alternating cells.
    cells = "".join(f'<row r="{r}">' + "".join(f'<c t="s"><v>{(r + c) % 2}</v></c>' for c in range(20)) + "</row>"
                    for r in range(1, 5001))
    xlsx(os.path.join(out, "strings.xlsx"), cells, ["a" * (1 << 20), "b" * (1 << 20)])
    # 101 MB of a comment: past 100 MB a ratio above 1000:1 is refused.
    xlsx(os.path.join(out, "bomb.xlsx"), '<row r="1"><c><v>1</v></c></row>', comment="<!--" + "a" * (101 << 20) + "-->")
    # Elements nested millions deep in a cell, in shared strings and in an .ods cell: each
    # level cost the parser some 140 bytes until depth was bounded.
    xlsx(os.path.join(out, "deep.xlsx"), f'<row r="1"><c r="A1" t="inlineStr"><is>{nested(14_000_000)}</is></c></row>')
    xlsx(os.path.join(out, "deep-strings.xlsx"), '<row r="1"><c t="s"><v>0</v></c></row>', [nested(1_000_000)])
    ods(os.path.join(out, "deep.ods"),
        '<table:table-row><table:table-cell><text:p>' + nested(5_000_000) + '</text:p></table:table-cell></table:table-row>')
    # Long shared strings in 240,000 cells of an .xls.
    book = xlwt.Workbook()
    sheet = book.add_sheet("A")
    long_texts = ["α" * 30000 + str(i) for i in range(4)]
    for r in range(12000):
        for c in range(20):
            sheet.write(r, c, long_texts[(r + c) % 4])
    book.save(os.path.join(out, "strings.xls"))


if __name__ == "__main__":
    main(sys.argv[1])
