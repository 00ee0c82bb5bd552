// SPDX-License-Identifier: GPL-3.0-or-later
// The record store over a million-line workspace file: Open and SaveLinesTo, with cp of
// the same file beside them as the reference.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "bench/Generator.h"
#include "core/store/DetailRecord.h"
#include "core/store/FixedWidthTable.h"

namespace fs = std::filesystem;
using namespace edlt;

namespace {

size_t lines()
{
    const char* env = std::getenv("EDLT_BENCH_LINES");
    return env ? std::strtoul(env, nullptr, 10) : 1000000;
}

const fs::path& workspaceFile()
{
    static fs::path path = [] {
        fs::path dir = fs::temp_directory_path() / "edlt-store-bench";
        fs::create_directories(dir);
        fs::path p = dir / "record2";
        std::ofstream(p, std::ios::binary) << bench::generatedWorkspace(7, lines());
        return p;
    }();
    return path;
}

void BM_StoreOpen(benchmark::State& state)
{
    const fs::path& file = workspaceFile();
    for (auto _ : state) {
        FixedWidthTable ds("FixedFormatDataSet1");
        ds.setFileName(file);
        ds.setSchema(detail::schema());
        ds.open();
        benchmark::DoNotOptimize(ds.countRecords());
        state.PauseTiming();
        ds.close();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(file)));
}

void BM_StoreSaveLinesTo(benchmark::State& state)
{
    const fs::path& file = workspaceFile();
    FixedWidthTable ds("FixedFormatDataSet1");
    ds.setFileName(file);
    ds.setSchema(detail::schema());
    ds.open();
    const fs::path out = file.parent_path() / "record21";
    for (auto _ : state) ds.saveLinesTo(out);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(file)));
}

void BM_StoreCopyWithCp(benchmark::State& state)
{
    const fs::path& file = workspaceFile();
    const std::string command = "cp '" + file.string() + "' '" + (file.parent_path() / "copy").string() + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(file)));
}

}  // namespace

BENCHMARK(BM_StoreOpen)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_StoreSaveLinesTo)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_StoreCopyWithCp)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
