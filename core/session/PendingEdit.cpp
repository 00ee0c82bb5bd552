// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/PendingEdit.h"

#include <string_view>
#include <utility>

#include "core/base/Error.h"
#include "core/rules/DetailValidation.h"

namespace edlt {

namespace {

// Sets every field of the edit buffer to its bytes in a whole line.
void setLineFields(FixedWidthTable& ds, std::string_view line)
{
    for (const FixedWidthTable::FieldInfo& f : ds.Fields())
        if (static_cast<size_t>(f.offset) < line.size())
            ds.setFieldValue(static_cast<int>(&f - ds.Fields().data()),
                             line.substr(static_cast<size_t>(f.offset), static_cast<size_t>(f.width)));
}

// The line checks refuse and ask through the user interface, with a beep first.
class AskingLineQuestions : public LineQuestions {
public:
    explicit AskingLineQuestions(UserInterface& ui) : ui_(ui) {}
    void refuse(const std::string& message) override
    {
        ui_.beep();
        ui_.showNotice(message);
    }
    bool confirm(const std::string& question) override
    {
        ui_.beep();
        return askYesNo(ui_, question) != Answer::No;
    }

private:
    UserInterface& ui_;
};

}  // namespace

PendingEdit::PendingEdit(FixedWidthTable& details, WorkspaceCopies& copies, const TotalsLedger& ledger,
                         const HeaderFields& header, UserInterface& ui)
    : details_(details), copies_(copies), header_(header), ui_(ui),
      questions_(std::make_unique<AskingLineQuestions>(ui)),
      validation_(std::make_unique<DetailValidation>(*questions_, ledger, [this] { copies_.refreshScratch(); }))
{
    details_.addObserver(this);
}

PendingEdit::~PendingEdit()
{
    details_.removeObserver(this);
}

bool PendingEdit::post()
{
    accepted_ = true;
    FixedWidthTable& ds = details_;
    const DataSetState state = ds.state();
    // Nothing being edited: the store's "not in edit or insert mode" is not worth a word.
    if (state != DataSetState::EditState && state != DataSetState::InsertState) return true;
    Line line{
        state, std::string(ds.currentText()), {}, state == DataSetState::EditState ? ds.cursor() : ds.insertIndex()};
    if (state == DataSetState::EditState) line.stored = std::string(ds.lineAt(static_cast<size_t>(ds.cursor())));
    try {
        ds.post();  // a refusal shows its own message and clears accepted_
    } catch (const Error& e) {
        // A conversion error, or a workspace file that could not be written (the line is
        // then in the store already): the user is told, and keeps editing the line.
        accepted_ = false;
        if (ds.state() == DataSetState::Browse) reopen(line);
        ui_.showError(e.message());
        ui_.focusDetailLine();
    }
    return accepted_;
}

void PendingEdit::reopen(const Line& line)
{
    FixedWidthTable& ds = details_;
    {
        // The line was checked already; undoing its post writes no workspace file until the
        // end, which writes the stored lines again over what a half-done write may have left.
        WorkspaceCopies::Deferral deferral(copies_);
        const ChecksSuspended unchecked(ds);
        if (line.state == DataSetState::EditState) {
            ds.edit();
            setLineFields(ds, line.stored);
            ds.post();
            ds.edit();
        } else {
            ds.deleteRecord();
            if (line.position >= ds.countRecords()) {
                ds.appendNew();
            } else {
                ds.setRecordNumber(line.position + 1);
                ds.insert();
            }
        }
        setLineFields(ds, line.typed);
    }
    ui_.sessionChanged();
}

bool PendingEdit::postChecked()
{
    accepted_ = true;
    try {
        details_.post();
    } catch (const Error&) {
        // A conversion error leaves accepted_ clear; the totals' own errors do not.
    }
    return accepted_;
}

bool PendingEdit::validate(FixedWidthTable& ds)
{
    accepted_ = false;  // also when the checks throw
    accepted_ = validation_->run(ds, header_.AFM, isNewRecord_);
    if (!accepted_ && validation_->lastField() >= 0) ui_.focusDetailField(validation_->lastField());
    return accepted_;
}

}  // namespace edlt
