// SPDX-License-Identifier: GPL-3.0-or-later
// edlt_bare_cells FILE.xlsx|FILE.xls: the reference readers as a command, to be timed as a
// whole process beside edlt-cli import (for example with /usr/bin/time -v).
#include <cstdio>
#include <exception>
#include <string>

#include "bench/reference/BareCells.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: edlt_bare_cells FILE.xlsx|FILE.xls\n");
        return 2;
    }
    try {
        const std::string file = argv[1];
        size_t cells = file.size() > 4 && file.compare(file.size() - 4, 4, ".xls") == 0
                           ? edlt::bench::freexlCells(file)
                           : edlt::bench::bareXlsxCells(file).size();
        std::printf("%zu cells\n", cells);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    return 0;
}
