// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace edlt::ui {

QPixmap programIconPixmap(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Drawn on a 256-unit square, as in edlt.svg.
    p.scale(size / 256.0, size / 256.0);

    QLinearGradient fill(0, 8, 0, 248);
    fill.setColorAt(0, QColor("#2f76d2"));
    fill.setColorAt(1, QColor("#0b3b8c"));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    p.setBrush(QColor("#ffd23f"));
    p.drawRoundedRect(QRectF(48, 184, 160, 12), 6, 6);

    QFont font("DejaVu Sans");
    font.setBold(true);
    // Below 32 pixels the whole name cannot be read: the Delta alone stands for it.
    const bool small = size < 32;
    font.setPixelSize(small ? 150 : 68);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(8, small ? 20 : 60, 240, small ? 160 : 100), Qt::AlignCenter,
               small ? QString::fromUtf8("Δ") : QString::fromUtf8("e-ΔΛΤ"));
    return pm;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(programIconPixmap(size));
    return icon;
}

}  // namespace edlt::ui
