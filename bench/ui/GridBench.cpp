// SPDX-License-Identifier: GPL-3.0-or-later
// The main window at scale: opening a declaration through the File menu until the grid has
// painted (beside edlt-cli totals of the same file), and painting one screen of rows with 10
// and with 1,000,000 lines in the store (the grid reads the store directly, so a full screen
// costs the same at 100 lines and at a million; 10 lines leave most of the screen empty);
// storing a line beside undoing one, a sort beside its undo.
// Runs on a display: xvfb-run -a edlt_gui_bench
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <unistd.h>

#include "bench/Generator.h"
#include "core/session/DeclarationCheck.h"
#include "core/session/UserInterface.h"
#include "core/store/AtomicFile.h"
#include "gui/common/FileDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/grid/DetailGrid.h"
#include "gui/grid/RecordGridView.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/TotalsPanel.h"

namespace fs = std::filesystem;
using namespace edlt;
using namespace edlt::ui;

namespace {

constexpr uint64_t seed = 2023;

// A program folder with the income-type list, a generated declaration of count lines, and
// the main window over it.
class Window {
public:
    explicit Window(size_t count)
        : folder_(fs::temp_directory_path() /
                  ("edlt-gui-bench-" + std::to_string(count) + "-" + std::to_string(::getpid()))),
          file_(folder_ / "DLT")
    {
        fs::create_directories(folder_ / "Addon");
        fs::copy_file(fs::path(EDLT_DATA_DIR) / "Addon" / "typeofinc.txt", folder_ / "Addon" / "typeofinc.txt",
                      fs::copy_options::overwrite_existing);
        AtomicFileWriter out(file_, AtomicFileWriter::Durability::ProcessSafe);
        bench::writeGeneratedDeclaration(out, seed, count, "20240115");
        out.commit();
        // What the window remembers stays in the benchmark's folder.
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((folder_ / "config").native()));
        form_ = std::make_unique<MainWindow>(folder_);
        form_->show();
        if (!QTest::qWaitForWindowExposed(form_.get())) throw std::runtime_error("the window did not appear");
    }
    ~Window()
    {
        form_->session().setModified(false);
        form_->close();
        form_.reset();
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // File > Open, as the user does it, then the first paint of the grid. A large
    // declaration's check runs on beside the window.
    bool openAndPaint()
    {
        form_->session().setModified(false);  // what an earlier run edited is given up unasked
        FileDialog::setNextFileName(QString::fromStdString(file_.string()));
        MessageBox::setNextAnswer(Answer::Cancel);  // an unexpected box must not wait for a click
        form_->menuAction(MenuCommand::Open)->trigger();
        grid()->viewport()->repaint();
        return MessageBox::shownTexts().isEmpty();
    }
    // Until the check after Open has finished and its findings are shown (the hint).
    void waitForFindings()
    {
        while (form_->session().checker().checkingInBackground()) QTest::qWait(2);
    }

    // Open as the window's command runs it, without the whole-declaration check the menu item
    // runs after loading: what the window adds to the session's Open.
    bool openWithoutCheckAndPaint()
    {
        form_->session().setModified(false);
        FileDialog::setNextFileName(QString::fromStdString(file_.string()));
        MessageBox::setNextAnswer(Answer::Cancel);
        form_->command([this] { form_->session().open(); });
        grid()->viewport()->repaint();
        return MessageBox::shownTexts().isEmpty();
    }

    RecordGridView* grid() { return form_->detailGrid().grid(); }
    MainWindow& form() { return *form_; }
    const fs::path& file() const { return file_; }
    // What a store changes on screen: the grid's rows, the totals boxes and the counter.
    void paintGridAndTotals()
    {
        grid()->viewport()->repaint();
        form_->totals().repaint();
        form_->findChild<QWidget*>("recordCounter")->repaint();
    }
    long lines() { return form_->session().detailStore().countRecords(); }

private:
    fs::path folder_, file_;
    std::unique_ptr<MainWindow> form_;
};

// One window at a time: a second program folder's window would double the memory.
std::unique_ptr<Window> current;  // closed before the application object goes
size_t currentCount = 0;

Window& window(size_t count)
{
    if (!current || currentCount != count) {
        current.reset();
        current = std::make_unique<Window>(count);
        currentCount = count;
        current->openAndPaint();
        current->waitForFindings();
    }
    return *current;
}

void BM_OpenAndShowGrid(benchmark::State& state)
{
    Window& w = window(static_cast<size_t>(state.range(0)));
    const bool menu = state.range(1) != 0;
    double findingsMs = 0;
    for (auto _ : state) {
        MessageBox::clearTestState();
        const auto start = std::chrono::steady_clock::now();
        if (!(menu ? w.openAndPaint() : w.openWithoutCheckAndPaint())) {
            state.SkipWithError(("a message was shown: " + MessageBox::shownTexts().last().toStdString()).c_str());
            return;
        }
        // The check goes on after the grid has painted: not timed, but told (and finished
        // before the next Open, so it never runs beside it).
        state.PauseTiming();
        w.waitForFindings();
        findingsMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(w.lines());
    // From Open until the findings were there.
    if (menu) state.counters["findings_ms"] = benchmark::Counter(findingsMs, benchmark::Counter::kAvgIterations);
}

// The reference for opening: edlt-cli totals of the same file (it opens it as Open does and
// prints the totals), in the same run.
void BM_CliTotals(benchmark::State& state)
{
    Window& w = window(static_cast<size_t>(state.range(0)));
    const std::string command = std::string("'") + EDLT_CLI_PATH + "' totals '" + w.file().string() + "' >/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("edlt-cli totals failed");
            return;
        }
    state.counters["lines"] = static_cast<double>(w.lines());
}

// One screen of rows painted, at the top and in the middle of the declaration.
void BM_PaintScreen(benchmark::State& state)
{
    Window& w = window(static_cast<size_t>(state.range(0)));
    RecordGridView* grid = w.grid();
    QScrollBar* bar = grid->verticalScrollBar();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bar->setValue((i++ % 2) ? bar->maximum() / 2 : 0);
        state.ResumeTiming();
        grid->viewport()->repaint();
    }
    state.counters["lines"] = static_cast<double>(w.lines());
}

