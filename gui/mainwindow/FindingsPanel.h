// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Έλεγχος δήλωσης": the findings of the whole-declaration check in a panel of the main
// window, the hint in the counter area, and the list's printing and CSV export.
#include <QAbstractTableModel>
#include <QDockWidget>
#include <QPointer>
#include <initializer_list>
#include <vector>

#include "core/session/DeclarationCheck.h"
#include "core/session/DeclarationSession.h"

class QLabel;
class QSortFilterProxyModel;
class QTableView;

namespace edlt::ui {

class MainWindow;

class FindingsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColLine, ColAFM, ColSurName, ColKind, ColMessage, ColumnCount };
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit FindingsModel(const DeclarationSession& session, QObject* parent = nullptr);
    void setResult(const CheckResult& result);
    const CheckFinding& finding(int row) const { return findings_[static_cast<size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const DeclarationSession& session_;
    std::vector<CheckFinding> findings_;
};

// A panel's list of rows: whole rows, one at a time, read only, with the given column widths.
void setUpPanelList(QTableView& list, std::initializer_list<int> widths);

class FindingsPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit FindingsPanel(MainWindow& window);

    // "Έλεγχος δήλωσης": posts the pending line, checks and shows the panel.
    void checkDeclaration();
    // After Open or an import: the hint in the counter area when lines fail their checks.
    // changesBefore: the checker's count of changes before the command.
    void checkAfterLoad(unsigned long changesBefore);
    // Called whenever the session changed: a shown list follows the lines it lists.
    void sessionChanged();
    // Goes to the finding's line in the grid (or the declarant's box), as find does.
    void goToFinding(int row);
    void printList();
    void exportCsv();

    QTableView* list() const { return list_; }
    QLabel* hint() const { return hint_; }
    FindingsModel* model() const { return model_; }
    // The model row shown in a view row (the list may be sorted).
    int modelRow(int viewRow) const;

private:
    void recheck();
    // Starts the check on other threads for a large declaration (or finds it running);
    // false when it is checked here and now instead.
    bool checkInBackground();
    void backgroundCheckDone();
    void showOrHint(const CheckResult& result);
    void showResult(const CheckResult& result);
    void updateHint(const CheckResult& result);
    QString titleText(const CheckResult& result) const;
    QString listHtml() const;

    MainWindow& window_;
    DeclarationSession& session_;
    FindingsModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* list_ = nullptr;
    QPointer<QLabel> hint_;
    bool recheckQueued_ = false;
    bool checking_ = false;
};

}  // namespace edlt::ui
