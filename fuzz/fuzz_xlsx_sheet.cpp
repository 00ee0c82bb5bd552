// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: a worksheet part's XML in a minimal .xlsx, read once cut into tiny
// segments on two threads and once by one parser; any difference between the two (cells,
// or the fault and its message) aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/import/Sheet.h"
#include "core/import/ZipArchive.h"
#include "tests/core/import/TestZip.h"

namespace {

std::string outcome(const std::string& zip, edlt::sheet::XlsxSegmenting how)
{
    edlt::sheet::setXlsxSegmenting(how);
    try {
        auto archive = edlt::sheet::ZipArchive::openMemory(zip);
        edlt::sheet::ReadResult r = edlt::sheet::readXlsx(*archive);
        std::string out = std::to_string(r.block.rows) + "x" + std::to_string(r.block.cols) + ":" + r.block.text;
        for (const auto& cell : r.block.cells)
            out += std::to_string(cell.offset) + "," + std::to_string(cell.length) + (cell.cut ? "+" : "") +
                   (cell.noValue ? "?" : "") + ";";
        for (const auto& p : r.problems) out += std::to_string(p.row) + p.message;
        return out;
    } catch (const edlt::sheet::SheetError& e) {
        return "fault " + std::to_string(static_cast<int>(e.fault())) + " " + e.what();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string part(reinterpret_cast<const char*>(data), size);
    auto entries = edlt::sheet::test::xlsxEntries(part, "<sst><si><t>a</t></si><si><t>b</t></si></sst>");
    for (auto& e : entries) e.deflate = false;  // stored: the time goes to the readers
    const std::string zip = edlt::sheet::test::makeZip(entries);
    if (outcome(zip, {0, 16}) != outcome(zip, {UINT64_MAX, 16})) std::abort();
    return 0;
}
