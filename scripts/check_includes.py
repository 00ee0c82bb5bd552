#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when a source file includes a header from a folder ranked above its own.

Top-level folders are layers: core (no Qt) < render (pages on QtGui) < gui (widgets) <
programs. Inside core the subjects are ranked too: base < store < rules < session <
import, reports, export, desktop; inside gui: common < grid < dialogs, reports < mainwindow.
Subjects of one rank do not include each other. Tests, benchmarks and fuzz targets may
include anything.
"""
import pathlib
import re
import sys

RANK = {
    "core/base": 0, "core/store": 1, "core/rules": 2, "core/session": 3,
    "core/import": 4, "core/reports": 4, "core/export": 4, "core/desktop": 4,
    "render": 10,
    "gui/common": 20, "gui/grid": 21, "gui/dialogs": 22, "gui/reports": 22, "gui/mainwindow": 23,
    "programs/edlt-cli": 30, "programs/edlt": 30,
}
SKIP = ("tests", "bench", "fuzz", "build", "cmake", "data", "packaging", "scripts")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder(path):
    """The ranked folder a repository path belongs to, longest match first."""
    parts = pathlib.PurePosixPath(path).parts[:-1]
    for n in (2, 1):
        key = "/".join(parts[:n])
        if len(parts) >= n and key in RANK:
            return key
    return None


def main(root):
    root = pathlib.Path(root)
    bad = []
    for src in sorted(root.rglob("*")):
        if src.suffix not in (".h", ".cpp") or not src.is_file():
            continue
        rel = src.relative_to(root).as_posix()
        if rel.split("/")[0] in SKIP:
            continue
        own = folder(rel)
        if own is None:
            bad.append(f"{rel}: not in a ranked folder")
            continue
        for inc in INCLUDE.findall(src.read_text(encoding="utf-8", errors="replace")):
            target = folder(inc)
            if target is None or target == own:
                continue
            if RANK[target] >= RANK[own]:
                bad.append(f"{rel}: includes {inc} ({target} is not below {own})")
    for line in bad:
        print(line)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
