// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/GridHeaders.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "core/rules/WrapTitleText.h"
#include "gui/common/Text.h"
#include "gui/grid/CellText.h"
#include "gui/grid/DetailTableModel.h"

namespace edlt::ui {

void drawRaisedEdge(QPainter* painter, const QRect& rect, const QPalette& palette)
{
    // The dark bottom and right edges own the corners they share with the light ones.
    painter->setPen(palette.color(QPalette::Dark));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->setPen(palette.color(QPalette::Light));
    painter->drawLine(rect.topLeft(), rect.topRight() - QPoint(1, 0));
    painter->drawLine(rect.topLeft(), rect.bottomLeft() - QPoint(0, 1));
}

TitleHeader::TitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(4);
}

void TitleHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid()) return;
    painter->save();
    painter->setClipRect(rect);
    painter->fillRect(rect, palette().color(QPalette::Button));
    if (model() && logicalIndex >= 0 && logicalIndex < model()->columnCount()) {
        const QString caption = model()->headerData(logicalIndex, Qt::Horizontal).toString();
        const std::string title = toCp(caption).value_or(std::string());
        painter->setFont(font());
        const QFontMetrics fm(font());
        auto width = [&fm](std::string_view s) { return fm.horizontalAdvance(cellString(s)); };
        painter->setPen(palette().color(QPalette::ButtonText));
        for (const TitleLine& line :
             layoutTitle(width, rect.left(), rect.top(), rect.width(), fm.height(), TitleAlignment::Center, title))
            painter->drawText(QPoint(line.x, line.y + fm.ascent()), cellString(line.text));
    }
    drawRaisedEdge(painter, rect, palette());
    painter->restore();
}

IndicatorHeader::IndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
{
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(1);
    setFixedWidth(IndicatorWidth);
}

QSize IndicatorHeader::sizeHint() const
{
    // The table asks for the width alone. Qt's own hint measures 200 rows' sections afresh
    // after every change to a row's marker, and the grid is laid out again on each store
    // and typed cell: that was most of the time a store took in the window.
    return {width(), defaultSectionSize()};
}

void IndicatorHeader::setModel(QAbstractItemModel* model)
{
    QHeaderView::setModel(model);
    if (model) {
        for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
            connect(model, signal, this, &IndicatorHeader::fitWidth);
        connect(model, &QAbstractItemModel::modelReset, this, &IndicatorHeader::fitWidth);
    }
    fitWidth();
}

void IndicatorHeader::fitWidth()
{
    const int rows = model() ? model()->rowCount() : 0;
    const int digits = fontMetrics().horizontalAdvance(QString(QString::number(std::max(rows, 1)).size(), '0'));
    const int wanted = IndicatorWidth + digits + 4;
    if (wanted != width()) setFixedWidth(wanted);
}

void IndicatorHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid()) return;
    painter->save();
    painter->setClipRect(rect);
    painter->fillRect(rect, palette().color(QPalette::Button));
    drawRaisedEdge(painter, rect, palette());
    const int marker = model() ? model()->headerData(logicalIndex, Qt::Vertical, DetailTableModel::MarkerRole).toInt()
                               : DetailTableModel::NoMarker;
    // The marker keeps its narrow column at the left; the 1-based line number follows it.
    const QPoint c(rect.left() + IndicatorWidth / 2, rect.center().y());
    painter->setPen(palette().color(QPalette::ButtonText));
    if (const QVariant number =
            model() ? model()->headerData(logicalIndex, Qt::Vertical, DetailTableModel::LineNumberRole) : QVariant();
        number.isValid()) {
        painter->setFont(font());
        painter->drawText(rect.adjusted(IndicatorWidth, 0, -3, 0), Qt::AlignRight | Qt::AlignVCenter,
                          QString::number(number.toLongLong()));
    }
    painter->setBrush(palette().color(QPalette::ButtonText));
    switch (marker) {
    case DetailTableModel::CurrentMarker: {
        QPainterPath arrow;
        arrow.moveTo(c.x() - 2, c.y() - 4);
        arrow.lineTo(c.x() + 2, c.y());
        arrow.lineTo(c.x() - 2, c.y() + 4);
        arrow.closeSubpath();
        painter->drawPath(arrow);
        break;
    }
    case DetailTableModel::EditMarker:  // an I-beam
        painter->drawLine(c.x(), c.y() - 4, c.x(), c.y() + 4);
        painter->drawLine(c.x() - 2, c.y() - 5, c.x() - 1, c.y() - 5);
        painter->drawLine(c.x() + 1, c.y() - 5, c.x() + 2, c.y() - 5);
        painter->drawLine(c.x() - 2, c.y() + 5, c.x() - 1, c.y() + 5);
        painter->drawLine(c.x() + 1, c.y() + 5, c.x() + 2, c.y() + 5);
        break;
    case DetailTableModel::InsertMarker:  // an asterisk
        painter->drawLine(c.x(), c.y() - 3, c.x(), c.y() + 3);
        painter->drawLine(c.x() - 3, c.y() - 2, c.x() + 3, c.y() + 2);
        painter->drawLine(c.x() - 3, c.y() + 2, c.x() + 3, c.y() - 2);
        break;
    default: break;
    }
    painter->restore();
}

}  // namespace edlt::ui
