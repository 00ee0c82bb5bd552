// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/SheetExport.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <locale.h>
#include <sys/file.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include "core/base/Amount.h"
#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/export/ZipWriter.h"
#include "core/store/AtomicFile.h"
#include "core/store/DetailRecord.h"

namespace edlt {
namespace {

using namespace detail;

constexpr const std::array<Field, 20>& columnFields = sheetColumns;

constexpr std::array<const char*, 20> columnTitles = {
    "ΑΦΜ",
    "Επώνυμο",
    "Όνομα",
    "Όνομα πατέρα ή συζύγου",
    "Πόλη",
    "Οδός",
    "Αριθμός",
    "Τ.Κ.",
    "Είδος αποδοχών",
    "Ακαθάριστες αποδοχές",
    "Χαρτόσημο",
    "ΟΓΑ χαρτοσήμου",
    "Κρατήσεις (εκτός φόρου)",
    "Καθαρές αποδοχές",
    "Φόρος που παρακρατήθηκε",
    "Φόρος που αναλογεί",
    "Υποκατάστημα μισθωτού",
    "Ημέρες απασχόλησης",
    "ΟΓΑ φόρου που παρακρατήθηκε",
    "ΟΓΑ φόρου που αναλογεί",
};

constexpr size_t progressEvery = 4096;

// A cell as every kind writes it: text in UTF-8, an amount in cents, days as a whole number.
struct Cell {
    enum class Kind { Empty, Text, Cents, Whole } kind = Kind::Empty;
    std::string text;
    int64_t value = 0;
};
using Row = std::array<Cell, 20>;

// Windows-1253 byte by byte to UTF-8, through a table made once.
void appendUtf8(std::string& out, std::string_view cp)
{
    static const std::array<std::string, 256> table = [] {
        std::array<std::string, 256> t;
        for (int b = 0; b < 256; ++b) t[static_cast<size_t>(b)] = cp1253::toUtf8(std::string(1, static_cast<char>(b)));
        return t;
    }();
    for (char c : cp) {
        if (static_cast<unsigned char>(c) < 0x80) out += c;
        else
            out += table[static_cast<unsigned char>(c)];
    }
}

// Days as a number only where the text is plainly one, so the import gives back the same text.
std::optional<int64_t> plainWhole(std::string_view text)
{
    if (text.empty() || text.size() > 9 || (text[0] == '0' && text.size() > 1)) return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// A line's cells. An amount that is no number stays text: the export never loses what a line holds.
void readRow(std::string_view line, Row& row)
{
    for (size_t c = 0; c < columnFields.size(); ++c) {
        Cell& cell = row[c];
        const Field f = columnFields[c];
        const std::string_view value = fieldValue(line, f);
        cell.text.clear();
        if (value.empty()) {
            cell.kind = Cell::Kind::Empty;
            continue;
        }
        if (isAmount(f)) {
            if (auto amount = Amount::tryParse(value)) {
                cell.kind = Cell::Kind::Cents;
                cell.value = amount->cents();
                continue;
            }
        } else if (f == Hmeres) {
            if (auto days = plainWhole(value)) {
                cell.kind = Cell::Kind::Whole;
                cell.value = *days;
                continue;
            }
        }
        cell.kind = Cell::Kind::Text;
        appendUtf8(cell.text, value);
    }
}

void titlesRow(Row& row)
{
    for (size_t c = 0; c < row.size(); ++c) {
        row[c].kind = Cell::Kind::Text;
        row[c].text = columnTitles[c];
    }
}

// Cents as "-1234.50" (point) or "-1234,50" (comma), always two decimals.
void appendCents(std::string& out, int64_t cents, char point)
{
    const uint64_t magnitude = cents < 0 ? uint64_t(0) - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
    if (cents < 0) out += '-';
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude / 100).ptr;
    const auto n = static_cast<size_t>(end - digits);
    out.append(digits, n);
    out += point;
    out += static_cast<char>('0' + magnitude % 100 / 10);
    out += static_cast<char>('0' + magnitude % 10);
}

// Runs the work, turning any failure into the export's message about path.
template <typename Work>
void framed(const std::filesystem::path& path, Work&& work)
{
    const auto fail = [&](const std::string& cause) {
        throw SheetExportError(exportFailureMessage() + " (" + cp1253::pathText(path) + ": " + cause + ")");
    };
    try {
        work();
    } catch (const SheetExportError&) {
        throw;
    } catch (const WriteError& e) {
        // The writer names the file itself; only its cause is kept.
        std::string cause = e.message();
        std::error_code ec;
        for (const std::filesystem::path& name :
             {path, std::filesystem::absolute(path, ec), std::filesystem::weakly_canonical(path, ec)})
            for (const char* fixed :
                 {"Δεν ήταν δυνατή η εγγραφή του αρχείου %s. ", "Δεν ήταν δυνατή η δημιουργία του αρχείου %s. "}) {
                const std::string prefix = format(cp1253::lit(fixed), {cp1253::pathText(name)});
                if (cause.rfind(prefix, 0) == 0) cause.erase(0, prefix.size());
            }
        fail(cause);
    } catch (const Error& e) {
        fail(e.message());
    } catch (const std::bad_alloc&) {
        fail(systemErrorText(ENOMEM));
    }
}

// .csv: what a Greek spreadsheet opens directly.
void writeCsv(const DetailLines& lines, const std::filesystem::path& path, const SheetExportOptions& options)
{
    AtomicFileWriter out(path);
    std::string buffer = "\xEF\xBB\xBF";
    Row row;
    const auto put = [&] {
        for (size_t c = 0; c < row.size(); ++c) {
            if (c > 0) buffer += ';';
            const Cell& cell = row[c];
            switch (cell.kind) {
            case Cell::Kind::Empty:
                if (!isAmount(columnFields[c]) && columnFields[c] != Hmeres) buffer += "\"\"";
                break;
            case Cell::Kind::Text:
                buffer += '"';
                for (char ch : cell.text) {
                    if (ch == '"') buffer += '"';
                    buffer += ch;
                }
                buffer += '"';
                break;
            case Cell::Kind::Cents: appendCents(buffer, cell.value, ','); break;
            case Cell::Kind::Whole: buffer += std::to_string(cell.value); break;
            }
        }
        buffer += "\r\n";
        if (buffer.size() >= (1 << 16)) {
            out.write(buffer);
            buffer.clear();
        }
    };
    if (options.headings) {
        titlesRow(row);
        put();
    }
    for (size_t i = 0; i < lines.count; ++i) {
        if (options.progress && i % progressEvery == 0) options.progress(i, lines.count);
        readRow(lines.lineAt(i), row);
        put();
    }
    out.write(buffer);
    out.commit();
}

void appendXmlText(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
}

// A paragraph's text with its spaces kept: a space after another, or first, is a <text:s/>.
void appendOdsParagraph(std::string& out, std::string_view text)
{
    out += "<text:p>";
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != ' ') {
            const size_t next = std::min(text.find(' ', i), text.size());
            appendXmlText(out, text.substr(i, next - i));
            i = next;
            continue;
        }
        size_t run = 0;
        while (i + run < text.size() && text[i + run] == ' ') ++run;
        size_t literal = i == 0 ? 0 : 1;
        if (literal) out += ' ';
        if (run > literal) {
            out += "<text:s";
            if (run - literal > 1) out += " text:c=\"" + std::to_string(run - literal) + "\"";
            out += "/>";
        }
        i += run;
    }
    out += "</text:p>";
}

