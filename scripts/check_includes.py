#!/usr/bin/env python3
"""Fails when a source file includes a header from a folder ranked above its own.

Core: base < store < entry < app < reports, tools < cli. Window code sits above all of the
core: ui/ (helpers every window uses) < entry/ui < reports/ui, tools/ui < app/ui (the main
window, which wires the others). reports/render draws pages on QtGui for the command line and
the print window, so it sits between reports and cli. Folders of one rank do not include each
other. Tests, benchmarks and fuzz targets may include anything.
"""
import pathlib
import re
import sys

RANK = {
    "base": 0, "store": 1, "entry": 2, "app": 3, "reports": 4, "tools": 4,
    "reports/render": 5, "tools/sheet": 4, "cli": 6,
    "ui": 10, "entry/ui": 11, "reports/ui": 12, "tools/ui": 12, "app/ui": 13,
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
            continue
        for inc in INCLUDE.findall(src.read_text(encoding="utf-8", errors="replace")):
            target = folder(inc)
            if target is None or target == own:
                continue
            # tools/sheet is tools' own reader; the two are one folder for this check.
            if {own, target} == {"tools", "tools/sheet"}:
                continue
            if RANK[target] >= RANK[own]:
                bad.append(f"{rel}: includes {inc} ({target} is not below {own})")
    for line in bad:
        print(line)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
