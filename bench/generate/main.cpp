// SPDX-License-Identifier: GPL-3.0-or-later
// edlt_generate: writes a generated declaration file (and optionally a matching sheet of
// further lines as CSV) for the benchmarks and the crash test.
//   edlt_generate FILE LINES [SEED] [--csv SHEET ROWS]
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <unordered_set>

#include "bench/Generator.h"
#include "core/base/Cp1253.h"
#include "core/store/AtomicFile.h"
#include "core/store/DetailRecord.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: edlt_generate FILE LINES [SEED] [--csv SHEET ROWS]\n";
        return 2;
    }
    const size_t lines = std::strtoul(argv[2], nullptr, 10);
    uint64_t seed = 1;
    int i = 3;
    if (i < argc && std::strcmp(argv[i], "--csv") != 0) seed = std::strtoull(argv[i++], nullptr, 10);
    edlt::AtomicFileWriter out(argv[1]);
    edlt::bench::writeGeneratedDeclaration(out, seed, lines, "20261207");
    out.commit();
    if (i + 2 < argc + 0 && std::strcmp(argv[i], "--csv") == 0) {
        // Lines of another seed, so they do not repeat the declaration's (tax number, type) pairs.
        const size_t rows = std::strtoul(argv[i + 2], nullptr, 10);
        std::string record, line;
        auto key = [&line] { return line.substr(1, 9) + line.substr(77, 2); };
        std::unordered_set<std::string> taken;
        edlt::bench::DeclarationGenerator same(seed);
        for (size_t r = 0; r < lines; ++r) {
            same.nextLine(record, line);
            taken.insert(key());
        }
        edlt::bench::DeclarationGenerator g(seed + 1000003);
        std::ofstream csv(argv[i + 1], std::ios::binary);
        for (size_t r = 0; r < rows;) {
            g.nextLine(record, line);
            // The import refuses code 30 and lines the declaration already has.
            if (line.substr(77, 2) == "30" || !taken.insert(key()).second) continue;
            ++r;
            for (int f = edlt::detail::AFM; f <= edlt::detail::OGAForouAnal; ++f) {
                if (f == edlt::detail::FILLER) continue;
                std::string v = edlt::detail::fieldText(line, static_cast<edlt::detail::Field>(f));
                while (!v.empty() && v.back() == ' ') v.pop_back();
                csv << (f == edlt::detail::AFM ? "" : ";") << edlt::cp1253::toUtf8(v);
            }
            csv << "\r\n";
        }
    }
    return 0;
}
