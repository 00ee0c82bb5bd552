#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the three pictures of the first-page report and writes their file list into
Addon/E7FirstPageFinal.files: the box after "Είδος επιχείρησης" (70 x 16) and the two left
braces (3 x 33 and 24 x 31). Plain GIF89a written by hand, so nothing needs installing.

Run from anywhere: python3 data/make_pictures.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "Addon", "E7FirstPageFinal.files")
PREFIX = "DHL DLT 04Empty2_6748_"

WHITE, BLACK, GREY, CLEAR = 0, 1, 2, 3
PALETTE = [(255, 255, 255), (0, 0, 0), (128, 128, 128), (255, 255, 255)]


def lzw_codes(pixels):
    """Minimum code size 2: a clear code before every two pixels keeps every code at 3 bits,
    which every decoder reads the same way (no table growth to agree on)."""
    clear, end = 4, 5
    codes = []
    for i in range(0, len(pixels), 2):
        codes.append(clear)
        codes.extend(pixels[i:i + 2])
    codes.append(end)
    bits, nbits, out = 0, 0, bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += 3
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif(width, height, pixels, transparent):
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0x81, 0, 0)  # global table of 4 colours
    for r, g, b in PALETTE:
        data += bytes((r, g, b))
    if transparent:
        data += bytes((0x21, 0xF9, 4, 0x01, 0, 0, CLEAR, 0))
    data += bytes((0x2C,)) + struct.pack("<HHHHB", 0, 0, width, height, 0)
    data += bytes((2,))
    stream = lzw_codes(pixels)
    for i in range(0, len(stream), 255):
        chunk = stream[i:i + 255]
        data += bytes((len(chunk),)) + chunk
    data += bytes((0, 0x3B))
    return bytes(data)


def canvas(width, height, fill):
    return [[fill] * width for _ in range(height)]


def flat(rows):
    return [p for r in rows for p in r]


def box():
    """The rectangle of 51 x 10.5 pt: a black line, clear inside and out. The box reaches
    into the next cell, so a clear field keeps that cell's label readable."""
    w, h = 70, 16
    img = canvas(w, h, CLEAR)
    for y in range(1, h - 1):
        for x in range(1, w - 1):
            img[y][x] = BLACK if x in (1, w - 2) or y in (1, h - 2) else CLEAR
    return w, h, img


def brace(width, height):
    """A left curly brace filling the picture: ends curling to the right, the point at the left."""
    img = canvas(width, height, CLEAR)
    mid = (height - 1) / 2
    stem = (width - 1) / 2
    right, left = width - 1, 0
    curl = max(1, min(height // 8, width // 2))
    for y in range(height):
        d = abs(y - mid)
        if d > mid - curl:
            # Quarter turn from the stem to the end.
            t = (d - (mid - curl)) / curl
            x = stem + (right - stem) * (t * t)
        elif d < curl:
            # Quarter turn from the stem to the point.
            t = 1 - d / curl
            x = stem - (stem - left) * (t * t)
        else:
            x = stem
        img[y][int(round(x))] = BLACK
    # Join the steps of the curves so the line has no gaps.
    for y in range(1, height):
        xs = [x for x in range(width) if img[y][x] == BLACK]
        prev = [x for x in range(width) if img[y - 1][x] == BLACK]
        if xs and prev:
            a, b = prev[0], xs[0]
            for x in range(min(a, b) + 1, max(a, b)):
                img[y if abs(y - mid) < abs(y - 1 - mid) else y - 1][x] = BLACK
    return width, height, img


def main():
    os.makedirs(OUT, exist_ok=True)
    pictures = [("image001.gif", box(), True), ("image002.gif", brace(3, 33), True),
                ("image003.gif", brace(24, 31), True)]
    for name, (w, h, img), transparent in pictures:
        with open(os.path.join(OUT, PREFIX + name), "wb") as f:
            f.write(gif(w, h, flat(img), transparent))
    lines = ['<xml xmlns:o="urn:schemas-microsoft-com:office:office">',
             ' <o:MainFile HRef="../E7FirstPageFinal.htm"/>']
    for name, _, _ in pictures:
        lines.append(' <o:File HRef="%s"/>' % (PREFIX.replace(" ", "%20") + name))
    lines += [' <o:File HRef="filelist.xml"/>', "</xml>"]
    with open(os.path.join(OUT, "filelist.xml"), "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
