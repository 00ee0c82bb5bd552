// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/DeclarantHeader.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

#include "core/rules/CheckAFM.h"
#include "core/store/DeclarantRecord.h"
#include "core/store/FieldText.h"
#include "gui/common/Text.h"
#include "gui/mainwindow/CommandScope.h"

namespace edlt::ui {

DeclarantHeader::DeclarantHeader(DeclarationSession& session, UserInterface& ui, QWidget* window)
    : QObject(window), session_(session), ui_(ui), window_(window)
{
    // First row: year and tax number; second: the kind and the names; third: the address.
    addLabel("yearLabel", "Έτος που αφορούν\nτα στοιχεία: (*)", 8, 22);
    addBox(HeaderField::YearOfData, "YearOfData", 135, 27, 50);
    addLabel("taxNumberLabel", "ΑΦΜ: (*) ", 205, 30);
    addBox(HeaderField::AFM, "AFM", 265, 27, 90);
    addLabel("activityLabel", "Αντικείμενο δραστηριότητας \nεπιχείρησης: (*)", 380, 22);
    addBox(HeaderField::AntikeimenoErgasion, "AntikeimenoErgasion", 565, 27, 150);
    addLabel("mandatoryNote", "(*) Υποχρεωτικά Στοιχεία", 780, 30, true);

    businessRadio_ = new QRadioButton(tr8("Επωνυμία"), window_);
    businessRadio_->setObjectName("businessRadio");
    businessRadio_->setGeometry(8, 56, 110, 20);
    businessRadio_->setChecked(true);
    personRadio_ = new QRadioButton(tr8("Ονοματεπώνυμο"), window_);
    personRadio_->setObjectName("personRadio");
    personRadio_->setGeometry(8, 76, 130, 20);
    connect(businessRadio_, &QRadioButton::clicked, this, [this] {
        session_.chooseBusiness();
        refresh();
    });
    connect(personRadio_, &QRadioButton::clicked, this, [this] {
        session_.choosePerson();
        refresh();
    });

    companyLabel_ = addLabel("companyNameLabel", "Επωνυμία Επιχείρησης: (*)", 140, 69);
    addBox(HeaderField::CompanyName, "CompanyName", 315, 66, 160);
    nameLabel_ = addLabel("nameLabel", "Όνομα:", 490, 69);
    addBox(HeaderField::Name, "Name", 540, 66, 90);
    fatherLabel_ = addLabel("fatherNameLabel", "Πατρώνυμο:", 650, 69);
    addBox(HeaderField::FatherName, "FatherName", 730, 66, 45);

    addLabel("addressLabel", "Διεύθυνση:", 8, 108, true);
    addLabel("townLabel", "Πόλη:", 100, 108);
    addBox(HeaderField::Town, "Town", 140, 105, 100);
    addLabel("streetLabel", "Οδός:", 260, 108);
    addBox(HeaderField::Street, "Street", 300, 105, 150);
    addLabel("numberLabel", "Αριθμός:", 470, 108);
    addBox(HeaderField::Number, "Number", 530, 105, 55);
    addLabel("postCodeLabel", "Τ.Κ.:", 605, 108);
    addBox(HeaderField::TK, "TK", 645, 105, 55);

    // Tab order as the band lists it.
    QWidget* order[] = {box(HeaderField::YearOfData),
                        box(HeaderField::AFM),
                        box(HeaderField::AntikeimenoErgasion),
                        businessRadio_,
                        personRadio_,
                        box(HeaderField::CompanyName),
                        box(HeaderField::Name),
                        box(HeaderField::FatherName),
                        box(HeaderField::Town),
                        box(HeaderField::Street),
                        box(HeaderField::Number),
                        box(HeaderField::TK)};
    for (size_t i = 0; i + 1 < std::size(order); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
    refresh();
}

QLabel* DeclarantHeader::addLabel(const char* name, const char* text, int x, int y, bool bold)
{
    auto* label = new QLabel(tr8(text), window_);
    label->setObjectName(name);
    if (bold) {
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
    }
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit* DeclarantHeader::addBox(HeaderField field, const char* name, int x, int y, int width)
{
    auto* box = new QLineEdit(window_);
    box->setObjectName(name);
    box->setMaxLength(declarant::widthOf(field));
    box->setGeometry(x, y, width, 22);
    box->installEventFilter(this);
    boxes_[field] = box;
    connect(box, &QLineEdit::textEdited, this, [this, field] { textEdited(field); });
    return box;
}

void DeclarantHeader::focus(HeaderField field)
{
    QLineEdit* b = box(field);
    b->setFocus(Qt::OtherFocusReason);
    b->selectAll();
}

void DeclarantHeader::refresh()
{
    const HeaderFields& h = session_.header();
    const std::pair<HeaderField, const std::string*> values[] = {
        {HeaderField::YearOfData, &h.YearOfData},
        {HeaderField::AFM, &h.AFM},
        {HeaderField::AntikeimenoErgasion, &h.AntikeimenoErgasion},
        {HeaderField::CompanyName, &h.CompanyName},
        {HeaderField::Name, &h.Name},
        {HeaderField::FatherName, &h.FatherName},
        {HeaderField::Town, &h.Town},
        {HeaderField::Street, &h.Street},
        {HeaderField::Number, &h.Number},
        {HeaderField::TK, &h.TK}};
    for (const auto& [field, value] : values) {
        QLineEdit* b = box(field);
        QString text = fromCp(*value);
        if (b->text() != text) b->setText(text);
        lastGood_[b] = text;
    }
    businessRadio_->setChecked(h.business);
    personRadio_->setChecked(!h.business);
    companyLabel_->setText(fromCp(session_.companyNameCaption()));
    companyLabel_->adjustSize();
    for (QWidget* w :
         {static_cast<QWidget*>(nameLabel_), static_cast<QWidget*>(fatherLabel_),
          static_cast<QWidget*>(box(HeaderField::Name)), static_cast<QWidget*>(box(HeaderField::FatherName))})
        w->setVisible(!h.business);
}

void DeclarantHeader::textEdited(HeaderField field)
{
    QLineEdit* b = box(field);
    auto cp = toCp(b->text());
    if (!cp) {
        // Pasted text the code page cannot hold: refused whole, with a beep.
        ui_.beep();
        int pos = b->cursorPosition();
        b->setText(lastGood_[b]);
        b->setCursorPosition(qMin(pos, static_cast<int>(b->text().size())));
        return;
    }
    if (!isCleanFieldText(*cp)) {
        // A pasted line break or tab: one space, as in every field.
        const int pos = b->cursorPosition();
        *cp = cleanFieldText(*cp);
        b->setText(fromCp(*cp));
        b->setCursorPosition(qMin(pos, static_cast<int>(b->text().size())));
    }
    lastGood_[b] = b->text();
    session_.setHeaderText(field, *cp);
}

bool DeclarantHeader::eventFilter(QObject* watched, QEvent* event)
{
    auto* b = qobject_cast<QLineEdit*>(watched);
    if (!b) return false;
    HeaderField field{};
    for (const auto& [f, box] : boxes_)
        if (box == b) field = f;

    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.isEmpty() || !text[0].isPrint()) return false;
        if (!toCp(text)) {
            ui_.beep();
            return true;
        }
        session_.setModified(true);
        if (field == HeaderField::YearOfData || field == HeaderField::AFM || field == HeaderField::TK) {
            char c = text.size() == 1 && text[0].unicode() < 128 ? static_cast<char>(text[0].unicode()) : '\x01';
            if (!digitKeyFilter(c, [this] { ui_.beep(); })) return true;
        }
        return false;
    }
    if (event->type() == QEvent::FocusOut && (field == HeaderField::AFM || field == HeaderField::YearOfData)) {
        // Leaving by the user's hand for another control of the window; not for a menu or a
        // message box, nor when a refused check puts the focus back into another box.
        auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason ||
            reason == Qt::ShortcutFocusReason) {
            QTimer::singleShot(0, this, [this, field] { checkOnLeaving(field); });
        }
    }
    return false;
}

void DeclarantHeader::checkOnLeaving(HeaderField field)
{
    if (CommandScope::running()) {
        // The click that left the box started a command: the check waits for its end.
        CommandScope::afterwards(this, [this, field] { checkOnLeaving(field); });
        return;
    }
    if (checking_ || !window_->isVisible()) return;
    // The focus may already be back in the box (a check refused it earlier).
    if (box(field)->hasFocus()) return;
    checking_ = true;
    if (field == HeaderField::AFM) session_.leaveAfmBox();
    else
        session_.leaveYearBox();
    checking_ = false;
}

}  // namespace edlt::ui
