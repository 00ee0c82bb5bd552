// SPDX-License-Identifier: GPL-3.0-or-later
// The line export at scale: 1,000,000 generated lines to .xlsx, beside the import reading
// that same sheet back (the reference), in this order in one run. The import also checks,
// once, that the sheet gives back the same lines and totals. Counters: the file's size and
// the peak memory each step adds to what the process held before it.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/Generator.h"
#include "bench/PeakMemory.h"
#include "bench/QuietUI.h"
#include "core/export/SheetExport.h"
#include "core/import/Sheet.h"
#include "core/import/SpreadsheetImport.h"
#include "core/session/DeclarationSession.h"
#include "core/store/DetailRecord.h"

namespace fs = std::filesystem;
using namespace edlt;

namespace {

// EDLT_EXPORT_BENCH_LINES sets another count, for a quick look.
const size_t lineCount = [] {
    const char* count = std::getenv("EDLT_EXPORT_BENCH_LINES");
    return count ? std::stoul(count) : size_t(1000000);
}();
constexpr uint64_t seed = 27;

fs::path benchDir()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("edlt-export-bench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        std::atexit(
            [] { fs::remove_all(fs::temp_directory_path() / ("edlt-export-bench-" + std::to_string(::getpid()))); });
        return d;
    }();
    return dir;
}

// The generated lines (workspace form, each with CR LF) and their totals.
struct Generated {
    std::string workspace;
    TotalsTexts totals;
};

const Generated& generated()
{
    static const Generated g = [] {
        Generated out;
        out.workspace.reserve(lineCount * (detail::RecordSize + 2));
        bench::DeclarationGenerator gen(seed, true);
        std::string fileRecord, line;
        for (size_t i = 0; i < lineCount; ++i) {
            gen.nextLine(fileRecord, line);
            out.workspace += line;
            out.workspace += "\r\n";
        }
        out.totals = gen.totals();
        return out;
    }();
    return g;
}

const fs::path sheetPath()
{
    return benchDir() / "lines.xlsx";
}

void setPeakCounter(benchmark::State& state, long before)
{
    state.counters["peak_MB"] = static_cast<double>(bench::statusKb("VmHWM:") - before) / 1024;
}

// Processor time of every thread of the process, user and system: the reader works on two
// threads, which the benchmark's own CPU column (this thread's) does not show.
double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_ExportXlsx1M(benchmark::State& state)
{
    const DetailLines lines = bench::workspaceView(generated().workspace);
    for (auto _ : state) {
        const long before = bench::resetPeak();
        const double cpu = processCpuSeconds();
        exportLines(lines, sheetPath(), SheetKind::Xlsx);
        state.counters["process_cpu_s"] = processCpuSeconds() - cpu;
        setPeakCounter(state, before);
    }
    state.counters["file_MB"] = static_cast<double>(fs::file_size(sheetPath())) / (1 << 20);
}

// The reference: the import's reader over the sheet just written.
void BM_ReadXlsx1M(benchmark::State& state)
{
    for (auto _ : state) {
        const long before = bench::resetPeak();
        const double cpu = processCpuSeconds();
        const sheet::ReadResult r = sheet::readSpreadsheet(sheetPath());
        state.counters["process_cpu_s"] = processCpuSeconds() - cpu;
        setPeakCounter(state, before);
        state.counters["rows"] = static_cast<double>(r.block.rows);
    }
}

// The whole import command into an empty declaration; the round trip is checked here.
void BM_ImportXlsx1M(benchmark::State& state)
{
    const fs::path folder = benchDir() / "program";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(folder);
        fs::create_directories(folder);
        bench::QuietUI ui;
        DeclarationSession::Options o;
        o.programFolder = folder;
        o.lockWorkspace = false;
        DeclarationSession session(ui, o);
        session.start();
        session.newDeclaration();
        ui.shown = 0;
        const long before = bench::resetPeak();
        const double cpu = processCpuSeconds();
        state.ResumeTiming();
        const auto outcome = SpreadsheetImport(session, ui).importFile(sheetPath());
        state.PauseTiming();
        state.counters["process_cpu_s"] = processCpuSeconds() - cpu;
        setPeakCounter(state, before);

        const FixedWidthTable& ds = session.detailStore();
        std::vector<std::string_view> imported, original;
        for (long i = 0; i < ds.countRecords(); ++i) imported.push_back(ds.lineAt(static_cast<size_t>(i)));
        const DetailLines lines = bench::workspaceView(generated().workspace);
        for (size_t i = 0; i < lines.count; ++i) original.push_back(lines.lineAt(i));
        std::sort(imported.begin(), imported.end());
        std::sort(original.begin(), original.end());
        std::string problem;
        if (outcome != SpreadsheetImport::Outcome::Imported || ui.shown != 0)
            problem = "the import refused: " + ui.last;
        else if (imported != original)
            problem = "the lines differ";
        else if (session.totals() != generated().totals)
            problem = "the totals differ";
        state.counters["round_trip"] = problem.empty() ? 1 : 0;
        if (!problem.empty()) {
            state.SkipWithError(problem.c_str());
            break;
        }
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_ExportXlsx1M)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ReadXlsx1M)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ImportXlsx1M)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
