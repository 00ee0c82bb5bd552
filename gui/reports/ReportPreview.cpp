// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/reports/ReportPreview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace edlt::ui {
namespace {

constexpr int gap = 8;  // pixels between pages and around them

}  // namespace

ReportPreview::ReportPreview(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName("reportPreview");
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

void ReportPreview::setDocument(std::shared_ptr<const reports::ReportDocument> document)
{
    document_ = std::move(document);
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

qreal ReportPreview::scale() const
{
    if (!document_) return 1;
    return (viewport()->width() - 2 * gap) / document_->pageSize().width();
}

int ReportPreview::pageStride() const
{
    if (!document_) return 1;
    return std::max(1, qRound(document_->pageSize().height() * scale()) + gap);
}

int ReportPreview::currentPage() const
{
    return document_ ? std::min(document_->pageCount() - 1, verticalScrollBar()->value() / pageStride()) : 0;
}

void ReportPreview::showPage(int page)
{
    verticalScrollBar()->setValue(page * pageStride());
}

void ReportPreview::updateScrollBars()
{
    QScrollBar* bar = verticalScrollBar();
    if (!document_) {
        bar->setRange(0, 0);
        return;
    }
    // A million lines are some twenty thousand pages of a few hundred pixels: well inside an int.
    const qint64 total = static_cast<qint64>(document_->pageCount()) * pageStride() + gap;
    bar->setRange(0, static_cast<int>(std::clamp<qint64>(total - viewport()->height(), 0, INT_MAX)));
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(40);
}

void ReportPreview::resizeEvent(QResizeEvent* event)
{
    const int page = currentPage();
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    showPage(page);
}

void ReportPreview::paintEvent(QPaintEvent* event)
{
    if (!document_) return;
    QPainter p(viewport());
    const int top = verticalScrollBar()->value();
    const int stride = pageStride();
    const qreal s = scale();
    const QSize pagePixels(viewport()->width() - 2 * gap, stride - gap);
    const int pages = document_->pageCount();
    for (int page = top / stride; page < pages; ++page) {
        const int y = gap + page * stride - top;
        if (y >= event->rect().bottom()) break;
        const QRect paper(gap, y, pagePixels.width(), pagePixels.height());
        if (!paper.intersects(event->rect())) continue;
        p.fillRect(paper, Qt::white);
        p.save();
        p.setClipRect(paper);
        p.translate(paper.topLeft());
        p.scale(s, s);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        document_->paintPage(p, page);
        p.restore();
    }
}

}  // namespace edlt::ui
