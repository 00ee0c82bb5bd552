#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the "real sheet" fixtures under tests/data/sheets/real: one sheet as users make
them (formulas for the stamp duty and the net pay, a text formula, a cell typed with a
line break, a notes column V with a character Windows-1253 lacks), saved by openpyxl
without formula values (real-noval.xlsx), then opened and saved by LibreOffice as .xlsx,
.xls, .ods and .csv, and by gnumeric's ssconvert as .xls.

Needs python3-openpyxl, libreoffice-calc-nogui and gnumeric (only to make the files; the
tests read the committed ones):
    /usr/bin/python3 tests/core/import/make_real_fixtures.py
"""
import csv
import os
import shutil
import subprocess
import tempfile

import openpyxl

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "sheets", "real")

ROWS = [
    ["012345670", '="ΝΙΚΟΛΑΟΥ"&" ΜΑΡΙΑ"', "ΓΙΩΡΓΟΣ", "ΝΙΚ", "ΑΘΗΝΑ", "ΕΡΜΟΥ\n12", "12", "10564",
     "10", 1234.56, "=J1*0.036", 0, 200, "=J1-M1", 50, 50, "0", 365, 0, 0, None, "πληρώθηκε ✓"],
    ["123456783", "ΤΕΛΟΣ", "Α\tΒ", "", "ΠΑΤΡΑ", "ΟΔΟΣ\r\n1", "", "", "11", 1000, 0, 0, 0,
     "=J2-M2", 0, 0, "", 1, 0, 0],
]

# The same rows as their values show them, as a Greek user's CSV holds them.
CSV_ROWS = [
    ["012345670", "ΝΙΚΟΛΑΟΥ ΜΑΡΙΑ", "ΓΙΩΡΓΟΣ", "ΝΙΚ", "ΑΘΗΝΑ", "ΕΡΜΟΥ\n12", "12", "10564",
     "10", "1234,56", "44,44416", "0", "200", "1034,56", "50", "50", "0", "365", "0", "0", "", "πληρώθηκε ✓"],
    ["123456783", "ΤΕΛΟΣ", "Α\tΒ", "", "ΠΑΤΡΑ", "ΟΔΟΣ\r\n1", "", "", "11", "1000", "0", "0", "0",
     "1000", "0", "0", "", "1", "0", "0"],
]


def main():
    os.makedirs(OUT, exist_ok=True)
    wb = openpyxl.Workbook()
    ws = wb.active
    for row in ROWS:
        ws.append(row)
    noval = os.path.join(OUT, "real-noval.xlsx")
    wb.save(noval)
    with tempfile.TemporaryDirectory() as tmp:
        # LibreOffice computes the formulas it loads without values, and saves them.
        src = os.path.join(tmp, "real.xlsx")
        shutil.copy(noval, src)
        for kind, filt in [("ods", "ods"), ("xls", "xls:MS Excel 97")]:
            subprocess.run(["soffice", "--headless", "--convert-to", filt, "--outdir", tmp, src], check=True,
                           stdout=subprocess.DEVNULL)
            shutil.copy(os.path.join(tmp, "real." + kind), os.path.join(OUT, "real-lo." + kind))
        subprocess.run(["soffice", "--headless", "--convert-to", "xlsx:Calc MS Excel 2007 XML", "--outdir",
                        os.path.join(tmp, "lo"), os.path.join(OUT, "real-lo.ods")], check=True, stdout=subprocess.DEVNULL)
        shutil.copy(os.path.join(tmp, "lo", "real-lo.xlsx"), os.path.join(OUT, "real-lo.xlsx"))
        subprocess.run(["ssconvert", "--recalc", os.path.join(OUT, "real-lo.ods"), os.path.join(OUT, "real-gnumeric.xls")],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # LibreOffice writes CSV numbers in its own locale; a Greek user's CSV has the comma.
    with open(os.path.join(OUT, "real.csv"), "w", encoding="utf-8", newline="") as f:
        w = csv.writer(f, delimiter=";", lineterminator="\r\n")
        for row in CSV_ROWS:
            w.writerow(row)


if __name__ == "__main__":
    main()
