// SPDX-License-Identifier: GPL-3.0-or-later
// .ods: the first table of content.xml, read as a stream. Rows and cells may stand for
// many through their repeat counts; LibreOffice ends every sheet with repeats that run
// to the last row and column, so empty repeats only move the position.
#include <algorithm>
#include <string>
#include <vector>

#include "core/import/BlockBuilder.h"
#include "core/import/CellText.h"
#include "core/import/Sheet.h"
#include "core/import/XmlStream.h"
#include "core/import/ZipArchive.h"

namespace edlt::sheet {
namespace {

constexpr std::string_view odsMimeType = "application/vnd.oasis.opendocument.spreadsheet";

// A repeat count: at least 1; huge ones are kept (saturated), since empty repeats are
// never materialised and positions past the limits are refused where cells land.
size_t repeatCount(const char* text)
{
    if (!text) return 1;
    size_t value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') fail(SheetFault::Corrupt);
        value = std::min<size_t>(value * 10 + static_cast<size_t>(*p - '0'), size_t(1) << 40);
    }
    return value == 0 ? 1 : value;
}

class ContentHandler : public XmlHandler {
public:
    ContentHandler(BlockBuilder& block, XmlStream*& stream, const HiddenSheetQuestion& askHidden)
        : block_(block), stream_(stream), askHidden_(askHidden)
    {
    }

    // Whether a sheet was read; false when the document has none (or only declined hidden ones).
    bool sheetRead() const { return sheetRead_; }
    bool hiddenSkipped() const { return hiddenSkipped_; }

    void start(std::string_view name, const char** attrs) override
    {
        if (name == "table") {
            if (tableDepth_ == 0 && !inCell_) startSheet(attrs);
            else if (tableDepth_ > 0)
                ++tableDepth_;  // a table inside a cell
            return;
        }
        if (skipping_) return;
        // A sheet is hidden by its table style: the automatic styles come before the sheets.
        if (tableDepth_ == 0) {
            if (name == "style") {
                const char* family = xmlAttr(attrs, "family");
                const char* styleName = xmlAttr(attrs, "name");
                tableStyle_ = family && std::string_view(family) == "table" && styleName ? styleName : "";
            } else if (name == "table-properties" && !tableStyle_.empty()) {
                const char* display = xmlAttr(attrs, "display");
                if (display && std::string_view(display) == "false") hiddenStyles_.push_back(tableStyle_);
            }
            return;
        }
        if (tableDepth_ != 1 && !inCell_) return;
        if (inCell_) {
            startInCell(name, attrs);
            return;
        }
        if (name == "table-row") {
            rowRepeat_ = repeatCount(xmlAttr(attrs, "number-rows-repeated"));
            col_ = 0;
            rowCells_.clear();
            rowHasText_ = false;
        } else if (name == "table-cell" || name == "covered-table-cell") {
            startCell(attrs);
        }
    }

    void end(std::string_view name) override
    {
        if (name == "table" && tableDepth_ > 0) {
            if (--tableDepth_ > 0) return;
            if (!skipping_) {
                stream_->done();  // only the first sheet is read
                sheetRead_ = true;
            }
            skipping_ = false;
            return;
        }
        if (skipping_) return;
        if (inCell_) {
            endInCell(name);
            return;
        }
        if (tableDepth_ == 1 && name == "table-row") endRow();
    }

    void text(const char* data, size_t size) override
    {
        if (inCell_ && paragraph_ && annotation_ == 0) addText(data, size);
    }

private:
    // The first sheet is read unless it is hidden and askHidden declines it; then hidden
    // sheets are skipped up to the first visible one.
    void startSheet(const char** attrs)
    {
        tableDepth_ = 1;
        const char* style = xmlAttr(attrs, "style-name");
        const bool hidden = style && std::find(hiddenStyles_.begin(), hiddenStyles_.end(), std::string_view(style)) !=
                                         hiddenStyles_.end();
        if (!hidden) return;
        if (!firstSeen_) {
            firstSeen_ = true;
            const char* sheetName = xmlAttr(attrs, "name");
            bool lossless = true;
            if (!askHidden_ || askHidden_(toCp1253Lossy(sheetName ? sheetName : "", lossless))) return;
            hiddenSkipped_ = true;
        }
        if (hiddenSkipped_) skipping_ = true;
    }

