// SPDX-License-Identifier: GPL-3.0-or-later
// Telling the observers: changes before and after, the hooks, and controls held off.
#include "core/store/FixedWidthTable.h"

#include <algorithm>
#include <array>

namespace edlt {

void FixedWidthTable::addObserver(DataSetObserver* observer)
{
    observers_.push_back(observer);
    if (observer->followsFields()) fieldObservers_.push_back(observer);
}

void FixedWidthTable::removeObserver(DataSetObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
    fieldObservers_.erase(std::remove(fieldObservers_.begin(), fieldObservers_.end(), observer), fieldObservers_.end());
}

void FixedWidthTable::notify(DataSetChange::Kind kind, long index, int field, int32_t id)
{
    notify(DataSetChange{kind, index, field, id});
}

namespace {

// An observer may come or go while told: the ones of this moment are told, from a copy on
// the stack (a post sends a score of these; a heap copy each cost much).
template <typename Tell>
void tellEach(const std::vector<DataSetObserver*>& observers, Tell tell)
{
    const size_t n = observers.size();
    std::array<DataSetObserver*, 8> few;
    std::vector<DataSetObserver*> many;
    DataSetObserver* const* told = few.data();
    if (n <= few.size()) {
        std::copy(observers.begin(), observers.end(), few.begin());
    } else {
        many = observers;
        told = many.data();
    }
    for (size_t i = 0; i < n; ++i) tell(told[i]);
}

// A hook may do much (the totals, the window told of them): an observer one of them
// removed is not run afterwards.
bool stillAmong(const std::vector<DataSetObserver*>& observers, const DataSetObserver* observer)
{
    return std::find(observers.begin(), observers.end(), observer) != observers.end();
}

}  // namespace

void FixedWidthTable::notify(const DataSetChange& change)
{
    tellEach(change.kind == DataSetChange::FieldChanged ? fieldObservers_ : observers_, [&](DataSetObserver* o) {
        if (controlsDisabled_ == 0 || !o->isControl()) o->dataSetChanged(change);
    });
}

void FixedWidthTable::announce(const DataSetChange& change)
{
    tellEach(observers_, [&](DataSetObserver* o) {
        if (controlsDisabled_ == 0 || !o->isControl()) o->dataSetAboutToChange(change);
    });
}

bool FixedWidthTable::postAllowed()
{
    if (checksSuspended_ > 0) return true;
    bool allowed = true;
    tellEach(observers_, [&](DataSetObserver* o) {
        if (allowed && stillAmong(observers_, o)) allowed = o->beforePost(*this);
    });
    return allowed;
}

void FixedWidthTable::runHook(void (DataSetObserver::*hook)(FixedWidthTable&))
{
    tellEach(observers_, [&](DataSetObserver* o) {
        if (stillAmong(observers_, o)) (o->*hook)(*this);
    });
}

void FixedWidthTable::enableControls()
{
    if (controlsDisabled_ == 0 || --controlsDisabled_ > 0) return;
    const DataSetChange reset{DataSetChange::Reset};
    for (DataSetObserver* o : std::vector<DataSetObserver*>(observers_)) {
        if (!o->isControl()) continue;
        o->dataSetAboutToChange(reset);
        o->dataSetChanged(reset);
        o->dataSetChanged({DataSetChange::CursorMoved});
    }
}

void FixedWidthTable::setState(DataSetState state)
{
    if (state_ == state) return;
    DataSetChange change{DataSetChange::StateChanged, state == DataSetState::InsertState ? insertIndex_ : -1};
    change.state = state;
    announce(change);
    state_ = state;
    notify(change);
}

}  // namespace edlt
