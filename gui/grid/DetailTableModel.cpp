// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/DetailTableModel.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "core/base/Error.h"
#include "core/store/DetailRecord.h"
#include "gui/grid/CellText.h"

namespace edlt::ui {

static_assert(DetailTableModel::ColumnCount == GridColumnCount);
static_assert(DetailTableModel::ColTypeInc == TypeIncColumn && DetailTableModel::ColAkaInc == AkaIncColumn &&
              DetailTableModel::ColKathares == KatharesColumn);

DetailTableModel::DetailTableModel(FixedWidthTable& store, QObject* parent) : QAbstractTableModel(parent), store_(store)
{
    shown_ = storeLayout();
    store_.addObserver(this);
}

DetailTableModel::~DetailTableModel()
{
    store_.removeObserver(this);
}

int DetailTableModel::fieldOf(int column)
{
    return detailGridColumns().at(static_cast<size_t>(column)).field;
}

int DetailTableModel::columnOf(int field)
{
    const auto& columns = detailGridColumns();
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].field == field) return static_cast<int>(i);
    return -1;
}

int DetailTableModel::fieldWidth(int column)
{
    return detail::fields[static_cast<size_t>(fieldOf(column))].width;
}

DetailTableModel::Layout DetailTableModel::storeLayout() const
{
    Layout l;
    if (!store_.active()) return l;
    const long n = std::min<long>(store_.countRecords(), INT_MAX - 1);
    if (store_.state() == DataSetState::InsertState) {
        l.insertRow = static_cast<int>(std::clamp<long>(store_.insertIndex(), 0, n));
        l.rows = static_cast<int>(n) + 1;
    } else if (n == 0) {
        l.empty = true;
        l.rows = 1;
    } else {
        l.rows = static_cast<int>(n);
    }
    return l;
}

long DetailTableModel::lineOfRow(int row) const
{
    if (row < 0 || row >= shown_.rows || shown_.empty) return -1;
    if (row == shown_.insertRow) return -1;
    long line = row;
    if (shown_.insertRow >= 0 && row > shown_.insertRow) --line;
    return line;
}

int DetailTableModel::rowOfLine(long line) const
{
    long row = line;
    if (shown_.insertRow >= 0 && line >= shown_.insertRow) ++row;
    return static_cast<int>(std::min<long>(row, INT_MAX));
}

bool DetailTableModel::editing() const
{
    return store_.state() == DataSetState::EditState || store_.state() == DataSetState::InsertState;
}

bool DetailTableModel::onUntouchedNewRow() const
{
    return store_.active() && store_.state() == DataSetState::InsertState && !store_.modified();
}

bool DetailTableModel::isBufferRow(int row) const
{
    if (row == shown_.insertRow) return true;
    return store_.state() == DataSetState::EditState && row == rowOfLine(store_.cursor());
}

int DetailTableModel::currentRow() const
{
    if (!store_.active() || shown_.rows == 0) return -1;
    if (shown_.insertRow >= 0) return shown_.insertRow;
    if (shown_.empty) return 0;
    return std::clamp(rowOfLine(std::max(store_.cursor(), 0L)), 0, shown_.rows - 1);
}

std::string DetailTableModel::cellText(int row, int column) const
{
    if (!store_.active()) return {};
    const int field = fieldOf(column);
    if (isBufferRow(row)) return editing() ? store_.fieldValue(field) : std::string();
    const long line = lineOfRow(row);
    if (line < 0 || line >= store_.countRecords()) return {};
    return store_.fieldValueAt(static_cast<size_t>(line), field);
}

int DetailTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_.rows;
}

int DetailTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DetailTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return cellString(cellText(index.row(), index.column()));
}

QVariant DetailTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
        return cellString(columnTitle(section));
    }
    if (role == LineNumberRole) {
        const long line = lineOfRow(section);
        return line < 0 ? QVariant() : QVariant(static_cast<qlonglong>(line + 1));
    }
    if (role != MarkerRole || section < 0 || section >= shown_.rows) return {};
    if (section != currentRow()) return NoMarker;
    switch (store_.state()) {
    case DataSetState::InsertState: return InsertMarker;
    case DataSetState::EditState: return EditMarker;
    default: return CurrentMarker;
    }
}

Qt::ItemFlags DetailTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    // The income type is chosen in the lookup box laid over its cell.
    if (index.column() != ColTypeInc && !store_.readOnly()) f |= Qt::ItemIsEditable;
    return f;
}

bool DetailTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() != currentRow()) return false;
    std::string bytes;
    for (QChar c : value.toString()) {
        std::optional<char> b = cellByte(c);
        if (!b) return false;
        bytes += *b;
    }
    try {
        if (!editing()) store_.edit();
        store_.setFieldValue(fieldOf(index.column()), bytes);
    } catch (const Error& e) {
        emit errorRaised(e.message());
        return false;
    }
    return true;
}

