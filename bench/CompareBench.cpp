// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing this year's declaration with last year's, 1,000,000 lines each, beside reading
// the two files (medians of five, in one run):
// - `edlt-cli compare OLD NEW` as a whole process beside edlt_bare_open run on both files
//   (read, parse the nine amounts, write the lines twice: the least an open can do) and
//   beside `cmp` of OLD and a copy of it (reading both to their ends and no more);
// - in the process, reading both files and comparing their lines beside reading them alone.
// NEW is OLD with every tenth line's gross pay changed, every hundredth line gone and 10,000
// lines of other payees added.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/Generator.h"
#include "core/base/ByteStream.h"
#include "core/base/TwoCores.h"
#include "core/session/CompareDeclarations.h"
#include "core/store/AtomicFile.h"
#include "core/store/DetailRecord.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t lineCount = 1000000;

fs::path folderPath()
{
    return fs::temp_directory_path() / ("edlt-compare-bench-" + std::to_string(::getpid()));
}

std::string readAll(const fs::path& p)
{
    edlt::FileSource source(p);
    std::string bytes;
    char buffer[1 << 16];
    while (size_t n = source.read(buffer, sizeof buffer)) bytes.append(buffer, n);
    return bytes;
}

// The two declarations, made once.
const fs::path& folder()
{
    static const fs::path dir = [] {
        fs::create_directories(folderPath() / "bare");
        std::atexit([] { fs::remove_all(folderPath()); });
        const fs::path old = folderPath() / "old";
        {
            edlt::AtomicFileWriter out(old, edlt::AtomicFileWriter::Durability::ProcessSafe);
            edlt::bench::writeGeneratedDeclaration(out, 2023, lineCount, "20240115");
            out.commit();
        }
        const fs::path others = folderPath() / "others";
        {
            edlt::AtomicFileWriter out(others, edlt::AtomicFileWriter::Durability::ProcessSafe);
            edlt::bench::writeGeneratedDeclaration(out, 7, 10000, "20250115");
            out.commit();
        }
        constexpr size_t stored = edlt::detail::RecordSize + 2;
        const std::string last = readAll(old), added = readAll(others);
        std::string next = last.substr(0, 3 * stored);
        const auto gross = static_cast<size_t>(edlt::detail::fields[edlt::detail::AkaInc].offset);
        for (size_t i = 0, at = 3 * stored; at + stored <= last.size(); ++i, at += stored) {
            if (i % 100 == 99) continue;
            std::string record = last.substr(at, stored);
            if (i % 10 == 0)
                record[gross + 5] = record[gross + 5] == '9' ? '0' : static_cast<char>(record[gross + 5] + 1);
            next += record;
        }
        next += added.substr(3 * stored);
        edlt::AtomicFileWriter out(folderPath() / "new", edlt::AtomicFileWriter::Durability::ProcessSafe);
        out.write(next);
        out.commit();
        // cmp reads two equal files to their ends.
        fs::copy_file(old, folderPath() / "old-copy");
        return folderPath();
    }();
    return dir;
}

std::string quoted(const fs::path& p)
{
    return "'" + p.string() + "'";
}

// Runs a shell command whose exit status must be one of those allowed.
void run(benchmark::State& state, const std::string& command, int allowed)
{
    const std::string line = command + " >/dev/null 2>&1";
    for (auto _ : state) {
        const int status = std::system(line.c_str());
        if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != allowed))
            state.SkipWithError(("failed: " + command).c_str());
    }
}

void BM_CompareCommand1M(benchmark::State& state)
{
    run(state,
        std::string("'") + EDLT_CLI_PATH + "' compare " + quoted(folder() / "old") + " " + quoted(folder() / "new"), 1);
}

void BM_BareOpenBothReference1M(benchmark::State& state)
{
    const std::string bare = std::string("'") + EDLT_BARE_OPEN_PATH + "' ";
    const std::string into = " " + quoted(folder() / "bare");
    run(state, bare + quoted(folder() / "old") + into + " && " + bare + quoted(folder() / "new") + into, 0);
}

void BM_CmpReference1M(benchmark::State& state)
{
    run(state, "cmp " + quoted(folder() / "old") + " " + quoted(folder() / "old-copy"), 0);
}

// Both files read at once, as the command reads them.
void readBoth(benchmark::State& state, edlt::ArenaLines& older, edlt::ArenaLines& newer)
{
    std::optional<std::string> problems[2];
    edlt::runBoth(
        true, [&] { problems[0] = edlt::readDetailLines(folder() / "old", older); },
        [&] { problems[1] = edlt::readDetailLines(folder() / "new", newer); });
    if (problems[0] || problems[1]) state.SkipWithError("unreadable");
}

void BM_CompareInProcess1M(benchmark::State& state)
{
    for (auto _ : state) {
        edlt::ArenaLines older, newer;
        readBoth(state, older, newer);
        const edlt::DeclarationComparison c =
            edlt::compareDeclarations({older.lines.size(), [&](size_t i) { return older.lines[i]; }},
                                      {newer.lines.size(), [&](size_t i) { return newer.lines[i]; }});
        benchmark::DoNotOptimize(c.changed.size());
        state.counters["changed"] = static_cast<double>(c.changed.size());
        state.counters["only_old"] = static_cast<double>(c.onlyOld.size());
        state.counters["only_new"] = static_cast<double>(c.onlyNew.size());
    }
}

void BM_ReadBothReference1M(benchmark::State& state)
{
    for (auto _ : state) {
        edlt::ArenaLines older, newer;
        readBoth(state, older, newer);
        benchmark::DoNotOptimize(older.lines.size() + newer.lines.size());
    }
}

}  // namespace

#define EDLT_COMPARE_BENCH(name)        \
    BENCHMARK(name)                     \
        ->Unit(benchmark::kMillisecond) \
        ->Iterations(1)                 \
        ->Repetitions(5)                \
        ->ReportAggregatesOnly(true)    \
        ->UseRealTime()
EDLT_COMPARE_BENCH(BM_CompareCommand1M);
EDLT_COMPARE_BENCH(BM_BareOpenBothReference1M);
EDLT_COMPARE_BENCH(BM_CmpReference1M);
EDLT_COMPARE_BENCH(BM_CompareInProcess1M);
EDLT_COMPARE_BENCH(BM_ReadBothReference1M);
