// libFuzzer target: bytes as an .xls file. FreeXL reads only from a path, so the bytes
// go to an anonymous memory file opened through /proc.
//
// FreeXL runs in a child process of the reader. Its own memory errors, which the
// sanitizers see through their interceptors, end that child and the reader refuses the
// file: that is the behaviour under test, so the child must not report them as the
// fuzzer's crashes. What fails in the fuzzer's own process is still found.
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/sheet/Sheet.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define EDLT_FUZZ_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define EDLT_FUZZ_ASAN 1
#endif
#ifdef EDLT_FUZZ_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

void quietChild()
{
#ifdef EDLT_FUZZ_ASAN
    __sanitizer_set_death_callback(nullptr);
#endif
    for (int sig : {SIGSEGV, SIGBUS, SIGABRT, SIGILL, SIGFPE}) signal(sig, SIG_DFL);
}

const bool childQuieted = pthread_atfork(nullptr, nullptr, quietChild) == 0;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int fd = memfd_create("fuzz.xls", MFD_CLOEXEC);
    if (fd < 0) return 0;
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    if (done == size) {
        try {
            edlt::sheet::readXls("/proc/self/fd/" + std::to_string(fd));
        } catch (const edlt::sheet::SheetError&) {
        }
    }
    close(fd);
    return 0;
}
