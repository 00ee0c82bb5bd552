// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/FrozenColumns.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "gui/grid/GridHeaders.h"
#include "gui/grid/RecordGridView.h"

namespace edlt::ui {

FrozenColumns::FrozenColumns(RecordGridView& grid, int columns) : QTableView(&grid), grid_(grid), columns_(columns)
{
    setObjectName("frozenColumns");
    setFocusPolicy(Qt::NoFocus);
    setHorizontalHeader(new TitleHeader(this));
    verticalHeader()->hide();
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(grid.verticalScrollMode());
    setWordWrap(false);
    setShowGrid(true);
    setCornerButtonEnabled(false);
    setModel(grid.model());
    setSelectionModel(grid.selectionModel());
    setItemDelegate(grid.itemDelegate());  // painted alike; this view never edits
    setFont(grid.font());
    horizontalHeader()->setFont(grid.horizontalHeader()->font());

    connect(grid.verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
    connect(grid.horizontalScrollBar(), &QAbstractSlider::valueChanged, this, &FrozenColumns::follow);
    connect(grid.horizontalHeader(), &QHeaderView::sectionResized, this, &FrozenColumns::follow);
    grid.installEventFilter(this);
    grid.verticalHeader()->installEventFilter(this);
    grid.horizontalHeader()->installEventFilter(this);
    follow();
}

int FrozenColumns::frozenWidth() const
{
    int width = 0;
    for (int c = 0; c < columns_; ++c) width += grid_.columnWidth(c);
    return width;
}

void FrozenColumns::follow()
{
    if (model() != grid_.model()) {
        setModel(grid_.model());
        setSelectionModel(grid_.selectionModel());
    }
    if (!model()) return;
    for (int c = 0; c < model()->columnCount(); ++c) {
        setColumnHidden(c, c >= columns_);
        if (c < columns_) setColumnWidth(c, grid_.columnWidth(c));
    }
    verticalHeader()->setDefaultSectionSize(grid_.verticalHeader()->defaultSectionSize());
    verticalHeader()->setMinimumSectionSize(grid_.verticalHeader()->minimumSectionSize());
    horizontalHeader()->setFixedHeight(grid_.horizontalHeader()->height());
    const int frame = grid_.frameWidth();
    setGeometry(frame + grid_.verticalHeader()->width(), frame, frozenWidth() + 1,
                grid_.horizontalHeader()->height() + grid_.viewport()->height());
    verticalScrollBar()->setValue(grid_.verticalScrollBar()->value());
    // At the left edge the grid shows these columns itself.
    setVisible(grid_.horizontalScrollBar()->value() > 0);
}

bool FrozenColumns::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show) follow();
    return QTableView::eventFilter(watched, event);
}

void FrozenColumns::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex cell = indexAt(event->position().toPoint());
    grid_.setFocus(Qt::MouseFocusReason);
    if (cell.isValid()) grid_.moveTo(cell.row(), cell.column());
    event->accept();
}

void FrozenColumns::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    // The grid scrolls to the cell, which it then shows and edits itself.
    if (grid_.currentIndex().isValid()) grid_.edit(grid_.currentIndex());
}

void FrozenColumns::wheelEvent(QWheelEvent* event)
{
    QApplication::sendEvent(grid_.viewport(), event);
}

}  // namespace edlt::ui
