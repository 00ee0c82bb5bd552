// .xls through FreeXL. FreeXL has a history of reading past its buffers on crafted files:
// any failure it reports is "not a spreadsheet", and nothing it returns is trusted
// beyond the limits checked here.
#include <freexl.h>

#include <cstdio>
#include <string>

#include "store/Cp1253.h"
#include "tools/sheet/BlockBuilder.h"
#include "tools/sheet/CellText.h"
#include "tools/sheet/Sheet.h"

namespace edlt::sheet {
namespace {

class FreeXlHandle {
public:
    explicit FreeXlHandle(const std::filesystem::path& path)
    {
        status_ = freexl_open(path.c_str(), &handle_);
    }
    ~FreeXlHandle()
    {
        if (handle_) freexl_close(handle_);  // also after a failed open, as FreeXL asks
    }
    FreeXlHandle(const FreeXlHandle&) = delete;
    FreeXlHandle& operator=(const FreeXlHandle&) = delete;

    int status() const { return status_; }
    const void* get() const { return handle_; }

private:
    const void* handle_ = nullptr;
    int status_ = FREEXL_OK;
};

[[noreturn]] void failFreeXl(int status)
{
    if (status == FREEXL_INSUFFICIENT_MEMORY) fail(SheetFault::TooLarge);
    fail(SheetFault::NotSpreadsheet, "FreeXL " + std::to_string(status));
}

// FreeXL hands dates and times over as text; they go back to the numbers the file holds.
std::string dateText(const char* text, int type, bool date1904)
{
    std::optional<double> serial;
    if (text) {
        if (type == FREEXL_CELL_TIME) serial = parseClockTime(text);
        else serial = parseIsoDateTime(text, date1904);
    }
    if (!serial) {
        bool ok = true;
        return text ? toCp1253Lossy(text, ok) : std::string();
    }
    return formatNumber(*serial);
}

}  // namespace

ReadResult readXls(const std::filesystem::path& path)
{
    FreeXlHandle xls(path);
    if (xls.status() != FREEXL_OK) failFreeXl(xls.status());

    unsigned int info = 0;
    if (freexl_get_info(xls.get(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        fail(SheetFault::Protected);
    bool date1904 = freexl_get_info(xls.get(), FREEXL_BIFF_DATEMODE, &info) == FREEXL_OK
                    && info == FREEXL_BIFF_DATEMODE_1904;
    unsigned int sheets = 0;
    if (freexl_get_info(xls.get(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        fail(SheetFault::NotSpreadsheet);
    if (int status = freexl_select_active_worksheet(xls.get(), 0); status != FREEXL_OK) failFreeXl(status);

    unsigned int rows = 0;
    unsigned short cols = 0;
    if (int status = freexl_worksheet_dimensions(xls.get(), &rows, &cols); status != FREEXL_OK)
        failFreeXl(status);
    if (rows > limits::maxRows || cols > limits::maxCols) fail(SheetFault::TooLarge);
    if (rows > 0 && cols > 0 && rows > limits::maxCells / cols) fail(SheetFault::TooLarge);

    BlockBuilder block;
    // The declared rectangle only sizes the block when the file could hold that many
    // cells (a few bytes each at least).
    std::error_code error;
    uintmax_t fileSize = std::filesystem::file_size(path, error);
    if (!error && uintmax_t(rows) * cols <= fileSize / 4) block.reserve(rows, cols);
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue value;
            int status = freexl_get_cell_value(xls.get(), r, c, &value);
            if (status != FREEXL_OK) failFreeXl(status);
            const size_t row = r + 1, col = c + 1;
            switch (value.type) {
            case FREEXL_CELL_NULL: break;
            case FREEXL_CELL_INT: block.setText(row, col, std::to_string(value.value.int_value)); break;
            case FREEXL_CELL_DOUBLE: block.setText(row, col, formatNumber(value.value.double_value)); break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                if (value.value.text_value) block.setUtf8(row, col, value.value.text_value);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                block.setText(row, col, dateText(value.value.text_value, value.type, date1904));
                break;
            default: fail(SheetFault::Corrupt);
            }
        }
    }
    return block.finish();
}

}  // namespace edlt::sheet
