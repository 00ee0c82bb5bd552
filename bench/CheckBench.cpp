// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-declaration check of a million lines: `edlt-cli check` beside `edlt-cli totals`
// of the same file (open and sum, the reference), both as whole commands in one run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "bench/Generator.h"
#include "core/store/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t seed = 2023;
constexpr size_t lineCount = 1000000;

const fs::path& millionLines()
{
    static const fs::path file = [] {
        fs::path p = fs::temp_directory_path() / ("edlt-check-bench-" + std::to_string(::getpid()));
        edlt::AtomicFileWriter out(p, edlt::AtomicFileWriter::Durability::ProcessSafe);
        edlt::bench::writeGeneratedDeclaration(out, seed, lineCount, "20240115");
        out.commit();
        std::atexit([] { fs::remove(millionLines()); });
        return p;
    }();
    return file;
}

void runCli(benchmark::State& state, const char* command)
{
    const std::string line = std::string("'") + EDLT_CLI_PATH + "' " + command + " '" + millionLines().string() +
                             "' >/dev/null 2>&1";
    for (auto _ : state) {
        const int status = std::system(line.c_str());
        // check exits 1 when a line is refused; the generated lines pass.
        if (status != 0) state.SkipWithError((std::string(command) + " failed").c_str());
    }
    state.counters["lines"] = static_cast<double>(lineCount);
}

void BM_CheckCommand(benchmark::State& state)
{
    runCli(state, "check");
}
void BM_CheckTotalsReference(benchmark::State& state)
{
    runCli(state, "totals");
}

}  // namespace

BENCHMARK(BM_CheckCommand)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_CheckTotalsReference)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
