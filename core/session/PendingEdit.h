// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The detail line being edited, stored when a command needs it stored, and the checks every
// store of a line runs, as the detail store's hooks before a post and at an insert or edit.
#include <memory>
#include <string>

#include "core/session/UserInterface.h"
#include "core/session/WorkspaceCopies.h"
#include "core/store/FixedWidthTable.h"
#include "core/store/HeaderFields.h"

namespace edlt {

class DetailValidation;
class LineQuestions;
class TotalsLedger;

class PendingEdit : public DataSetObserver {
public:
    PendingEdit(FixedWidthTable& details, WorkspaceCopies& copies, const TotalsLedger& ledger,
                const HeaderFields& header, UserInterface& ui);
    ~PendingEdit() override;
    PendingEdit(const PendingEdit&) = delete;
    PendingEdit& operator=(const PendingEdit&) = delete;

    // Stores the line being edited before a command; false when it was not stored (the user
    // has been told why, and the line is still being edited).
    bool post();
    // Stores it for a command that goes on past the store's own errors; false when the
    // checks refused it (a conversion error among them).
    bool postChecked();
    // Whether the line the checks saw last passed them.
    bool lastLineAccepted() const { return accepted_; }

    bool followsFields() const override { return false; }
    bool beforePost(FixedWidthTable& ds) override { return validate(ds); }
    void newRecord(FixedWidthTable&) override { isNewRecord_ = true; }
    void afterEdit(FixedWidthTable&) override { isNewRecord_ = false; }

private:
    // The line being edited when a command posts it: its state, its typed bytes, the stored
    // line it changes, and where it is or goes.
    struct Line {
        DataSetState state;
        std::string typed;
        std::string stored;
        long position;
    };
    void reopen(const Line& line);
    bool validate(FixedWidthTable& ds);

    FixedWidthTable& details_;
    WorkspaceCopies& copies_;
    const HeaderFields& header_;
    UserInterface& ui_;
    std::unique_ptr<LineQuestions> questions_;
    std::unique_ptr<DetailValidation> validation_;
    bool accepted_ = true;
    bool isNewRecord_ = false;
};

}  // namespace edlt
