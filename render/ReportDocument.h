// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The detailed payments and totals reports as pages: the same head, declarant block,
// columns and values as their page files, laid out on landscape A4 with the column titles
// repeated on every page. Every row has the same height, so any page is found and drawn
// without laying out the pages before it: a million lines cost no more than ten.
#include <QFont>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "core/reports/ReportCommand.h"
#include "core/session/DeclarationSession.h"
#include "core/store/DeclarationFile.h"
#include "core/store/HeaderFields.h"
#include "render/GlyphCache.h"

class QPainter;

namespace edlt::reports {

class ReportDocument {
public:
    // Drawing units: 1/720 inch (a tenth of a point).
    static constexpr qreal unitsPerInch = 720;

    // kind is DetailedPayments or Totals; lines (detail rows) must outlive the document and
    // are ignored for the totals report.
    ReportDocument(ReportKind kind, HeaderFields header, TotalsTexts totals, DetailLines lines);

    // The report of the declaration open in session, over its detail store (which must stay
    // as it is while the document lives).
    static std::shared_ptr<const ReportDocument> forSession(ReportKind kind, DeclarationSession& session);

    int pageCount() const;
    QPageLayout pageLayout() const;  // A4, landscape, no margins: the page draws its own
    QSizeF pageSize() const;         // in drawing units
    // Draws page (0-based) with the painter's coordinates in drawing units from the
    // top-left corner of the paper.
    void paintPage(QPainter& painter, int page) const;

private:
    struct Column {
        qreal x, width;
        QStringList title;  // its lines
    };
    struct Cell {
        int column, span;
        QString text;
    };

    QStringList titleLines(const QString& title, qreal width) const;
    size_t tableRows() const;  // detail rows, then the separator row and the totals row
    size_t firstRowOf(int page) const;
    qreal paintHead(QPainter& p, int page) const;
    qreal paintDeclarant(QPainter& p, qreal y) const;
    // "Σελίδα N από M", the declarant's tax number and name, under the table.
    void paintFooter(QPainter& p, int page) const;
    void paintColumnTitles(QPainter& p, qreal y) const;
    std::vector<Cell> rowCells(size_t row) const;
    void paintCell(QPainter& p, const QRectF& box, const QString& text, const GlyphCache& glyphs, int flags) const;

    ReportKind kind_;
    HeaderFields header_;
    TotalsTexts totals_;
    DetailLines lines_;
    QFont cellFont_, titleFont_, authorityFont_, headingFont_;
    GlyphCache cellGlyphs_, titleGlyphs_, authorityGlyphs_, headingGlyphs_;
    std::vector<Column> columns_;
    qreal rowHeight_ = 0, titlesHeight_ = 0, firstPageTop_ = 0, otherPageTop_ = 0, footerTop_ = 0;
    QString footerTail_;  // " — ΑΦΜ <tax number> <name>"
    size_t firstPageRows_ = 1, rowsPerPage_ = 1;
};

}  // namespace edlt::reports
