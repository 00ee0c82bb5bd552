// libFuzzer target: bytes as an .xls file (OLE2 container through libgsf, cell records ours).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/import/Sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        edlt::sheet::readXlsMemory(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const edlt::sheet::SheetError&) {
    }
    return 0;
}
