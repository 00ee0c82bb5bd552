// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/DetailValidation.h"

#include <array>

#include "core/base/Amount.h"
#include "core/base/Convert.h"
#include "core/rules/CheckAFM.h"
#include "core/rules/Messages.h"
#include "core/store/DetailRecord.h"

namespace edlt {

using namespace detail;

bool isAcceptedTypeInc(std::string_view code)
{
    static constexpr std::array<std::string_view, 14> codes = {"10", "11", "12", "13", "14", "15", "16",
                                                               "20", "21", "22", "23", "24", "25", "30"};
    for (std::string_view c : codes)
        if (c == code) return true;
    return false;
}

DetailValidation::DetailValidation(LineQuestions& questions, const TotalsLedger& storedLines,
                                   std::function<void()> refreshScratch)
    : questions_(questions), stored_(storedLines), refreshScratch_(std::move(refreshScratch))
{
}

namespace {

class EditBuffer : public LineFields {
public:
    explicit EditBuffer(FixedWidthTable& ds) : ds_(ds) {}
    std::string value(int field) const override { return ds_.fieldValue(field); }
    void set(int field, std::string_view value) override { ds_.setFieldValue(field, value); }

private:
    FixedWidthTable& ds_;
};

}  // namespace

bool DetailValidation::refuse(const std::string& message, int field)
{
    field_ = field;
    questions_.refuse(message);
    return false;
}

bool DetailValidation::confirm(const std::string& question, int field)
{
    field_ = field;
    return questions_.confirm(question);
}

bool DetailValidation::run(FixedWidthTable& ds, const std::string& declarantAfm, bool isNewRecord)
{
    EditBuffer line(ds);
    return run(line, declarantAfm, isNewRecord);
}

bool DetailValidation::run(LineFields& line, const std::string& declarantAfm, bool isNewRecord)
{
    field_ = -1;
    auto value = [&](Field f) { return line.value(static_cast<int>(f)); };

    line.set(FILLER, " ");
    line.set(FILLER2, "    ");
    line.set(RecordType, "3");

    const std::string afm = value(AFM);
    if (afm == declarantAfm && !confirm(msg::sameAsDeclarantQuestion(), AFM)) return false;

    for (Field f : {AFM, AkaInc, Kratiseis, Kathares})
        if (value(f).empty()) return refuse(msg::mandatoryFields(), f);
    if (!checkAFM(afm)) return refuse(msg::badLineAfm(), AFM);
    const std::string typeInc = value(TypeInc);
    if (!isAcceptedTypeInc(typeInc)) return refuse(msg::badTypeInc(), TypeInc);

    if (isNewRecord) {
        // The stored lines are searched through the index the totals keep; the scratch
        // copy is still refreshed so the workspace looks as it always has.
        if (refreshScratch_) refreshScratch_();
        if (stored_.hasPair(afm, typeInc)) return refuse(msg::duplicateLine(afm), AFM);
    }

    for (int f = AkaInc; f <= OGAForouAnal; ++f)
        if (line.value(f).empty()) line.set(f, "0");

    field_ = Hmeres;  // a conversion error below is about this field
    const int32_t days = strToInt(value(Hmeres));
    if (days > 365) return refuse(msg::tooManyDays(), Hmeres);
    // A negative count would be written as four characters and break the record.
    if (days < 0) return refuse(msg::negativeDays(), Hmeres);

    std::array<Amount, 9> amounts;
    for (size_t i = 0; i < amountFields.size(); ++i) {
        const Field f = amountFields[i];
        field_ = f;
        amounts[i] = Amount::parse(value(f));
        const std::string text = amounts[i].text();
        // Never let a value the field cannot hold be cut into a different amount; the
        // message is built only for such a value (a million lines are checked at a time).
        if (!amountFits(amounts[i], text, fields[f].width))
            return refuse(*amountWriteProblem(amounts[i], fields[f].width, amountCaption(f)), f);
        line.set(f, text);
        amounts[i] = Amount::fromCents(amounts[i].cents());
    }
    field_ = -1;
    const Amount G = amounts[0], X = amounts[1], L = amounts[2], K = amounts[3], N = amounts[4];
    const Amount W = amounts[5], A = amounts[6], OW = amounts[7], OA = amounts[8];

    const Amount D = G - K;
    if (D != N) return refuse(msg::netPayMismatch(), Kathares);
    if (D < Amount()) return refuse(msg::deductionsAboveGross(), Kratiseis);
    if (X > G) return refuse(msg::stampDutyAboveGross(), Xartosimo);
    if (L > G) return refuse(msg::stampLevyAboveGross(), OGAXart);
    if (W > G) return refuse(msg::withheldAboveGross(), ForosParakr);
    if (A > G) return refuse(msg::dueAboveGross(), ForosAnal);
    if (W > A && !confirm(msg::withheldAboveDueQuestion(), ForosParakr)) return false;
    if (Amount::compareScaled(W, N, 40, 100) > 0 && !confirm(msg::withheldAbove40Question(), ForosParakr)) return false;
    if (Amount::compareScaled(A, N, 40, 100) > 0 && !confirm(msg::dueAbove40Question(), ForosAnal)) return false;
    if (OW > G) return refuse(msg::levyWithheldAboveGross(), OGAForouParakr);
    if (OA > G) return refuse(msg::levyDueAboveGross(), OGAForouAnal);

    return true;
}

}  // namespace edlt
