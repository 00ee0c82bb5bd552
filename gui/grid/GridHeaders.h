// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two fixed parts of RecordGridView: the title row, whose titles wrap over several
// lines, and the indicator column that marks the current row and numbers the lines.
#include <QHeaderView>

namespace edlt::ui {

class TitleHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TitleHeader(QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

class IndicatorHeader : public QHeaderView {
    Q_OBJECT
public:
    static constexpr int IndicatorWidth = 11;
    explicit IndicatorHeader(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    void setModel(QAbstractItemModel* model) override;
    // Wide enough for the marker and the largest line number.
    void fitWidth();

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

// The raised inner edge of the grid's fixed cells (titles and indicator).
void drawRaisedEdge(QPainter* painter, const QRect& rect, const QPalette& palette);

}  // namespace edlt::ui
