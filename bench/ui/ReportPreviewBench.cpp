// SPDX-License-Identifier: GPL-3.0-or-later
// Reports at scale (1,000,000 lines unless EDLT_BENCH_LINES says otherwise), each beside
// its reference:
// - the detailed page file: opening the declaration and writing the page, against opening
//   it and `cp` of a file of the page's size; peak memory added over the open declaration;
// - the print window's preview: from the written page to its first page on screen, and the
//   memory it adds while paged to the end and back, against the web view showing a small page;
// - the detailed report command from the menu to its first page on screen, the page written
//   while the preview shows, against writing the whole page first (medians of five);
// - PDF: pages a second and the memory added, against `cp` of the PDF written.
// Runs without a display: QT_QPA_PLATFORM=offscreen edlt_report_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "bench/Generator.h"
#include "bench/PeakMemory.h"
#include "bench/QuietUI.h"
#include "core/reports/ReportCommand.h"
#include "core/session/DeclarationSession.h"
#include "core/store/AtomicFile.h"
#include "gui/reports/ReportPreview.h"
#include "gui/reports/ReportWindow.h"
#include "render/PdfExport.h"

namespace fs = std::filesystem;
using namespace edlt;

namespace {

size_t lineCount()
{
    static const size_t count = [] {
        const char* n = std::getenv("EDLT_BENCH_LINES");
        return n ? static_cast<size_t>(std::atoll(n)) : size_t{1000000};
    }();
    return count;
}

using bench::resetPeak;

double addedMb(long beforeKb)
{
    return static_cast<double>(bench::statusKb("VmHWM:") - beforeKb) / 1024;
}

// A program folder holding a generated declaration, and a session that opens it.
struct Declaration {
    fs::path folder = fs::temp_directory_path() / ("edlt-report-bench-" + std::to_string(::getpid()));
    bench::QuietUI ui;
    std::unique_ptr<DeclarationSession> session;

    Declaration()
    {
        fs::create_directories(folder / "Addon");
        AtomicFileWriter out(folder / "DECL", AtomicFileWriter::Durability::ProcessSafe);
        bench::writeGeneratedDeclaration(out, 2023, lineCount(), "20240115");
        out.commit();
    }
    ~Declaration()
    {
        session.reset();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    bool open()
    {
        DeclarationSession::Options options;
        options.programFolder = folder;
        options.lockWorkspace = false;
        session = std::make_unique<DeclarationSession>(ui, options);
        session->start();
        return session->openFile(folder / "DECL");
    }
    fs::path page() const { return folder / "DLT.htm"; }
};

Declaration& declaration()
{
    static Declaration d;
    return d;
}

void BM_OpenAndWriteDetailedPage(benchmark::State& state)
{
    Declaration& d = declaration();
    double peak = 0;
    for (auto _ : state) {
        if (!d.open()) return state.SkipWithError("the declaration did not open");
        const long before = resetPeak();
        ReportCommand(*d.session, d.ui).writePage(ReportKind::DetailedPayments, d.page());
        peak = addedMb(before);
    }
    state.counters["page_MB"] = static_cast<double>(fs::file_size(d.page())) / 1e6;
    state.counters["peak_MB_over_open"] = peak;
}
BENCHMARK(BM_OpenAndWriteDetailedPage)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Reference_OpenAndCpOfThePageSize(benchmark::State& state)
{
    Declaration& d = declaration();
    const fs::path sample = d.folder / "sample", copy = d.folder / "copy";
    fs::copy_file(d.page(), sample, fs::copy_options::overwrite_existing);
    const std::string cp = "cp '" + sample.string() + "' '" + copy.string() + "'";
    for (auto _ : state) {
        if (!d.open()) return state.SkipWithError("the declaration did not open");
        if (std::system(cp.c_str()) != 0) return state.SkipWithError("cp failed");
    }
    fs::remove(sample);
    fs::remove(copy);
}
BENCHMARK(BM_Reference_OpenAndCpOfThePageSize)->Unit(benchmark::kMillisecond)->Iterations(3);

// From the written page to the preview's first page on screen; then paged to the end and back.
void BM_PreviewFirstPage(benchmark::State& state)
{
    Declaration& d = declaration();
    if (!d.open()) return state.SkipWithError("the declaration did not open");
    ReportCommand(*d.session, d.ui).writePage(ReportKind::DetailedPayments, d.page());
    ui::ReportWindow form;
    double peak = 0;
    int pages = 0;
    for (auto _ : state) {
        const long before = resetPeak();
        form.loadDocument(reports::ReportDocument::forSession(ReportKind::DetailedPayments, *d.session),
                          QString::fromStdString(d.page().string()), "bench", true);
        form.preview->viewport()->repaint();
        QApplication::processEvents();
        state.PauseTiming();
        pages = form.preview->document()->pageCount();
        for (int page : {pages / 2, pages - 1, 1}) {
            form.preview->showPage(page);
            form.preview->viewport()->repaint();
        }
        peak = addedMb(before);
        // EDLT_BENCH_SHOT=FILE.png keeps a picture of the window at its first page.
        if (const char* shot = std::getenv("EDLT_BENCH_SHOT")) form.grab().save(QString::fromLocal8Bit(shot));
        form.hide();
        state.ResumeTiming();
    }
    state.counters["pages"] = pages;
    state.counters["peak_MB_added"] = peak;
}
BENCHMARK(BM_PreviewFirstPage)->Unit(benchmark::kMillisecond)->Iterations(3);

// The command as the menu runs it, until the preview's first page is drawn; the rest of the
// command (the page finishing) is counted apart.
void commandToFirstPage(benchmark::State& state, PageWriting writing)
{
    Declaration& d = declaration();
    if (!d.open()) return state.SkipWithError("the declaration did not open");
    ui::ReportWindow form;
    double whole = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        double firstPage = 0;
        clock.start();
        const bool ok =
            ReportCommand(*d.session, d.ui)
                .run(
                    ReportKind::DetailedPayments,
                    [&](const ReportWindowRequest& request) {
                        form.loadDocument(reports::ReportDocument::forSession(ReportKind::DetailedPayments, *d.session),
                                          QString::fromStdString(request.pagePath.string()), "bench", true,
                                          request.writing);
                        form.preview->viewport()->repaint();
                        QApplication::processEvents();
                        firstPage = static_cast<double>(clock.nsecsElapsed()) / 1e9;
                        form.hide();
                    },
                    writing);
        whole = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (!ok) return state.SkipWithError("the report failed");
        state.SetIterationTime(firstPage);
    }
    state.counters["lines"] = static_cast<double>(lineCount());
    state.counters["whole_command_s"] = whole;
}

void BM_CommandToFirstPage_WrittenWhileShown(benchmark::State& state)
{
    commandToFirstPage(state, PageWriting::WhileShowing);
}
BENCHMARK(BM_CommandToFirstPage_WrittenWhileShown)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5);

