#pragma once
// FixedFormatDataSet1BeforePost: the checks every detail line passes before it is
// stored, in their fixed order; the first refusal ends them.
#include <filesystem>
#include <string>

#include "app/UserInterface.h"
#include "entry/TotalsLedger.h"
#include "store/FixedFormatDataSet.h"

namespace edlt {

// The accepted income-type codes (also "30", which the lookup list does not describe).
bool isAcceptedTypeInc(std::string_view code);

class DetailValidation {
public:
    struct Scratch {
        std::filesystem::path record2, record21;  // refreshed before the duplicate search
    };

    DetailValidation(UserInterface& ui, const TotalsLedger& storedLines, Scratch scratch);

    // Runs the checks on the store's edit buffer. Returns true to let the store go on;
    // false after a refusal (its message shown). Conversion errors are thrown.
    // postAccepted is cleared at the start and set only when every check passed.
    bool Run(TFixedFormatDataSet& ds, const std::string& declarantAfm, bool isNewRecord, bool& postAccepted);

private:
    bool refuse(const std::string& message);
    bool confirm(const std::string& question);

    UserInterface& ui_;
    const TotalsLedger& stored_;
    Scratch scratch_;
};

}  // namespace edlt
