// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/IncomeTypeCombo.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>

#include "gui/grid/CellText.h"

namespace edlt::ui {

IncomeTypeListModel::IncomeTypeListModel(FixedWidthTable& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list)
{
    list_.addObserver(this);
}

IncomeTypeListModel::~IncomeTypeListModel()
{
    list_.removeObserver(this);
}

void IncomeTypeListModel::dataSetChanged(const DataSetChange& change)
{
    // The list is only read: opening or closing it is all that changes it.
    if (change.kind == DataSetChange::Reset) {
        beginResetModel();
        endResetModel();
    }
}

int IncomeTypeListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !list_.active()) return 0;
    return static_cast<int>(std::min<long>(list_.countRecords(), 10000));
}

int IncomeTypeListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

std::string IncomeTypeListModel::code(int row) const
{
    if (row < 0 || row >= rowCount() || list_.Fields().empty()) return {};
    return list_.fieldValueAt(static_cast<size_t>(row), 0);
}

QVariant IncomeTypeListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount()) return {};
    if (index.column() >= static_cast<int>(list_.Fields().size())) return QString();
    return cellString(list_.fieldValueAt(static_cast<size_t>(index.row()), index.column()));
}

IncomeTypeCombo::IncomeTypeCombo(IncomeTypeListModel* list, QWidget* parent) : QComboBox(parent), list_(list)
{
    auto* view = new QTableView(this);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->setShowGrid(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setWordWrap(false);
    view->setMinimumWidth(DropDownWidth);
    setModel(list);
    setView(view);
    setModelColumn(0);
    view->setColumnWidth(0, 28);
    view->horizontalHeader()->setStretchLastSection(true);
    view->verticalHeader()->setDefaultSectionSize(17);
    setMaxVisibleItems(14);
    connect(this, &QComboBox::activated, this, [this](int row) { choose(row); });
    connect(list, &QAbstractItemModel::modelReset, this, [this] { setCurrentIndex(-1); });
    setCurrentIndex(-1);
}

std::string IncomeTypeCombo::currentCode() const
{
    return list_ ? list_->code(currentIndex()) : std::string();
}

void IncomeTypeCombo::showCode(const std::string& code)
{
    int row = -1;
    for (int r = 0; list_ && r < list_->rowCount(); ++r)
        if (list_->code(r) == code) {
            row = r;
            break;
        }
    if (row != currentIndex()) {
        const QSignalBlocker quiet(this);
        setCurrentIndex(row);
    }
}

int IncomeTypeCombo::findCode(const QString& prefix) const
{
    for (int r = 0; list_ && r < list_->rowCount(); ++r)
        if (cellString(list_->code(r)).startsWith(prefix)) return r;
    return -1;
}

void IncomeTypeCombo::choose(int row)
{
    if (row >= 0 && list_) emit codeChosen(list_->code(row));
}

bool IncomeTypeCombo::event(QEvent* event)
{
    // Tab leaves the box for the grid's next column instead of the next control.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            emit tabPressed(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QComboBox::event(event);
}

void IncomeTypeCombo::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    if (event->key() == Qt::Key_Escape) {
        emit escapePressed();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // Alt+Down opens the list, as the box's own keys do.
        if (event->modifiers() & Qt::AltModifier) break;
        emit gridKeyPressed(event->key(), event->modifiers());
        return;
    default: break;
    }
    if (typed.isEmpty() || !typed.front().isPrint() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (event->key() == Qt::Key_Backspace) search_.clear();
        QComboBox::keyPressEvent(event);
        return;
    }
    if (!lastKey_.isValid() || lastKey_.elapsed() > SearchPauseMs) search_.clear();
    lastKey_.restart();
    QString attempt = search_ + typed;
    int row = findCode(attempt);
    if (row < 0) {
        attempt = typed;
        row = findCode(attempt);
    }
    if (row < 0) {
        emit keyRefused();
        return;
    }
    search_ = attempt;
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(row);
    }
    choose(row);
}

void IncomeTypeCombo::focusInEvent(QFocusEvent* event)
{
    QComboBox::focusInEvent(event);
    search_.clear();
    emit entered();
}

void IncomeTypeCombo::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) emit left();
}

}  // namespace edlt::ui
