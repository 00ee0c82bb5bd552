// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// IncomeTypeCombo: the income-type lookup laid over the grid's TypeInc cell. It lists
// the code and description of each line of the income-type list store; typing searches
// the codes, and choosing an entry reports its code. With its list closed the moving keys
// (arrows, Home, End, Page Up/Down) belong to the grid; Alt+Down or F4 opens the list,
// where the arrows choose and Escape closes it without a choice.
#include <QAbstractTableModel>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPointer>
#include <string>

#include "core/store/FixedWidthTable.h"

namespace edlt::ui {

// The income-type list as two columns, code and description, read from the store. It goes
// with the store's owner, not with the box that shows it.
class IncomeTypeListModel : public QAbstractTableModel, public DataSetObserver {
    Q_OBJECT
public:
    explicit IncomeTypeListModel(FixedWidthTable& list, QObject* parent = nullptr);
    ~IncomeTypeListModel() override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    std::string code(int row) const;

private:
    void dataSetChanged(const DataSetChange& change) override;
    FixedWidthTable& list_;
};

class IncomeTypeCombo : public QComboBox {
    Q_OBJECT
public:
    static constexpr int DropDownWidth = 350;
    // Typed keys further apart than this start a new search.
    static constexpr int SearchPauseMs = 2000;

    IncomeTypeCombo(IncomeTypeListModel* list, QWidget* parent = nullptr);
    // Shows the entry of a code (none when absent) without reporting a choice.
    void showCode(const std::string& code);
    std::string currentCode() const;

signals:
    void codeChosen(const std::string& code);
    void tabPressed(bool forward);
    void escapePressed();
    // A key that moves in the grid, pressed while the list is closed.
    void gridKeyPressed(int key, Qt::KeyboardModifiers modifiers);
    // The box took the focus, and lost it other than to its own list.
    void entered();
    void left();
    // A typed key matches no code.
    void keyRefused();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int findCode(const QString& prefix) const;
    void choose(int row);

    QPointer<IncomeTypeListModel> list_;
    QString search_;
    QElapsedTimer lastKey_;
};

}  // namespace edlt::ui
