// libFuzzer target: .xlsx bytes through the guarded zip and the xlsx reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/import/Sheet.h"
#include "core/import/ZipArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        auto zip = edlt::sheet::ZipArchive::openMemory(std::string(reinterpret_cast<const char*>(data), size));
        edlt::sheet::readXlsx(*zip);
    } catch (const edlt::sheet::SheetError&) {
        // Refusing the file is the expected way out; anything else escapes and is found.
    }
    return 0;
}
