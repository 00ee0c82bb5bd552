// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/RecordNavigator.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace edlt::ui {
namespace {

struct ButtonText {
    const char* name;
    const char* firstLine;
    const char* secondLine;
};

constexpr std::array<ButtonText, RecordNavigator::ButtonCount> texts = {{
    {"firstButton", "Πρώτη", "Εγγραφή"},
    {"lastButton", "Τελευταία", "Εγγραφή"},
    {"insertButton", "Εισαγωγή", "Εγγραφής"},
    {"deleteButton", "Διαγραφή", "Εγγραφής"},
    {"postButton", "Αποθήκευση", "Αλλαγών"},
    {"cancelButton", "Ακύρωση", "Αλλαγών"},
}};

// The buttons' glyphs, drawn rather than shipped as pictures, so they follow the theme's ink.
QIcon glyph(RecordNavigator::Button b, const QColor& ink)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    auto triangle = [&p](bool pointsLeft, int left) {
        QPainterPath t;
        if (pointsLeft) {
            t.moveTo(left + 6, 3);
            t.lineTo(left, 8);
            t.lineTo(left + 6, 13);
        } else {
            t.moveTo(left, 3);
            t.lineTo(left + 6, 8);
            t.lineTo(left, 13);
        }
        t.closeSubpath();
        p.drawPath(t);
    };
    switch (b) {
    case RecordNavigator::nbFirst:
        p.drawRect(4, 3, 2, 10);
        triangle(true, 7);
        break;
    case RecordNavigator::nbLast:
        triangle(false, 3);
        p.drawRect(10, 3, 2, 10);
        break;
    case RecordNavigator::nbInsert:
        p.drawRect(7, 3, 2, 10);
        p.drawRect(3, 7, 10, 2);
        break;
    case RecordNavigator::nbDelete: p.drawRect(3, 7, 10, 2); break;
    case RecordNavigator::nbPost: {
        QPen pen(QColor(0, 110, 0), 2.2);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(6.5, 12), QPointF(13, 4)}));
        break;
    }
    case RecordNavigator::nbCancel: {
        QPen pen(QColor(170, 0, 0), 2.2);
        p.setPen(pen);
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    }
    default: break;
    }
    return QIcon(pm);
}

}  // namespace

RecordNavigator::RecordNavigator(QWidget* parent) : QWidget(parent)
{
    setObjectName("recordNavigator");
    setFixedSize(ButtonsWidth, CaptionHeight + ButtonsHeight);
    const int width = ButtonsWidth / ButtonCount;
    QFont small = font();
    small.setPointSize(8);
    for (int i = 0; i < ButtonCount; ++i) {
        const ButtonText& t = texts[static_cast<size_t>(i)];
        const QString caption = QString::fromUtf8(t.firstLine) + "\n" + QString::fromUtf8(t.secondLine);
        auto* label = new QLabel(caption, this);
        label->setObjectName(QString(t.name) + "Caption");
        label->setFont(small);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        label->setGeometry(i * width, 0, width, CaptionHeight - 2);

        auto* button = new QToolButton(this);
        button->setObjectName(t.name);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolTip(QString::fromUtf8(t.firstLine) + " " + QString::fromUtf8(t.secondLine));
        button->setIcon(glyph(static_cast<Button>(i), palette().color(QPalette::ButtonText)));
        button->setGeometry(i * width, CaptionHeight, width, ButtonsHeight);
        connect(button, &QToolButton::clicked, this, [this, i] { emit buttonClicked(static_cast<Button>(i)); });
        buttons_[static_cast<size_t>(i)] = button;
    }
}

}  // namespace edlt::ui
