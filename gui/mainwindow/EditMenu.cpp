// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/EditMenu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

#include "gui/common/Text.h"
#include "gui/grid/CellDelegate.h"
#include "gui/grid/DetailGrid.h"
#include "gui/grid/RecordGridView.h"
#include "gui/mainwindow/MainWindow.h"

namespace edlt::ui {

EditMenu::EditMenu(MainWindow& window) : QObject(&window), window_(window)
{
    menu_ = new QMenu(tr8("&Επεξεργασία"), &window);
    menu_->setObjectName("editMenu");
    window.menuBar()->insertMenu(window.printMenu()->menuAction(), menu_);
    undo_ = menu_->addAction(tr8("&Αναίρεση"));
    undo_->setObjectName("undoAction");
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = menu_->addAction(tr8("&Επανάληψη"));
    redo_->setObjectName("redoAction");
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(undo_, &QAction::triggered, this, &EditMenu::undo);
    connect(redo_, &QAction::triggered, this, &EditMenu::redo);
    connect(menu_, &QMenu::aboutToShow, this, &EditMenu::refresh);
    // Starting or ending a line's edit changes what undo does.
    connect(window.detailGrid().model(), &DetailTableModel::storeCursorChanged, this, &EditMenu::refresh);
    qApp->installEventFilter(this);
    refresh();
}

bool EditMenu::gridEditing() const
{
    const DataSetState state = window_.session().detailStore().state();
    return state == DataSetState::EditState || state == DataSetState::InsertState ||
           window_.detailGrid().grid()->cellDelegate()->openEditor() != nullptr;
}

void EditMenu::refresh()
{
    DeclarationSession& s = window_.session();
    const bool open = s.declarationCommandsEnabled();
    const std::string undoText = s.undoCaption(), redoText = s.redoCaption();
    undo_->setText(undoText.empty() || gridEditing() ? tr8("&Αναίρεση") : "&" + fromCp(undoText));
    redo_->setText(redoText.empty() ? tr8("&Επανάληψη") : "&" + fromCp(redoText));
    undo_->setEnabled(open && (gridEditing() || s.canUndo()));
    redo_->setEnabled(open && !gridEditing() && s.canRedo());
}

void EditMenu::undo()
{
    if (gridEditing()) {
        window_.detailGrid().grid()->cancelEdit();
        window_.refresh();
        return;
    }
    window_.command([this] { window_.session().undo(); });
}

void EditMenu::redo()
{
    window_.command([this] { window_.session().redo(); });
}

bool EditMenu::eventFilter(QObject* watched, QEvent* event)
{
    // A cell editor would take Ctrl+Z for its own text: in the grid it cancels the line's
    // edit instead, as the menu item does.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo)) {
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* grid = window_.detailGrid().grid();
        QWidget* lookup = window_.detailGrid().lookup();
        if (widget && (grid->isAncestorOf(widget) || widget == grid || (lookup && lookup->isAncestorOf(widget)) ||
                       widget == lookup)) {
            event->ignore();
            return true;
        }
    }
    return false;
}

}  // namespace edlt::ui
