// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zip written byte by byte for the tests, so that it can be as wrong as an attacker
// likes: duplicate names, sizes that lie, any number of entries.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace edlt::sheet::test {

struct ZipEntry {
    std::string name;
    std::string data;
    bool deflate = true;
};

inline void put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

inline void put32(std::string& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

inline std::string rawDeflate(const std::string& data)
{
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, data.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

inline std::string makeZip(const std::vector<ZipEntry>& entries)
{
    std::string out, central;
    for (const ZipEntry& e : entries) {
        std::string body = e.deflate ? rawDeflate(e.data) : e.data;
        uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        uint32_t offset = static_cast<uint32_t>(out.size());
        auto header = [&](std::string& h, bool isCentral) {
            put32(h, isCentral ? 0x02014b50 : 0x04034b50);
            if (isCentral) put16(h, 20);
            put16(h, 20);
            put16(h, 0x0800);  // UTF-8 names
            put16(h, e.deflate ? 8 : 0);
            put16(h, 0);
            put16(h, 0x21);
            put32(h, crc);
            put32(h, static_cast<uint32_t>(body.size()));
            put32(h, static_cast<uint32_t>(e.data.size()));
            put16(h, static_cast<uint32_t>(e.name.size()));
            put16(h, 0);
            if (isCentral) {
                put16(h, 0);
                put16(h, 0);
                put16(h, 0);
                put32(h, 0);
                put32(h, offset);
            }
            h += e.name;
        };
        header(out, false);
        out += body;
        header(central, true);
    }
    uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(entries.size()));
    put16(out, static_cast<uint32_t>(entries.size()));
    put32(out, static_cast<uint32_t>(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}

// A minimal .xlsx around one worksheet part (and shared strings when given).
inline std::vector<ZipEntry> xlsxEntries(const std::string& sheetXml, const std::string& sharedStrings = {})
{
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<ZipEntry> entries = {
        {"[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {"xl/workbook.xml", "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" +
                                rel + "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + rel +
             "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", sheetXml},
    };
    if (!sharedStrings.empty()) entries.push_back({"xl/sharedStrings.xml", sharedStrings});
    return entries;
}

inline std::string sheetXml(const std::string& sheetData)
{
    return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" + sheetData +
           "</sheetData></worksheet>";
}

// inside with levels of <a> elements around it.
inline std::string nested(size_t levels, const std::string& inside)
{
    std::string out;
    out.reserve(levels * 7 + inside.size());
    for (size_t i = 0; i < levels; ++i) out += "<a>";
    out += inside;
    for (size_t i = 0; i < levels; ++i) out += "</a>";
    return out;
}

// A minimal .ods around the body of its first table.
inline std::vector<ZipEntry> odsEntries(const std::string& tableBody)
{
    return {
        {"mimetype", "application/vnd.oasis.opendocument.spreadsheet", false},
        {"content.xml",
         "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
         "<table:table table:name=\"S\">" +
             tableBody + "</table:table></office:spreadsheet></office:body></office:document-content>"},
    };
}

}  // namespace edlt::sheet::test
