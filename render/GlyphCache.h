// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text drawn as glyph runs of one font, each character's glyph and advance looked up once.
// Laying out every cell's text anew (shaping, font matching) cost more than the rest of a
// page together; the reports' texts are single-byte Greek, which needs no shaping.
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QString>

class QPainter;

namespace edlt::reports {

class GlyphCache {
public:
    explicit GlyphCache(const QFont& font);

    qreal width(const QString& text) const;
    qreal ascent() const { return font_.ascent(); }
    // Keeps text with its baseline starting at (x, baseline) until flush draws every kept
    // text as one run: a PDF then gets one text object a row instead of one a cell.
    void add(qreal x, qreal baseline, const QString& text) const;
    void flush(QPainter& p) const;

private:
    struct Glyph {
        quint32 index;
        qreal advance;
    };
    const Glyph& glyph(QChar c) const;

    QRawFont font_;
    mutable QHash<char16_t, Glyph> glyphs_;
    mutable QList<quint32> indexes_;  // what add kept
    mutable QList<QPointF> positions_;
};

}  // namespace edlt::reports