// Storing an edited line, storing a new line and deleting a line in the middle of the
// declaration, each until the window has repainted (grid, totals, counter).
enum StoreKind { EditedLine, NewLine, DeletedLine };

void BM_StoreInWindow(benchmark::State& state)
{
    Window& w = window(static_cast<size_t>(state.range(0)));
    const auto kind = static_cast<StoreKind>(state.range(1));
    FixedWidthTable& ds = w.form().session().detailStore();
    const long middle = w.lines() / 2;
    MessageBox::clearTestState();
    int64_t delta = 1;
    bool ok = true;
    for (auto _ : state) {
        state.PauseTiming();
        ds.setRecordNumber(middle);
        w.paintGridAndTotals();
        if (kind == DeletedLine) ok = bench::insertNewLine(ds) && ds.setRecordNumber(middle);
        state.ResumeTiming();
        if (kind == EditedLine) {
            ds.edit();
            ok = ok && bench::shiftGrossAndPost(ds, delta);
            delta = -delta;
        } else if (kind == NewLine) {
            ok = ok && bench::insertNewLine(ds);
        } else {
            ds.deleteRecord();
        }
        w.paintGridAndTotals();
        state.PauseTiming();
        if (kind == NewLine) {
            ds.setRecordNumber(middle);
            ds.deleteRecord();
        }
        state.ResumeTiming();
        if (!ok || !MessageBox::shownTexts().isEmpty()) {
            state.SkipWithError("the line was refused");
            return;
        }
    }
    state.counters["lines"] = static_cast<double>(w.lines());
}

// Undoing one step, a line stored, added or deleted (stored untimed just before), to set
// beside the store itself above; and a sort's undo beside the sort.
void BM_UndoInWindow(benchmark::State& state)
{
    Window& w = window(static_cast<size_t>(state.range(0)));
    const auto kind = static_cast<StoreKind>(state.range(1));
    DeclarationSession& session = w.form().session();
    FixedWidthTable& ds = session.detailStore();
    const long middle = w.lines() / 2;
    MessageBox::clearTestState();
    bool ok = true;
    for (auto _ : state) {
        state.PauseTiming();
        ds.setRecordNumber(middle);
        if (kind == EditedLine) {
            ds.edit();
            ok = bench::shiftGrossAndPost(ds, 1);
        } else if (kind == NewLine) {
            ok = bench::insertNewLine(ds);
        } else {
            ds.deleteRecord();
        }
        w.paintGridAndTotals();
        state.ResumeTiming();
        ok = ok && session.undo();
        w.paintGridAndTotals();
        if (!ok || !MessageBox::shownTexts().isEmpty()) {
            state.SkipWithError("the undo was refused");
            return;
        }
    }
    state.counters["lines"] = static_cast<double>(w.lines());
}

// Sorting by tax number (range 1: then undone, untimed) beside undoing that sort
// (range 0: sorted untimed).
void BM_SortAndUndoInWindow(benchmark::State& state)
{
    Window& w = window(static_cast<size_t>(state.range(0)));
    const bool timeSort = state.range(1) == 1;
    DeclarationSession& session = w.form().session();
    MessageBox::clearTestState();
    for (auto _ : state) {
        if (!timeSort) state.PauseTiming();
        w.form().command([&] { session.SortByTaxNumber(); });
        w.paintGridAndTotals();
        if (timeSort) state.PauseTiming();
        else
            state.ResumeTiming();
        w.form().command([&] { session.undo(); });
        w.paintGridAndTotals();
        if (timeSort) state.ResumeTiming();
        if (!MessageBox::shownTexts().isEmpty()) {
            state.SkipWithError("the sort or its undo failed");
            return;
        }
    }
    state.counters["lines"] = static_cast<double>(w.lines());
}

}  // namespace

// Opening 1,000,000 lines beside its reference, edlt-cli totals, in the same run.
// Second argument 1: through the File menu (the check after loading started, findings_ms
// until its findings were shown); 0: the session's Open alone.
BENCHMARK(BM_OpenAndShowGrid)->Args({100000, 1})->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_OpenAndShowGrid)
    ->Args({1000000, 1})
    ->Args({1000000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->UseRealTime();
BENCHMARK(BM_CliTotals)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseRealTime();
BENCHMARK(BM_PaintScreen)->Arg(10)->Arg(100)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StoreInWindow)
    ->Args({1000000, EditedLine})
    ->Args({1000000, NewLine})
    ->Args({1000000, DeletedLine})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(21)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

BENCHMARK(BM_UndoInWindow)
    ->Args({1000000, EditedLine})
    ->Args({1000000, NewLine})
    ->Args({1000000, DeletedLine})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(21)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_SortAndUndoInWindow)
    ->Args({1000000, 1})
    ->Args({1000000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    current.reset();
    benchmark::Shutdown();
    return 0;
}
