// SPDX-License-Identifier: GPL-3.0-or-later
// The declaration session at scale: storing an edited line, storing a new line and deleting
// a line among 100,000 and among 1,000,000 (validation, duplicate search, what makes the
// store survive a kill, totals), the two sorts, and opening a million-line file, with `cp`
// of that file as the reference for what the disk allows.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <unistd.h>

#include "bench/Generator.h"
#include "bench/PeakMemory.h"
#include "bench/QuietUI.h"
#include "core/base/Amount.h"
#include "core/base/Cp1253.h"
#include "core/rules/CheckAFM.h"
#include "core/session/DeclarationCheck.h"
#include "core/session/DeclarationSession.h"
#include "core/store/AtomicFile.h"
#include "core/store/DetailRecord.h"

namespace fs = std::filesystem;
using namespace edlt;

namespace {

using bench::QuietUI;

constexpr uint64_t seed = 2023;
constexpr size_t smallCount = 100000;
constexpr size_t largeCount = 1000000;

class Folder {
public:
    explicit Folder(const std::string& name)
        : path_(fs::temp_directory_path() / ("edlt-session-bench-" + name + "-" + std::to_string(::getpid())))
    {
        fs::create_directories(path_ / "Addon");
        AtomicFileWriter list(path_ / "Addon" / "typeofinc.txt");
        list.write("10" + std::string(52, ' ') + "\r\n");
        list.commit();
    }
    ~Folder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// A generated declaration of count lines, opened in a session.
struct OpenDeclaration {
    Folder folder;
    fs::path file;
    QuietUI ui;
    DeclarationSession session;

    OpenDeclaration(const std::string& name, size_t count)
        : folder(name), file(folder.path() / "DLT"), session(ui, options(folder.path()))
    {
        AtomicFileWriter out(file, AtomicFileWriter::Durability::ProcessSafe);
        bench::writeGeneratedDeclaration(out, seed, count, "20240115");
        out.commit();
        session.start();
    }

    static DeclarationSession::Options options(const fs::path& folder)
    {
        DeclarationSession::Options o;
        o.programFolder = folder;
        o.today = [] { return CalendarDate{2024, 1, 15}; };
        o.lockWorkspace = false;
        return o;
    }

    bool open()
    {
        session.setModified(false);  // the edits measured are given up without the question
        pristine = session.openFile(file) && ui.shown == 0;
        return pristine;
    }
    // Open, and its lines in the generated order (edits and inserts are undone as they go).
    bool pristine = false;
};

// One declaration per size, generated once and kept open across the benchmarks.
OpenDeclaration& declaration(size_t count)
{
    static std::map<size_t, std::unique_ptr<OpenDeclaration>> open;
    auto& d = open[count];
    if (!d) d = std::make_unique<OpenDeclaration>(std::to_string(count), count);
    return *d;
}

OpenDeclaration& small()
{
    return declaration(smallCount);
}

// Opens the small declaration afresh (its original order) unless it already is; false,
// with the reason, when it fails.
bool reopen(benchmark::State& state, OpenDeclaration& d, bool always = false)
{
    d.ui.shown = 0;
    if ((d.pristine && !always) || d.open()) return true;
    state.SkipWithError(("the generated declaration did not open: " + cp1253::toUtf8(d.ui.last)).c_str());
    return false;
}

void BM_StoreEditedLine(benchmark::State& state)
{
    const auto count = static_cast<size_t>(state.range(0));
    OpenDeclaration& d = declaration(count);
    if (!reopen(state, d)) return;
    FixedWidthTable& ds = d.session.detailStore();
    // Lines spread over the file; each edit raises the pay by a cent, the next lowers it.
    static long record = 0;
    static int64_t delta = 1;
    for (auto _ : state) {
        record = (record + 37813) % static_cast<long>(count);
        ds.setRecordNumber(record + 1);
        ds.edit();
        if (!bench::shiftGrossAndPost(ds, delta) || d.ui.shown != 0) {
            state.SkipWithError(("the edited line was refused: " + cp1253::toUtf8(d.ui.last)).c_str());
            return;
        }
        delta = -delta;
    }
    state.counters["lines"] = static_cast<double>(ds.countRecords());
}

void BM_StoreNewLine(benchmark::State& state)
{
    const auto count = static_cast<size_t>(state.range(0));
    OpenDeclaration& d = declaration(count);
    if (!reopen(state, d)) return;
    FixedWidthTable& ds = d.session.detailStore();
    const long middle = static_cast<long>(count / 2);
    for (auto _ : state) {
        ds.setRecordNumber(middle);
        if (!bench::insertNewLine(ds) || d.ui.shown != 0) {
            state.SkipWithError(("the new line was refused: " + cp1253::toUtf8(d.ui.last)).c_str());
            return;
        }
        // Out of the timing: the next insert meets the same number of lines.
        state.PauseTiming();
        ds.setRecordNumber(middle);
        ds.deleteRecord();
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(ds.countRecords());
}

void BM_DeleteLine(benchmark::State& state)
{
    const auto count = static_cast<size_t>(state.range(0));
    OpenDeclaration& d = declaration(count);
    if (!reopen(state, d)) return;
    FixedWidthTable& ds = d.session.detailStore();
    const long middle = static_cast<long>(count / 2);
    for (auto _ : state) {
        state.PauseTiming();
        ds.setRecordNumber(middle);
        const std::string line(ds.lineAt(static_cast<size_t>(middle - 1)));
        state.ResumeTiming();
        ds.deleteRecord();
        // Out of the timing: the line goes back where it was, through the line checks.
        state.PauseTiming();
        ds.setRecordNumber(middle);
        ds.insert();
        for (int f = 0; f < static_cast<int>(detail::fields.size()); ++f) {
            const detail::FieldDef& def = detail::fields[static_cast<size_t>(f)];
            if (line.size() > static_cast<size_t>(def.offset))
                ds.setFieldValue(f, line.substr(static_cast<size_t>(def.offset), static_cast<size_t>(def.width)));
        }
        if (!ds.post() || d.ui.shown != 0 || ds.lineAt(static_cast<size_t>(middle - 1)) != line) {
            state.SkipWithError(("the deleted line did not go back: " + cp1253::toUtf8(d.ui.last)).c_str());
            return;
        }
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(ds.countRecords());
}

void sortBench(benchmark::State& state, DeclarationSession::SortKey key)
{
    OpenDeclaration& d = small();
    for (auto _ : state) {
        // Each sort starts from the generated order, not from the previous result.
        state.PauseTiming();
        if (!reopen(state, d, true)) return;
        state.ResumeTiming();
        d.session.sort(key);
        d.pristine = false;
        if (d.ui.shown != 0) {
            state.SkipWithError(("the sort failed: " + cp1253::toUtf8(d.ui.last)).c_str());
            return;
        }
    }
    state.counters["lines"] = static_cast<double>(d.session.detailStore().countRecords());
}

void BM_SortByTaxNumber(benchmark::State& state)
{
    sortBench(state, DeclarationSession::SortKey::TaxNumber);
}
void BM_SortBySurname(benchmark::State& state)
{
    sortBench(state, DeclarationSession::SortKey::Surname);
}

OpenDeclaration& large()
{
    return declaration(largeCount);
}

void BM_OpenFile(benchmark::State& state)
{
    OpenDeclaration& d = large();
    for (auto _ : state) {
        d.ui.shown = 0;
        if (!d.open()) {
            state.SkipWithError(("the generated declaration did not open: " + cp1253::toUtf8(d.ui.last)).c_str());
            return;
        }
    }
    state.counters["lines"] = static_cast<double>(d.session.detailStore().countRecords());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(d.file)));
}

void BM_OpenFileCpReference(benchmark::State& state)
{
    OpenDeclaration& d = large();
    fs::path out = d.folder.path() / "copied-DLT";
    std::string command = "cp '" + d.file.string() + "' '" + out.string() + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(d.file)));
    fs::remove(out);
}

