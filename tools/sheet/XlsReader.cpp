// .xls through FreeXL, in a child process. FreeXL reads past its buffers on crafted
// files and a 1 KB file can make it ask for tens of gigabytes: run in the program itself,
// it could take the whole program down with the user's unsaved declaration. The child
// reads the sheet under memory and time limits and sends the cells through a pipe; if it
// dies, the file is "not a spreadsheet". Any failure FreeXL reports means the same.
#include <fcntl.h>
#include <freexl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "tools/sheet/BlockBuilder.h"
#include "tools/sheet/CellText.h"
#include "tools/sheet/Sheet.h"

namespace edlt::sheet {
namespace {

// Records of the pipe: 'H' rows cols (the declared size), 'C' row col kind length bytes
// (kind 0 Windows-1253, 1 UTF-8), 'E' fault length bytes, 'Z' the end.
constexpr int childCpuSeconds = 60;
constexpr auto parentDeadline = std::chrono::seconds(120);  // also for a child stuck without using CPU
constexpr uint64_t childMemoryBudget = uint64_t(1) << 30;

class PipeWriter {
public:
    explicit PipeWriter(int fd) : fd_(fd) {}
    void byte(uint8_t b) { put(reinterpret_cast<const char*>(&b), 1); }
    void u32(uint32_t v)
    {
        char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
        put(b, 4);
    }
    void text(std::string_view s)
    {
        u32(static_cast<uint32_t>(s.size()));
        put(s.data(), s.size());
    }
    void flush()
    {
        const char* p = buffer_.data();
        size_t left = buffer_.size();
        while (left > 0) {
            ssize_t n = ::write(fd_, p, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) _exit(3);  // the parent has gone
            p += n;
            left -= static_cast<size_t>(n);
        }
        buffer_.clear();
    }

private:
    void put(const char* data, size_t size)
    {
        buffer_.append(data, size);
        if (buffer_.size() >= 64 * 1024) flush();
    }
    int fd_;
    std::string buffer_;
};

// FreeXL hands dates and times over as text; they go back to the numbers the file holds.
bool dateNumber(const char* text, int type, bool date1904, std::string& out)
{
    if (!text) return false;
    auto serial = type == FREEXL_CELL_TIME ? parseClockTime(text) : parseIsoDateTime(text, date1904);
    if (!serial) return false;
    out = formatNumber(*serial);
    return true;
}

// A size from /proc/self/status ("VmSize:", "VmData:") in bytes; 0 when unknown.
uint64_t memoryStatus(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t keyLength = std::strlen(key);
    while (std::getline(status, line))
        if (line.compare(0, keyLength, key) == 0) return std::strtoull(line.c_str() + keyLength, nullptr, 10) * 1024;
    return 0;
}

// The child may use what the program held at the fork and a budget more: address space
// for allocations that go through brk or fresh mappings, data for allocators (such as a
// sanitizer's) that map inside a region they reserved up front.
void limitMemory(int resource, const char* key, uint64_t budget)
{
    if (uint64_t now = memoryStatus(key); now > 0) {
        rlimit limit{now + budget, now + budget};
        setrlimit(resource, &limit);
    }
}

// The child's work: FreeXL's reading of the first worksheet, cell by cell into the pipe.
void readInChild(const std::filesystem::path& path, PipeWriter& out)
{
    struct Handle {
        const void* h = nullptr;
        ~Handle()
        {
            if (h) freexl_close(h);
        }
    } xls;
    auto failed = [&](SheetFault fault, std::string_view detail) {
        out.byte('E');
        out.byte(static_cast<uint8_t>(fault));
        out.text(detail);
    };
    auto freexlFailed = [&](int status) {
        failed(status == FREEXL_INSUFFICIENT_MEMORY ? SheetFault::TooLarge : SheetFault::NotSpreadsheet,
               "FreeXL " + std::to_string(status));
    };

    if (int status = freexl_open(path.c_str(), &xls.h); status != FREEXL_OK) return freexlFailed(status);
    unsigned int info = 0;
    if (freexl_get_info(xls.h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        return failed(SheetFault::Protected, {});
    bool date1904 =
        freexl_get_info(xls.h, FREEXL_BIFF_DATEMODE, &info) == FREEXL_OK && info == FREEXL_BIFF_DATEMODE_1904;
    unsigned int sheets = 0;
    if (freexl_get_info(xls.h, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        return failed(SheetFault::NotSpreadsheet, {});
    if (int status = freexl_select_active_worksheet(xls.h, 0); status != FREEXL_OK) return freexlFailed(status);
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (int status = freexl_worksheet_dimensions(xls.h, &rows, &cols); status != FREEXL_OK)
        return freexlFailed(status);
    if (rows > limits::maxRows || cols > limits::maxCols || (cols > 0 && rows > limits::maxCells / cols))
        return failed(SheetFault::TooLarge, {});
    out.byte('H');
    out.u32(rows);
    out.u32(cols);

    std::string text;
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue value;
            if (int status = freexl_get_cell_value(xls.h, r, c, &value); status != FREEXL_OK)
                return freexlFailed(status);
            uint8_t kind = 0;
            switch (value.type) {
            case FREEXL_CELL_NULL: continue;
            case FREEXL_CELL_INT: text = std::to_string(value.value.int_value); break;
            case FREEXL_CELL_DOUBLE: text = formatNumber(value.value.double_value); break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                if (!value.value.text_value) continue;
                text = value.value.text_value;
                kind = 1;
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                if (!dateNumber(value.value.text_value, value.type, date1904, text)) {
                    if (!value.value.text_value) continue;
                    text = value.value.text_value;
                    kind = 1;
                }
                break;
            default: return failed(SheetFault::Corrupt, {});
            }
            if (text.empty()) continue;
            if (text.size() > limits::maxCellBytes) return failed(SheetFault::TooLarge, {});
            out.byte('C');
            out.u32(r + 1);
            out.u32(c + 1u);
            out.byte(kind);
            out.text(text);
        }
    }
    out.byte('Z');
}

[[noreturn]] void runChild(const std::filesystem::path& path, int fd)
{
    rlimit cpu{childCpuSeconds, childCpuSeconds};
    setrlimit(RLIMIT_CPU, &cpu);
    std::error_code error;
    uint64_t size = std::filesystem::file_size(path, error);
    uint64_t budget = childMemoryBudget + (error ? 0 : 16 * size);
    limitMemory(RLIMIT_AS, "VmSize:", budget);
    limitMemory(RLIMIT_DATA, "VmData:", budget);
    PipeWriter out(fd);
    try {
        readInChild(path, out);
    } catch (...) {
        _exit(4);  // no end record: the parent reports the file unreadable
    }
    out.flush();
    _exit(0);
}

// The parent's side of the pipe, with a deadline for a child that hangs.
class PipeReader {
public:
    PipeReader(int fd, pid_t child) : fd_(fd), child_(child), deadline_(std::chrono::steady_clock::now() + parentDeadline)
    {
    }

    // False at the end of the stream.
    bool exact(char* out, size_t size)
    {
        while (size > 0) {
            if (pos_ == buffer_.size() && !fill()) return false;
            size_t n = std::min(size, buffer_.size() - pos_);
            std::memcpy(out, buffer_.data() + pos_, n);
            pos_ += n;
            out += n;
            size -= n;
        }
        return true;
    }
    bool u8(uint8_t& v) { return exact(reinterpret_cast<char*>(&v), 1); }
    bool u32(uint32_t& v)
    {
        unsigned char b[4];
        if (!exact(reinterpret_cast<char*>(b), 4)) return false;
        v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        return true;
    }
    bool text(std::string& out)
    {
        uint32_t size = 0;
        if (!u32(size) || size > limits::maxCellBytes) return false;
        out.resize(size);
        return exact(out.data(), size);
    }

private:
    bool fill()
    {
        buffer_.resize(64 * 1024);
        pos_ = 0;
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                kill(child_, SIGKILL);
                buffer_.clear();
                return false;
            }
            pollfd p{fd_, POLLIN, 0};
            int ready = poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
            if (ready < 0 && errno != EINTR) break;
            if (ready <= 0) continue;
            ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            buffer_.resize(static_cast<size_t>(n));
            return true;
        }
        buffer_.clear();
        return false;
    }

    int fd_;
    pid_t child_;
    std::chrono::steady_clock::time_point deadline_;
    std::string buffer_;
    size_t pos_ = 0;
};

// Reads the child's records into the block; false when the stream breaks off.
bool receive(PipeReader& in, const std::filesystem::path& path, BlockBuilder& block)
{
    std::string text;
    for (;;) {
        uint8_t tag = 0;
        if (!in.u8(tag)) return false;
        switch (tag) {
        case 'H': {
            uint32_t rows = 0, cols = 0;
            if (!in.u32(rows) || !in.u32(cols)) return false;
            // The declared rectangle sizes the block only when the file could hold that
            // many cells (a few bytes each at least).
            std::error_code error;
            uintmax_t fileSize = std::filesystem::file_size(path, error);
            if (!error && uintmax_t(rows) * cols <= fileSize / 4) block.reserve(rows, cols);
            break;
        }
        case 'C': {
            uint32_t row = 0, col = 0;
            uint8_t kind = 0;
            if (!in.u32(row) || !in.u32(col) || !in.u8(kind) || !in.text(text)) return false;
            if (kind == 1) block.setUtf8(row, col, text);
            else block.setText(row, col, text);
            break;
        }
        case 'E': {
            uint8_t fault = 0;
            if (!in.u8(fault) || !in.text(text) || fault > static_cast<uint8_t>(SheetFault::Protected)) return false;
            fail(static_cast<SheetFault>(fault), text);
        }
        case 'Z': return true;
        default: return false;
        }
    }
}

}  // namespace

ReadResult readXls(const std::filesystem::path& path)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) fail(SheetFault::TooLarge);
    pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        fail(SheetFault::TooLarge);
    }
    if (child == 0) {
        close(fds[0]);
        runChild(path, fds[1]);
    }
    close(fds[1]);

    struct Reap {
        int fd;
        pid_t pid;
        ~Reap()
        {
            close(fd);
            kill(pid, SIGKILL);  // done, or left behind by an error: not waited for at length
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
    } reap{fds[0], child};

    BlockBuilder block;
    PipeReader in(fds[0], child);
    if (!receive(in, path, block)) fail(SheetFault::NotSpreadsheet, "FreeXL");
    return block.finish();
}

}  // namespace edlt::sheet
