// SPDX-License-Identifier: GPL-3.0-or-later
// The kind of a spreadsheet file is told by its first bytes, never by its name: a user
// who renames a .xlsx to .xls (or the reverse) still gets the sheet read.
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/base/ByteStream.h"
#include "core/import/CellText.h"
#include "core/import/Sheet.h"
#include "core/import/ZipArchive.h"

namespace edlt::sheet {
namespace {

constexpr char oleMagic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

ReadResult readZip(const std::filesystem::path& path, const HiddenSheetQuestion& askHidden)
{
    auto zip = ZipArchive::openFile(path);
    if (zip->contains("xl/workbook.bin")) fail(SheetFault::Binary);
    if (zip->contains("xl/workbook.xml")) return readXlsx(*zip, askHidden);
    if (zip->contains("content.xml") && zip->contains("mimetype")) return readOds(*zip, askHidden);
    fail(SheetFault::NotSpreadsheet);
}

// A web page or an XML spreadsheet saved under a workbook's name starts with its markup,
// which a sheet of lines in CSV never does.
void refuseMarkup(std::string_view head)
{
    if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
    while (!head.empty() && (head[0] == ' ' || head[0] == '\t' || head[0] == '\r' || head[0] == '\n'))
        head.remove_prefix(1);
    if (head.empty() || head[0] != '<') return;
    std::string lower(head);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (lower.find("urn:schemas-microsoft-com:office:spreadsheet") != std::string::npos ||
        lower.find("progid=\"excel.sheet\"") != std::string::npos)
        fail(SheetFault::XmlSpreadsheet);
    for (const char* tag : {"<html", "<!doctype html", "<head", "<body", "<table"})
        if (lower.find(tag) != std::string::npos) fail(SheetFault::WebPage);
    if (lower.rfind("<?xml", 0) == 0) fail(SheetFault::NotSpreadsheet);
}

ReadResult readDetected(const std::filesystem::path& path, const HiddenSheetQuestion& askHidden)
{
    char head[4096] = {};
    size_t got = 0;
    {
        FileSource source(path);
        while (got < sizeof head) {
            size_t n = source.read(head + got, sizeof head - got);
            if (n == 0) break;
            got += n;
        }
    }
    if (got >= 8 && std::memcmp(head, oleMagic, 8) == 0) return readXls(path, askHidden);
    if (got >= 4 && head[0] == 'P' && head[1] == 'K' &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6) || (head[2] == 7 && head[3] == 8)))
        return readZip(path, askHidden);
    refuseMarkup(std::string_view(head, got));
    FileSource source(path);
    return readCsv(source);
}

}  // namespace

ReadResult readSpreadsheet(const std::filesystem::path& path, const HiddenSheetQuestion& askHidden)
{
    try {
        return readDetected(path, askHidden);
    } catch (const SheetError&) {
        throw;
    } catch (const Error& e) {
        // The file cannot be opened or read at all: what the system said is the cause.
        throw SheetError(SheetFault::NotSpreadsheet, e.message(), e.message());
    } catch (const std::bad_alloc&) {
        fail(SheetFault::TooLarge);
    } catch (const std::length_error&) {
        fail(SheetFault::TooLarge);
    }
}

}  // namespace edlt::sheet
