// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Large, realistic declarations for the benchmarks: Greek names, valid tax numbers, amounts
// that pass the line rules (net = gross - deductions; stamp duty and taxes within gross;
// tax within 40 % of net and not above tax due; days up to 365), accepted income types, and
// no (AFM, TypeInc) pair twice. The same seed gives the same declaration.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Amount.h"
#include "core/base/ByteStream.h"
#include "core/store/DeclarationFile.h"
#include "core/store/FixedWidthTable.h"

namespace edlt::bench {

class DeclarationGenerator {
public:
    // importableTypes: only the income types the spreadsheet import accepts.
    explicit DeclarationGenerator(uint64_t seed, bool importableTypes = false);

    const HeaderFields& header() const { return header_; }
    // The next detail line in both forms, 170 bytes each, without a line break.
    void nextLine(std::string& fileRecord, std::string& workspaceLine);
    // The totals boxes for the lines generated so far (income types 15 and 16 left out).
    TotalsTexts totals() const;

private:
    void startPerson();

    std::mt19937_64 rng_;
    bool importableTypes_;
    HeaderFields header_;
    uint64_t personIndex_ = 0;
    std::string afm_, surname_, name_, father_, city_, street_, streetNo_, tk_;
    std::vector<std::string> typesLeft_;  // income types still to give the current person
    std::array<Amount, 9> sums_{};        // Edit1..Edit9
};

// Streams a whole declaration file of count detail lines to sink: the generator runs once
// for the totals and once more for the lines, so memory stays small whatever the count.
void writeGeneratedDeclaration(ByteSink& sink, uint64_t seed, size_t count, std::string_view date);

// The workspace lines of the same declaration, each followed by CR LF, in one string.
std::string generatedWorkspace(uint64_t seed, size_t count);

// The view of such a string as detail lines (each 170 bytes plus CR LF).
DetailLines workspaceView(const std::string& workspace);

// Adds delta cents to gross and net pay of the line in editing, which keeps every rule of
// the line, and posts it; false when the post was refused.
bool shiftGrossAndPost(FixedWidthTable& ds, int64_t deltaCents);

// Inserts before the current line a line whose tax number no generated payee has, and posts it.
bool insertNewLine(FixedWidthTable& ds);

}  // namespace edlt::bench
