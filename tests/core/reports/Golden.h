// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte-exact comparison with a golden file under tests/data/reports. After an intended
// change, regenerate them all with:
//   EDLT_REGENERATE_GOLDEN=1 ./core_tests --gtest_filter='ReportPages*:FirstPage*'
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/TestUtil.h"

namespace edlt::test {

inline std::filesystem::path goldenPath(const std::string& name)
{
    return std::filesystem::path(EDLT_TEST_DATA) / "reports" / name;
}

inline void expectGolden(const std::string& name, const std::string& bytes)
{
    const std::filesystem::path path = goldenPath(name);
    const char* regenerate = std::getenv("EDLT_REGENERATE_GOLDEN");
    if (regenerate && std::string(regenerate) == "1") {
        std::filesystem::create_directories(path.parent_path());
        writeFile(path, bytes);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path))
        << "missing golden file " << path << " (EDLT_REGENERATE_GOLDEN=1 writes it)";
    const std::string expected = readFile(path);
    if (expected == bytes) return;
    // Name the first differing line rather than dumping two pages.
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), bytes.begin(), bytes.end());
    const long line = std::count(bytes.begin(), mismatch.second, '\n') + 1;
    ADD_FAILURE() << name << " differs from its golden file at line " << line;
}

// The lines of a page without their CR LF (the page must end in CR LF).
inline std::vector<std::string> pageLines(const std::string& page)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < page.size()) {
        size_t end = page.find("\r\n", pos);
        if (end == std::string::npos) {
            ADD_FAILURE() << "the page does not end in CR LF";
            lines.push_back(page.substr(pos));
            break;
        }
        lines.push_back(page.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

}  // namespace edlt::test
