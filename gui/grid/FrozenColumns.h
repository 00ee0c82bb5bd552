// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid's first columns (ΑΦΜ, ΕΠΩΝΥΜΟ) kept in place while the others scroll: a second
// view over the same model and selection laid over the grid's left edge, shown while the
// grid is scrolled to the right (at the left edge the grid shows those columns itself, and
// their editors). Clicks on it move the grid's own current cell; its rows scroll with the grid.
#include <QTableView>

namespace edlt::ui {

class RecordGridView;

class FrozenColumns : public QTableView {
    Q_OBJECT
public:
    FrozenColumns(RecordGridView& grid, int columns);

    int frozenWidth() const;
    // Place, size, column widths and visibility after the grid's own changed.
    void follow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    RecordGridView& grid_;
    int columns_;
};

}  // namespace edlt::ui
