// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/DeclarationSession.h"

#include <ctime>
#include <utility>

#include "core/base/Cp1253.h"
#include "core/base/RunAndReport.h"
#include "core/rules/Messages.h"
#include "core/rules/TotalsLedger.h"
#include "core/session/DeclarationCheck.h"
#include "core/session/UndoHistory.h"
#include "core/store/DetailRecord.h"
#include "core/store/FieldText.h"

namespace edlt {

// Every change to the stored lines marks the declaration modified, deletes included;
// typing is marked by the grid itself (GridKeyTyped). Its hooks take a stored or deleted
// line to the workspace files and the totals.
class DeclarationSession::ModifiedWatch : public DataSetObserver {
public:
    explicit ModifiedWatch(DeclarationSession& s) : s_(s) { s_.details_.addObserver(this); }
    ~ModifiedWatch() override { s_.details_.removeObserver(this); }
    void dataSetChanged(const DataSetChange& c) override
    {
        if (c.kind == DataSetChange::RecordInserted || c.kind == DataSetChange::RecordChanged ||
            c.kind == DataSetChange::RecordRemoved)
            s_.markModified();
    }
    bool followsFields() const override { return false; }
    void afterPost(FixedWidthTable&) override { s_.storedLinesChanged(); }
    void afterDelete(FixedWidthTable&) override { s_.storedLinesChanged(); }

private:
    DeclarationSession& s_;
};

DeclarationSession::DeclarationSession(UserInterface& ui, Options options)
    : ui_(ui), options_(std::move(options)),
      workspace_(options_.workspaceParent.empty() ? options_.programFolder : options_.workspaceParent),
      recovery_(workspace_, options_.lockWorkspace)
{
    for (FixedWidthTable* ds : {&details_, &incomeTypes_, &scratch_}) {
        ds->setFileMustExist(true);
        ds->setReadOnly(false);
        ds->setTrimSpace(true);
    }
    details_.setSchema(detail::schema());
    scratch_.setSchema(detail::schema());
    incomeTypes_.setSchema({"typeinc=2", "Desc=52"});
    details_.setFileName(workspace_.record2());
    scratch_.setFileName(workspace_.record21());
    incomeTypes_.setFileName(options_.programFolder / "Addon" / "typeofinc.txt");

    // The observers of the detail store in the order they are told of a change: the
    // ledger, the modified mark, the workspace journal, the check.
    ledger_ = std::make_unique<TotalsLedger>(details_);
    totals_ = std::make_unique<TotalsDisplay>(details_, *ledger_);
    modifiedWatch_ = std::make_unique<ModifiedWatch>(*this);
    copies_ = std::make_unique<WorkspaceCopies>(details_, workspace_, options_.journalEntryLimit);
    pendingEdit_ = std::make_unique<PendingEdit>(details_, *copies_, *ledger_, header_, ui_);
    checker_ = std::make_unique<DeclarationChecker>(*this);
    details_.addObserver(checker_.get());
    undo_ = std::make_unique<UndoHistory>(details_);
}

DeclarationSession::~DeclarationSession()
{
    // Observers go before the stores they watch.
    undo_.reset();
    details_.removeObserver(checker_.get());
    checker_.reset();
    modifiedWatch_.reset();
    copies_.reset();
    pendingEdit_.reset();
    ledger_.reset();
}

CalendarDate DeclarationSession::today() const
{
    if (options_.today) return options_.today();
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

bool DeclarationSession::guarded(const std::function<void()>& f)
{
    if (runAndReport(f, [this](const std::string& message) { ui_.showError(message); })) return true;
    changed();
    return false;
}

void DeclarationSession::setModified(bool modified)
{
    if (modified) markModified();
    else
        modified_ = false;
}

void DeclarationSession::markModified()
{
    modified_ = true;
    recovery_.markChanged();
}

void DeclarationSession::markUnmodified()
{
    modified_ = false;
    recovery_.markSaved();
}

void DeclarationSession::enableDeclarationCommands()
{
    commandsEnabled_ = true;
    startPanelVisible_ = false;
}

void DeclarationSession::storedLinesChanged()
{
    if (!copies_->deferred()) {
        totals_->countLines();
        changed();  // the count shows while the workspace files are written
    }
    copies_->linesChanged();
    recomputeTotals();
}

void DeclarationSession::recomputeTotals()
{
    if (copies_->deferred()) {
        // Many stores in a row show their outcome once, at the end: the figures are made
        // when they are next read, not after every line.
        totals_->markStale();
        return;
    }
    totals_->build();
    changed();
}

std::optional<std::string> DeclarationSession::unconvertibleAmounts() const
{
    return ledger_->unconvertibleMessage();
}

void DeclarationSession::saveWorkspaceLines()
{
    copies_->saveLines();
    scratch_.close();  // its readers read the file afresh
}

}  // namespace edlt