const char* const odsContentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
    "xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\" office:version=\"1.2\">"
    "<office:automatic-styles>"
    "<number:number-style style:name=\"N2\"><number:number number:decimal-places=\"2\" "
    "number:min-decimal-places=\"2\" number:min-integer-digits=\"1\" number:grouping=\"true\"/>"
    "</number:number-style>"
    "<number:text-style style:name=\"N100\"><number:text-content/></number:text-style>"
    "<style:style style:name=\"amount\" style:family=\"table-cell\" style:data-style-name=\"N2\"/>"
    "<style:style style:name=\"text\" style:family=\"table-cell\" style:data-style-name=\"N100\"/>"
    "</office:automatic-styles>"
    "<office:body><office:spreadsheet><table:table table:name=\"";

const char* const odsContentEnd = "</table:table></office:spreadsheet></office:body></office:document-content>";

// content.xml made row by row as the archive reads it.
class OdsContentSource : public ByteSource {
public:
    OdsContentSource(const DetailLines& lines, const SheetExportOptions& options) : lines_(lines), options_(options)
    {
        pending_ = odsContentStart;
        pending_ += "Γραμμές\">";
        // Each column's default style formats its cells, which then need no style of their own.
        for (const Field f : columnFields)
            pending_ += isAmount(f)   ? "<table:table-column table:default-cell-style-name=\"amount\"/>"
                        : f == Hmeres ? "<table:table-column/>"
                                      : "<table:table-column table:default-cell-style-name=\"text\"/>";
        if (options_.headings) {
            titlesRow(row_);
            putRow();
        }
    }

