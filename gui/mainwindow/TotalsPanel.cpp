// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/TotalsPanel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QStyle>

#include "gui/common/Text.h"

namespace edlt::ui {
namespace {

// The room QLineEdit keeps between its frame and its text on each side.
constexpr int lineEditMargin = 2;

// By number, in the order of TotalsTexts.
constexpr const char* boxNames[] = {"grossPayTotal",    "deductionsTotal",     "netPayTotal",
                                    "taxWithheldTotal", "stampDutyTotal",      "stampDutyOgaTotal",
                                    "taxDueTotal",      "ogaTaxWithheldTotal", "ogaTaxDueTotal"};

}  // namespace

TotalsPanel::TotalsPanel(DeclarationSession& session, UserInterface& ui, QWidget* parent)
    : QWidget(parent), session_(session), ui_(ui)
{
    setObjectName("totalsPanel");
    setAutoFillBackground(true);
    auto* title = new QLabel(tr8("Σύνολα αποδοχών και λοιπών στοιχείων"), this);
    title->setObjectName("totalsTitle");
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet("background:#0a246a; color:white; font-weight:bold;");
    title->setGeometry(0, 0, 1007, 18);

    struct Box {
        int number;
        const char* caption;
    };
    // Screen order, which is the schema order of the amounts.
    const Box boxes[] = {{1, "Ακαθάριστες\nΑποδοχές"},
                         {5, "Χαρτόσημο"},
                         {6, "ΟΓΑ\nΧαρτοσήμου"},
                         {2, "Κρατήσεις"},
                         {3, "Καθαρές\nΑποδοχές"},
                         {4, "Σύνολο Φόρου που\nΠαρακρατήθηκε"},
                         {7, "Σύνολο Φόρου\nπου Αναλογεί"},
                         {8, "Σύνολο ΟΓΑ Φόρου\nπου Παρακρατήθηκε"},
                         {9, "Σύνολο ΟΓΑ Φόρου\nπου Αναλογεί"}};
    const int width = 106, gap = 5;
    int x = 8;
    for (const Box& b : boxes) {
        auto* caption = new QLabel(tr8(b.caption), this);
        caption->setObjectName(boxName(b.number) + "Caption");
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        QFont small = caption->font();
        small.setPixelSize(10);
        caption->setFont(small);
        caption->setGeometry(x - gap / 2, 20, width + gap, 32);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(boxName(b.number));
        edit->setReadOnly(true);
        edit->setAlignment(Qt::AlignRight);
        edit->setGeometry(x, 54, width, 22);
        edit->installEventFilter(this);
        edits_[static_cast<size_t>(b.number - 1)] = edit;
        x += width + gap;
    }
    resize(1007, 81);
}

QString TotalsPanel::boxName(int number)
{
    return QString::fromLatin1(boxNames[static_cast<size_t>(number - 1)]);
}

void TotalsPanel::refresh()
{
    showTotals(session_.totals());
}

void TotalsPanel::showTotals(const TotalsTexts& totals)
{
    for (size_t i = 0; i < 9; ++i) {
        QLineEdit* box = edits_[i];
        const QString text = fromCp(totals[i]);
        box->setText(text);
        // A long sum (fourteen digits at a million lines) gets a smaller font rather than
        // losing its first digits.
        QFont f = font();
        const int room = box->contentsRect().width() -
                         2 * (box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box) + lineEditMargin);
        while (QFontMetrics(f).horizontalAdvance(text) > room && f.pointSizeF() > 5)
            f.setPointSizeF(f.pointSizeF() - 0.5);
        box->setFont(f);
    }
}

bool TotalsPanel::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && wouldEdit(*static_cast<QKeyEvent*>(event))) {
        ui_.beep();
        return true;
    }
    return false;
}

bool TotalsPanel::wouldEdit(const QKeyEvent& key)
{
    // Moving, selecting and copying stay; every key that would change the text is dropped.
    const bool command = key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (!command && !key.text().isEmpty() && key.text()[0].isPrint()) return true;
    if (key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete) return true;
    for (auto edit : {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo,
                      QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord, QKeySequence::DeleteEndOfLine,
                      QKeySequence::DeleteCompleteLine})
        if (key.matches(edit)) return true;
    return false;
}

}  // namespace edlt::ui
