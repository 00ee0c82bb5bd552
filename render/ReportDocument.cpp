// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/ReportDocument.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPageSize>
#include <QPainter>
#include <algorithm>
#include <array>

#include "core/base/Cp1253.h"
#include "core/reports/ReportPages.h"
#include "core/store/DetailRecord.h"

namespace edlt::reports {
namespace {

// A4 across, in drawing units; a 10 mm margin all round, as the window's PDF had.
constexpr qreal pageWidth = 8418.9, pageHeight = 5952.8, margin = 283.5;
constexpr qreal padding = 15, rule = 5;
constexpr qreal tableWidth = pageWidth - 2 * margin;

QString fromCp(std::string_view text)
{
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const QString s = QString::fromStdString(cp1253::toUtf8(std::string(1, static_cast<char>(b))));
            t[static_cast<size_t>(b)] = s.isEmpty() ? QChar(QChar::ReplacementCharacter) : s.at(0);
        }
        return t;
    }();
    QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    for (size_t i = 0; i < text.size(); ++i)
        out[static_cast<qsizetype>(i)] = table[static_cast<unsigned char>(text[i])];
    return out;
}

QString fromCp(const std::string& a, std::string_view between, const std::string& b)
{
    return fromCp(a) + fromCp(between) + fromCp(b);
}

QFont fontOf(int pixels, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    // Unhinted, so widths are the same on the screen, the printer and in the PDF.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

struct ColumnSpec {
    int weight;
    const char* title;  // UTF-8; a line break where the page has <BR>
};

// The detailed page's 18 columns, widths in proportion to the values they hold.
constexpr ColumnSpec detailColumns[] = {
    {7, "α/α"},
    {9, "ΑΦΜ"},
    {17, "Επώνυμο"},
    {10, "Όνομα"},
    {6, "Όνομα πατέρα ή συζύγου"},
    {28, "Διεύθυνση"},
    {5, "Είδος απο-\nδοχών"},
    {10, "Ακαθάριστες αποδοχές"},
    {10, "Χαρτόσημο"},
    {9, "ΟΓΑ Χαρτοσήμου"},
    {10, "Κρατήσεις (εκτός φόρου)"},
    {10, "Καθαρές αποδοχές"},
    {9, "Φόρος που παρακ/\nθηκε"},
    {9, "Φόρος που αναλογεί"},
    {7, "Υποκ/μα μισθωτού"},
    {6, "Σύνολο ημερών απ/σης"},
    {8, "ΟΓΑ φόρου που παρακ/\nθηκε"},
    {8, "ΟΓΑ φόρου που αναλογεί"},
};
// The totals page: one cell where the detailed page has its first seven columns, then the nine amounts.
constexpr ColumnSpec totalsColumns[] = {
    {40, ""},
    {10, "Ακαθάριστες αποδοχές"},
    {10, "Χαρτόσημο"},
    {10, "ΟΓΑ Χαρτοσήμου"},
    {10, "Κρατήσεις (εκτός φόρου)"},
    {10, "Καθαρές αποδοχές"},
    {10, "Φόρος που παρακ/\nθηκε"},
    {10, "Φόρος που αναλογεί"},
    {10, "ΟΓΑ φόρου που παρακ/\nθηκε"},
    {10, "ΟΓΑ φόρου που αναλογεί"},
};

// Columns 7 to 18 of a detail row, after the address.
constexpr detail::Field laterColumns[] = {
    detail::TypeInc,      detail::AkaInc,   detail::Xartosimo,      detail::OGAXart,
    detail::Kratiseis,    detail::Kathares, detail::ForosParakr,    detail::ForosAnal,
    detail::Ypokatastima, detail::Hmeres,   detail::OGAForouParakr, detail::OGAForouAnal,
};

constexpr int declarantRows = 8;  // year, a blank, the heading, four rows of data, a blank

}  // namespace

QStringList ReportDocument::titleLines(const QString& title, qreal width) const
{
    // Words fill each line; a word wider than the column gets a line of its own, narrowed.
    QStringList lines;
    for (const QString& forced : title.split('\n')) {
        QString current;
        for (const QString& word : forced.split(' ', Qt::SkipEmptyParts)) {
            const QString joined = current.isEmpty() ? word : current + ' ' + word;
            if (!current.isEmpty() && titleGlyphs_.width(joined) > width) {
                lines << current;
                current = word;
            } else {
                current = joined;
            }
        }
        lines << current;
    }
    return lines;
}

