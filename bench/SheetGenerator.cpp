// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/SheetGenerator.h"

#include <zip.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace edlt::bench {
namespace {

const char* const surnames[] = {"ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΕΩΡΓΙΟΥ",  "ΝΙΚΟΛΑΟΥ",     "ΚΩΝΣΤΑΝΤΙΝΙΔΗΣ", "ΙΩΑΝΝΟΥ",
                                "ΑΛΕΞΙΟΥ",      "ΔΗΜΗΤΡΙΟΥ", "ΧΡΙΣΤΟΔΟΥΛΟΥ", "ΜΙΧΑΗΛΙΔΗΣ",     "ΑΘΑΝΑΣΙΟΥ"};
const char* const names[] = {"ΓΙΩΡΓΟΣ", "ΜΑΡΙΑ", "ΝΙΚΟΣ", "ΕΛΕΝΗ", "ΚΩΣΤΑΣ", "ΑΝΝΑ", "ΔΗΜΗΤΡΗΣ", "ΣΟΦΙΑ"};
const char* const cities[] = {"ΑΘΗΝΑ", "ΘΕΣΣΑΛΟΝΙΚΗ", "ΠΑΤΡΑ", "ΗΡΑΚΛΕΙΟ", "ΛΑΡΙΣΑ", "ΒΟΛΟΣ"};
const char* const streets[] = {"ΣΤΑΔΙΟΥ", "ΕΡΜΟΥ", "ΑΚΑΔΗΜΙΑΣ", "ΠΑΝΕΠΙΣΤΗΜΙΟΥ", "ΤΣΙΜΙΣΚΗ", "ΕΓΝΑΤΙΑΣ"};
const char* const types[] = {"10", "11", "12", "13", "14", "20", "21", "22"};

uint64_t mix(uint64_t x)
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    return x ^ (x >> 33);
}

std::string validAfm(uint64_t seed)
{
    std::string afm = std::to_string(10000000 + seed % 89999999);
    int sum = 0;
    for (int i = 0; i < 8; ++i) sum += (afm[static_cast<size_t>(i)] - '0') << (8 - i);
    afm += static_cast<char>('0' + sum % 11 % 10);
    return afm;
}

std::string number(double v)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string columnName(size_t col)
{
    std::string s;
    for (++col; col > 0; col = (col - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (col - 1) % 26));
    return s;
}

void escapeInto(std::string& out, const std::string& text)
{
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else
            out += c;
    }
}

void addEntry(zip_t* zip, const char* name, std::string& data)
{
    zip_source_t* src = zip_source_buffer(zip, data.data(), data.size(), 0);
    if (!src || zip_file_add(zip, name, src, ZIP_FL_ENC_UTF_8) < 0) {
        if (src) zip_source_free(src);
        throw std::runtime_error(std::string("zip: ") + zip_strerror(zip));
    }
}

}  // namespace

SheetRow sheetRow(size_t i)
{
    uint64_t h = mix(i + 1);
    SheetRow r;
    r.text[0] = validAfm(i * 37);  // a different tax number on every row: no duplicates
    r.text[1] = surnames[h % 10];
    r.text[2] = names[(h >> 8) % 8];
    r.text[3] = names[(h >> 16) % 8];
    r.text[4] = cities[(h >> 24) % 6];
    r.text[5] = streets[(h >> 32) % 6];
    r.text[6] = std::to_string(1 + (h >> 40) % 150);
    r.text[7] = std::to_string(10000 + (h >> 20) % 80000);
    r.text[8] = types[(h >> 44) % 8];
    // Whole cents first, so net pay is exactly gross pay less deductions once read back.
    const long grossCents = static_cast<long>(50000 + (h >> 12) % 5000000);
    const long stampCents = grossCents * 24 / 1000;
    const long deductionCents = grossCents * 16 / 100;
    const long netCents = grossCents - deductionCents;
    const long taxCents = netCents / 10;
    double gross = static_cast<double>(grossCents) / 100;
    double stamp = static_cast<double>(stampCents) / 100;
    double deductions = static_cast<double>(deductionCents) / 100;
    double net = static_cast<double>(netCents) / 100;
    double tax = static_cast<double>(taxCents) / 100;
    r.amount[0] = gross;
    r.amount[1] = stamp;
    r.amount[2] = 0;
    r.amount[3] = deductions;
    r.amount[4] = net;
    r.amount[5] = tax;
    r.amount[6] = tax;
    r.branch = (h >> 50) % 4 == 0 ? "ΚΕΝΤΡΙΚΟ" : "";
    r.days = static_cast<int>(1 + (h >> 36) % 365);
    r.levy[0] = 0;
    r.levy[1] = 0;
    return r;
}

