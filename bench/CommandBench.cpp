// SPDX-License-Identifier: GPL-3.0-or-later
// Whole commands beside their bare references, paired in one run (medians of five):
// `edlt-cli totals` of a million-line declaration beside edlt_bare_open (read, parse the
// nine amounts, write the lines twice), and `edlt-cli import` of a 100,000-row .xlsx
// beside edlt_bare_cells (libzip + expat collecting the cell texts).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// Runs a shell command; its wall time in seconds and its peak resident memory in MB.
struct Measured {
    double seconds = 0;
    double peakMb = 0;
};

Measured measure(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/bin/sh", "sh", "-c", (command + " >/dev/null 2>&1").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    Measured m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakMb = static_cast<double>(usage.ru_maxrss) / 1024;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) m.seconds = -1;
    return m;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The command and its reference one after the other, five pairs or more: the medians of
// both, their ratio and both peaks (the shell adds nothing to a child's own peak).
void pairWith(benchmark::State& state, const std::string& command, const std::string& reference)
{
    std::vector<double> ours, theirs, ourPeak, theirPeak;
    for (auto _ : state) {
        for (int pair = 0; pair < 5; ++pair) {
            const Measured a = measure(command), b = measure(reference);
            if (a.seconds < 0 || b.seconds < 0) return state.SkipWithError(("failed: " + command).c_str());
            ours.push_back(a.seconds), theirs.push_back(b.seconds);
            ourPeak.push_back(a.peakMb), theirPeak.push_back(b.peakMb);
        }
    }
    state.counters["ours_s"] = median(ours);
    state.counters["reference_s"] = median(theirs);
    state.counters["ratio"] = median(ours) / median(theirs);
    state.counters["ours_peak_MB"] = *std::max_element(ourPeak.begin(), ourPeak.end());
    state.counters["reference_peak_MB"] = *std::max_element(theirPeak.begin(), theirPeak.end());
}

// `edlt-cli sort --by name` of a million lines beside `LC_ALL=C sort -k1.13` of the same file.
void BM_SortByNameCommandVsSort1M(benchmark::State& state)
{
    const fs::path in = declaration(1000000);
    pairWith(
        state,
        std::string("'") + EDLT_CLI_PATH + "' sort " + quoted(in) + " --by name --out " + quoted(folder() / "sorted"),
        "LC_ALL=C sort -k1.13 " + quoted(in) + " -o " + quoted(folder() / "sorted-by-sort"));
}

// `edlt-cli totals` of a million lines: time beside edlt_bare_open, and its peak memory
// against the file's size.
void BM_TotalsCommandVsBareOpen1M(benchmark::State& state)
{
    const fs::path in = declaration(1000000);
    pairWith(state, std::string("'") + EDLT_CLI_PATH + "' totals " + quoted(in),
             std::string("'") + EDLT_BARE_OPEN_PATH + "' " + quoted(in) + " " + quoted(folder() / "bare"));
    state.counters["file_MB"] = static_cast<double>(fs::file_size(in)) / (1 << 20);
}

}  // namespace

BENCHMARK(BM_SortByNameCommandVsSort1M)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_TotalsCommandVsBareOpen1M)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

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
