#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Takes the two screenshots of the AppStream metainfo with the built programs, under a
virtual display (Xvfb) with a window manager (openbox): the main window with a declaration
(main-window.png) and the preview of its first page (first-page.png), in data/screenshots.
Needs xvfb, openbox, xdotool and x11-apps (xwd); the PNG is written here from xwd's dump.

Run from anywhere: python3 data/make_screenshots.py BUILD_DIR
"""
import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "screenshots")
SIZE = "1280x800x24"
COMPANY = "ΕΜΠΟΡΙΚΗ ΑΘΗΝΩΝ ΑΕ"
PEOPLE = [
    ("ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΙΩΡΓΟΣ", "ΝΙΚ", "ΑΘΗΝΑ", "ΣΤΑΔΙΟΥ", "12", "10564", 18450),
    ("ΓΕΩΡΓΙΟΥ", "ΜΑΡΙΑ", "ΚΩΝ", "ΠΕΙΡΑΙΑΣ", "ΓΟΥΝΑΡΗ", "8", "18531", 15200),
    ("ΙΩΑΝΝΙΔΗΣ", "ΝΙΚΟΣ", "ΑΝΤ", "ΑΘΗΝΑ", "ΠΑΤΗΣΙΩΝ", "101", "11251", 21300),
    ("ΚΩΝΣΤΑΝΤΙΝΟΥ", "ΕΛΕΝΗ", "ΔΗΜ", "ΚΗΦΙΣΙΑ", "ΤΑΤΟΪΟΥ", "45", "14561", 24780),
    ("ΔΗΜΗΤΡΙΟΥ", "ΚΩΣΤΑΣ", "ΓΕΩ", "ΧΑΛΑΝΔΡΙ", "ΑΓ. ΓΕΩΡΓΙΟΥ", "3", "15231", 12900),
    ("ΑΛΕΞΙΟΥ", "ΣΟΦΙΑ", "ΠΑΝ", "ΑΘΗΝΑ", "ΑΚΑΔΗΜΙΑΣ", "27", "10671", 30150),
    ("ΝΙΚΟΛΑΟΥ", "ΑΝΝΑ", "ΙΩΑ", "ΜΑΡΟΥΣΙ", "ΚΗΦΙΣΙΑΣ", "210", "15124", 16875),
]


def afm(n):
    """A valid tax number from eight digits: the ninth is the check digit."""
    digits = "%08d" % n
    total = sum(int(d) << (8 - i) for i, d in enumerate(digits))
    return digits + str(total % 11 % 10)


def amount(cents):
    return "%d,%02d" % divmod(cents, 100)


def sheet_rows():
    rows = []
    for i, (surname, name, father, town, street, number, tk, gross) in enumerate(PEOPLE):
        gross *= 100
        deductions = gross * 16 // 100
        tax = gross * 9 // 100
        rows.append(";".join([afm(11223340 + 7 * i), surname, name, father, town, street, number, tk, "10",
                              amount(gross), "0", "0", amount(deductions), amount(gross - deductions),
                              amount(tax), amount(tax), "", "365", "0", "0"]))
    return "\n".join(rows) + "\n"


def png(width, height, rgb_rows):
    """An 8-bit RGB PNG, every row unfiltered."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + row for row in rgb_rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def xwd_to_png(dump):
    """Reads a TrueColor ZPixmap dump of xwd (24 or 32 bits a pixel) into a PNG."""
    fields = struct.unpack(">25I", dump[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks, ncolours = fields[14:17], fields[19]
    if bits_per_pixel not in (24, 32):
        raise SystemExit("xwd: %d bits a pixel" % bits_per_pixel)
    size = bits_per_pixel // 8
    data = dump[header_size + 12 * ncolours:]
    shifts = [(m & -m).bit_length() - 1 for m in masks]
    rows = []
    for y in range(height):
        line = data[y * bytes_per_line:y * bytes_per_line + size * width]
        row = bytearray()
        for x in range(0, size * width, size):
            p = int.from_bytes(line[x:x + size], "little" if byte_order == 0 else "big")
            row += bytes(((p >> shifts[0]) & 255, (p >> shifts[1]) & 255, (p >> shifts[2]) & 255))
        rows.append(bytes(row))
    return png(width, height, rows)


class Display:
    def __init__(self, home):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", SIZE, "-nolisten", "tcp"],
                                       pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            number += os.read(read, 16)
        os.close(read)
        self.env = {"HOME": home, "PATH": os.environ["PATH"], "LANG": "C.UTF-8", "DISPLAY": ":" + number.decode().strip(),
                    "XDG_STATE_HOME": os.path.join(home, "state"), "QTWEBENGINE_DISABLE_SANDBOX": "1"}
        self.manager = subprocess.Popen(["openbox"], env=self.env, stderr=subprocess.DEVNULL)
        time.sleep(1)

    def run(self, *args):
        return subprocess.run(list(args), env=self.env, check=True, capture_output=True, text=True).stdout

    def window(self, name=None, wm_class=None):
        how = ["--name", name] if name else ["--class", wm_class]
        out = subprocess.run(["timeout", "60", "xdotool", "search", "--sync", "--onlyvisible"] + how, env=self.env,
                             check=True, capture_output=True, text=True).stdout
        return out.split()[0]

    def new_window(self, wm_class, known):
        """The largest visible window of the class that is not one of known."""
        for _ in range(120):
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", wm_class], env=self.env,
                                   capture_output=True, text=True).stdout.split()
            sizes = []
            for w in set(found) - set(known):
                geometry = self.run("xdotool", "getwindowgeometry", "--shell", w)
                values = dict(line.split("=") for line in geometry.split())
                sizes.append((int(values["WIDTH"]) * int(values["HEIGHT"]), w))
            if sizes and max(sizes)[0] > 400 * 300:
                return max(sizes)[1]
            time.sleep(0.5)
        raise SystemExit("no new window")

    def shoot(self, window, name):
        time.sleep(3)  # until the window has painted
        dump = subprocess.run(["xwd", "-silent", "-frame", "-id", window], env=self.env, check=True,
                              capture_output=True).stdout
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(xwd_to_png(dump))

    def close(self):
        self.manager.kill()
        self.server.kill()


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/release")
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory() as home:
        display = Display(home)
        try:
            declaration = os.path.join(home, "094019245-DLT")
            sheet = os.path.join(home, "misthodosia.csv")
            with open(sheet, "w", encoding="utf-8") as f:
                f.write(sheet_rows())
            cli = os.path.join(build, "edlt-cli")
            display.run(cli, "new", declaration, "--year", "2024", "--afm", "094019245", "--company", COMPANY,
                        "--activity", "ΕΜΠΟΡΙΟ", "--town", "ΑΘΗΝΑ", "--street", "ΣΤΑΔΙΟΥ", "--number", "10",
                        "--tk", "10564")
            display.run(cli, "import", declaration, sheet, "--answer", "yes")
            program = subprocess.Popen([os.path.join(build, "edlt"), declaration], env=display.env)
            try:
                main_window = display.window(wm_class="e-DLT")
                display.run("xdotool", "windowactivate", "--sync", main_window)
                display.shoot(main_window, "main-window.png")
                # Print - first page, the first item of the second menu.
                display.run("xdotool", "mousemove", "--window", main_window, "95", "8", "click", "1")
                time.sleep(1)
                display.run("xdotool", "key", "Down", "Return")
                preview = display.new_window("e-DLT", [main_window])
                display.run("xdotool", "windowactivate", "--sync", preview)
                display.shoot(preview, "first-page.png")
            finally:
                program.kill()
                program.wait()
        finally:
            display.close()


if __name__ == "__main__":
    main()
