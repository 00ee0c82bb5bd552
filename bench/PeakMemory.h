// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Peak resident memory of this process over a stretch of work, from the kernel's figures.
#include <cstdlib>
#include <fstream>
#include <string>

namespace edlt::bench {

// A "Name:  123 kB" figure of /proc/self/status, in KB.
inline long statusKb(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::string(key).size());
    return 0;
}

// The peak of resident memory from here on: the kernel's high-water mark is reset.
inline long resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKb("VmRSS:");
}

}  // namespace edlt::bench
