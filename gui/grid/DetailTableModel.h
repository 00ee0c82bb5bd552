// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The detail grid's model: a thin adapter over the detail store. It copies no lines:
// data() reads the stored line, or the store's edit buffer for the row being edited.
// Rows are the stored lines, plus the pending new line while the store inserts, or one
// empty row while the store is open with no lines (typing there starts the first line).
#include <QAbstractTableModel>
#include <string>

#include "core/rules/GridRules.h"
#include "core/store/FixedWidthTable.h"

namespace edlt::ui {

class DetailTableModel : public QAbstractTableModel, public DataSetObserver {
    Q_OBJECT
public:
    enum Column {
        ColAFM,
        ColSurName,
        ColName,
        ColFatherName,
        ColCity,
        ColStreet,
        ColStreetNo,
        ColTK,
        ColTypeInc,
        ColAkaInc,
        ColXartosimo,
        ColOGAXart,
        ColKratiseis,
        ColKathares,
        ColForosParakr,
        ColForosAnal,
        ColYpokatastima,
        ColHmeres,
        ColOGAForouParakr,
        ColOGAForouAnal,
        ColumnCount
    };
    // The indicator column's mark of a row.
    enum Marker { NoMarker, CurrentMarker, EditMarker, InsertMarker };
    static constexpr int MarkerRole = Qt::UserRole + 1;
    // The 1-based number of the stored line a row shows; none for a row being inserted.
    static constexpr int LineNumberRole = Qt::UserRole + 2;

    explicit DetailTableModel(FixedWidthTable& store, QObject* parent = nullptr);
    ~DetailTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Typed text into the current row's cell; text outside the code page is refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    FixedWidthTable& store() const { return store_; }
    static int fieldOf(int column);
    static int columnOf(int field);  // -1 for the fields without a column
    static int fieldWidth(int column);
    // The cell's text as stored, Windows-1253.
    std::string cellText(int row, int column) const;

    // The row of the store's cursor (the pending new line while inserting); -1 when closed.
    int currentRow() const;
    bool inStoreNotification() const { return notifying_; }

    // Store commands by rows. They throw Error as the store does.
    // Moves to the line shown in row; false when the pending edit was refused.
    bool moveToRow(int row);
    // Appends a new line after the last unless the current row is already an untouched one.
    void appendAtEnd();
    void insert();
    void cancel();
    // False when there is nothing to delete.
    bool canDelete() const;
    void deleteCurrent();
    bool editing() const;
    // The current row is a new line nothing was typed into yet.
    bool onUntouchedNewRow() const;
    void post();

signals:
    // Errors raised while the view writes a cell (for the general error report).
    void errorRaised(const std::string& message);
    // The store moved, changed state or changed its lines: the view follows its cursor.
    void storeCursorChanged();

private:
    struct Layout {
        int rows = 0;
        int insertRow = -1;
        bool empty = false;  // open with no lines: one empty row
    };

    enum Pending { NothingPending, PendingReset, PendingInsert, PendingRemove };

    void dataSetAboutToChange(const DataSetChange& change) override;
    void dataSetChanged(const DataSetChange& change) override;
    bool isControl() const override { return true; }
    Layout storeLayout() const;
    long lineOfRow(int row) const;  // -1 for the pending or empty row
    int rowOfLine(long line) const;
    bool isBufferRow(int row) const;
    void rowChanged(int row);
    void markersChanged();

    FixedWidthTable& store_;
    Layout shown_;                      // what the view has been told
    Pending pending_ = NothingPending;  // begun when announced, ended when made
    int markedRow_ = -1;                // the row whose indicator shows the cursor
    bool notifying_ = false;
};

}  // namespace edlt::ui
