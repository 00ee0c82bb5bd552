// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/RecordGridView.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>

#include "core/base/Error.h"
#include "core/base/RunAndReport.h"
#include "gui/grid/CellDelegate.h"
#include "gui/grid/DetailTableModel.h"
#include "gui/grid/FrozenColumns.h"
#include "gui/grid/GridHeaders.h"

namespace edlt::ui {

RecordGridView::RecordGridView(QWidget* parent) : QTableView(parent)
{
    setHorizontalHeader(new TitleHeader(this));
    setVerticalHeader(new IndicatorHeader(this));
    delegate_ = new CellDelegate(this);
    connect(delegate_, &CellDelegate::editorCreated, this, &RecordGridView::connectEditor);
    setItemDelegate(delegate_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Both heights start at 17 until the owner sets its own.
    horizontalHeader()->setFixedHeight(titleHeight_);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(rowHeight_);
}

void RecordGridView::setTitleHeight(int value)
{
    if (value == titleHeight_) return;
    titleHeight_ = value;
    horizontalHeader()->setFixedHeight(titleHeight_);
    updateGeometries();
}

void RecordGridView::setRecordRowHeight(int value)
{
    if (value == rowHeight_) return;
    rowHeight_ = value;
    verticalHeader()->setDefaultSectionSize(rowHeight_);
    horizontalHeader()->setFixedHeight(titleHeight_);
    updateGeometries();
}

void RecordGridView::setDetailModel(DetailTableModel* model)
{
    model_ = model;
    setModel(model);
    connect(model, &DetailTableModel::storeCursorChanged, this, &RecordGridView::followStore);
    if (!frozen_) frozen_ = new FrozenColumns(*this, DetailTableModel::ColSurName + 1);
    frozen_->follow();
    followStore();
}

void RecordGridView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    if (!frozen_ || !index.isValid()) return;
    // A fixed column is shown, and edited, by the grid itself at its left edge.
    if (index.column() <= DetailTableModel::ColSurName) {
        horizontalScrollBar()->setValue(0);
        return;
    }
    // A cell right of the fixed columns is not left under them.
    const int hidden = frozen_->frozenWidth() - visualRect(index).left();
    if (hidden > 0 && horizontalScrollBar()->value() > 0)
        horizontalScrollBar()->setValue(std::max(0, horizontalScrollBar()->value() - hidden));
}

bool RecordGridView::guarded(const std::function<void()>& f)
{
    return runAndReport(
        f, [this](const std::string& message) { emit errorRaised(message); }, Reported::AllExceptions);
}

QString RecordGridView::keyPress(int column, const QString& typed, const QString& besideSelection)
{
    QString keys = typed;
    emit keyTyped(column, keys, besideSelection);
    return keys;
}

void RecordGridView::connectEditor(CellEditor* editor)
{
    connect(editor, &CellEditor::keyTyped, this, [this, editor](QString& keys, const QKeyEvent& event) {
        if (&event == passedKey_) return;  // filtered by the grid on its way here
        if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier) || keys.front() == QChar(0x7f)) return;
        keys = keyPress(editor->column(), keys, editor->textBesideSelection());
    });
    connect(editor, &CellEditor::textRefused, this, &RecordGridView::textRefused);
    connect(editor, &CellEditor::userEdited, this, [this, editor](const QString& text) {
        const QModelIndex cell = currentIndex();
        if (model_ && cell.column() == editor->column()) model_->setData(cell, text, Qt::EditRole);
    });
}

void RecordGridView::commitEditor()
{
    if (CellEditor* e = delegate_->openEditor()) {
        commitData(e);
        QTableView::closeEditor(e, QAbstractItemDelegate::NoHint);
    }
}

void RecordGridView::discardEditor()
{
    if (CellEditor* e = delegate_->openEditor()) QTableView::closeEditor(e, QAbstractItemDelegate::NoHint);
}

void RecordGridView::setCurrentCell(int row, int column)
{
    const QModelIndex target = model_ ? model_->index(row, column) : QModelIndex();
    if (!target.isValid()) return;
    following_ = true;
    if (target != currentIndex())
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else if (!selectionModel()->isRowSelected(row, {}))
        selectionModel()->select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    following_ = false;
}

void RecordGridView::followStore()
{
    if (userMove_ || !model_) return;
    const int row = model_->currentRow();
    if (row >= 0) setCurrentCell(row, currentIndex().isValid() ? currentIndex().column() : lastColumn_);
    cellPlaced();
}

void RecordGridView::moveTo(int row, int column)
{
    const QModelIndex target = model_ ? model_->index(row, column) : QModelIndex();
    if (target.isValid())
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void RecordGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);  // writes an open editor's text first
    if (current.isValid()) lastColumn_ = current.column();
    if (following_ || !model_ || model_->inStoreNotification() || !current.isValid() || !previous.isValid()) {
        cellPlaced();
        return;
    }
    if (current.row() != previous.row()) {
        // Leaving the row posts its edit; a refusal keeps the cursor, and the grid, on it.
        userMove_ = true;
        bool moved = false;
        guarded([&] { moved = model_->moveToRow(current.row()); });
        userMove_ = false;
        const int row = model_->currentRow();
        if (!moved) {
            setCurrentCell(row, previous.column());
            cellPlaced();
            return;
        }
        if (row != currentIndex().row()) setCurrentCell(row, currentIndex().column());
    }
    if (previous.column() != currentIndex().column()) {
        emit columnLeft(previous.column());
        emit columnEntered(currentIndex().column());
    }
    cellPlaced();
}

void RecordGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    switch (hint) {
    case QAbstractItemDelegate::EditNextItem:
    case QAbstractItemDelegate::EditPreviousItem:
        // Tab in the editor: the text is written; the grid moves as for its own Tab.
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        tabMove(hint == QAbstractItemDelegate::EditNextItem);
        keyPress(currentIndex().column(), QStringLiteral("\t"), {});
        return;
    case QAbstractItemDelegate::RevertModelCache:
        // Escape in the editor.
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        cancelEdit();
        keyPress(currentIndex().column(), QString(QChar(27)), {});
        return;
    default: QTableView::closeEditor(editor, hint);
    }
}

void RecordGridView::tabMove(bool forward)
{
    const QModelIndex cur = currentIndex();
    if (!model_ || !cur.isValid()) return;
    const int row = cur.row(), column = cur.column(), last = model_->columnCount() - 1;
    commitEditor();
    if (forward) {
        if (column < last) {
            moveTo(row, column + 1);
        } else if (row < model_->rowCount() - 1) {
            moveTo(row + 1, 0);
        } else {
            // Past the last cell: a new line, unless its post is refused.
            const bool alreadyNew = model_->onUntouchedNewRow();
            guarded([&] { model_->appendAtEnd(); });
            if (alreadyNew || model_->onUntouchedNewRow()) moveTo(model_->currentRow(), 0);
        }
    } else if (column > 0) {
        moveTo(row, column - 1);
    } else if (row > 0) {
        moveTo(row - 1, last);
    }
}

void RecordGridView::cancelEdit()
{
    discardEditor();
    if (model_) guarded([&] { model_->cancel(); });
}

void RecordGridView::insertRecord()
{
    commitEditor();
    if (model_) guarded([&] { model_->insert(); });
}

void RecordGridView::deleteRecord()
{
    if (!model_ || !model_->canDelete()) return;
    bool confirmed = true;
    emit deleteRequested(confirmed);
    if (!confirmed) return;
    discardEditor();
    guarded([&] { model_->deleteCurrent(); });
}

void RecordGridView::keyPressEvent(QKeyEvent* event)
{
    if (!model_) {
        QTableView::keyPressEvent(event);
        return;
    }
    const QModelIndex cur = currentIndex();
    const int column = cur.isValid() ? cur.column() : 0;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!plain) break;
        if (!isVisible()) {  // the focus leaving a grid being hidden, not a key
            event->ignore();
            return;
        }
        tabMove(event->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier));
        keyPress(currentIndex().column(), QStringLiteral("\t"), {});
        event->accept();
        return;
    case Qt::Key_Escape:
        cancelEdit();
        keyPress(column, QString(QChar(27)), {});
        event->accept();
        return;
    case Qt::Key_Insert:
        if (mods != Qt::NoModifier) break;
        insertRecord();
        event->accept();
        return;
    case Qt::Key_Delete:
        if (mods != Qt::ControlModifier) break;
        deleteRecord();
        event->accept();
        return;
    case Qt::Key_Down:
        // Below the last row: a new line.
        if (mods != Qt::NoModifier || !cur.isValid() || cur.row() != model_->rowCount() - 1) break;
        commitEditor();
        guarded([&] { model_->appendAtEnd(); });
        event->accept();
        return;
    default: break;
    }
    const QString typed = typedInCell(*event, column);
    if (typed.isEmpty() || !plain || typed.front() == QChar(0x7f)) {
        QTableView::keyPressEvent(event);
        return;
    }
    const QString passed = keyPress(column, typed, {});
    if (passed.isEmpty()) {
        event->accept();
        return;
    }
    // The key opens the editor (all its text selected) and goes on into it.
    QKeyEvent filtered(QEvent::KeyPress, event->key(), event->modifiers(), passed);
    QKeyEvent* forward = passed == event->text() ? event : &filtered;
    passedKey_ = forward;
    QTableView::keyPressEvent(forward);
    passedKey_ = nullptr;
    event->setAccepted(forward->isAccepted());
}

void RecordGridView::keyboardSearch(const QString&)
{
    // Typing edits cells; it never jumps to another row.
}

// The selection is the current row, whatever was clicked or moved to: a refused move
// leaves both on the row being edited.
void RecordGridView::setSelection(const QRect&, QItemSelectionModel::SelectionFlags)
{
    const QModelIndex cur = currentIndex();
    if (cur.isValid()) selectionModel()->select(cur, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void RecordGridView::cellPlaced()
{
    emit currentCellPlaced();
}

void RecordGridView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    cellPlaced();
}

void RecordGridView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    cellPlaced();
}

void RecordGridView::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    cellPlaced();
}

}  // namespace edlt::ui
