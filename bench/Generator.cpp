// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/Generator.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdio>

#include "core/base/Cp1253.h"
#include "core/rules/CheckAFM.h"
#include "core/store/DetailRecord.h"

namespace edlt::bench {
namespace {

const std::vector<std::string>& list(std::initializer_list<std::string_view> utf8, std::vector<std::string>& store)
{
    if (store.empty())
        for (std::string_view s : utf8) store.push_back(cp1253::lit(s));
    return store;
}

const std::vector<std::string>& surnames()
{
    static std::vector<std::string> v;
    return list(
        {"ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΕΩΡΓΙΟΥ",      "ΝΙΚΟΛΑΟΥ",     "ΚΩΝΣΤΑΝΤΙΝΙΔΗΣ", "ΙΩΑΝΝΙΔΟΥ",    "ΔΗΜΗΤΡΙΟΥ", "ΠΑΠΑΝΙΚΟΛΑΟΥ",
         "ΒΑΣΙΛΕΙΟΥ",    "ΑΘΑΝΑΣΙΑΔΗΣ",   "ΧΡΙΣΤΟΔΟΥΛΟΥ", "ΜΙΧΑΗΛΙΔΗΣ",     "ΣΤΑΥΡΟΠΟΥΛΟΥ", "ΑΝΤΩΝΙΟΥ",  "ΚΑΡΑΓΙΑΝΝΗΣ",
         "ΟΙΚΟΝΟΜΟΥ",    "ΘΕΟΔΩΡΟΠΟΥΛΟΣ", "ΑΛΕΞΙΟΥ",      "ΕΥΑΓΓΕΛΟΥ",      "ΜΑΚΡΗ",        "ΖΑΧΑΡΙΑΔΗΣ"},
        v);
}
const std::vector<std::string>& names()
{
    static std::vector<std::string> v;
    return list({"ΓΕΩΡΓΙΟΣ", "ΜΑΡΙΑ", "ΙΩΑΝΝΗΣ", "ΕΛΕΝΗ", "ΚΩΝ/ΝΟΣ", "ΑΙΚΑΤΕΡΙΝΗ", "ΔΗΜΗΤΡΙΟΣ", "ΣΟΦΙΑ", "ΝΙΚΟΛΑΟΣ",
                 "ΑΝΝΑ", "ΠΑΝΑΓΙΩΤΗΣ", "ΔΕΣΠΟΙΝΑ", "ΒΑΣΙΛΕΙΟΣ", "ΧΡΥΣΑ", "ΑΘΑΝΑΣΙΟΣ", "ΕΙΡΗΝΗ"},
                v);
}
const std::vector<std::string>& fathers()
{
    static std::vector<std::string> v;
    return list({"ΓΕΩ", "ΙΩΑ", "ΚΩΝ", "ΔΗΜ", "ΝΙΚ", "ΠΑΝ", "ΒΑΣ", "ΑΘΑ", "ΧΡΗ", "ΜΙΧ", "ΣΠΥ", "ΕΜΜ"}, v);
}
const std::vector<std::string>& cities()
{
    static std::vector<std::string> v;
    return list({"ΑΘΗΝΑ", "ΘΕΣ/ΝΙΚΗ", "ΠΑΤΡΑ", "ΗΡΑΚΛΕΙΟ", "ΛΑΡΙΣΑ", "ΒΟΛΟΣ", "ΙΩΑΝΝΙΝΑ", "ΧΑΝΙΑ", "ΚΑΒΑΛΑ", "ΣΕΡΡΕΣ",
                 "ΚΑΛΑΜΑΤΑ", "ΡΟΔΟΣ"},
                v);
}
const std::vector<std::string>& streets()
{
    static std::vector<std::string> v;
    return list({"ΣΤΑΔΙΟΥ", "ΕΡΜΟΥ", "ΠΑΝΕΠΙΣΤΗΜΙΟΥ", "ΑΚΑΔΗΜΙΑΣ", "ΤΣΙΜΙΣΚΗ", "ΕΓΝΑΤΙΑΣ", "ΚΟΡΙΝΘΟΥ", "25ΗΣ ΜΑΡΤΙΟΥ",
                 "ΒΕΝΙΖΕΛΟΥ", "ΚΑΠΟΔΙΣΤΡΙΟΥ", "ΑΓ. ΔΗΜΗΤΡΙΟΥ", "ΕΛ. ΒΕΝΙΖΕΛΟΥ"},
                v);
}

const std::array<const char*, 14> incomeTypes = {"10", "11", "12", "13", "14", "15", "16",
                                                 "20", "21", "22", "23", "24", "25", "30"};

// Nine digits whose last is the check digit of the first eight (never all zeros).
std::string taxNumber(uint64_t eightDigits)
{
    char d[10];
    std::snprintf(d, sizeof d, "%08llu", static_cast<unsigned long long>(eightDigits % 100000000));
    int sum = 0;
    for (int i = 0; i < 8; ++i) sum += (d[i] - '0') << (8 - i);
    d[8] = static_cast<char>('0' + sum % 11 % 10);
    return std::string(d, 9);
}

void place(std::string& line, detail::Field field, std::string_view value)
{
    const auto& def = detail::fields[field];
    std::copy_n(value.begin(), std::min(value.size(), static_cast<size_t>(def.width)), line.begin() + def.offset);
}

void placeCents(std::string& line, detail::Field field, int64_t cents)
{
    const auto& def = detail::fields[field];
    char buffer[24];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, cents);
    size_t len = static_cast<size_t>(r.ptr - buffer);
    const auto zeros = static_cast<size_t>(def.width) - len;
    std::fill_n(line.begin() + def.offset, zeros, '0');
    std::copy(buffer, r.ptr, line.begin() + def.offset + static_cast<std::ptrdiff_t>(zeros));
}

// Edit1..Edit9 in terms of the detail amounts.
constexpr std::array<detail::Field, 9> totalsFields = {
    detail::AkaInc,  detail::Kratiseis, detail::Kathares,       detail::ForosParakr, detail::Xartosimo,
    detail::OGAXart, detail::ForosAnal, detail::OGAForouParakr, detail::OGAForouAnal};

}  // namespace