bool DetailTableModel::moveToRow(int row)
{
    if (row == currentRow()) return true;
    const long line = lineOfRow(row);
    if (line < 0 || line >= store_.countRecords()) return true;
    if (!editing()) return store_.setRecordNumber(line + 1);
    // By the line's id: posting a pending new line before it shifts its position.
    return store_.gotoBookmark(store_.lineIdAt(static_cast<size_t>(line)));
}

void DetailTableModel::appendAtEnd()
{
    if (!store_.active()) return;
    if (onUntouchedNewRow() && shown_.insertRow == shown_.rows - 1) return;
    store_.appendNew();
}

void DetailTableModel::insert()
{
    if (store_.active()) store_.insert();
}

void DetailTableModel::cancel()
{
    if (store_.active()) store_.Cancel();
}

bool DetailTableModel::canDelete() const
{
    return store_.active() && !store_.readOnly() &&
           (store_.countRecords() > 0 || store_.state() == DataSetState::InsertState);
}

void DetailTableModel::deleteCurrent()
{
    if (canDelete()) store_.deleteRecord();
}

void DetailTableModel::post()
{
    if (store_.active() && editing()) store_.post();
}

// The store announces each change to its rows before making it: the view is told then,
// while rows still mean the lines they showed, and again once the change is made.
void DetailTableModel::dataSetAboutToChange(const DataSetChange& change)
{
    notifying_ = true;
    switch (change.kind) {
    case DataSetChange::Reset:
        beginResetModel();
        pending_ = PendingReset;
        break;
    case DataSetChange::StateChanged:
        if (shown_.insertRow < 0 && change.state == DataSetState::InsertState && !shown_.empty) {
            const int row = static_cast<int>(std::clamp<long>(change.index, 0, shown_.rows));
            beginInsertRows({}, row, row);
            pending_ = PendingInsert;
        } else if (shown_.insertRow >= 0 && change.state != DataSetState::InsertState && store_.countRecords() > 0) {
            beginRemoveRows({}, shown_.insertRow, shown_.insertRow);
            pending_ = PendingRemove;
        }
        break;
    case DataSetChange::RecordRemoved:
        // The last line leaves the empty row in its place.
        if (shown_.insertRow < 0 && store_.countRecords() > 1) {
            const int row = rowOfLine(change.index);
            beginRemoveRows({}, row, row);
            pending_ = PendingRemove;
        }
        break;
    default:
        // A posted new line takes the pending row's place; the other changes keep the rows.
        break;
    }
    notifying_ = false;
}

void DetailTableModel::dataSetChanged(const DataSetChange& change)
{
    notifying_ = true;
    const Layout now = storeLayout();
    // A change that was not announced, or that did not turn out as announced, starts over.
    if (pending_ == NothingPending && (change.kind == DataSetChange::Reset || now.rows != shown_.rows)) {
        beginResetModel();
        pending_ = PendingReset;
    }
    shown_ = now;
    const Pending pending = std::exchange(pending_, NothingPending);
    switch (pending) {
    case PendingReset:
        markedRow_ = -1;
        endResetModel();
        break;
    case PendingInsert: endInsertRows(); break;
    case PendingRemove: endRemoveRows(); break;
    case NothingPending: break;
    }
    if (pending == NothingPending) {
        switch (change.kind) {
        case DataSetChange::StateChanged:
        case DataSetChange::RecordRemoved: rowChanged(currentRow()); break;
        case DataSetChange::RecordInserted:
        case DataSetChange::RecordChanged: rowChanged(rowOfLine(change.index)); break;
        case DataSetChange::FieldChanged:
            if (change.field < 0) {
                rowChanged(currentRow());
                break;
            }
            if (const int column = columnOf(change.field), row = currentRow(); column >= 0 && row >= 0) {
                const QModelIndex cell = index(row, column);
                emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole});
            }
            break;
        default: break;
        }
    }
    notifying_ = false;
    markersChanged();
    emit storeCursorChanged();
}

void DetailTableModel::rowChanged(int row)
{
    if (row < 0 || row >= shown_.rows) return;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole, Qt::EditRole});
}

void DetailTableModel::markersChanged()
{
    const int now = currentRow();
    if (markedRow_ >= 0 && markedRow_ < shown_.rows && markedRow_ != now)
        emit headerDataChanged(Qt::Vertical, markedRow_, markedRow_);
    if (now >= 0) emit headerDataChanged(Qt::Vertical, now, now);
    markedRow_ = now;
}

}  // namespace edlt::ui
