// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: bytes as an .xls file (OLE2 container through libgsf, cell records ours).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/import/Sheet.h"

// A hidden first sheet is read or declined by the input's size, so both ways are taken.
static edlt::sheet::HiddenSheetQuestion declineOddSizes(size_t size)
{
    return [size](const std::string&) { return size % 2 == 0; };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        edlt::sheet::readXlsMemory(std::string_view(reinterpret_cast<const char*>(data), size), declineOddSizes(size));
    } catch (const edlt::sheet::SheetError&) {
    }
    return 0;
}