ReportDocument::ReportDocument(ReportKind kind, HeaderFields header, TotalsTexts totals, DetailLines lines)
    : kind_(kind), header_(std::move(header)), totals_(std::move(totals)), lines_(std::move(lines)),
      cellFont_(fontOf(70, false)), titleFont_(fontOf(70, true)), authorityFont_(fontOf(60, false)),
      headingFont_(fontOf(90, true)), cellGlyphs_(cellFont_), titleGlyphs_(titleFont_),
      authorityGlyphs_(authorityFont_), headingGlyphs_(headingFont_)
{
    if (kind_ != ReportKind::DetailedPayments) lines_.count = 0;

    auto build = [this](const auto& specs) {
        int total = 0;
        for (const ColumnSpec& s : specs) total += s.weight;
        qreal x = margin;
        for (const ColumnSpec& s : specs) {
            const qreal w = tableWidth * s.weight / total;
            columns_.push_back({x, w, titleLines(QString::fromUtf8(s.title), w - 2 * padding)});
            x += w;
        }
    };
    if (kind_ == ReportKind::DetailedPayments) build(detailColumns);
    else
        build(totalsColumns);

    const QFontMetricsF cell(cellFont_);
    rowHeight_ = cell.height() + 2 * padding;
    size_t titleRows = 1;
    for (const Column& c : columns_) titleRows = std::max(titleRows, static_cast<size_t>(c.title.size()));
    titlesHeight_ = static_cast<qreal>(titleRows) * QFontMetricsF(titleFont_).height() + 2 * padding;
    const qreal authority = QFontMetricsF(authorityFont_).height() + 2 * padding;
    otherPageTop_ = margin + authority;
    firstPageTop_ = otherPageTop_ + QFontMetricsF(headingFont_).height() * 2 + declarantRows * rowHeight_;
    if (kind_ == ReportKind::Totals) firstPageTop_ += rowHeight_;  // "ΕΚΤΥΠΩΣΗ ΣΥΝΟΛΩΝ"

    // The footer's line sits on the bottom margin; the rows end above it.
    footerTop_ = pageHeight - margin - authority;
    const qreal bottom = footerTop_;
    const QString name = header_.business ? fromCp(header_.CompanyName)
                                          : fromCp(header_.CompanyName, " ", header_.Name);
    footerTail_ = QStringLiteral(" — ΑΦΜ ") + fromCp(header_.AFM).trimmed() + ' ' + name.trimmed();
    firstPageRows_ = static_cast<size_t>(std::max(1.0, (bottom - firstPageTop_ - titlesHeight_) / rowHeight_));
    rowsPerPage_ = static_cast<size_t>(std::max(1.0, (bottom - otherPageTop_ - titlesHeight_) / rowHeight_));
}

std::shared_ptr<const ReportDocument> ReportDocument::forSession(ReportKind kind, DeclarationSession& session)
{
    FixedWidthTable& details = session.detailStore();
    if (!details.active()) details.open();
    DetailLines lines{static_cast<size_t>(details.countRecords()),
                      [&details](size_t i) -> std::string_view { return details.lineAt(i); }};
    return std::make_shared<const ReportDocument>(kind, session.header(), session.totals(), std::move(lines));
}

size_t ReportDocument::tableRows() const
{
    return lines_.count + 2;
}

size_t ReportDocument::firstRowOf(int page) const
{
    if (page <= 0) return 0;
    return firstPageRows_ + static_cast<size_t>(page - 1) * rowsPerPage_;
}

int ReportDocument::pageCount() const
{
    const size_t rows = tableRows();
    if (rows <= firstPageRows_) return 1;
    return 1 + static_cast<int>((rows - firstPageRows_ + rowsPerPage_ - 1) / rowsPerPage_);
}

QPageLayout ReportDocument::pageLayout() const
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0));
}

QSizeF ReportDocument::pageSize() const
{
    return {pageWidth, pageHeight};
}

void ReportDocument::paintCell(QPainter& p, const QRectF& box, const QString& text, const GlyphCache& glyphs,
                               int flags) const
{
    if (text.isEmpty()) return;
    const QRectF inner = box.adjusted(padding, padding, -padding, -padding);
    // A value wider than its column is narrowed to fit rather than cut: every character stays.
    const qreal advance = glyphs.width(text);
    const qreal x = flags & Qt::AlignHCenter ? inner.center().x() - std::min(advance, inner.width()) / 2 : inner.left();
    const qreal baseline = inner.top() + glyphs.ascent();
    if (advance <= inner.width()) {
        glyphs.add(x, baseline, text);
        return;
    }
    glyphs.flush(p);  // what is kept is drawn at the page's scale
    p.save();
    p.translate(x, baseline);
    p.scale(inner.width() / advance, 1);
    glyphs.add(0, 0, text);
    glyphs.flush(p);
    p.restore();
}

