// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/GlyphCache.h"

#include <QPainter>

namespace edlt::reports {

GlyphCache::GlyphCache(const QFont& font) : font_(QRawFont::fromFont(font)) {}

const GlyphCache::Glyph& GlyphCache::glyph(QChar c) const
{
    auto it = glyphs_.constFind(c.unicode());
    if (it != glyphs_.constEnd()) return *it;
    const QList<quint32> index = font_.glyphIndexesForString(QString(c));
    Glyph g{index.isEmpty() ? 0 : index.first(), 0};
    if (!index.isEmpty()) g.advance = font_.advancesForGlyphIndexes(index).first().x();
    return *glyphs_.insert(c.unicode(), g);
}

qreal GlyphCache::width(const QString& text) const
{
    qreal w = 0;
    for (QChar c : text) w += glyph(c).advance;
    return w;
}

void GlyphCache::add(qreal x, qreal baseline, const QString& text) const
{
    indexes_.reserve(indexes_.size() + text.size());
    positions_.reserve(positions_.size() + text.size());
    for (QChar c : text) {
        const Glyph& g = glyph(c);
        indexes_.append(g.index);
        positions_.append(QPointF(x, baseline));
        x += g.advance;
    }
}

void GlyphCache::flush(QPainter& p) const
{
    if (indexes_.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(font_);
    run.setGlyphIndexes(indexes_);
    run.setPositions(positions_);
    p.drawGlyphRun(QPointF(0, 0), run);
    indexes_.clear();
    positions_.clear();
}

}  // namespace edlt::reports
