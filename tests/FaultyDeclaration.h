// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A declaration file with one fault of each kind the whole-declaration check finds, for
// the core and the window tests alike.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/rules/CheckAFM.h"
#include "core/store/AtomicFile.h"
#include "core/store/DeclarationFile.h"
#include "core/store/DetailRecord.h"
#include "tests/TestUtil.h"

namespace edlt::test {

// A workspace line of the detail layout; amounts in the boxes' decimal form.
inline std::string detailLine(const std::string& afm, const char* surnameUtf8,
                              const std::map<detail::Field, std::string>& changes = {})
{
    std::map<detail::Field, std::string> all = {
        {detail::AFM, afm},           {detail::SurName, G(surnameUtf8)}, {detail::TypeInc, "10"},
        {detail::AkaInc, "1000"},     {detail::Kratiseis, "200"},        {detail::Kathares, "800"},
        {detail::ForosParakr, "100"}, {detail::ForosAnal, "150"},        {detail::Hmeres, "300"}};
    for (const auto& [k, v] : changes) all[k] = v;
    std::string l(detail::RecordSize, ' ');
    l[0] = '3';
    for (const auto& [k, v] : all) {
        std::string value = v;
        value.resize(static_cast<size_t>(detail::fields[k].width), ' ');
        l.replace(static_cast<size_t>(detail::fields[k].offset), value.size(), value);
    }
    return l;
}

// The i-th of a run of tax numbers that pass their check.
inline std::string validAfm(size_t i)
{
    const std::string head = std::to_string(10000000 + i);
    for (char c = '0'; c <= '9'; ++c)
        if (checkAFM(head + c)) return head + c;
    return head + '0';
}

// The lines, in order:
//  1 sound                      5 days "1x0": a conversion error (patched in after writing)
//  2 tax number fails its check 6 the same tax number and income type as line 1
//  3 net pay does not add up    7 income type 17
//  4 both 40 % questions
// then soundLines more, each with its own tax number.
// The header is sound unless withoutName (then the declarant has no name).
inline void writeFaultyDeclaration(const std::filesystem::path& path, bool withoutName = false, size_t soundLines = 0)
{
    std::vector<std::string> lines = {
        detailLine("011111111", "ΑΛΦΑ"),
        detailLine("123456789", "ΒΗΤΑ"),
        detailLine("022222222", "ΓΑΜΜΑ", {{detail::Kathares, "700"}}),
        detailLine("033333333", "ΔΕΛΤΑ", {{detail::ForosParakr, "400"}, {detail::ForosAnal, "400"}}),
        detailLine("044444444", "ΕΨΙΛΟΝ"),
        detailLine("011111111", "ΑΛΦΑ"),
        detailLine("055555555", "ΖΗΤΑ", {{detail::TypeInc, "17"}}),
    };
    for (size_t i = 0; i < soundLines; ++i) lines.push_back(detailLine(validAfm(i), "ΑΛΦΑ"));
    HeaderFields h;
    h.YearOfData = "2023";
    h.AFM = "123456783";
    h.CompanyName = withoutName ? "" : G("ΑΛΦΑ ΑΕ");
    AtomicFileWriter w(path);
    writeDeclarationFile(w, h, TotalsTexts{}, detailLinesOf(lines), "20240115");
    w.commit();
    // Records are 170 bytes and CR LF; three records come before the first line.
    std::string all = readFile(path);
    all.replace((3 + 4) * 172 + static_cast<size_t>(detail::fields[detail::Hmeres].offset), 2, "1x");
    writeFile(path, all);
}

}  // namespace edlt::test
