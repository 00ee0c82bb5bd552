// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: .ods bytes through the guarded zip and the ods reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/import/Sheet.h"
#include "core/import/ZipArchive.h"

// A hidden first sheet is read or declined by the input's size, so both ways are taken.
static edlt::sheet::HiddenSheetQuestion declineOddSizes(size_t size)
{
    return [size](const std::string&) { return size % 2 == 0; };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        auto zip = edlt::sheet::ZipArchive::openMemory(std::string(reinterpret_cast<const char*>(data), size));
        edlt::sheet::readOds(*zip, declineOddSizes(size));
    } catch (const edlt::sheet::SheetError&) {
        // Refusing the file is the expected way out; anything else escapes and is found.
    }
    return 0;
}
