// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// FixedFormatDataSet1BeforePost: the checks every detail line passes before it is
// stored, in their fixed order; the first refusal ends them.
#include <functional>
#include <string>

#include "core/rules/TotalsLedger.h"
#include "core/store/FixedWidthTable.h"

namespace edlt {

// The accepted income-type codes (also "30", which the lookup list does not describe).
bool isAcceptedTypeInc(std::string_view code);

// The fields of the line being checked: the store's edit buffer, or a copy of a stored
// line that the whole-declaration check works on without touching the store.
class LineFields {
public:
    virtual ~LineFields() = default;
    virtual std::string value(int field) const = 0;
    virtual void set(int field, std::string_view value) = 0;
};

// What the checks ask of whoever runs them: the window and the command line show and ask,
// the whole-declaration check records.
class LineQuestions {
public:
    virtual ~LineQuestions() = default;
    // A refusal: a beep and the message.
    virtual void refuse(const std::string& message) = 0;
    // A beep and a yes/no question; false only for no.
    virtual bool confirm(const std::string& question) = 0;
};

class DetailValidation {
public:
    // refreshScratch brings the scratch copy of the stored lines up to date before the
    // duplicate search (it may throw the copy's file errors).
    DetailValidation(LineQuestions& questions, const TotalsLedger& storedLines, std::function<void()> refreshScratch);

    // Runs the checks on the store's edit buffer. Returns true, only when every check
    // passed, to let the store go on; false after a refusal (its message shown).
    // Conversion errors are thrown.
    bool run(FixedWidthTable& ds, const std::string& declarantAfm, bool isNewRecord);
    bool run(LineFields& line, const std::string& declarantAfm, bool isNewRecord);

    // The field the last message (or thrown conversion error) is about; -1 for none.
    int lastField() const { return field_; }

private:
    bool refuse(const std::string& message, int field);
    bool confirm(const std::string& question, int field);

    LineQuestions& questions_;
    const TotalsLedger& stored_;
    std::function<void()> refreshScratch_;
    int field_ = -1;
};

}  // namespace edlt
