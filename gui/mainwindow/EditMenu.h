// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Επεξεργασία" menu: undo and redo of the session's steps, each item naming its step.
// With a line being edited in the grid, undo cancels that edit first, as Esc does; the
// cell editor's own undo key is taken for it.
#include <QAction>
#include <QMenu>
#include <QObject>

namespace edlt::ui {

class MainWindow;

class EditMenu : public QObject {
    Q_OBJECT
public:
    // Placed between the "Αρχείο" and "Εκτύπωση" menus.
    explicit EditMenu(MainWindow& window);

    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }
    // The items' texts and states from the session.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool gridEditing() const;
    void undo();
    void redo();

    MainWindow& window_;
    QMenu* menu_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
};

}  // namespace edlt::ui
