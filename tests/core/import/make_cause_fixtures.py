# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the workbooks the import cannot read, one for each cause it names, and the
workbooks whose first sheet is hidden, under tests/data/sheets/causes. Hidden sheets come
from openpyxl, xlwt and odfpy; the rest is written by hand: a password-protected workbook
is an OLE2 compound file of its encrypted package (.xlsx) or a workbook stream with a
FILEPASS record (.xls), or an .ods whose manifest holds encryption data.

Needs Debian's python3-openpyxl, python3-xlwt and python3-odf. Run from anywhere:
    /usr/bin/python3 tests/core/import/make_cause_fixtures.py
"""
import os
import struct
import sys
import zipfile

import openpyxl
import xlwt
from odf.opendocument import OpenDocumentSpreadsheet
from odf.style import Style, TableProperties
from odf.table import Table, TableCell, TableRow
from odf.text import P

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "sheets", "causes")


def line(afm, surname):
    """A sheet row the import takes, columns A to T."""
    return [afm, surname, "ΓΙΑΝΝΗΣ", "", "ΑΘΗΝΑ", "", "", "", "10", 1000, 0, 0, 200, 800, 0, 0, "", 5, 0, 0]


LAST_YEAR = line("012345670", "ΠΕΡΣΙΝΟΣ")
THIS_YEAR = line("111111114", "ΦΕΤΙΝΟΣ")


def path(name):
    return os.path.join(OUT, name)


def write_hidden_xlsx():
    wb = openpyxl.Workbook()
    old = wb.active
    old.title = "2023"
    old.append(LAST_YEAR)
    new = wb.create_sheet("2024")
    new.append(THIS_YEAR)
    old.sheet_state = "hidden"
    wb.active = 1
    wb.save(path("hidden-first.xlsx"))


def write_hidden_xls():
    wb = xlwt.Workbook(encoding="utf-8")
    old = wb.add_sheet("2023")
    new = wb.add_sheet("2024")
    for ws, row in ((old, LAST_YEAR), (new, THIS_YEAR)):
        for c, value in enumerate(row):
            if value != "":
                ws.write(0, c, value)
    old.visibility = 1
    new.set_selected(True)
    old.set_selected(False)
    wb.active_sheet = 1
    wb.save(path("hidden-first.xls"))


def write_hidden_ods():
    doc = OpenDocumentSpreadsheet()
    hidden = Style(name="ta2", family="table")
    hidden.addElement(TableProperties(display="false"))
    doc.automaticstyles.addElement(hidden)
    for name, row, style in (("2023", LAST_YEAR, "ta2"), ("2024", THIS_YEAR, None)):
        table = Table(name=name, stylename=style) if style else Table(name=name)
        tr = TableRow()
        for value in row:
            if value == "":
                tr.addElement(TableCell())
            elif isinstance(value, int):
                cell = TableCell(valuetype="float", value=str(value))
                cell.addElement(P(text=str(value)))
                tr.addElement(cell)
            else:
                cell = TableCell(valuetype="string")
                cell.addElement(P(text=value))
                tr.addElement(cell)
        table.addElement(tr)
        doc.spreadsheet.addElement(table)
    doc.save(path("hidden-first.ods"))


def compound_file(streams):
    """An OLE2 compound file (512-byte sectors) holding streams, a dict of name to bytes.
    Each stream is padded to 4096 bytes at least, so that none goes into the mini stream."""
    sector = 512
    names = sorted(streams, key=lambda n: (len(n), n.upper()))
    data = [streams[n].ljust(4096, b"\0") for n in names]
    data = [d + b"\0" * (-len(d) % sector) for d in data]
    first = []
    at = 2  # sector 0 the FAT, sector 1 the directory
    for d in data:
        first.append(at)
        at += len(d) // sector
    if at > sector // 4:
        raise ValueError("streams too large for one FAT sector")
    fat = [0xFFFFFFFD, 0xFFFFFFFE]  # the FAT's own sector, the directory's end of chain
    for d in data:
        count = len(d) // sector
        fat += [len(fat) + 1 + k for k in range(count - 1)] + [0xFFFFFFFE]
    fat += [0xFFFFFFFF] * (sector // 4 - len(fat))

    def entry(name, kind, child, right, start, size):
        encoded = (name + "\0").encode("utf-16-le") if name else b""
        return (encoded.ljust(64, b"\0") + struct.pack("<HBB", len(encoded), kind, 1) +
                struct.pack("<III", 0xFFFFFFFF, right, child) + b"\0" * 16 + struct.pack("<I", 0) +
                b"\0" * 16 + struct.pack("<III", start, size, 0))

    # Siblings as a chain of right links: each name sorts after the one before it.
    directory = entry("Root Entry", 5, 1, 0xFFFFFFFF, 0xFFFFFFFE, 0)
    for i, name in enumerate(names):
        right = i + 2 if i + 1 < len(names) else 0xFFFFFFFF
        directory += entry(name, 2, 0xFFFFFFFF, right, first[i], max(len(streams[name]), 4096))
    directory = directory.ljust(sector, b"\0")
    if len(directory) > sector:
        raise ValueError("too many streams")
    header = (b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16 + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) +
              b"\0" * 6 + struct.pack("<IIIIIIIII", 0, 1, 1, 0, 4096, 0xFFFFFFFE, 0, 0xFFFFFFFE, 0) +
              struct.pack("<I", 0) + struct.pack("<I", 0xFFFFFFFF) * 108)
    assert len(header) == 512
    return header + b"".join(struct.pack("<I", v) for v in fat) + directory + b"".join(data)


def record(kind, body):
    return struct.pack("<HH", kind, len(body)) + body


def write_protected():
    # Excel keeps a password-protected .xlsx as its encrypted package in an OLE2 file.
    info = struct.pack("<HHI", 4, 4, 0x40) + b"<encryption/>"
    with open(path("protected.xlsx"), "wb") as f:
        f.write(compound_file({"EncryptionInfo": info, "EncryptedPackage": struct.pack("<Q", 4096) + b"\x5a" * 64}))
    # An .xls: the globals start with BOF, then FILEPASS; what follows is encrypted.
    bof = record(0x0809, struct.pack("<HHHHII", 0x0600, 0x0005, 0x0DBB, 0x07CC, 0, 0x06))
    filepass = record(0x002F, struct.pack("<HHH", 1, 1, 1) + b"\x11" * 48)
    with open(path("protected.xls"), "wb") as f:
        f.write(compound_file({"Workbook": bof + filepass + record(0x00E1, b"\x5a" * 2000)}))
    # An .ods saved with a password: its parts are encrypted, as the manifest tells.
    manifest = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" '
                'manifest:version="1.2">'
                '<manifest:file-entry manifest:full-path="/" manifest:media-type='
                '"application/vnd.oasis.opendocument.spreadsheet"/>'
                '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml" '
                'manifest:size="2048"><manifest:encryption-data manifest:checksum-type="SHA1/1K" '
                'manifest:checksum="AAAA"><manifest:algorithm manifest:algorithm-name="Blowfish CFB" '
                'manifest:initialisation-vector="AAAA"/><manifest:key-derivation manifest:key-derivation-name='
                '"PBKDF2" manifest:key-size="16" manifest:iteration-count="1024" manifest:salt="AAAA"/>'
                '</manifest:encryption-data></manifest:file-entry></manifest:manifest>')
    with zipfile.ZipFile(path("protected.ods"), "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        z.writestr("content.xml", bytes(range(256)) * 8, compress_type=zipfile.ZIP_DEFLATED)
        z.writestr("META-INF/manifest.xml", manifest, compress_type=zipfile.ZIP_DEFLATED)


def write_narrow_xlsx():
    # A line whose last column is S: the sheet is narrower than the import's twenty columns.
    wb = openpyxl.Workbook()
    wb.active.append(THIS_YEAR[:19])
    wb.save(path("narrow.xlsx"))


def write_by_hand():
    # A binary workbook: a zip like .xlsx whose parts are binary records.
    with zipfile.ZipFile(path("binary.xlsb"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", "<Types/>")
        z.writestr("xl/workbook.bin", b"\x83\x01\x00\x80\x01\x00")
        z.writestr("xl/worksheets/sheet1.bin", b"\x81\x01\x00")
    # A web page and an XML spreadsheet as Excel saves them, under a workbook's name.
    with open(path("webpage.xls"), "wb") as f:
        f.write('<html xmlns:o="urn:schemas-microsoft-com:office:office" '
                'xmlns:x="urn:schemas-microsoft-com:office:excel">\r\n<head><meta charset="utf-8"></head>\r\n'
                '<body><table><tr><td>012345670</td><td>ΠΑΠΑΣ</td></tr></table></body></html>\r\n'.encode("utf-8"))
    with open(path("xml2003.xls"), "wb") as f:
        f.write('<?xml version="1.0"?>\r\n<?mso-application progid="Excel.Sheet"?>\r\n'
                '<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" '
                'xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">\r\n'
                '<Worksheet ss:Name="Φύλλο1"><Table><Row><Cell><Data ss:Type="String">012345670</Data></Cell>'
                '</Row></Table></Worksheet>\r\n</Workbook>\r\n'.encode("utf-8"))
    # A workbook with no worksheet at all: its one sheet is a chart.
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    with zipfile.ZipFile(path("no-sheet.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", "<Types/>")
        z.writestr("xl/workbook.xml",
                   '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="' + rel +
                   '"><sheets><sheet name="Γράφημα1" sheetId="1" r:id="rId1"/></sheets></workbook>')
        z.writestr("xl/_rels/workbook.xml.rels",
                   '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   '<Relationship Id="rId1" Type="' + rel + '/chartsheet" Target="chartsheets/sheet1.xml"/>'
                   '</Relationships>')
        z.writestr("xl/chartsheets/sheet1.xml", "<chartsheet/>")
    # A damaged archive: a workbook cut short, as an interrupted copy leaves it.
    with open(path("hidden-first.xlsx"), "rb") as f:
        whole = f.read()
    with open(path("cut-short.xlsx"), "wb") as f:
        f.write(whole[: len(whole) * 2 // 3])


def main():
    os.makedirs(OUT, exist_ok=True)
    write_hidden_xlsx()
    write_hidden_xls()
    write_hidden_ods()
    write_narrow_xlsx()
    write_protected()
    write_by_hand()


if __name__ == "__main__":
    sys.exit(main())