void BM_Reference_CommandToFirstPage_WrittenFirst(benchmark::State& state)
{
    commandToFirstPage(state, PageWriting::BeforeShowing);
}
BENCHMARK(BM_Reference_CommandToFirstPage_WrittenFirst)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5);

void BM_Reference_WebViewShowsASmallPage(benchmark::State& state)
{
    Declaration& d = declaration();
    const fs::path page = d.folder / "small.htm";
    {
        std::ofstream(page) << "<html><body><table><tr><td>ΑΦΜ</td></tr></table></body></html>";
    }
    QWebEngineView view;
    view.resize(985, 568);
    view.show();
    for (auto _ : state) {
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        view.setUrl(QUrl::fromLocalFile(QString::fromStdString(page.string())));
        if (!loaded.wait(30000)) return state.SkipWithError("the page did not load");
        view.setUrl(QUrl("about:blank"));
        QSignalSpy blank(&view, &QWebEngineView::loadFinished);
        state.PauseTiming();
        blank.wait(30000);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Reference_WebViewShowsASmallPage)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DetailedPdf(benchmark::State& state)
{
    Declaration& d = declaration();
    if (!d.session && !d.open()) return state.SkipWithError("the declaration did not open");
    const auto document = reports::ReportDocument::forSession(ReportKind::DetailedPayments, *d.session);
    const fs::path pdf = d.folder / "DLT.pdf";
    double peak = 0;
    for (auto _ : state) {
        const long before = resetPeak();
        reports::writePdf(*document, pdf, {});
        peak = addedMb(before);
    }
    state.counters["pages"] = document->pageCount();
    state.counters["pages_per_s"] =
        benchmark::Counter(static_cast<double>(document->pageCount()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["PDF_MB"] = static_cast<double>(fs::file_size(pdf)) / 1e6;
    state.counters["peak_MB_added"] = peak;
}
BENCHMARK(BM_DetailedPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Reference_CpOfThePdf(benchmark::State& state)
{
    Declaration& d = declaration();
    const std::string cp = "cp '" + (d.folder / "DLT.pdf").string() + "' '" + (d.folder / "copy.pdf").string() + "'";
    for (auto _ : state)
        if (std::system(cp.c_str()) != 0) return state.SkipWithError("cp failed");
}
BENCHMARK(BM_Reference_CpOfThePdf)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
