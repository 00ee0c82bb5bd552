// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/CellDelegate.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>

#include "core/rules/GridRules.h"
#include "core/store/FieldText.h"
#include "gui/grid/CellText.h"
#include "gui/grid/DetailTableModel.h"

namespace edlt::ui {

QString typedInCell(const QKeyEvent& event, int column)
{
    const bool decimalKey = (event.modifiers() & Qt::KeypadModifier) &&
                            (event.key() == Qt::Key_Period || event.key() == Qt::Key_Comma);
    if (decimalKey && column >= 0 && column < GridColumnCount &&
        detailGridColumns()[static_cast<size_t>(column)].filter == KeyFilterKind::Amount)
        return QStringLiteral(",");
    return event.text();
}

CellEditor::CellEditor(int column, QWidget* parent) : QLineEdit(parent), column_(column)
{
    setFrame(false);
    setTextMargins(1, 0, 0, 0);
    setMaxLength(DetailTableModel::fieldWidth(column));
    connect(this, &QLineEdit::textEdited, this, &CellEditor::textWasEdited);
}

QString CellEditor::textBesideSelection() const
{
    QString t = text();
    if (hasSelectedText()) t.remove(selectionStart(), selectedText().size());
    return t;
}

void CellEditor::keyPressEvent(QKeyEvent* event)
{
    const QString typed = typedInCell(*event, column_);
    if (typed.isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QString passed = typed;
    emit keyTyped(passed, *event);
    if (passed == event->text()) {
        QLineEdit::keyPressEvent(event);
    } else {
        if (!passed.isEmpty()) {
            QKeyEvent filtered(QEvent::KeyPress, 0, event->modifiers(), passed);
            QLineEdit::keyPressEvent(&filtered);
        }
        event->accept();
    }
}

void CellEditor::inputMethodEvent(QInputMethodEvent* event)
{
    const QString composed = event->commitString();
    if (!composed.isEmpty()) {
        const QKeyEvent asTyped(QEvent::KeyPress, 0, Qt::NoModifier, composed);
        QString passed = composed;
        emit keyTyped(passed, asTyped);
        event->setCommitString(passed);
    }
    QLineEdit::inputMethodEvent(event);
}

// Pasted text may hold characters the code page has no place for: they are dropped. Line
// breaks and tabs become spaces and other control characters go, as for every field.
void CellEditor::textWasEdited(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (cellByte(c)) kept += c;
    const bool refused = kept.size() != text.size();
    if (const std::string utf8 = kept.toStdString(); !isCleanFieldText(utf8))
        kept = QString::fromStdString(cleanFieldText(utf8));
    if (kept != text) {
        const int cursor = std::min<int>(cursorPosition(), static_cast<int>(kept.size()));
        setText(kept);
        setModified(true);
        setCursorPosition(cursor);
        if (refused) emit textRefused();
    }
    emit userEdited(this->text());
}

CellDelegate::CellDelegate(QObject* parent) : QStyledItemDelegate(parent)
{
    // The classic desktop's active-border and inactive-title colours, fixed so they read
    // the same on every theme.
    colours_.row = QColor(0xc8, 0xd4, 0xe6);
    colours_.focused = QColor(0x4f, 0x6d, 0x94);
}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    auto* editor = new CellEditor(index.column(), parent);
    editor->setObjectName("cellEditor");
    editor->setFont(option.font);
    editor_ = editor;
    emit editorCreated(editor);
    return editor;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* e = static_cast<CellEditor*>(editor);
    // While the line is being edited the editor leads and the store follows; once it is
    // stored or given up, the editor shows what the store holds.
    auto* model = qobject_cast<const DetailTableModel*>(index.model());
    if (e->isModified() && model && model->editing()) return;
    const QString text = index.data(Qt::EditRole).toString();
    if (e->text() != text) e->setText(text);
    e->setModified(false);
}

void CellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    auto* e = static_cast<CellEditor*>(editor);
    // An editor opened and left untouched changes nothing: the line stays unedited.
    if (!e->isModified()) return;
    if (model->setData(index, e->text(), Qt::EditRole)) e->setModified(false);
}

void CellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const
{
    editor->setGeometry(option.rect.adjusted(1, 0, 0, 0));
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool focused = option.state & QStyle::State_HasFocus;
    const bool currentRow = option.state & QStyle::State_Selected;
    painter->save();
    painter->setClipRect(option.rect);
    painter->fillRect(option.rect, focused ? colours_.focused : currentRow ? colours_.row : QColor(Qt::white));
    painter->setPen(focused ? QColor(Qt::white) : QColor(Qt::black));
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(2, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

}  // namespace edlt::ui