    size_t read(char* buffer, size_t size) override
    {
        while (pending_.size() - taken_ < size && !ended_) more();
        const size_t n = std::min(size, pending_.size() - taken_);
        std::copy_n(pending_.data() + taken_, n, buffer);
        taken_ += n;
        return n;
    }

private:
    void more()
    {
        pending_.erase(0, taken_);
        taken_ = 0;
        const size_t end = std::min(next_ + 256, lines_.count);
        for (; next_ < end; ++next_) {
            if (options_.progress && next_ % progressEvery == 0) options_.progress(next_, lines_.count);
            readRow(lines_.lineAt(next_), row_);
            putRow();
        }
        if (next_ == lines_.count) {
            pending_ += odsContentEnd;
            ended_ = true;
        }
    }

    void putRow()
    {
        std::string& out = pending_;
        out += "<table:table-row>";
        for (const Cell& cell : row_) {
            switch (cell.kind) {
            case Cell::Kind::Empty: out += "<table:table-cell/>"; break;
            case Cell::Kind::Text:
                out += "<table:table-cell office:value-type=\"string\">";
                appendOdsParagraph(out, cell.text);
                out += "</table:table-cell>";
                break;
            case Cell::Kind::Cents:
                out += "<table:table-cell office:value-type=\"float\" office:value=\"";
                appendCents(out, cell.value, '.');
                out += "\"/>";
                break;
            case Cell::Kind::Whole:
                out += "<table:table-cell office:value-type=\"float\" office:value=\"" + std::to_string(cell.value) +
                       "\"/>";
                break;
            }
        }
        out += "</table:table-row>";
    }

    const DetailLines& lines_;
    const SheetExportOptions& options_;
    Row row_;
    std::string pending_;
    size_t taken_ = 0;
    size_t next_ = 0;
    bool ended_ = false;
};

void writeOds(const DetailLines& lines, const std::filesystem::path& path, const SheetExportOptions& options)
{
    StringSource mimetype("application/vnd.oasis.opendocument.spreadsheet");
    StringSource manifest(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
        "manifest:version=\"1.2\">"
        "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" "
        "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
        "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
        "</manifest:manifest>");
    OdsContentSource content(lines, options);
    AtomicFileWriter out(path);
    zipMembers({{"mimetype", &mimetype, true}, {"META-INF/manifest.xml", &manifest}, {"content.xml", &content}},
               dosDateTime(std::time(nullptr)), out, out.target().parent_path());
    out.commit();
}

