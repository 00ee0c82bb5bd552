// SPDX-License-Identifier: GPL-3.0-or-later
// edlt_bare_open FILE FOLDER: the least an open of a declaration file can do, the reference
// for `edlt-cli totals FILE`: read the file, parse the nine amounts of every detail record,
// and write the lines twice (FOLDER/a and FOLDER/b). Prints the sum of the amounts.
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "core/base/Convert.h"
#include "core/store/DetailRecord.h"

namespace {

bool writeAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: edlt_bare_open FILE FOLDER\n");
        return 2;
    }
    const int in = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    const std::string folder = argv[2];
    const int a = ::open((folder + "/a").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int b = ::open((folder + "/b").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (in < 0 || a < 0 || b < 0) return 2;
    std::string buffer, out;
    std::vector<char> chunk(1 << 20);
    int64_t sum = 0;
    size_t lines = 0;
    auto line = [&](std::string_view l) {
        ++lines;
        if (!l.empty() && l[0] == '3')
            for (edlt::detail::Field f : edlt::detail::amountFields) {
                const auto& def = edlt::detail::fields[f];
                if (l.size() >= static_cast<size_t>(def.offset + def.width))
                    sum +=
                        edlt::tryStrToInt64(l.substr(static_cast<size_t>(def.offset), static_cast<size_t>(def.width)))
                            .value_or(0);
            }
        out.append(l);
        out.append("\r\n");
    };
    for (;;) {
        const ssize_t n = ::read(in, chunk.data(), chunk.size());
        if (n < 0) return 2;
        buffer.append(chunk.data(), static_cast<size_t>(n));
        size_t start = 0;
        for (size_t end; (end = buffer.find('\n', start)) != std::string::npos; start = end + 1)
            line(std::string_view(buffer).substr(start, end - start - (end > start && buffer[end - 1] == '\r')));
        buffer.erase(0, start);
        if (out.size() >= (1 << 20) || n == 0) {
            if (!writeAll(a, out) || !writeAll(b, out)) return 2;
            out.clear();
        }
        if (n == 0) break;
    }
    if (!buffer.empty()) line(buffer);
    if (!writeAll(a, out) || !writeAll(b, out)) return 2;
    ::close(a);
    ::close(b);
    std::printf("%zu lines, amounts %lld\n", lines, static_cast<long long>(sum));
    return 0;
}
