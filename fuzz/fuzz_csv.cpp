// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: bytes as a CSV file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/base/ByteStream.h"
#include "core/import/Sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        edlt::StringSource source(std::string(reinterpret_cast<const char*>(data), size));
        edlt::sheet::readCsv(source);
    } catch (const edlt::sheet::SheetError&) {
    }
    return 0;
}
