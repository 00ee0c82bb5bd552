#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when a source file does not name its licence in an SPDX line: the first line, or
the second after a shebang, is "// SPDX-License-Identifier: GPL-3.0-or-later" in C++ and
"# SPDX-License-Identifier: GPL-3.0-or-later" in scripts and CMake files.

Run from anywhere: python3 scripts/check_spdx.py [REPOSITORY]
"""
import pathlib
import subprocess
import sys

LICENCE = "SPDX-License-Identifier: GPL-3.0-or-later"
MARKS = {".cpp": "//", ".h": "//", ".py": "#", ".sh": "#", ".cmake": "#"}
SKIP = ("build",)


def mark(path):
    """The comment mark of a source file, None for a file that is not checked."""
    if path.name == "CMakeLists.txt":
        return "#"
    return MARKS.get(path.suffix)


def sources(root):
    """The repository's files: git's list when there is one, else every file but builds."""
    try:
        out = subprocess.run(["git", "-C", str(root), "ls-files", "-z"], check=True,
                             capture_output=True).stdout
        return [root / p for p in out.decode().split("\0") if p]
    except (OSError, subprocess.CalledProcessError):
        return [p for p in root.rglob("*")
                if p.is_file() and p.relative_to(root).parts[0] not in SKIP]


def problem(path, comment):
    """Why the file's head lacks the line, or None."""
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            head = [f.readline().rstrip("\r\n") for _ in range(2)]
    except OSError as e:
        return str(e)
    wanted = f"{comment} {LICENCE}"
    lines = head[1:2] if head[0].startswith("#!") else head[:1]
    return None if wanted in lines else f"does not start with '{wanted}'"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    failures = []
    for path in sorted(sources(root)):
        comment = mark(path)
        if comment and path.is_file():
            why = problem(path, comment)
            if why:
                failures.append(f"{path.relative_to(root)}: {why}")
    for line in failures:
        print(line)
    if failures:
        print(f"{len(failures)} files without an SPDX line", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
