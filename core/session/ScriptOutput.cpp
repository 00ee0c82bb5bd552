// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/ScriptOutput.h"

#include <cstdint>

#include "core/base/Cp1253.h"
#include "core/base/Text.h"
#include "core/rules/TotalsLedger.h"
#include "core/store/DetailRecord.h"

namespace edlt {

namespace {

constexpr char hexDigits[] = "0123456789ABCDEF";

const char* headerFieldKey(HeaderField field)
{
    switch (field) {
    case HeaderField::YearOfData: return "YearOfData";
    case HeaderField::AFM: return "AFM";
    case HeaderField::AntikeimenoErgasion: return "AntikeimenoErgasion";
    case HeaderField::CompanyName: return "CompanyName";
    case HeaderField::Name: return "Name";
    case HeaderField::FatherName: return "FatherName";
    case HeaderField::Town: return "Town";
    case HeaderField::Street: return "Street";
    case HeaderField::Number: return "Number";
    case HeaderField::TK: break;
    }
    return "TK";
}

}  // namespace

TotalsSummary totalsSummary(const TotalsLedger& ledger, size_t lines)
{
    TotalsSummary out;
    const std::array<Amount, 9> sums = ledger.sums();
    for (size_t i = 0; i < sums.size(); ++i) out.sums[totalsBoxOfAmount[i]] = sums[i];
    out.lines = lines;
    out.distinctTaxNumbers = ledger.distinctTaxNumbers();
    return out;
}

std::string jsonString(std::string_view cp1253Text)
{
    const std::string utf8 = cp1253::toUtf8(cp1253Text);
    std::string out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b == 0x7F) {
            out += "\\u00";
            out += hexDigits[b >> 4];
            out += hexDigits[b & 15];
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string tsvField(std::string_view cp1253Text)
{
    std::string shown;
    shown.reserve(cp1253Text.size());
    for (char c : cp1253Text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            shown += "\\x";
            shown += hexDigits[b >> 4];
            shown += hexDigits[b & 15];
        } else {
            shown += c;
        }
    }
    return cp1253::toUtf8(shown);
}

std::string decimalPoint(const Amount& amount)
{
    const int64_t cents = amount.cents();
    const uint64_t size = cents < 0 ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
    std::string out = cents < 0 ? "-" : "";
    out += std::to_string(size / 100) + '.';
    out += static_cast<char>('0' + size % 100 / 10);
    out += static_cast<char>('0' + size % 10);
    return out;
}

std::string decimalPoint(std::string_view cp1253Amount)
{
    const std::string_view text = trimRight(cp1253Amount);
    if (text.empty()) return "0.00";
    if (auto a = Amount::tryParse(text)) return decimalPoint(*a);
    return cp1253::toUtf8(text);
}

const char* findingKindKey(const CheckFinding& finding)
{
    if (finding.conversion) return "conversion";
    return finding.question ? "question" : "refusal";
}

const char* findingFieldKey(const CheckFinding& finding)
{
    if (finding.headerField) return headerFieldKey(*finding.headerField);
    if (finding.field >= 0 && finding.field < detail::FieldCount)
        return detail::fields[static_cast<size_t>(finding.field)].name;
    return "";
}

std::string findingsJson(const CheckResult& result)
{
    std::string out = "{\"findings\":[";
    bool first = true;
    for (const CheckFinding& f : result.findings) {
        if (!first) out += ',';
        first = false;
        out += "{\"line\":" + std::to_string(f.line) + ",\"field\":\"" + findingFieldKey(f) + "\",\"kind\":\"" +
               findingKindKey(f) + "\",\"message\":" + jsonString(f.message) + '}';
    }
    out += "],\"refused_lines\":" + std::to_string(result.refusedLines()) +
           ",\"questions\":" + std::to_string(result.questions()) + "}\n";
    return out;
}

std::string findingsTsv(const CheckResult& result)
{
    std::string out = "line\tfield\tkind\tmessage\n";
    for (const CheckFinding& f : result.findings)
        out += std::to_string(f.line) + '\t' + findingFieldKey(f) + '\t' + findingKindKey(f) + '\t' +
               tsvField(f.message) + '\n';
    return out;
}

std::string totalsJson(const TotalsSummary& totals)
{
    std::string out = "{";
    for (size_t i = 0; i < totals.sums.size(); ++i)
        out += std::string("\"") + totalsKeys[i] + "\":\"" + decimalPoint(totals.sums[i]) + "\",";
    out += "\"lines\":" + std::to_string(totals.lines) +
           ",\"distinct_tax_numbers\":" + std::to_string(totals.distinctTaxNumbers) + "}\n";
    return out;
}

std::string totalsTsv(const TotalsSummary& totals)
{
    std::string out = "key\tvalue\n";
    for (size_t i = 0; i < totals.sums.size(); ++i)
        out += std::string(totalsKeys[i]) + '\t' + decimalPoint(totals.sums[i]) + '\n';
    out += "lines\t" + std::to_string(totals.lines) + '\n';
    out += "distinct_tax_numbers\t" + std::to_string(totals.distinctTaxNumbers) + '\n';
    return out;
}

}  // namespace edlt
