// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing a declaration of a million detail lines (about 172 MB), with a plain
// `cp` of the same file as the reference for what the disk allows.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "bench/Generator.h"
#include "core/rules/CheckAFM.h"
#include "core/store/AtomicFile.h"
#include "core/store/DeclarationFile.h"

namespace fs = std::filesystem;
using namespace edlt;

namespace {

constexpr uint64_t seed = 2023;
constexpr std::string_view date = "20240115";

size_t lineCount()
{
    if (const char* n = std::getenv("EDLT_BENCH_LINES")) return std::strtoull(n, nullptr, 10);
    return 1000000;
}

class Data {
public:
    Data() : folder_(fs::temp_directory_path() / ("edlt-bench-" + std::to_string(::getpid())))
    {
        fs::create_directories(folder_ / "temp");
        AtomicFileWriter file(declaration());
        bench::writeGeneratedDeclaration(file, seed, lineCount(), date);
        file.commit();
    }
    ~Data()
    {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    fs::path declaration() const { return folder_ / "123456783-DLT"; }
    fs::path folder() const { return folder_; }
    const std::string& workspace()
    {
        if (workspace_.empty()) workspace_ = bench::generatedWorkspace(seed, lineCount());
        return workspace_;
    }

private:
    fs::path folder_;
    std::string workspace_;
};

Data& data()
{
    static Data d;
    return d;
}

// Compared block by block, so the check adds nothing to the peak memory being measured.
bool sameFiles(const fs::path& a, const fs::path& b)
{
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    std::string bx(1 << 20, '\0'), by(1 << 20, '\0');
    for (;;) {
        x.read(bx.data(), static_cast<std::streamsize>(bx.size()));
        y.read(by.data(), static_cast<std::streamsize>(by.size()));
        if (x.gcount() != y.gcount()) return false;
        if (x.gcount() == 0) return true;
        if (bx.compare(0, static_cast<size_t>(x.gcount()), by, 0, static_cast<size_t>(y.gcount())) != 0) return false;
    }
}

// The generator's two forms must agree with the converters, or the figures mean nothing.
bool generatorAgrees(std::string& why)
{
    bench::DeclarationGenerator gen(seed);
    std::string fileRecord, workspaceLine;
    for (int i = 0; i < 20000; ++i) {
        gen.nextLine(fileRecord, workspaceLine);
        if (fileToWorkspaceLine(fileRecord) != workspaceLine || workspaceToFileLine(workspaceLine) != fileRecord ||
            !checkAFM(fileRecord.substr(1, 9))) {
            why = "generated line " + std::to_string(i + 1) + " does not convert back";
            return false;
        }
    }
    return true;
}

void BM_ReadDeclarationFile(benchmark::State& state)
{
    std::string why;
    if (!generatorAgrees(why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    Data& d = data();
    fs::path general = d.folder() / "temp" / "generalData", record2 = d.folder() / "temp" / "record2";
    for (auto _ : state) {
        FileSource source(d.declaration());
        auto problem = readDeclarationFile(source, general, record2);
        if (problem) {
            state.SkipWithError("the generated file was refused");
            return;
        }
    }
    state.counters["lines"] = static_cast<double>(lineCount());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(d.declaration())));
    if (fs::file_size(record2) != fs::file_size(d.declaration()) - 3 * 172)
        state.SkipWithError("record2 has the wrong size");
}

void BM_WriteDeclarationFile(benchmark::State& state)
{
    Data& d = data();
    const std::string& workspace = d.workspace();
    DetailLines lines = bench::workspaceView(workspace);
    bench::DeclarationGenerator totalsOnly(seed);
    std::string a, b;
    for (size_t i = 0; i < lines.count; ++i) totalsOnly.nextLine(a, b);
    TotalsTexts totals = totalsOnly.totals();
    fs::path out = d.folder() / "written-DLT";
    for (auto _ : state) {
        AtomicFileWriter file(out, AtomicFileWriter::Durability::Durable);
        writeDeclarationFile(file, totalsOnly.header(), totals, lines, date);
        file.commit();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(out)));
    if (!sameFiles(out, d.declaration())) state.SkipWithError("written file differs from the generated one");
    fs::remove(out);
}

void BM_CopyWithCp(benchmark::State& state)
{
    Data& d = data();
    fs::path out = d.folder() / "copied-DLT";
    std::string command = "cp '" + d.declaration().string() + "' '" + out.string() + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(d.declaration())));
    fs::remove(out);
}

}  // namespace

BENCHMARK(BM_ReadDeclarationFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WriteDeclarationFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CopyWithCp)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