    // Converted once, however often a repeat sets it.
    struct Cell {
        size_t col, repeat;
        std::string text;  // Windows-1253
        bool lossy, cut, noValue;
    };

    void startCell(const char** attrs)
    {
        inCell_ = true;
        cellRepeat_ = repeatCount(xmlAttr(attrs, "number-columns-repeated"));
        paragraphs_ = 0;
        cut_ = false;
        formula_ = xmlAttr(attrs, "formula") != nullptr;
        cellText_.clear();
        valueText_.clear();
        stringValue_.clear();
        const char* type = xmlAttr(attrs, "value-type");
        std::string_view t = type ? type : "";
        auto number = [&](const char* attr) {
            if (const char* v = xmlAttr(attrs, attr))
                if (auto n = parseNumber(v)) valueText_ = formatNumber(*n);
        };
        if (t == "float" || t == "percentage" || t == "currency") {
            number("value");
        } else if (t == "boolean") {
            if (const char* v = xmlAttr(attrs, "boolean-value"))
                valueText_ = std::string_view(v) == "true" || std::string_view(v) == "1" ? "TRUE" : "FALSE";
        } else if (t == "date") {
            if (const char* v = xmlAttr(attrs, "date-value"))
                if (auto serial = parseIsoDateTime(v)) valueText_ = formatNumber(*serial);
        } else if (t == "string") {
            if (const char* v = xmlAttr(attrs, "string-value")) stringValue_ = v;
        } else if (t == "time") {
            if (const char* v = xmlAttr(attrs, "time-value"))
                if (auto days = parseIsoDuration(v)) valueText_ = formatNumber(*days);
        }
    }

    void startInCell(std::string_view name, const char** attrs)
    {
        if (name == "annotation") {
            ++annotation_;
        } else if (annotation_ > 0 || tableDepth_ > 1) {
            return;
        } else if (name == "p" || name == "h") {
            if (paragraphs_++ > 0) addText("\n", 1);
            paragraph_ = true;
        } else if (!paragraph_) {
            return;
        } else if (name == "s") {
            size_t count = repeatCount(xmlAttr(attrs, "c"));
            static const std::string blanks(limits::capturedCellBytes, ' ');
            addText(blanks.data(), std::min(count, blanks.size()));
            if (count > blanks.size()) cut_ = true;
        } else if (name == "tab") {
            addText("\t", 1);
        } else if (name == "line-break") {
            addText("\n", 1);
        }
    }

    void endInCell(std::string_view name)
    {
        if (name == "annotation") {
            --annotation_;
        } else if (annotation_ > 0 || tableDepth_ > 1) {
            return;
        } else if (name == "p" || name == "h") {
            paragraph_ = false;
        } else if (name == "table-cell" || name == "covered-table-cell") {
            inCell_ = false;
            // The stored value where there is one; a text cell (or a formula's text
            // result) is what its paragraphs say.
            std::string_view text = !valueText_.empty() ? valueText_ : paragraphs_ == 0 ? stringValue_ : cellText_;
            // A formula that a script wrote without computing it has neither value nor text.
            const bool noValue = formula_ && text.empty() && !cut_;
            if (BlockBuilder::usedColumn(col_ + 1) && (!text.empty() || cut_ || noValue)) {
                if (text.size() > limits::capturedCellBytes) {
                    text = text.substr(0, limits::capturedCellBytes);
                    cut_ = true;
                }
                bool ok = true;
                std::string cp1253 = BlockBuilder::keep(toCp1253Lossy(text, ok), cut_);
                rowHasText_ = true;
                rowCells_.push_back({col_ + 1, cellRepeat_, std::move(cp1253), !ok, cut_, noValue});
            }
            col_ = std::min(col_ + cellRepeat_, size_t(1) << 41);
        }
    }