// Numbers in the sheet's XML need the C locale's point, whatever the program's locale says.
class CNumericLocale {
public:
    CNumericLocale()
    {
        // The rest of the program's locale stays.
        const locale_t base = ::duplocale(LC_GLOBAL_LOCALE);
        if (!base) return;
        c_ = ::newlocale(LC_NUMERIC_MASK, "C", base);
        if (!c_) {
            ::freelocale(base);
            return;
        }
        old_ = ::uselocale(c_);
    }
    ~CNumericLocale()
    {
        if (!c_) return;
        ::uselocale(old_);
        ::freelocale(c_);
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t c_ = static_cast<locale_t>(nullptr);
    locale_t old_ = static_cast<locale_t>(nullptr);
};

// The file libxlsxwriter writes by name, beside the target: locked, so no writer's sweep of
// stale temporaries takes it, and removed at the end.
class NamedTemporary {
public:
    explicit NamedTemporary(const std::filesystem::path& folder)
    {
        std::string pattern = (folder / (std::string(AtomicFileWriter::tempMarker) + "xlsx-XXXXXX")).string();
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd_ < 0) throw Error(systemErrorText(errno));
        ::flock(fd_, LOCK_EX | LOCK_NB);
        path_ = pattern;
    }
    ~NamedTemporary()
    {
        ::unlink(path_.c_str());
        ::close(fd_);
    }
    NamedTemporary(const NamedTemporary&) = delete;
    NamedTemporary& operator=(const NamedTemporary&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    int fd_ = -1;
    std::filesystem::path path_;
};

[[noreturn]] void xlsxFailed(lxw_error error, int savedErrno)
{
    if (savedErrno != 0) throw Error(systemErrorText(savedErrno));
    throw Error(cp1253::lit("σφάλμα της βιβλιοθήκης xlsx: ") + cp1253::pathText(lxw_strerror(error)));
}

void writeXlsx(const DetailLines& lines, const std::filesystem::path& path, const SheetExportOptions& options)
{
    const std::filesystem::path target = AtomicFileWriter::checkedDestination(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    NamedTemporary temporary(folder);
    const CNumericLocale cLocale;

    std::string tmpdir = folder.string();
    lxw_workbook_options workbookOptions{};
    workbookOptions.constant_memory = LXW_TRUE;
    workbookOptions.tmpdir = tmpdir.data();
    errno = 0;
    lxw_workbook* workbook = workbook_new_opt(temporary.path().c_str(), &workbookOptions);
    if (!workbook) xlsxFailed(LXW_ERROR_MEMORY_MALLOC_FAILED, errno);
    lxw_error status = LXW_NO_ERROR;
    int savedErrno = 0;
    try {
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Γραμμές");
        lxw_format* amount = workbook_add_format(workbook);
        format_set_num_format(amount, "#,##0.00");
        lxw_format* text = workbook_add_format(workbook);
        format_set_num_format(text, "@");
        if (!sheet || !amount || !text) xlsxFailed(LXW_ERROR_MEMORY_MALLOC_FAILED, ENOMEM);
        for (size_t c = 0; c < columnFields.size(); ++c) {
            const Field f = columnFields[c];
            const double width = f == SurName || f == Street ? 20 : isAmount(f) ? 14 : 11;
            worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), width,
                                 isAmount(f) || f == Hmeres ? nullptr : text);
        }
        Row row;
        lxw_row_t at = 0;
        const auto put = [&] {
            for (size_t c = 0; c < row.size(); ++c) {
                const Cell& cell = row[c];
                const auto col = static_cast<lxw_col_t>(c);
                lxw_error e = LXW_NO_ERROR;
                switch (cell.kind) {
                case Cell::Kind::Empty: break;
                case Cell::Kind::Text: e = worksheet_write_string(sheet, at, col, cell.text.c_str(), text); break;
                case Cell::Kind::Cents:
                    e = worksheet_write_number(sheet, at, col, static_cast<double>(cell.value) / 100, amount);
                    break;
                case Cell::Kind::Whole:
                    e = worksheet_write_number(sheet, at, col, static_cast<double>(cell.value), nullptr);
                    break;
                }
                if (e != LXW_NO_ERROR) xlsxFailed(e, errno);
            }
            ++at;
        };
        if (options.headings) {
            titlesRow(row);
            put();
        }
        for (size_t i = 0; i < lines.count; ++i) {
            if (options.progress && i % progressEvery == 0) options.progress(i, lines.count);
            readRow(lines.lineAt(i), row);
            put();
        }
    } catch (...) {
        workbook_close(workbook);
        throw;
    }
    errno = 0;
    status = workbook_close(workbook);
    savedErrno = errno;
    if (status != LXW_NO_ERROR) xlsxFailed(status, savedErrno);

    FileSource in(temporary.path());
    AtomicFileWriter out(target);
    std::string buffer(1 << 20, '\0');
    while (size_t n = in.read(buffer.data(), buffer.size())) out.write(std::string_view(buffer.data(), n));
    out.commit();
}

}  // namespace

std::optional<SheetKind> sheetKindOf(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (extension == ".xlsx") return SheetKind::Xlsx;
    if (extension == ".ods") return SheetKind::Ods;
    if (extension == ".csv") return SheetKind::Csv;
    return std::nullopt;
}

std::string exportFailureMessage()
{
    return cp1253::lit("Δεν ήταν δυνατή η εξαγωγή των γραμμών σε λογιστικό φύλλο");
}

void exportLines(const DetailLines& lines, const std::filesystem::path& path, SheetKind kind,
                 const SheetExportOptions& options)
{
    framed(path, [&] {
        const size_t rows = lines.count + (options.headings ? 1 : 0);
        if (kind != SheetKind::Csv && rows > maxSheetRows)
            throw Error(format(cp1253::lit("οι γραμμές είναι περισσότερες από τις %d που χωρά ένα φύλλο"),
                               {std::to_string(maxSheetRows)}));
        switch (kind) {
        case SheetKind::Xlsx: writeXlsx(lines, path, options); break;
        case SheetKind::Ods: writeOds(lines, path, options); break;
        case SheetKind::Csv: writeCsv(lines, path, options); break;
        }
        if (options.progress) options.progress(lines.count, lines.count);
    });
}

}  // namespace edlt
