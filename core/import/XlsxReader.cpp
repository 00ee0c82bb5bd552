// SPDX-License-Identifier: GPL-3.0-or-later
// .xlsx: the workbook names its sheets in tab order, its relationships lead to the first
// worksheet's part, and that part is read (XlsxSheet) with the shared strings at hand.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/import/BlockBuilder.h"
#include "core/import/CellText.h"
#include "core/import/Sheet.h"
#include "core/import/StringPool.h"
#include "core/import/XlsxSheet.h"
#include "core/import/XlsxText.h"
#include "core/import/XmlStream.h"
#include "core/import/ZipArchive.h"

namespace edlt::sheet {
namespace {

constexpr size_t maxSmallPart = 16 << 20;  // workbook and relationship parts

bool endsWith(std::string_view s, std::string_view tail)
{
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// "xl/" + "worksheets/sheet1.xml", or an absolute "/xl/...", with "." and ".." resolved.
std::string resolvePart(std::string_view base, std::string_view target)
{
    std::string joined = !target.empty() && target[0] == '/' ? std::string(target.substr(1))
                                                             : std::string(base) + std::string(target);
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t slash = joined.find('/', start);
        if (slash == std::string::npos) slash = joined.size();
        std::string part = joined.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string out;
    for (const auto& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

struct WorkbookSheet {
    std::string id, name;  // relationship id; name as written (UTF-8)
    bool hidden;
};

struct WorkbookHandler : XmlHandler {
    std::vector<WorkbookSheet> sheets;  // in tab order
    void start(std::string_view name, const char** attrs) override
    {
        if (name == "sheet") {
            const char* id = xmlAttr(attrs, "id");
            const char* sheetName = xmlAttr(attrs, "name");
            const char* state = xmlAttr(attrs, "state");
            // "hidden", or "veryHidden" (shown again only by a macro).
            const bool hidden = state &&
                                (std::string_view(state) == "hidden" || std::string_view(state) == "veryHidden");
            sheets.push_back({id ? id : "", sheetName ? sheetName : "", hidden});
        }
    }
    void end(std::string_view) override {}
    void text(const char*, size_t) override {}
};

struct Relationship {
    std::string id, type, target;
};

struct RelsHandler : XmlHandler {
    std::vector<Relationship> rels;
    void start(std::string_view name, const char** attrs) override
    {
        if (name != "Relationship") return;
        const char* mode = xmlAttr(attrs, "TargetMode");
        if (mode && std::string_view(mode) == "External") return;
        const char* id = xmlAttr(attrs, "Id");
        const char* type = xmlAttr(attrs, "Type");
        const char* target = xmlAttr(attrs, "Target");
        if (id && type && target) rels.push_back({id, type, target});
    }
    void end(std::string_view) override {}
    void text(const char*, size_t) override {}
};

// The shared strings, converted, cleaned and cut once.
class SharedStrings : public XmlHandler, public StringPool {
public:
    explicit SharedStrings(uint64_t sizeHint) : sizeHint_(sizeHint) {}

    void start(std::string_view name, const char** attrs) override
    {
        if (name == "sst") {
            const char* count = xmlAttr(attrs, "uniqueCount");
            size_t hint = count ? std::strtoull(count, nullptr, 10) : 0;
            // Each string costs at least "<si></si>" in the file.
            hint = std::min<size_t>({hint, sizeHint_ / 9, limits::maxCells});
            reserve(hint);
        } else if (name == "si") {
            inItem_ = true;
            capture_.clear();
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t" && inItem_ && phonetic_ == 0) {
            capture_.begin();
        }
    }
    void end(std::string_view name) override
    {
        if (name == "si" && inItem_) {
            inItem_ = false;
            if (size() >= limits::maxCells) fail(SheetFault::TooLarge);
            bool ok = true, cut = capture_.cut();
            std::string kept = BlockBuilder::keep(toCp1253Lossy(decodeEscapes(capture_.take()), ok), cut);
            add(kept, !ok, cut);
        } else if (name == "rPh" && phonetic_ > 0) {
            --phonetic_;
        } else if (name == "t" && capture_.active()) {
            capture_.stop();
        }
    }
    void text(const char* data, size_t size) override { capture_.add(data, size); }

private:
    uint64_t sizeHint_;
    TextCapture capture_;
    bool inItem_ = false;
    int phonetic_ = 0;
};

// The part of the first worksheet in tab order (chart sheets are no worksheets); when it
// is hidden, askHidden may choose the first visible one instead.
std::string firstWorksheet(ZipArchive& zip, const std::vector<Relationship>& rels, const HiddenSheetQuestion& askHidden)
{
    WorkbookHandler workbook;
    parseZipEntry(zip, "xl/workbook.xml", workbook);
    std::vector<std::pair<const WorkbookSheet*, std::string>> worksheets;  // with their parts
    for (const WorkbookSheet& sheet : workbook.sheets)
        for (const Relationship& rel : rels)
            if (rel.id == sheet.id && endsWith(rel.type, "/worksheet")) {
                worksheets.emplace_back(&sheet, resolvePart("xl/", rel.target));
                break;
            }
    if (worksheets.empty()) fail(SheetFault::NoSheet);
    const WorkbookSheet& first = *worksheets.front().first;
    bool lossless = true;
    if (!first.hidden || !askHidden || askHidden(toCp1253Lossy(first.name, lossless))) return worksheets.front().second;
    for (const auto& [sheet, part] : worksheets)
        if (!sheet->hidden) return part;
    fail(SheetFault::NoSheet, {}, noVisibleSheetCause);
}

}  // namespace

ReadResult readXlsx(ZipArchive& zip, const HiddenSheetQuestion& askHidden)
{
    if (!zip.contains("xl/workbook.xml")) fail(SheetFault::NotSpreadsheet);
    if (!zip.contains("xl/_rels/workbook.xml.rels")) fail(SheetFault::Corrupt);
    RelsHandler rels;
    {
        // Small parts are read whole, so a huge one is refused before it is parsed.
        std::string text = zip.readAll("xl/_rels/workbook.xml.rels", maxSmallPart);
        XmlStream xml(rels);
        xml.feed(text.data(), text.size());
        xml.finish();
    }
    std::string sheetPart = firstWorksheet(zip, rels.rels, askHidden);
    if (!zip.contains(sheetPart)) fail(SheetFault::Corrupt);

    std::string stringsPart;
    for (const Relationship& rel : rels.rels)
        if (endsWith(rel.type, "/sharedStrings")) stringsPart = resolvePart("xl/", rel.target);
    SharedStrings strings(stringsPart.empty() ? 0 : zip.sizeHint(stringsPart));
    if (!stringsPart.empty() && zip.contains(stringsPart)) parseZipEntry(zip, stringsPart, strings);

    BlockBuilder block;
    strings.moveInto(block);
    readXlsxSheet(zip, sheetPart, strings, block);
    return block.finish();
}

}  // namespace edlt::sheet
