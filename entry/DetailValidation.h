#pragma once
// FixedFormatDataSet1BeforePost: the checks every detail line passes before it is
// stored, in their fixed order; the first refusal ends them.
#include <functional>
#include <string>

#include "app/UserInterface.h"
#include "entry/TotalsLedger.h"
#include "store/FixedFormatDataSet.h"

namespace edlt {

// The accepted income-type codes (also "30", which the lookup list does not describe).
bool isAcceptedTypeInc(std::string_view code);

class DetailValidation {
public:
    // refreshScratch brings the scratch copy of the stored lines up to date before the
    // duplicate search (it may throw the copy's file errors).
    DetailValidation(UserInterface& ui, const TotalsLedger& storedLines, std::function<void()> refreshScratch);

    // Runs the checks on the store's edit buffer. Returns true to let the store go on;
    // false after a refusal (its message shown). Conversion errors are thrown.
    // postAccepted is cleared at the start and set only when every check passed.
    bool Run(TFixedFormatDataSet& ds, const std::string& declarantAfm, bool isNewRecord, bool& postAccepted);

private:
    bool refuse(const std::string& message);
    bool confirm(const std::string& question);

    UserInterface& ui_;
    const TotalsLedger& stored_;
    std::function<void()> refreshScratch_;
};

}  // namespace edlt
