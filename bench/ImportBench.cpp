// SPDX-License-Identifier: GPL-3.0-or-later
// The import command end to end: a 100,000-row .xlsx (and a 60,000-row .xls) read,
// checked and stored into a new declaration, workspace and totals included; beside it a
// bare libzip + expat pass over the same .xlsx that only collects the cell texts; and the
// import's undo, which may cost no more than the import.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/QuietUI.h"
#include "bench/SheetGenerator.h"
#include "bench/reference/BareCells.h"
#include "core/import/SpreadsheetImport.h"
#include "core/session/DeclarationSession.h"

namespace fs = std::filesystem;
using namespace edlt;

namespace {

using bench::QuietUI;

// The import timed, or (undo) the import untimed and its undo timed.
void importInto(benchmark::State& state, const fs::path& sheet, bool undo = false)
{
    const fs::path folder = fs::temp_directory_path() / "edlt-import-bench";
    fs::create_directories(folder);
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(folder / "temp");
        QuietUI ui;
        DeclarationSession::Options o;
        o.programFolder = folder;
        o.lockWorkspace = false;
        DeclarationSession session(ui, o);
        session.start();
        session.newDeclaration();
        if (!undo) state.ResumeTiming();
        auto outcome = SpreadsheetImport(session, ui).importFile(sheet);
        if (undo) {
            state.ResumeTiming();
            if (!session.undo()) state.SkipWithError("the import was not undone");
        }
        state.PauseTiming();
        state.counters["lines"] = static_cast<double>(session.detailStore().countRecords());
        state.counters["imported"] = outcome == SpreadsheetImport::Outcome::Imported ? 1 : 0;
        state.ResumeTiming();
    }
}

void BM_ImportXlsx100k(benchmark::State& state)
{
    const fs::path file = fs::temp_directory_path() / "edlt-import-bench-100k.xlsx";
    if (!fs::exists(file)) bench::writeLargeXlsx(file, 100000);
    importInto(state, file);
}

void BM_UndoImportXlsx100k(benchmark::State& state)
{
    const fs::path file = fs::temp_directory_path() / "edlt-import-bench-100k.xlsx";
    if (!fs::exists(file)) bench::writeLargeXlsx(file, 100000);
    importInto(state, file, true);
}

void BM_BareXlsxCells100k(benchmark::State& state)
{
    const fs::path file = fs::temp_directory_path() / "edlt-import-bench-100k.xlsx";
    if (!fs::exists(file)) bench::writeLargeXlsx(file, 100000);
    for (auto _ : state) benchmark::DoNotOptimize(bench::bareXlsxCells(file));
}

void BM_ImportXls60k(benchmark::State& state)
{
    const fs::path file = fs::temp_directory_path() / "edlt-import-bench-60k.xls";
    if (!fs::exists(file) && !bench::writeLargeXls(file, 60000)) {
        state.SkipWithError("python3-xlwt is not installed");
        return;
    }
    importInto(state, file);
}

}  // namespace

BENCHMARK(BM_ImportXlsx100k)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_UndoImportXlsx100k)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_BareXlsxCells100k)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ImportXls60k)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