void writeLargeXlsx(const std::filesystem::path& path, size_t rows)
{
    std::unordered_map<std::string, size_t> index;
    std::vector<const std::string*> order;
    auto stringIndex = [&](const std::string& s) {
        auto [it, added] = index.emplace(s, index.size());
        if (added) order.push_back(&it->first);
        return it->second;
    };

    std::string sheet;
    sheet.reserve(rows * 700);
    sheet +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<dimension ref=\"A1:T" +
        std::to_string(rows) + "\"/><sheetData>";
    for (size_t i = 0; i < rows; ++i) {
        SheetRow r = sheetRow(i);
        std::string rn = std::to_string(i + 1);
        sheet += "<row r=\"" + rn + "\" spans=\"1:20\">";
        auto textCell = [&](size_t col, const std::string& text) {
            if (text.empty()) return;
            sheet += "<c r=\"" + columnName(col) + rn + "\" t=\"s\"><v>" + std::to_string(stringIndex(text)) +
                     "</v></c>";
        };
        auto numberCell = [&](size_t col, double v) {
            sheet += "<c r=\"" + columnName(col) + rn + "\"><v>" + number(v) + "</v></c>";
        };
        for (size_t c = 0; c < 9; ++c) textCell(c, r.text[c]);
        for (size_t c = 0; c < 7; ++c) numberCell(9 + c, r.amount[c]);
        textCell(16, r.branch);
        numberCell(17, r.days);
        numberCell(18, r.levy[0]);
        numberCell(19, r.levy[1]);
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";

    std::string strings =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" uniqueCount=\"" +
        std::to_string(order.size()) + "\">";
    for (const std::string* s : order) {
        strings += "<si><t>";
        escapeInto(strings, *s);
        strings += "</t></si>";
    }
    strings += "</sst>";

    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::string types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
        "<Override PartName=\"/xl/sharedStrings.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/></Types>";
    std::string rootRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" +
        rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    std::string workbook =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" +
        rel + "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    std::string workbookRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" +
        rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + rel +
        "/sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"rId3\" Type=\"" + rel +
        "/styles\" Target=\"styles.xml\"/></Relationships>";
    std::string styles =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<fonts count=\"1\"><font/></fonts><fills count=\"1\"><fill/></fills>"
        "<borders count=\"1\"><border/></borders><cellStyleXfs count=\"1\"><xf/></cellStyleXfs>"
        "<cellXfs count=\"1\"><xf numFmtId=\"0\"/></cellXfs></styleSheet>";

    std::filesystem::remove(path);
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) throw std::runtime_error("zip_open failed");
    addEntry(zip, "[Content_Types].xml", types);
    addEntry(zip, "_rels/.rels", rootRels);
    addEntry(zip, "xl/workbook.xml", workbook);
    addEntry(zip, "xl/_rels/workbook.xml.rels", workbookRels);
    addEntry(zip, "xl/styles.xml", styles);
    addEntry(zip, "xl/sharedStrings.xml", strings);
    addEntry(zip, "xl/worksheets/sheet1.xml", sheet);
    if (zip_close(zip) != 0) {
        std::string message = zip_strerror(zip);
        zip_discard(zip);
        throw std::runtime_error("zip_close: " + message);
    }
}

bool writeLargeXls(const std::filesystem::path& path, size_t rows)
{
    // The rows go to xlwt as tab-separated text, so that both files hold the same sheet.
    std::filesystem::path data = path;
    data += ".tsv";
    {
        std::ofstream out(data, std::ios::binary);
        for (size_t i = 0; i < rows; ++i) {
            SheetRow r = sheetRow(i);
            for (const std::string& t : r.text) out << 's' << t << '\t';
            for (double v : r.amount) out << 'n' << number(v) << '\t';
            out << 's' << r.branch << "\tn" << r.days << "\tn" << number(r.levy[0]) << "\tn" << number(r.levy[1])
                << '\n';
        }
    }
    std::filesystem::path script = path;
    script += ".py";
    {
        std::ofstream out(script);
        out << "import sys, xlwt\n"
               "wb = xlwt.Workbook(encoding='utf-8')\n"
               "ws = wb.add_sheet('Sheet1')\n"
               "with open(sys.argv[1], encoding='utf-8') as f:\n"
               "    for r, line in enumerate(f):\n"
               "        for c, cell in enumerate(line.rstrip('\\n').split('\\t')):\n"
               "            if cell[1:] == '': continue\n"
               "            ws.write(r, c, cell[1:] if cell[0] == 's' else float(cell[1:]))\n"
               "wb.save(sys.argv[2])\n";
    }
    std::string command = "/usr/bin/python3 '" + script.string() + "' '" + data.string() + "' '" + path.string() +
                          "' 2>/dev/null";
    bool ok = std::system(command.c_str()) == 0;
    std::filesystem::remove(data);
    std::filesystem::remove(script);
    return ok && std::filesystem::exists(path);
}

}  // namespace edlt::bench
