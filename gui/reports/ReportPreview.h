// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The print window's preview of a drawn report: the pages one below the other, as wide as
// the view, and only the pages in sight are drawn, so a report of any length shows at once.
#include <QAbstractScrollArea>
#include <memory>

#include "render/ReportDocument.h"

namespace edlt::ui {

class ReportPreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ReportPreview(QWidget* parent = nullptr);

    void setDocument(std::shared_ptr<const reports::ReportDocument> document);
    const reports::ReportDocument* document() const { return document_.get(); }
    // The page at the top of the view (0-based).
    int currentPage() const;
    void showPage(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    qreal scale() const;     // pixels per drawing unit
    int pageStride() const;  // a page and the gap below it, in pixels
    void updateScrollBars();

    std::shared_ptr<const reports::ReportDocument> document_;
};

}  // namespace edlt::ui
