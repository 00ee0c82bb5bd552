// The kind of a spreadsheet file is told by its first bytes, never by its name: a user
// who renames a .xlsx to .xls (or the reverse) still gets the sheet read.
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/base/ByteStream.h"
#include "core/import/CellText.h"
#include "core/import/Sheet.h"
#include "core/import/ZipArchive.h"

namespace edlt::sheet {
namespace {

constexpr char oleMagic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

ReadResult readZip(const std::filesystem::path& path)
{
    auto zip = ZipArchive::openFile(path);
    if (zip->contains("xl/workbook.xml")) return readXlsx(*zip);
    if (zip->contains("content.xml") && zip->contains("mimetype")) return readOds(*zip);
    fail(SheetFault::NotSpreadsheet);
}

ReadResult readDetected(const std::filesystem::path& path)
{
    char head[8] = {};
    size_t got = 0;
    {
        FileSource source(path);
        while (got < sizeof head) {
            size_t n = source.read(head + got, sizeof head - got);
            if (n == 0) break;
            got += n;
        }
    }
    if (got == 8 && std::memcmp(head, oleMagic, 8) == 0) return readXls(path);
    if (got >= 4 && head[0] == 'P' && head[1] == 'K' &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6) || (head[2] == 7 && head[3] == 8)))
        return readZip(path);
    FileSource source(path);
    return readCsv(source);
}

}  // namespace

ReadResult readSpreadsheet(const std::filesystem::path& path)
{
    try {
        return readDetected(path);
    } catch (const SheetError&) {
        throw;
    } catch (const Error& e) {
        // The file cannot be opened or read at all.
        throw SheetError(SheetFault::NotSpreadsheet, e.message());
    } catch (const std::bad_alloc&) {
        fail(SheetFault::TooLarge);
    } catch (const std::length_error&) {
        fail(SheetFault::TooLarge);
    }
}

}  // namespace edlt::sheet