DeclarationGenerator::DeclarationGenerator(uint64_t seed, bool importableTypes)
    : rng_(seed), importableTypes_(importableTypes)
{
    header_.YearOfData = "2023";
    header_.AFM = taxNumber(seed % 10000000);  // begins with 0: never one of the payees'
    header_.CompanyName = cp1253::lit("ΒΙΟΜΗΧΑΝΙΑ ΑΛΦΑ ΑΕ");
    header_.AntikeimenoErgasion = cp1253::lit("ΕΜΠΟΡΙΟ ΤΡΟΦΙΜΩΝ");
    header_.Town = cp1253::lit("ΑΘΗΝΑ");
    header_.Street = cp1253::lit("ΠΕΙΡΑΙΩΣ");
    header_.Number = "112";
    header_.TK = "10553";
    header_.business = true;
}

void DeclarationGenerator::startPerson()
{
    // A bijection of the person's index onto 10000000..99999999 keeps tax numbers unique.
    constexpr uint64_t range = 90000000;
    afm_ = taxNumber(10000000 + (personIndex_ * 48271 + 12345) % range);
    ++personIndex_;
    auto pick = [this](const std::vector<std::string>& v) { return v[rng_() % v.size()]; };
    surname_ = pick(surnames());
    name_ = pick(names());
    father_ = pick(fathers());
    city_ = pick(cities());
    street_ = pick(streets());
    streetNo_ = std::to_string(1 + rng_() % 250);
    tk_ = std::to_string(10000 + rng_() % 80000);
    // Most payees have one income type, some two or three, never the same twice.
    size_t kinds = 1 + static_cast<size_t>(rng_() % 10 == 0) + static_cast<size_t>(rng_() % 30 == 0);
    std::array<const char*, 14> codes = incomeTypes;
    // The import takes every type but the last.
    const size_t pool = importableTypes_ ? codes.size() - 1 : codes.size();
    typesLeft_.clear();
    for (size_t i = 0; i < kinds; ++i) {
        size_t j = i + rng_() % (pool - i);
        std::swap(codes[i], codes[j]);
        typesLeft_.push_back(codes[i]);
    }
}

void DeclarationGenerator::nextLine(std::string& fileRecord, std::string& workspaceLine)
{
    if (typesLeft_.empty()) startPerson();
    std::string type = typesLeft_.back();
    typesLeft_.pop_back();

    // Plain modulo rather than a distribution, whose results differ between libraries.
    const int64_t gross = 30000 + static_cast<int64_t>(rng_() % 5970001);
    const int64_t deductions = gross * (100 + static_cast<int64_t>(rng_() % 150)) / 1000;
    const int64_t net = gross - deductions;
    const int64_t taxDue = net * static_cast<int64_t>(rng_() % 41) / 100;  // at most 40 % of net
    const int64_t taxWithheld = taxDue - (rng_() % 4 == 0 ? taxDue / 10 : 0);
    const bool stamped = type[0] == '2' || type == "30";
    const int64_t stamp = stamped ? gross * 36 / 1000 : 0;
    const int64_t stampLevy = stamp / 5;
    const int64_t levyWithheld = rng_() % 8 == 0 ? taxWithheld / 100 : 0;
    const int64_t levyDue = levyWithheld;
    const int days = 1 + static_cast<int>(rng_() % 365);
    const std::string branch = rng_() % 5 == 0 ? std::to_string(1 + rng_() % 20) : "0";

    std::string base(detail::RecordSize, ' ');
    place(base, detail::RecordType, "3");
    place(base, detail::AFM, afm_);
    place(base, detail::SurName, surname_);
    place(base, detail::Name, name_);
    place(base, detail::FatherName, father_);
    place(base, detail::City, city_);
    place(base, detail::Street, street_);
    place(base, detail::StreetNo, streetNo_);
    place(base, detail::TK, tk_);
    place(base, detail::TypeInc, type);
    place(base, detail::Ypokatastima, branch);

    const std::array<std::pair<detail::Field, int64_t>, 9> amounts = {{
        {detail::AkaInc, gross},
        {detail::Xartosimo, stamp},
        {detail::OGAXart, stampLevy},
        {detail::Kratiseis, deductions},
        {detail::Kathares, net},
        {detail::ForosParakr, taxWithheld},
        {detail::ForosAnal, taxDue},
        {detail::OGAForouParakr, levyWithheld},
        {detail::OGAForouAnal, levyDue},
    }};

    fileRecord = base;
    workspaceLine = base;
    for (auto& [field, cents] : amounts) {
        placeCents(fileRecord, field, cents);
        place(workspaceLine, field, centsToDecimalText(cents));
    }
    placeCents(fileRecord, detail::Hmeres, days);
    place(workspaceLine, detail::Hmeres, std::to_string(days));

    if (type != "15" && type != "16")
        for (size_t i = 0; i < totalsFields.size(); ++i)
            for (auto& [field, cents] : amounts)
                if (field == totalsFields[i]) sums_[i] += Amount::fromCents(cents);
}