qreal ReportDocument::paintHead(QPainter& p, int page) const
{
    const QRectF authority(margin, margin, tableWidth, otherPageTop_ - margin);
    paintCell(p, authority, QStringLiteral("ΚΕΝΤΡΙΚΗ ΔΙΟΙΚΗΣΗ - ΚΕΝΤΡΟ ΗΛΕΚΤΡΟΝΙΚΩΝ ΥΠΗΡΕΣΙΩΝ"), authorityGlyphs_,
              Qt::AlignHCenter);
    if (page != 0) return otherPageTop_;

    qreal y = otherPageTop_;
    const qreal heading = QFontMetricsF(headingFont_).height();
    paintCell(p, QRectF(margin, y - padding, tableWidth, heading + 2 * padding), QStringLiteral("ΟΡΙΣΤΙΚΗ ΔΗΛΩΣΗ  ΔΛΤ"),
              headingGlyphs_, Qt::AlignHCenter);
    y += heading * 2;
    y = paintDeclarant(p, y);
    if (kind_ == ReportKind::Totals) {
        paintCell(p, QRectF(margin, y, tableWidth, rowHeight_), QStringLiteral("ΕΚΤΥΠΩΣΗ ΣΥΝΟΛΩΝ"), titleGlyphs_,
                  Qt::AlignHCenter);
        y += rowHeight_;
    }
    return y;
}

qreal ReportDocument::paintDeclarant(QPainter& p, qreal y) const
{
    const HeaderFields& h = header_;
    auto at = [&](qreal from, qreal to, qreal row, const QString& text) {
        paintCell(p, QRectF(margin + tableWidth * from, y + row * rowHeight_, tableWidth * (to - from), rowHeight_),
                  text, cellGlyphs_, Qt::AlignLeft);
    };
    at(0, 0.06, 0, QStringLiteral("Έτος:"));
    at(0.06, 0.2, 0, fromCp(h.YearOfData));
    paintCell(p, QRectF(margin, y + 2 * rowHeight_, tableWidth, rowHeight_), QStringLiteral("ΣΤΟΙΧΕΙΑ ΥΠΟΧΡΕΟΥ"),
              titleGlyphs_, Qt::AlignHCenter);
    at(0, 0.14, 3, h.business ? QStringLiteral("Επωνυμία:") : QStringLiteral("Ονοματεπώνυμο:"));
    at(0.14, 0.5, 3, h.business ? fromCp(h.CompanyName) : fromCp(h.CompanyName, " ", h.Name));
    at(0.5, 0.58, 3, QStringLiteral("ΑΦΜ:"));
    at(0.58, 0.88, 3, fromCp(h.AFM));
    at(0, 0.14, 4, QStringLiteral("Πατρώνυμο:"));
    at(0.14, 0.5, 4, fromCp(h.FatherName));
    at(0, 0.14, 5, QStringLiteral("Αντικείμενο εργασιών:"));
    at(0.14, 0.5, 5, fromCp(h.AntikeimenoErgasion));
    at(0.5, 0.58, 5, QStringLiteral("Διεύθυνση:"));
    at(0.58, 0.88, 5, fromCp(h.Town) + ", " + fromCp(h.Street, " ", h.Number) + ", " + fromCp(h.TK));
    at(0.88, 0.92, 5, QStringLiteral("Τηλ:"));
    at(0.58, 0.88, 6, QStringLiteral("(πόλη, οδός, αριθμός, Τ.Κ.)"));
    return y + declarantRows * rowHeight_;
}

void ReportDocument::paintFooter(QPainter& p, int page) const
{
    const QString text = QStringLiteral("Σελίδα %1 από %2").arg(page + 1).arg(pageCount()) + footerTail_;
    // A text object of its own, after the page's other texts, keeps it whole for text extraction.
    authorityGlyphs_.flush(p);
    paintCell(p, QRectF(margin, footerTop_, tableWidth, pageHeight - margin - footerTop_), text, authorityGlyphs_,
              Qt::AlignHCenter);
    authorityGlyphs_.flush(p);
}

void ReportDocument::paintColumnTitles(QPainter& p, qreal y) const
{
    QList<QLineF> rules;
    const qreal lineHeight = QFontMetricsF(titleFont_).height();
    for (const Column& c : columns_) {
        for (qsizetype i = 0; i < c.title.size(); ++i)
            paintCell(p, QRectF(c.x, y + static_cast<qreal>(i) * lineHeight, c.width, lineHeight + 2 * padding),
                      c.title[i], titleGlyphs_, Qt::AlignHCenter);
        rules << QLineF(c.x, y, c.x, y + titlesHeight_);
    }
    rules << QLineF(margin, y, margin + tableWidth, y)
          << QLineF(margin + tableWidth, y, margin + tableWidth, y + titlesHeight_);
    p.setPen(QPen(Qt::black, rule));
    p.drawLines(rules);
}

