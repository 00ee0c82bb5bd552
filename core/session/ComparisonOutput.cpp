// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/ComparisonOutput.h"

#include <array>
#include <string_view>

#include "core/base/Amount.h"
#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/session/ScriptOutput.h"

namespace edlt {

namespace {

using Line = DeclarationComparison::Line;

// Shown text of a field: its bytes without the padding, control bytes as \xHH, in UTF-8.
std::string shown(const Line& line, detail::Field field)
{
    return tsvField(detail::fieldValue(line.text, field));
}

// The amount field summed in each totals box (Edit1..Edit9).
constexpr std::array<detail::Field, 9> totalsFields = [] {
    std::array<detail::Field, 9> out{};
    for (size_t k = 0; k < 9; ++k) out[totalsBoxOfAmount[k]] = detail::amountFields[k];
    return out;
}();

std::string caption(detail::Field field)
{
    return cp1253::toUtf8(fieldCaption(field));
}

std::string signedText(const Amount& amount)
{
    return (amount.units() > 0 ? "+" : "") + cp1253::toUtf8(amount.text());
}

std::string signedCount(size_t from, size_t to)
{
    if (to >= from) return (to > from ? "+" : "") + std::to_string(to - from);
    return "-" + std::to_string(from - to);
}

// One total of both: its caption (UTF-8) and its values.
struct TotalRow {
    std::string caption, key;
    Amount oldAmount, newAmount;
    bool count = false;
    size_t oldCount = 0, newCount = 0;
};

std::array<TotalRow, 11> totalRows(const DeclarationComparison& c)
{
    std::array<TotalRow, 11> rows;
    for (size_t i = 0; i < 9; ++i)
        rows[i] = {caption(totalsFields[i]), totalsKeys[i], c.oldTotals.sums[i], c.newTotals.sums[i]};
    rows[9] = {"Εγγραφές", "lines", {}, {}, true, c.oldTotals.lines, c.newTotals.lines};
    rows[10] = {"Μοναδικοί ΑΦΜ",
                "distinct_tax_numbers",
                {},
                {},
                true,
                c.oldTotals.distinctTaxNumbers,
                c.newTotals.distinctTaxNumbers};
    return rows;
}

// A field's value for people: amounts as they are kept, texts in «».
std::string valueText(const Line& line, detail::Field field)
{
    const std::string text = shown(line, field);
    if (detail::isAmount(field) || field == detail::Hmeres) return text.empty() ? "0" : text;
    return "«" + text + "»";
}

std::string lineHead(const Line& line)
{
    std::string name = shown(line, detail::SurName);
    const std::string given = shown(line, detail::Name);
    if (!given.empty()) name += " " + given;
    return "ΑΦΜ " + shown(line, detail::AFM) + ", Είδος Αποδοχών " + shown(line, detail::TypeInc) + ", " + name;
}

std::string changesText(const DeclarationComparison::Change& change, const char* separator)
{
    std::string out;
    for (detail::Field f : comparedFields()) {
        if (!change.changed(f)) continue;
        if (!out.empty()) out += separator;
        out += caption(f) + ": " + valueText(change.oldLine, f) + " → " + valueText(change.newLine, f);
    }
    return out;
}

// A field's value for programs: amounts with a full stop, the rest as it is.
std::string scriptValue(const Line& line, detail::Field field)
{
    if (detail::isAmount(field)) return decimalPoint(detail::fieldValue(line.text, field));
    return shown(line, field);
}

std::string jsonText(const std::string& utf8)
{
    // The values are UTF-8 already; jsonString reads Windows-1253, so only the escaping is done here.
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string jsonTotals(const std::array<TotalRow, 11>& rows, int which)
{
    std::string out = "{";
    for (const TotalRow& r : rows) {
        if (out.size() > 1) out += ',';
        out += "\"" + r.key + "\":";
        if (r.count) {
            out += which == 0   ? std::to_string(r.oldCount)
                   : which == 1 ? std::to_string(r.newCount)
                                : (r.newCount >= r.oldCount ? "" : "-") + std::to_string(r.newCount >= r.oldCount
                                                                                             ? r.newCount - r.oldCount
                                                                                             : r.oldCount - r.newCount);
        } else {
            const Amount a = which == 0 ? r.oldAmount : which == 1 ? r.newAmount : r.newAmount - r.oldAmount;
            out += "\"" + decimalPoint(a) + "\"";
        }
    }
    return out + "}";
}

std::string jsonLine(const Line& line)
{
    std::string out = "{\"line\":" + std::to_string(line.number) + ",\"fields\":{";
    bool first = true;
    for (size_t f = 0; f < detail::fields.size(); ++f) {
        const auto field = static_cast<detail::Field>(f);
        if (field == detail::RecordType || field == detail::FILLER || field == detail::FILLER2) continue;
        if (!first) out += ',';
        first = false;
        out += std::string("\"") + detail::fields[f].name + "\":" + jsonText(scriptValue(line, field));
    }
    return out + "}}";
}

std::string decimalComma(const Amount& amount)
{
    std::string text = decimalPoint(amount);
    text[text.size() - 3] = ',';
    return text;
}

std::string csvText(const std::string& utf8)
{
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

// A field's value for a spreadsheet: amounts as numbers with the decimal comma, texts quoted.
std::string csvValue(const Line& line, detail::Field field)
{
    if (detail::isAmount(field)) {
        const std::string_view text = detail::fieldValue(line.text, field);
        if (auto a = Amount::tryParse(text.empty() ? "0" : text)) return decimalComma(*a);
    }
    return csvText(shown(line, field));
}

// Text made piece by piece and handed on a block at a time: a comparison of a million
// lines is never whole in memory.
class Output {
public:
    explicit Output(ByteSink& sink) : sink_(sink) {}
    Output& operator+=(std::string_view text)
    {
        text_.append(text);
        if (text_.size() >= blockSize) finish();
        return *this;
    }
    Output& operator+=(char c) { return *this += std::string_view(&c, 1); }
    void finish()
    {
        sink_.write(text_);
        text_.clear();
    }

private:
    static constexpr size_t blockSize = size_t(1) << 16;
    ByteSink& sink_;
    std::string text_;
};

}  // namespace

void writeComparisonText(const DeclarationComparison& c, ByteSink& sink)
{
    Output out(sink);
    out += "Μόνο στην παλιά δήλωση: " + std::to_string(c.onlyOld.size()) + "\n";
    for (const Line& l : c.onlyOld) out += "  γραμμή " + std::to_string(l.number) + ": " + lineHead(l) + "\n";
    out += "Μόνο στη νέα δήλωση: " + std::to_string(c.onlyNew.size()) + "\n";
    for (const Line& l : c.onlyNew) out += "  γραμμή " + std::to_string(l.number) + ": " + lineHead(l) + "\n";
    out += "Με αλλαγές: " + std::to_string(c.changed.size()) + "\n";
    for (const DeclarationComparison::Change& ch : c.changed) {
        out += "  γραμμή " + std::to_string(ch.newLine.number) + " (στην παλιά " + std::to_string(ch.oldLine.number) +
               "): " + lineHead(ch.newLine) + "\n";
        for (detail::Field f : comparedFields())
            if (ch.changed(f))
                out += "    " + caption(f) + ": " + valueText(ch.oldLine, f) + " → " + valueText(ch.newLine, f) + "\n";
    }
    out += "Σύνολα (παλιά → νέα, διαφορά):\n";
    for (const TotalRow& r : totalRows(c)) {
        if (r.count)
            out += "  " + r.caption + ": " + std::to_string(r.oldCount) + " → " + std::to_string(r.newCount) + ", " +
                   signedCount(r.oldCount, r.newCount) + "\n";
        else
            out += "  " + r.caption + ": " + cp1253::toUtf8(r.oldAmount.text()) + " → " +
                   cp1253::toUtf8(r.newAmount.text()) + ", " + signedText(r.newAmount - r.oldAmount) + "\n";
    }
    out.finish();
}

void writeComparisonJson(const DeclarationComparison& c, ByteSink& sink)
{
    Output out(sink);
    out += "{\"only_old\":[";
    for (size_t i = 0; i < c.onlyOld.size(); ++i) out += (i ? "," : "") + jsonLine(c.onlyOld[i]);
    out += "],\"only_new\":[";
    for (size_t i = 0; i < c.onlyNew.size(); ++i) out += (i ? "," : "") + jsonLine(c.onlyNew[i]);
    out += "],\"changed\":[";
    for (size_t i = 0; i < c.changed.size(); ++i) {
        const DeclarationComparison::Change& ch = c.changed[i];
        out += (i ? ",{\"old_line\":" : "{\"old_line\":") + std::to_string(ch.oldLine.number) +
               ",\"new_line\":" + std::to_string(ch.newLine.number) +
               ",\"AFM\":" + jsonText(shown(ch.newLine, detail::AFM)) +
               ",\"TypeInc\":" + jsonText(shown(ch.newLine, detail::TypeInc)) + ",\"changes\":[";
        bool first = true;
        for (detail::Field f : comparedFields()) {
            if (!ch.changed(f)) continue;
            out += std::string(first ? "" : ",") + "{\"field\":\"" + detail::fields[f].name +
                   "\",\"old\":" + jsonText(scriptValue(ch.oldLine, f)) +
                   ",\"new\":" + jsonText(scriptValue(ch.newLine, f)) + "}";
            first = false;
        }
        out += "]}";
    }
    const auto rows = totalRows(c);
    out += "],\"totals\":{\"old\":" + jsonTotals(rows, 0) + ",\"new\":" + jsonTotals(rows, 1) +
           ",\"difference\":" + jsonTotals(rows, 2) + "}}\n";
    out.finish();
}

void writeComparisonTsv(const DeclarationComparison& c, ByteSink& sink)
{
    Output out(sink);
    out += "kind\told_line\tnew_line\tAFM\tTypeInc\tfield\told\tnew\tdifference\n";
    auto key = [](const Line& l) { return shown(l, detail::AFM) + '\t' + shown(l, detail::TypeInc); };
    for (const Line& l : c.onlyOld) out += "only_old\t" + std::to_string(l.number) + "\t\t" + key(l) + "\t\t\t\t\n";
    for (const Line& l : c.onlyNew) out += "only_new\t\t" + std::to_string(l.number) + '\t' + key(l) + "\t\t\t\t\n";
    for (const DeclarationComparison::Change& ch : c.changed)
        for (detail::Field f : comparedFields()) {
            if (!ch.changed(f)) continue;
            std::string difference;
            const auto a = Amount::tryParse(detail::fieldValue(ch.oldLine.text, f));
            const auto b = Amount::tryParse(detail::fieldValue(ch.newLine.text, f));
            if (detail::isAmount(f) && a && b) difference = decimalPoint(*b - *a);
            out += "changed\t" + std::to_string(ch.oldLine.number) + '\t' + std::to_string(ch.newLine.number) + '\t' +
                   key(ch.newLine) + '\t' + detail::fields[f].name + '\t' + scriptValue(ch.oldLine, f) + '\t' +
                   scriptValue(ch.newLine, f) + '\t' + difference + '\n';
        }
    for (const TotalRow& r : totalRows(c)) {
        out += "total\t\t\t\t\t" + r.key + '\t';
        if (r.count)
            out += std::to_string(r.oldCount) + '\t' + std::to_string(r.newCount) + '\t' +
                   signedCount(r.oldCount, r.newCount) + '\n';
        else
            out += decimalPoint(r.oldAmount) + '\t' + decimalPoint(r.newAmount) + '\t' +
                   decimalPoint(r.newAmount - r.oldAmount) + '\n';
    }
    out.finish();
}

void writeComparisonCsv(const DeclarationComparison& c, ByteSink& sink)
{
    Output out(sink);
    out += "\xEF\xBB\xBF";
    auto row = [&out](std::initializer_list<std::string> cells) {
        bool first = true;
        for (const std::string& cell : cells) {
            if (!first) out += ';';
            first = false;
            out += cell;
        }
        out += "\r\n";
    };
    row({csvText("Αποτέλεσμα"), csvText("Γραμμή παλιάς"), csvText("Γραμμή νέας"), csvText("ΑΦΜ"),
         csvText("Είδος Αποδοχών"), csvText("Επώνυμο"), csvText("Πεδίο"), csvText("Παλιά τιμή"), csvText("Νέα τιμή"),
         csvText("Διαφορά")});
    auto kind = [](ComparisonRow::Kind k) { return csvText(comparisonKindText(k)); };
    for (const Line& l : c.onlyOld)
        row({kind(ComparisonRow::Kind::OnlyOld), std::to_string(l.number), "", csvText(shown(l, detail::AFM)),
             csvText(shown(l, detail::TypeInc)), csvText(shown(l, detail::SurName)), "", "", "", ""});
    for (const Line& l : c.onlyNew)
        row({kind(ComparisonRow::Kind::OnlyNew), "", std::to_string(l.number), csvText(shown(l, detail::AFM)),
             csvText(shown(l, detail::TypeInc)), csvText(shown(l, detail::SurName)), "", "", "", ""});
    for (const DeclarationComparison::Change& ch : c.changed)
        for (detail::Field f : comparedFields()) {
            if (!ch.changed(f)) continue;
            std::string difference;
            const auto a = Amount::tryParse(detail::fieldValue(ch.oldLine.text, f));
            const auto b = Amount::tryParse(detail::fieldValue(ch.newLine.text, f));
            if (detail::isAmount(f) && a && b) difference = decimalComma(*b - *a);
            row({kind(ComparisonRow::Kind::Changed), std::to_string(ch.oldLine.number),
                 std::to_string(ch.newLine.number), csvText(shown(ch.newLine, detail::AFM)),
                 csvText(shown(ch.newLine, detail::TypeInc)), csvText(shown(ch.newLine, detail::SurName)),
                 csvText(caption(f)), csvValue(ch.oldLine, f), csvValue(ch.newLine, f), difference});
        }
    for (const TotalRow& r : totalRows(c)) {
        if (r.count)
            row({kind(ComparisonRow::Kind::Total), "", "", "", "", "", csvText(r.caption), std::to_string(r.oldCount),
                 std::to_string(r.newCount), signedCount(r.oldCount, r.newCount)});
        else
            row({kind(ComparisonRow::Kind::Total), "", "", "", "", "", csvText(r.caption), decimalComma(r.oldAmount),
                 decimalComma(r.newAmount), decimalComma(r.newAmount - r.oldAmount)});
    }
    out.finish();
}

size_t comparisonRowCount(const DeclarationComparison& c)
{
    return c.onlyOld.size() + c.onlyNew.size() + c.changed.size() + 11;
}

ComparisonRow comparisonRow(const DeclarationComparison& c, size_t row)
{
    ComparisonRow out;
    auto describe = [&out](const Line& l) {
        out.afm = shown(l, detail::AFM);
        out.typeInc = shown(l, detail::TypeInc);
        out.surname = shown(l, detail::SurName);
    };
    if (row < c.onlyOld.size()) {
        out.kind = ComparisonRow::Kind::OnlyOld;
        out.oldLine = c.onlyOld[row].number;
        describe(c.onlyOld[row]);
        return out;
    }
    row -= c.onlyOld.size();
    if (row < c.onlyNew.size()) {
        out.kind = ComparisonRow::Kind::OnlyNew;
        out.newLine = c.onlyNew[row].number;
        describe(c.onlyNew[row]);
        return out;
    }
    row -= c.onlyNew.size();
    if (row < c.changed.size()) {
        const DeclarationComparison::Change& ch = c.changed[row];
        out.kind = ComparisonRow::Kind::Changed;
        out.oldLine = ch.oldLine.number;
        out.newLine = ch.newLine.number;
        describe(ch.newLine);
        out.details = changesText(ch, "· ");
        return out;
    }
    row -= c.changed.size();
    const auto rows = totalRows(c);
    if (row >= rows.size()) return out;
    const TotalRow& r = rows[row];
    out.details = r.caption + ": " +
                  (r.count ? std::to_string(r.oldCount) + " → " + std::to_string(r.newCount) + ", " +
                                 signedCount(r.oldCount, r.newCount)
                           : cp1253::toUtf8(r.oldAmount.text()) + " → " + cp1253::toUtf8(r.newAmount.text()) + ", " +
                                 signedText(r.newAmount - r.oldAmount));
    return out;
}

const std::string& comparisonKindText(ComparisonRow::Kind kind)
{
    static const std::array<std::string, 4> texts = {"Μόνο στην παλιά", "Μόνο στη νέα", "Αλλαγή", "Σύνολο"};
    return texts[static_cast<size_t>(kind)];
}

std::string comparisonSummary(const DeclarationComparison& c)
{
    if (c.same()) return "Σύγκριση: ίδιες γραμμές";
    return "Σύγκριση: " + std::to_string(c.onlyOld.size()) + " μόνο στην παλιά, " + std::to_string(c.onlyNew.size()) +
           " μόνο στη νέα, " + std::to_string(c.changed.size()) + " με αλλαγές";
}

}  // namespace edlt
