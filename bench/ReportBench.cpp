// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed payments page for 100,000 lines: the page writer alone into a file, and the
// whole command as the menu runs it (both workspace files rewritten, the scratch copy read
// back, the page written and renamed into place). The target is a second at most.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include "bench/Generator.h"
#include "bench/QuietUI.h"
#include "core/base/Cp1253.h"
#include "core/reports/ReportCommand.h"
#include "core/reports/ReportPages.h"
#include "core/session/DeclarationSession.h"
#include "core/store/AtomicFile.h"

namespace fs = std::filesystem;
using namespace edlt;

namespace {

using bench::QuietUI;

constexpr uint64_t seed = 2023;
constexpr size_t lineCount = 100000;

struct ProgramFolder {
    fs::path path = fs::temp_directory_path() / ("edlt-report-bench-" + std::to_string(::getpid()));
    ProgramFolder() { fs::create_directories(path / "Addon"); }
    ~ProgramFolder()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

void BM_DetailedPaymentsPageWriter(benchmark::State& state)
{
    ProgramFolder folder;
    const std::string workspace = bench::generatedWorkspace(seed, lineCount);
    const DetailLines lines = bench::workspaceView(workspace);
    bench::DeclarationGenerator generator(seed);
    const TotalsTexts totals = generator.totals();
    size_t bytes = 0;
    for (auto _ : state) {
        AtomicFileWriter page(folder.path / "DLT.htm", AtomicFileWriter::Durability::ProcessSafe);
        reports::writeDetailedPaymentsPage(page, generator.header(), totals, lines);
        page.commit();
        bytes = fs::file_size(folder.path / "DLT.htm");
    }
    state.counters["lines"] = static_cast<double>(lines.count);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_DetailedPaymentsPageWriter)->Unit(benchmark::kMillisecond);

void BM_DetailedPaymentsReportCommand(benchmark::State& state)
{
    ProgramFolder folder;
    {
        AtomicFileWriter declaration(folder.path / "DLT", AtomicFileWriter::Durability::ProcessSafe);
        bench::writeGeneratedDeclaration(declaration, seed, lineCount, "20240115");
        declaration.commit();
    }
    QuietUI ui;
    DeclarationSession::Options options;
    options.programFolder = folder.path;
    options.lockWorkspace = false;
    DeclarationSession session(ui, options);
    session.start();
    ui.shown = 0;
    if (!session.openFile(folder.path / "DLT") || ui.shown != 0) {
        state.SkipWithError("the generated declaration did not open");
        return;
    }
    ReportCommand command(session, ui);
    for (auto _ : state) {
        const bool ok = command.run(ReportKind::DetailedPayments, [](const ReportWindowRequest&) {});
        if (!ok || ui.shown != 0) {
            state.SkipWithError("the report failed");
            return;
        }
    }
    state.counters["lines"] = static_cast<double>(session.detailStore().countRecords());
}
BENCHMARK(BM_DetailedPaymentsReportCommand)->Unit(benchmark::kMillisecond);

}  // namespace
