// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Cp1253.h"
#include "core/rules/ExchangeSort.h"

namespace {

std::string padded(std::string text, size_t width)
{
    text.resize(width, ' ');
    return text;
}

std::string digits(std::mt19937& random, size_t width)
{
    std::string text;
    for (size_t i = 0; i < width; ++i) text += static_cast<char>('0' + random() % 10);
    return text;
}

// Workspace detail lines of 170 bytes: surnames, names and towns from small pools, so that
// many lines share long prefixes. With distinctTails > 0 the lines after the name repeat
// from that many variants, which makes whole keys equal and groups large.
std::vector<std::string> makeLines(size_t count, size_t distinctTails)
{
    const char* surnames[] = {"ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΠΑΠΑΔΟΠΟΥΛΟΥ", "ΓΕΩΡΓΙΟΥ",  "ΝΙΚΟΛΑΟΥ",  "ΙΩΑΝΝΟΥ", "ΚΩΝΣΤΑΝΤΙΝΟΥ",
                              "ΟΙΚΟΝΟΜΟΥ",    "ΑΘΑΝΑΣΙΟΥ",    "ΔΗΜΗΤΡΙΟΥ", "ΒΑΣΙΛΕΙΟΥ", "ΆΓΓΕΛΟΥ", "SMITH"};
    const char* names[] = {"ΓΙΩΡΓΟΣ", "ΜΑΡΙΑ", "ΝΙΚΟΣ", "ΕΛΕΝΗ", "ΚΩΣΤΑΣ", "ΑΝΝΑ"};
    const char* towns[] = {"ΑΘΗΝΑ", "ΠΕΙΡΑΙΑΣ", "ΠΑΤΡΑ", "ΛΑΡΙΣΑ"};
    std::vector<std::string> surnamePool, namePool, townPool;
    for (const char* s : surnames) surnamePool.push_back(edlt::cp1253::lit(s));
    for (const char* s : names) namePool.push_back(edlt::cp1253::lit(s));
    for (const char* s : towns) townPool.push_back(edlt::cp1253::lit(s));

    std::mt19937 random(1);
    std::mt19937 tailRandom(2);
    std::vector<std::string> tails;
    for (size_t i = 0; i < distinctTails; ++i) tails.push_back(digits(tailRandom, 170 - 41));

    std::vector<std::string> lines;
    lines.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::string line = "3" + digits(random, 9) + " ";
        line += padded(surnamePool[random() % surnamePool.size()], 18);
        line += padded(namePool[random() % namePool.size()], 9);
        line += padded(edlt::cp1253::lit("Κ"), 3);
        if (distinctTails > 0) {
            line += tails[random() % distinctTails];
        } else {
            line += padded(townPool[random() % townPool.size()], 10);
            line += padded(edlt::cp1253::lit("ΣΤΑΔΙΟΥ"), 16);
            line += padded(std::to_string(1 + random() % 200), 5);
            line += digits(random, 5) + "01";
            line += digits(random, 170 - static_cast<size_t>(line.size()) - 4) + "    ";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// The alphabetical sort as a whole: keys from character 12 on, the order, the lines
// rewritten in it with CR LF.
void sortLines(benchmark::State& state, size_t distinctTails)
{
    const std::vector<std::string> lines = makeLines(static_cast<size_t>(state.range(0)), distinctTails);
    for (auto _ : state) {
        std::vector<std::string_view> keys;
        keys.reserve(lines.size());
        for (const std::string& line : lines) keys.push_back(std::string_view(line).substr(11));
        const std::vector<size_t> perm = edlt::exchangeSortOrder(keys);
        std::string out;
        out.reserve(lines.size() * 172);
        for (size_t index : perm) {
            out += lines[index];
            out += "\r\n";
        }
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_ExchangeSortRealistic(benchmark::State& state)
{
    sortLines(state, 0);
}

// Whole keys repeat: the group path carries most of the work.
void BM_ExchangeSortManyEqualKeys(benchmark::State& state)
{
    sortLines(state, 20);
}

// Two whole keys only, interleaved at random: two groups of half the lines each, rotated
// many times over.
void BM_ExchangeSortTwoKeys(benchmark::State& state)
{
    const std::string low(159, 'A');
    const std::string high(159, 'B');
    std::mt19937 random(3);
    std::vector<std::string_view> keys;
    for (int64_t i = 0; i < state.range(0); ++i) keys.push_back(random() % 2 ? low : high);
    for (auto _ : state) benchmark::DoNotOptimize(edlt::exchangeSortOrder(keys).data());
}

}  // namespace

BENCHMARK(BM_ExchangeSortRealistic)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExchangeSortManyEqualKeys)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExchangeSortTwoKeys)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
