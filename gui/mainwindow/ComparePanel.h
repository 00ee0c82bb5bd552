// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Σύγκριση με άλλη δήλωση…": the open declaration compared with an older one, listed in a
// panel of the main window like the check's findings; a row goes to its line in the grid,
// and the list is saved as CSV. The comparison itself is the core's.
#include <QAbstractTableModel>
#include <QDockWidget>
#include <memory>

#include "core/session/CompareDeclarations.h"
#include "core/session/DeclarationSession.h"

class QAction;
class QTableView;

namespace edlt::ui {

class MainWindow;

class ComparisonModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColKind, ColNewLine, ColOldLine, ColAFM, ColTypeInc, ColSurName, ColDetails, ColumnCount };

    explicit ComparisonModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    void setComparison(std::shared_ptr<const DeclarationComparison> comparison);
    const DeclarationComparison* comparison() const { return comparison_.get(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const DeclarationComparison> comparison_;
};

class ComparePanel : public QDockWidget {
    Q_OBJECT
public:
    // Adds its item to the window's "Εργαλεία" menu.
    explicit ComparePanel(MainWindow& window);

    // The menu's command: asks for the older declaration, compares and shows the panel.
    void compareWithFile();
    // Goes to the row's line in the open declaration; rows of lines only in the older one
    // and the totals have none.
    void goToRow(int row);
    void exportCsv();
    // Called whenever the session changed: the menu item follows the declaration commands.
    void sessionChanged();

    QAction* action() const { return action_; }
    QTableView* list() const { return list_; }
    ComparisonModel* model() const { return model_; }

private:
    MainWindow& window_;
    DeclarationSession& session_;
    QAction* action_ = nullptr;
    ComparisonModel* model_ = nullptr;
    QTableView* list_ = nullptr;
};

}  // namespace edlt::ui