// Resident memory through the clerk's work on a million lines, driven as the window drives
// the session: open, check, sort, save, then a 5-line declaration opened in its place.
// Alone in its process for true figures: --benchmark_filter=MemoryThroughTheWork
void BM_MemoryThroughTheWork1M(benchmark::State& state)
{
    OpenDeclaration d("memory", largeCount);
    const fs::path small = d.folder.path() / "SMALL";
    {
        AtomicFileWriter out(small, AtomicFileWriter::Durability::ProcessSafe);
        bench::writeGeneratedDeclaration(out, seed + 1, 5, "20240115");
        out.commit();
    }
    const double fileMb = static_cast<double>(fs::file_size(d.file)) / (1 << 20);
    auto mb = [](long kb) { return static_cast<double>(kb) / 1024; };
    double afterOpen = 0, openPeak = 0, workPeak = 0, afterSmall = 0;
    for (auto _ : state) {
        bench::resetPeak();
        if (!d.open()) return state.SkipWithError("the declaration did not open");
        afterOpen = mb(bench::statusKb("VmRSS:"));
        openPeak = mb(bench::statusKb("VmHWM:"));
        benchmark::DoNotOptimize(checkDeclaration(d.session).findings.size());
        d.session.SortBySurname();
        d.session.writeDeclaration(d.folder.path() / "SAVED");
        workPeak = mb(bench::statusKb("VmHWM:"));
        d.session.setModified(false);  // saved: nothing to ask before the next file
        if (!d.session.openFile(small)) return state.SkipWithError("the small declaration did not open");
        afterSmall = mb(bench::statusKb("VmRSS:"));
    }
    state.counters["file_MB"] = fileMb;
    state.counters["after_open_MB"] = afterOpen;
    state.counters["open_peak_MB"] = openPeak;
    state.counters["work_peak_MB"] = workPeak;
    state.counters["after_small_MB"] = afterSmall;
    state.counters["after_open_x_file"] = afterOpen / fileMb;
    state.counters["work_peak_x_file"] = workPeak / fileMb;
}
BENCHMARK(BM_MemoryThroughTheWork1M)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

// Single operations, many times: the median is that of one store.
BENCHMARK(BM_StoreEditedLine)
    ->Arg(smallCount)
    ->Arg(largeCount)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(31)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_StoreNewLine)
    ->Arg(smallCount)
    ->Arg(largeCount)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(31)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_DeleteLine)
    ->Arg(smallCount)
    ->Arg(largeCount)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(31)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_SortByTaxNumber)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_SortBySurname)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_OpenFile)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_OpenFileCpReference)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
