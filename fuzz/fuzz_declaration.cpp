// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: bytes as a declaration file, read into a workspace, and the header
// loaded back. A refusal is a message; anything else thrown is a finding.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/base/ByteStream.h"
#include "core/base/Error.h"
#include "core/store/DeclarationFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("edlt-fuzz-declaration-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    edlt::StringSource source(std::string(reinterpret_cast<const char*>(data), size));
    auto problem = edlt::readDeclarationFile(source, dir / "generalData", dir / "record2");
    if (!problem) {
        edlt::HeaderFields h = edlt::loadHeaderFields(dir / "generalData");
        (void)h;
    }
    return 0;
}
