// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers shared by the tests: temporary folders, whole-file reads and writes, a sink
// that fails.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include <sys/stat.h>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"

namespace edlt::test {

class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("edlt-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Takes limit bytes (passing them on to inner, when given), then throws "disk full".
class FailingSink : public ByteSink {
public:
    explicit FailingSink(size_t limit) : limit_(limit) {}
    FailingSink(ByteSink& inner, size_t limit) : inner_(&inner), limit_(limit) {}
    void write(std::string_view data) override
    {
        if (written_ + data.size() > limit_) throw Error("disk full");
        written_ += data.size();
        if (inner_) inner_->write(data);
    }

private:
    ByteSink* inner_ = nullptr;
    size_t limit_;
    size_t written_ = 0;
};

// A file's permission bits; a value no mode has when it cannot be looked at.
inline unsigned fileMode(const std::filesystem::path& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : ~0u;
}

inline std::string readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Sets an environment variable for one test; unset when value is empty.
class EnvVar {
public:
    EnvVar(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value.empty()) ::unsetenv(name);
        else
            ::setenv(name, value.c_str(), 1);
    }
    ~EnvVar()
    {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Windows-1253 from a UTF-8 literal, for readable tests.
inline std::string G(const char* utf8)
{
    return cp1253::lit(utf8);
}

}  // namespace edlt::test
