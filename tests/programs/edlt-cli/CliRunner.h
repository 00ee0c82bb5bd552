// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the built edlt-cli through the shell, as a script would, in a temporary folder of its
// own; every run also checks that the command left nothing in its private temporary folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "tests/TestUtil.h"

namespace edlt::test {

struct CliRun {
    int code;
    std::string out, err;  // UTF-8
};

// The text as one word for the shell.
inline std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CliRunner : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override { std::filesystem::create_directories(dir / "tmp"); }

    CliRun cli(const std::vector<std::string>& args, const std::filesystem::path& in = "/dev/null")
    {
        return run(args, "", " <" + quoted(in.string()));
    }

    // before: shell text put in front of the command; input: its standard input redirection.
    CliRun run(const std::vector<std::string>& args, const std::string& before, const std::string& input)
    {
        std::string command = before + "TMPDIR=" + quoted((dir / "tmp").string()) + " " + quoted(EDLT_CLI_PATH);
        for (const std::string& a : args) command += " " + quoted(a);
        command += input + " >" + quoted((dir / "out").string()) + " 2>" + quoted((dir / "err").string());
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_TRUE(std::filesystem::is_empty(dir / "tmp")) << "the private workspace was left behind";
        return {WEXITSTATUS(status), readFile(dir / "out"), readFile(dir / "err")};
    }
};

}  // namespace edlt::test