    // Beyond what the import can use, a cell's text is only skipped.
    void addText(const char* data, size_t size)
    {
        const size_t room = limits::capturedCellBytes - std::min(cellText_.size(), limits::capturedCellBytes);
        if (size > room) cut_ = true;
        cellText_.append(data, std::min(size, room));
    }

    void endRow()
    {
        if (rowHasText_) {
            for (size_t r = 0; r < rowRepeat_; ++r) {
                size_t row = row_ + 1 + r;
                for (const Cell& cell : rowCells_) {
                    BlockBuilder::checkPosition(row, cell.col + std::min(cell.repeat, limits::maxCols) - 1);
                    if (cell.repeat > limits::maxCols) fail(SheetFault::TooLarge);
                    // Only columns up to T are set; a repeat that runs past them is not walked.
                    const size_t last = std::min(cell.col + cell.repeat - 1, limits::usedCols);
                    for (size_t col = cell.col; col <= last; ++col) {
                        if (cell.noValue) block_.setFormulaWithoutValue(row, col);
                        else if (cell.lossy)
                            block_.setLossyText(row, col, cell.text, cell.cut);
                        else
                            block_.setText(row, col, cell.text, cell.cut);
                    }
                }
            }
        }
        row_ = std::min(row_ + rowRepeat_, size_t(1) << 41);
    }

    BlockBuilder& block_;
    XmlStream*& stream_;
    const HiddenSheetQuestion& askHidden_;
    std::vector<std::string> hiddenStyles_;
    std::string tableStyle_;
    bool firstSeen_ = false, hiddenSkipped_ = false, skipping_ = false, sheetRead_ = false;
    int tableDepth_ = 0;
    int annotation_ = 0;
    bool inCell_ = false, paragraph_ = false, rowHasText_ = false, cut_ = false, formula_ = false;
    size_t row_ = 0, col_ = 0, rowRepeat_ = 1, cellRepeat_ = 1, paragraphs_ = 0;
    std::string cellText_, valueText_, stringValue_;
    std::vector<Cell> rowCells_;
};

}  // namespace

ReadResult readOds(ZipArchive& zip, const HiddenSheetQuestion& askHidden)
{
    if (!zip.contains("mimetype") || !zip.contains("content.xml")) fail(SheetFault::NotSpreadsheet);
    std::string mime = zip.readAll("mimetype", 256);
    while (!mime.empty() && (mime.back() == '\n' || mime.back() == '\r' || mime.back() == ' ')) mime.pop_back();
    if (mime != odsMimeType) fail(SheetFault::NotSpreadsheet);
    // A document saved with a password keeps its parts encrypted, as its manifest says.
    if (zip.contains("META-INF/manifest.xml")) {
        const std::string manifest = zip.readAll("META-INF/manifest.xml", size_t(16) << 20);
        if (manifest.find(":encryption-data") != std::string::npos ||
            manifest.find("<encryption-data") != std::string::npos)
            fail(SheetFault::Protected);
    }

    BlockBuilder block;
    XmlStream* stream = nullptr;
    ContentHandler handler(block, stream, askHidden);
    XmlStream xml(handler);
    stream = &xml;
    bool parsing = true;
    zip.read("content.xml", [&](const char* data, size_t size) {
        if (parsing) parsing = xml.feed(data, size);
        return true;
    });
    if (parsing) xml.finish();
    if (!handler.sheetRead()) {
        if (handler.hiddenSkipped()) fail(SheetFault::NoSheet, {}, noVisibleSheetCause);
        fail(SheetFault::NoSheet);
    }
    return block.finish();
}

}  // namespace edlt::sheet
