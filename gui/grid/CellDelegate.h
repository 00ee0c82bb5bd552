// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing and in-place editing of the detail grid's cells: the current row highlighted,
// the focused cell in a second colour with white text; the editor holds at most the
// field's width and lets through only what the column's key filter passes. What is typed
// goes to the store's edit buffer at once, so a command that posts the pending edit
// always sees it.
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>

namespace edlt::ui {

// The text a key types into a cell of a column: the keypad's decimal key types the decimal
// comma in an amount cell, whatever the keyboard layout puts on it.
QString typedInCell(const QKeyEvent& event, int column);

class CellEditor : public QLineEdit {
    Q_OBJECT
public:
    CellEditor(int column, QWidget* parent);
    int column() const { return column_; }
    // The text left when what is selected is replaced: what a typed key joins.
    QString textBesideSelection() const;

signals:
    // Each typed text passes here first; what a slot leaves in keys is what the editor receives.
    void keyTyped(QString& keys, const QKeyEvent& event);
    // Text the code page cannot hold (pasted) was dropped.
    void textRefused();
    // Each change the user makes to the text (typed, pasted, deleted).
    void userEdited(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Text composed by an input method passes the same filter as typed keys.
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void textWasEdited(const QString& text);

    int column_;
};

class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    struct Colours {
        QColor row;      // the current row
        QColor focused;  // the focused cell
    };
    explicit CellDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The editor open now, if any (one that was closed and awaits deletion is not).
    CellEditor* openEditor() const { return editor_ && !editor_->isHidden() ? editor_.data() : nullptr; }
    const Colours& colours() const { return colours_; }

signals:
    // Every editor made, for its signals to be connected.
    void editorCreated(CellEditor* editor) const;

private:
    Colours colours_;
    mutable QPointer<CellEditor> editor_;
};

}  // namespace edlt::ui