std::vector<ReportDocument::Cell> ReportDocument::rowCells(size_t row) const
{
    std::vector<Cell> cells;
    const int columns = static_cast<int>(columns_.size());
    if (row < lines_.count) {
        const std::string_view line = lines_.lineAt(row);
        cells.reserve(18);
        cells.push_back({0, 1, QString::number(row + 1)});
        int c = 1;
        for (detail::Field f : {detail::AFM, detail::SurName, detail::Name, detail::FatherName})
            cells.push_back({c++, 1, fromCp(detail::fieldValue(line, f))});
        cells.push_back({c++, 1,
                         fromCp(detail::fieldValue(line, detail::City)) + ", " +
                             fromCp(detail::fieldValue(line, detail::Street)) + " " +
                             fromCp(detail::fieldValue(line, detail::StreetNo)) + " " +
                             fromCp(detail::fieldValue(line, detail::TK))});
        for (detail::Field f : laterColumns) cells.push_back({c++, 1, fromCp(detail::fieldValue(line, f))});
        return cells;
    }
    if (row == lines_.count) return {{0, columns, QString()}};
    auto box = [this](int n) { return fromCp(totals_[static_cast<size_t>(n - 1)]); };
    if (kind_ == ReportKind::DetailedPayments) {
        cells = {{0, 1, QString()}, {1, 6, QStringLiteral("ΣΥΝΟΛΟ")}};
        int c = 7;
        for (int n : {1, 5, 6, 2, 3, 4, 7}) cells.push_back({c++, 1, box(n)});
        cells.push_back({c++, 1, QString()});
        cells.push_back({c++, 1, QString()});
        for (int n : {8, 9}) cells.push_back({c++, 1, box(n)});
    } else {
        cells = {{0, 1, QStringLiteral("ΣΥΝΟΛΟ")}};
        int c = 1;
        for (int n : {1, 5, 6, 2, 3, 4, 7, 8, 9}) cells.push_back({c++, 1, box(n)});
    }
    return cells;
}

void ReportDocument::paintPage(QPainter& p, int page) const
{
    p.save();
    p.setPen(QPen(Qt::black, rule));
    qreal y = paintHead(p, page);
    paintColumnTitles(p, y);
    y += titlesHeight_;

    const size_t first = firstRowOf(page);
    const size_t last = std::min(tableRows(), first + (page == 0 ? firstPageRows_ : rowsPerPage_));
    QList<QLineF> rules;
    rules << QLineF(margin, y, margin + tableWidth, y);
    // Detail rows share their column rules: one line a column for the whole run of them.
    const size_t detailEnd = std::min(last, lines_.count);
    if (first < detailEnd) {
        const qreal bottom = y + static_cast<qreal>(detailEnd - first) * rowHeight_;
        for (const Column& c : columns_) rules << QLineF(c.x, y, c.x, bottom);
        rules << QLineF(margin + tableWidth, y, margin + tableWidth, bottom);
    }
    for (size_t row = first; row < last; ++row, y += rowHeight_) {
        const bool detailRow = row < lines_.count;
        for (const Cell& cell : rowCells(row)) {
            const Column& from = columns_[static_cast<size_t>(cell.column)];
            const Column& to = columns_[static_cast<size_t>(cell.column + cell.span - 1)];
            const QRectF box(from.x, y, to.x + to.width - from.x, rowHeight_);
            paintCell(p, box, cell.text, cellGlyphs_, Qt::AlignLeft);
            if (!detailRow) rules << QLineF(box.topLeft(), box.bottomLeft());
        }
        // One text object a row keeps the rows in reading order for text extraction.
        cellGlyphs_.flush(p);
        if (!detailRow) rules << QLineF(margin + tableWidth, y, margin + tableWidth, y + rowHeight_);
        rules << QLineF(margin, y + rowHeight_, margin + tableWidth, y + rowHeight_);
    }
    p.setPen(QPen(Qt::black, rule));
    p.drawLines(rules);
    paintFooter(p, page);
    for (const GlyphCache* glyphs : {&cellGlyphs_, &titleGlyphs_, &authorityGlyphs_, &headingGlyphs_}) glyphs->flush(p);
    p.restore();
}

}  // namespace edlt::reports
