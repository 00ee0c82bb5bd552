// Whole commands beside their bare references, paired in one run (medians of five):
// `edlt-cli totals` of a million-line declaration beside edlt_bare_open (read, parse the
// nine amounts, write the lines twice), and `edlt-cli import` of a 100,000-row .xlsx
// beside edlt_bare_cells (libzip + expat collecting the cell texts).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "bench/Generator.h"
#include "bench/SheetGenerator.h"
#include "core/store/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t seed = 2023;

fs::path folderPath()
{
    return fs::temp_directory_path() / ("edlt-command-bench-" + std::to_string(::getpid()));
}

const fs::path& folder()
{
    static const fs::path dir = [] {
        fs::create_directories(folderPath() / "bare");
        // Not through dir: it is destroyed before this runs.
        std::atexit([] { fs::remove_all(folderPath()); });
        return folderPath();
    }();
    return dir;
}

fs::path declaration(size_t lines)
{
    fs::path p = folder() / ("decl-" + std::to_string(lines));
    if (!fs::exists(p)) {
        edlt::AtomicFileWriter out(p, edlt::AtomicFileWriter::Durability::ProcessSafe);
        edlt::bench::writeGeneratedDeclaration(out, seed, lines, "20240115");
        out.commit();
    }
    return p;
}

const fs::path& sheet()
{
    static const fs::path p = [] {
        fs::path f = folder() / "rows-100k.xlsx";
        edlt::bench::writeLargeXlsx(f, 100000);
        return f;
    }();
    return p;
}

std::string quoted(const fs::path& p)
{
    return "'" + p.string() + "'";
}

void run(benchmark::State& state, const std::string& command)
{
    const std::string line = command + " >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(line.c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
}

void BM_TotalsCommand1M(benchmark::State& state)
{
    run(state, std::string("'") + EDLT_CLI_PATH + "' totals " + quoted(declaration(1000000)));
}

void BM_BareOpenReference1M(benchmark::State& state)
{
    run(state,
        std::string("'") + EDLT_BARE_OPEN_PATH + "' " + quoted(declaration(1000000)) + " " + quoted(folder() / "bare"));
}

void BM_ImportCommandXlsx100k(benchmark::State& state)
{
    run(state, std::string("'") + EDLT_CLI_PATH + "' import " + quoted(declaration(0)) + " " + quoted(sheet()) +
                   " --out " + quoted(folder() / "imported"));
}

void BM_BareCellsReferenceXlsx100k(benchmark::State& state)
{
    run(state, std::string("'") + EDLT_BARE_CELLS_PATH + "' " + quoted(sheet()));
}

}  // namespace

#define EDLT_COMMAND_BENCH(name)        \
    BENCHMARK(name)                     \
        ->Unit(benchmark::kMillisecond) \
        ->Iterations(1)                 \
        ->Repetitions(5)                \
        ->ReportAggregatesOnly(true)    \
        ->UseRealTime()
EDLT_COMMAND_BENCH(BM_TotalsCommand1M);
EDLT_COMMAND_BENCH(BM_BareOpenReference1M);
EDLT_COMMAND_BENCH(BM_ImportCommandXlsx100k);
EDLT_COMMAND_BENCH(BM_BareCellsReferenceXlsx100k);
