// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/reference/BareCells.h"

#include <expat.h>
#include <freexl.h>
#include <zip.h>

#include <cstring>
#include <stdexcept>

namespace edlt::bench {
namespace {

struct Collector {
    std::vector<std::string>* out;
    std::string text;
    bool inText = false;
};

void parseEntry(zip_t* zip, const char* name, std::vector<std::string>& out)
{
    zip_file_t* file = zip_fopen(zip, name, 0);
    if (!file) return;
    XML_Parser parser = XML_ParserCreate(nullptr);
    Collector collector{&out, {}, false};
    XML_SetUserData(parser, &collector);
    XML_SetElementHandler(
        parser,
        [](void* data, const char* element, const char**) {
            auto* c = static_cast<Collector*>(data);
            if (std::strcmp(element, "v") == 0 || std::strcmp(element, "t") == 0) {
                c->inText = true;
                c->text.clear();
            }
        },
        [](void* data, const char* element) {
            auto* c = static_cast<Collector*>(data);
            if (c->inText && (std::strcmp(element, "v") == 0 || std::strcmp(element, "t") == 0)) {
                c->out->push_back(std::move(c->text));
                c->inText = false;
            }
        });
    XML_SetCharacterDataHandler(parser, [](void* data, const char* s, int len) {
        auto* c = static_cast<Collector*>(data);
        if (c->inText) c->text.append(s, static_cast<size_t>(len));
    });
    char buffer[64 * 1024];
    zip_int64_t n;
    while ((n = zip_fread(file, buffer, sizeof buffer)) > 0)
        if (XML_Parse(parser, buffer, static_cast<int>(n), 0) != XML_STATUS_OK) break;
    XML_Parse(parser, "", 0, 1);
    XML_ParserFree(parser);
    zip_fclose(file);
}

}  // namespace

std::vector<std::string> bareXlsxCells(const std::filesystem::path& path)
{
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!zip) throw std::runtime_error("cannot open " + path.string());
    std::vector<std::string> cells;
    parseEntry(zip, "xl/sharedStrings.xml", cells);
    parseEntry(zip, "xl/worksheets/sheet1.xml", cells);
    zip_discard(zip);
    return cells;
}

size_t freexlCells(const std::filesystem::path& path)
{
    const void* xls = nullptr;
    if (freexl_open(path.c_str(), &xls) != FREEXL_OK) throw std::runtime_error("FreeXL cannot open " + path.string());
    size_t count = 0;
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_select_active_worksheet(xls, 0) == FREEXL_OK &&
        freexl_worksheet_dimensions(xls, &rows, &cols) == FREEXL_OK)
        for (unsigned int r = 0; r < rows; ++r)
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue value;
                if (freexl_get_cell_value(xls, r, c, &value) == FREEXL_OK && value.type != FREEXL_CELL_NULL) ++count;
            }
    freexl_close(xls);
    return count;
}

}  // namespace edlt::bench
