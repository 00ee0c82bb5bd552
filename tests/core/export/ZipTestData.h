// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Data for the zip tests: declaration-like text that compresses as files do, and noise.
#include <random>
#include <string>

namespace edlt::test {

// Declaration-like lines with some random bytes between them.
inline std::string mixedData(size_t size, unsigned seed = 1)
{
    std::mt19937 rng(seed);
    std::string out;
    while (out.size() < size) {
        out += "3" + std::to_string(100000000 + rng() % 899999999) + "          ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΩΡΓΟΣ 0000012345\r\n";
        if (rng() % 8 == 0)
            for (int i = 0; i < 64; ++i) out += static_cast<char>(rng());
    }
    out.resize(size);
    return out;
}

inline std::string randomData(size_t size)
{
    std::mt19937 rng(7);
    std::string out(size, '\0');
    for (char& c : out) c = static_cast<char>(rng());
    return out;
}

}  // namespace edlt::test
