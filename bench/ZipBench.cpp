// SPDX-License-Identifier: GPL-3.0-or-later
// Packing a 200 MB file against zlib's own deflate of the same bytes at the default level.
// For the packer's peak memory alone: --benchmark_filter=ZipPack under /usr/bin/time -v
// (the data file is generated in chunks, so only the zlib run holds it in memory).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

#include "core/base/Cp1253.h"
#include "core/export/ZipCommand.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t benchSize = 200u << 20;

// Declaration-like 170-byte records with a block of random bytes now and then (about a
// tenth of the whole), in a private folder removed at exit.
struct BenchData {
    fs::path folder;
    fs::path file;
    BenchData()
    {
        std::string pattern = (fs::temp_directory_path() / "edlt-zipbench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        file = folder / "declaration.dat";
        const std::string names[] = {edlt::cp1253::lit("ΠΑΠΑΔΟΠΟΥΛΟΣ      ΓΕΩΡΓΙΟΣ       ΙΩΑΝΝΗΣ   "),
                                     edlt::cp1253::lit("ΚΩΝΣΤΑΝΤΙΝΙΔΟΥ    ΜΑΡΙΑ          ΝΙΚΟΛΑΟΣ  "),
                                     edlt::cp1253::lit("ΟΙΚΟΝΟΜΟΥ         ΔΗΜΗΤΡΙΟΣ      ΑΘΑΝΑΣΙΟΣ "),
                                     edlt::cp1253::lit("ΑΘΗΝΑ     ΠΑΤΗΣΙΩΝ            "),
                                     edlt::cp1253::lit("ΘΕΣΣΑΛΟΝΙΚΗ ΕΓΝΑΤΙΑΣ          ")};
        std::mt19937 rng(2024);
        std::ofstream out(file, std::ios::binary);
        std::string chunk;
        size_t written = 0;
        while (written < benchSize) {
            chunk.clear();
            while (chunk.size() < (1u << 20)) {
                if (rng() % 40 == 0) {
                    for (int i = 0; i < 4096; ++i) chunk += static_cast<char>(rng());
                    continue;
                }
                std::string line = "3" + std::to_string(100000000 + rng() % 899999999) + "    " + names[rng() % 3] +
                                   names[3 + rng() % 2] + "12  " + std::to_string(10000 + rng() % 89999) + "01";
                for (int k = 0; k < 8; ++k) {
                    std::string amount = std::to_string(rng() % 5000000);
                    line += std::string(12 - amount.size(), '0') + amount;
                }
                line.resize(170, ' ');
                chunk += line + "\r\n";
            }
            size_t take = std::min(chunk.size(), benchSize - written);
            out.write(chunk.data(), static_cast<std::streamsize>(take));
            written += take;
        }
    }
    ~BenchData() { fs::remove_all(folder); }
};

const BenchData& benchData()
{
    static BenchData data;
    return data;
}

// zlib's deflate of data in one call, one thread, at the level the zip command uses; the
// compressed size.
uint64_t zlibDeflate(std::string& data)
{
    std::string out(1u << 20, '\0');
    z_stream z{};
    deflateInit(&z, Z_DEFAULT_COMPRESSION);
    z.next_in = reinterpret_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    uint64_t compressed = 0;
    int r = Z_OK;
    while (r != Z_STREAM_END) {
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        r = deflate(&z, Z_FINISH);
        compressed += out.size() - z.avail_out;
    }
    deflateEnd(&z);
    return compressed;
}

std::string benchBytes()
{
    std::ifstream in(benchData().file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void BM_ZlibDeflate200MB(benchmark::State& state)
{
    std::string data = benchBytes();
    uint64_t compressed = 0;
    for (auto _ : state) benchmark::DoNotOptimize(compressed = zlibDeflate(data));
    state.counters["compressed_MB"] = static_cast<double>(compressed) / (1 << 20);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
}

void BM_ZipPackFile200MB(benchmark::State& state)
{
    const BenchData& data = benchData();
    const fs::path archive = data.folder / "declaration.zip";
    for (auto _ : state) edlt::packFileToZip(data.file, archive, [] { return true; });
    state.counters["archive_MB"] = static_cast<double>(fs::file_size(archive)) / (1 << 20);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(benchSize));
}

double secondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// CPU seconds of this thread (RUSAGE_THREAD) or of the whole process (RUSAGE_SELF).
double cpuSeconds(int who)
{
    rusage u{};
    ::getrusage(who, &u);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(u.ru_utime) + seconds(u.ru_stime);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The packer and zlib one after the other, five pairs: the medians and their ratio. On a
// machine shared with other work the wall times say little about two cores; the CPU time
// of this thread (which deflates every other chunk) against zlib's is what the packer
// takes on two free cores.
void BM_ZipPackVsZlib200MB(benchmark::State& state)
{
    const BenchData& data = benchData();
    std::string bytes = benchBytes();
    const fs::path archive = data.folder / "paired.zip";
    std::vector<double> ours, zlib, oursCpu, oursThisThread, zlibCpu;
    for (auto _ : state) {
        for (int pair = 0; pair < 5; ++pair) {
            const double all = cpuSeconds(RUSAGE_SELF), here = cpuSeconds(RUSAGE_THREAD);
            ours.push_back(secondsOf([&] { edlt::packFileToZip(data.file, archive, [] { return true; }); }));
            oursCpu.push_back(cpuSeconds(RUSAGE_SELF) - all);
            oursThisThread.push_back(cpuSeconds(RUSAGE_THREAD) - here);
            const double before = cpuSeconds(RUSAGE_THREAD);
            zlib.push_back(secondsOf([&] { benchmark::DoNotOptimize(zlibDeflate(bytes)); }));
            zlibCpu.push_back(cpuSeconds(RUSAGE_THREAD) - before);
        }
    }
    state.counters["pack_s"] = median(ours);
    state.counters["zlib_s"] = median(zlib);
    state.counters["ratio"] = median(ours) / median(zlib);
    state.counters["pack_cpu_s"] = median(oursCpu);
    state.counters["pack_this_thread_cpu_s"] = median(oursThisThread);
    state.counters["zlib_cpu_s"] = median(zlibCpu);
    state.counters["this_thread_cpu_ratio"] = median(oursThisThread) / median(zlibCpu);
    state.counters["archive_MB"] = static_cast<double>(fs::file_size(archive)) / (1 << 20);
}

}  // namespace

BENCHMARK(BM_ZipPackVsZlib200MB)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ZlibDeflate200MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ZipPackFile200MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
