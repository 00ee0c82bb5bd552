// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: bytes as one detail record, converted to the workspace form and back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/base/Error.h"
#include "core/store/DeclarationFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string record(reinterpret_cast<const char*>(data), size);
    try {
        std::string line = edlt::fileToWorkspaceLine(record, 3);
        if (line.size() != 170) __builtin_trap();
        std::string back = edlt::workspaceToFileLine(line);
        if (back.size() != 170) __builtin_trap();
    } catch (const edlt::Error&) {
        // A refused record or an amount that is not a number: a message, not a fault.
    }
    return 0;
}
