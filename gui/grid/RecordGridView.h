// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RecordGridView: a data grid over a record store whose column titles wrap over several
// lines. Like any grid bound to a record store it keeps its current row on the store's cursor
// (moving to another row posts the pending edit; a refused post keeps the row), appends
// a line below the last, inserts with Insert, cancels with Escape and deletes with
// Ctrl+Delete. Its events are signals the window that owns it connects to.
#include <QPointer>
#include <QTableView>
#include <functional>
#include <string>

#include "gui/grid/DetailTableModel.h"

namespace edlt::ui {

class CellDelegate;
class CellEditor;
class FrozenColumns;

class RecordGridView : public QTableView {
    Q_OBJECT
public:
    explicit RecordGridView(QWidget* parent = nullptr);

    int titleHeight() const { return titleHeight_; }
    void setTitleHeight(int value);
    int recordRowHeight() const { return rowHeight_; }
    void setRecordRowHeight(int value);

    void setDetailModel(DetailTableModel* model);
    DetailTableModel* detailModel() const { return model_.data(); }
    CellDelegate* cellDelegate() const { return delegate_; }
    // The view over the first columns that stays at the left while the rest scrolls.
    FrozenColumns* frozenColumns() const { return frozen_; }
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

    // Writes an open editor's text to the store and closes it.
    void commitEditor();
    // Closes an open editor without writing its text.
    void discardEditor();
    // The key-down of Tab: next (or previous) column, the next row after the last column.
    void tabMove(bool forward);
    // Moves to a cell as the user would (posting when the row changes).
    void moveTo(int row, int column);
    void cancelEdit();
    void insertRecord();
    void deleteRecord();
    // The current cell follows the store's cursor.
    void followStore();

signals:
    // What the owner handles. Characters typed into the grid or its editor (key-press):
    // a slot removes from keys those it refuses; the rest are let through.
    void keyTyped(int column, QString& keys, const QString& besideSelection);
    void columnEntered(int column);
    void columnLeft(int column);
    // The platform's confirmation of Ctrl+Delete: a slot clears confirmed to keep the line.
    void deleteRequested(bool& confirmed);
    // Errors raised by the store: the general error report.
    void errorRaised(const std::string& message);
    // The current cell moved on the screen (row, column, scrolling, size).
    void currentCellPlaced();
    // Text the code page cannot hold was dropped from the editor.
    void textRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyboardSearch(const QString& search) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool guarded(const std::function<void()>& f);
    QString keyPress(int column, const QString& typed, const QString& besideSelection);
    void connectEditor(CellEditor* editor);
    void setCurrentCell(int row, int column);
    void cellPlaced();

    int titleHeight_ = 17;
    int rowHeight_ = 17;
    QPointer<DetailTableModel> model_;
    CellDelegate* delegate_ = nullptr;
    FrozenColumns* frozen_ = nullptr;
    bool following_ = false;                // the current cell is being set from the store
    bool userMove_ = false;                 // a move by the user is being carried to the store
    const QKeyEvent* passedKey_ = nullptr;  // a key already filtered, on its way to the editor
    int lastColumn_ = 0;
};

}  // namespace edlt::ui
