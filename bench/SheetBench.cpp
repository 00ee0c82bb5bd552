// SPDX-License-Identifier: GPL-3.0-or-later
// Reading large import sheets: a 100,000-row .xlsx beside xlsx2csv converting the same
// file, and a 60,000-row .xls beside FreeXL reading every cell of it. Counters: the file's
// size, the reader's peak memory over what the process held before it and their ratio.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/PeakMemory.h"
#include "bench/SheetGenerator.h"
#include "bench/reference/BareCells.h"
#include "core/import/Sheet.h"

namespace fs = std::filesystem;

namespace {

using edlt::bench::resetPeak;
using edlt::bench::statusKb;

fs::path benchDir()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("edlt-sheet-bench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        std::atexit(
            [] { fs::remove_all(fs::temp_directory_path() / ("edlt-sheet-bench-" + std::to_string(::getpid()))); });
        return d;
    }();
    return dir;
}

const fs::path& largeXlsx()
{
    static const fs::path p = [] {
        fs::path f = benchDir() / "large.xlsx";
        edlt::bench::writeLargeXlsx(f, 100000);
        return f;
    }();
    return p;
}

const fs::path* largeXls()
{
    static const bool ok = edlt::bench::writeLargeXls(benchDir() / "large.xls", 60000);
    static const fs::path p = benchDir() / "large.xls";
    return ok ? &p : nullptr;
}

void readAndCount(benchmark::State& state, const fs::path& file)
{
    const double fileMb = static_cast<double>(fs::file_size(file)) / (1 << 20);
    double peakMb = 0;
    size_t rows = 0;
    for (auto _ : state) {
        long before = resetPeak();
        edlt::sheet::ReadResult r = edlt::sheet::readSpreadsheet(file);
        peakMb = std::max(peakMb, static_cast<double>(statusKb("VmHWM:") - before) / 1024);
        rows = r.block.rows;
        benchmark::DoNotOptimize(r);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["file_MB"] = fileMb;
    state.counters["peak_MB"] = peakMb;
    state.counters["peak_per_file"] = peakMb / fileMb;
}

void BM_ReadXlsx100k(benchmark::State& state)
{
    readAndCount(state, largeXlsx());
}

void BM_Xlsx2Csv100k(benchmark::State& state)
{
    const fs::path& file = largeXlsx();
    fs::path out = benchDir() / "large.csv";
    if (std::system("command -v xlsx2csv >/dev/null") != 0) {
        state.SkipWithError("xlsx2csv is not installed (apt-get install xlsx2csv)");
        return;
    }
    std::string command = "xlsx2csv '" + file.string() + "' '" + out.string() + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("xlsx2csv failed");
}

void BM_ReadXls60k(benchmark::State& state)
{
    const fs::path* file = largeXls();
    if (!file) {
        state.SkipWithError("python3-xlwt is not installed (apt-get install python3-xlwt)");
        return;
    }
    readAndCount(state, *file);
}

void BM_FreeXl60k(benchmark::State& state)
{
    const fs::path* file = largeXls();
    if (!file) {
        state.SkipWithError("python3-xlwt is not installed (apt-get install python3-xlwt)");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(edlt::bench::freexlCells(*file));
}

}  // namespace

BENCHMARK(BM_ReadXlsx100k)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Xlsx2Csv100k)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReadXls60k)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_FreeXl60k)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