TotalsTexts DeclarationGenerator::totals() const
{
    TotalsTexts t;
    for (size_t i = 0; i < t.size(); ++i) t[i] = sums_[i].text();
    return t;
}

void writeGeneratedDeclaration(ByteSink& sink, uint64_t seed, size_t count, std::string_view date)
{
    std::string fileRecord, workspaceLine;
    DeclarationGenerator first(seed);
    for (size_t i = 0; i < count; ++i) first.nextLine(fileRecord, workspaceLine);

    auto padded = [](std::string_view v, size_t width) {
        std::string out(v);
        out.resize(width, ' ');
        return out;
    };
    const HeaderFields& h = first.header();
    std::string text = "0JL10    " + std::string(date) + h.YearOfData + std::string(149, ' ') + "\r\n";
    text += "1" + h.YearOfData + padded(h.CompanyName, 18) + std::string(12, ' ') + "0" + h.AFM +
            padded(h.AntikeimenoErgasion, 16) + padded(h.Town, 10) + padded(h.Street, 16) + padded(h.Number, 5) +
            padded(h.TK, 5) + std::string(73, ' ') + "\r\n";
    text += "2";
    if (count == 0) {
        text += std::string(124, '0');
    } else {
        TotalsTexts totals = first.totals();
        for (size_t i = 0; i < totals.size(); ++i) {
            std::string cents = std::to_string(Amount::parse(totals[i]).cents());
            text += std::string(static_cast<size_t>(totalsWidths[i]) - cents.size(), '0') + cents;
        }
    }
    text += std::string(45, ' ') + "\r\n";
    sink.write(text);

    DeclarationGenerator second(seed);
    std::string block;
    for (size_t i = 0; i < count; ++i) {
        second.nextLine(fileRecord, workspaceLine);
        block += fileRecord;
        block += "\r\n";
        if (block.size() >= (1 << 20)) {
            sink.write(block);
            block.clear();
        }
    }
    sink.write(block);
}

std::string generatedWorkspace(uint64_t seed, size_t count)
{
    std::string out;
    out.reserve(count * (detail::RecordSize + 2));
    DeclarationGenerator gen(seed);
    std::string fileRecord, workspaceLine;
    for (size_t i = 0; i < count; ++i) {
        gen.nextLine(fileRecord, workspaceLine);
        out += workspaceLine;
        out += "\r\n";
    }
    return out;
}

DetailLines workspaceView(const std::string& workspace)
{
    constexpr size_t stride = detail::RecordSize + 2;
    return {workspace.size() / stride,
            [&workspace](size_t i) { return std::string_view(workspace).substr(i * stride, detail::RecordSize); }};
}

bool shiftGrossAndPost(FixedWidthTable& ds, int64_t deltaCents)
{
    const Amount delta = Amount::fromCents(deltaCents);
    ds.setFieldValue(detail::AkaInc, (Amount::parse(ds.fieldValue(detail::AkaInc)) + delta).text());
    ds.setFieldValue(detail::Kathares, (Amount::parse(ds.fieldValue(detail::Kathares)) + delta).text());
    return ds.post();
}

bool insertNewLine(FixedWidthTable& ds)
{
    // The generated payees' numbers begin at 1 and the declarant's is another.
    static const std::string afm = [] {
        for (char c = '0'; c <= '9'; ++c)
            if (checkAFM(std::string("00000017") + c)) return std::string("00000017") + c;
        return std::string();
    }();
    ds.insert();
    ds.setFieldValue(detail::AFM, afm);
    ds.setFieldValue(detail::SurName, cp1253::lit("ΝΕΟΣ"));
    ds.setFieldValue(detail::TypeInc, "10");
    ds.setFieldValue(detail::AkaInc, "1500,5");
    ds.setFieldValue(detail::Kratiseis, "300");
    ds.setFieldValue(detail::Kathares, "1200,5");
    ds.setFieldValue(detail::ForosParakr, "120");
    ds.setFieldValue(detail::ForosAnal, "120");
    ds.setFieldValue(detail::Hmeres, "25");
    return ds.post();
}

}  // namespace edlt::bench
