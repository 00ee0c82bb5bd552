// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/FindDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "core/base/Cp1253.h"
#include "gui/common/MessageBox.h"
#include "gui/common/Text.h"

namespace edlt::ui {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("findDialog");
    setWindowTitle(tr8("Εύρεση"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(287, 197);

    auto* searchBy = new QLabel(tr8("Αναζήτηση με:"), this);
    searchBy->setObjectName("searchByLabel");
    searchBy->move(24, 8);
    auto* panel = new QWidget(this);
    panel->setObjectName("searchByPanel");
    panel->setGeometry(8, 28, 200, 24);
    byTaxNumberRadio = new QRadioButton(tr8("ΑΦΜ"), panel);
    byTaxNumberRadio->setObjectName("byTaxNumberRadio");
    byTaxNumberRadio->move(16, 2);
    byTaxNumberRadio->setChecked(true);
    bySurnameRadio = new QRadioButton(tr8("Επωνυμία"), panel);
    bySurnameRadio->setObjectName("bySurnameRadio");
    bySurnameRadio->move(88, 2);

    auto* searchTextLabel = new QLabel(tr8("Εύρεση του:"), this);
    searchTextLabel->setObjectName("searchTextLabel");
    searchTextLabel->move(8, 62);
    searchTextLabel->adjustSize();
    searchTextEdit = new QLineEdit(this);
    searchTextEdit->setObjectName("searchTextEdit");
    // The box starts after its caption, whatever the font's width.
    const int editLeft = std::max(80, searchTextLabel->geometry().right() + 6);
    searchTextEdit->setGeometry(editLeft, 60, 281 - editLeft, 21);
    searchTextEdit->setMaxLength(findMaxLength(true));
    searchTextEdit->installEventFilter(this);

    wholeWordsCheck = new QCheckBox(tr8("Μόνο ολόκληρες λέξεις"), this);
    wholeWordsCheck->setObjectName("wholeWordsCheck");
    wholeWordsCheck->move(64, 112);
    wholeWordsCheck->setChecked(true);

    // "ΟΚ" in Greek capitals, as users of the program know it.
    okButton = new QPushButton(tr8("ΟΚ"), this);
    okButton->setObjectName("okButton");
    okButton->setGeometry(28, 150, 75, 41);
    okButton->setDefault(true);
    cancelButton = new QPushButton(tr8("Ακύρωση"), this);
    cancelButton->setObjectName("cancelButton");
    cancelButton->setGeometry(176, 150, 75, 41);
    cancelButton->setAutoDefault(false);
    connect(okButton, &QPushButton::clicked, this, &FindDialog::onOkClicked);
    connect(cancelButton, &QPushButton::clicked, this, &FindDialog::onCancelClicked);

    if (QScreen* s = QApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
}

FindRequest FindDialog::execute()
{
    // Closing by any other way than "ΟΚ" cancels, so a stale search never runs unasked.
    result_.Cancelled = true;
    // Typing goes straight into the search text, replacing the last one.
    searchTextEdit->setFocus(Qt::OtherFocusReason);
    searchTextEdit->selectAll();
    exec();
    return result_;
}

FindOutcome FindDialog::runFind(DeclarationSession& session, UserInterface& ui)
{
    return runFindCommand(session, ui, [this] { return execute(); });
}

FindOutcome FindDialog::runFindNext(DeclarationSession& session, UserInterface& ui)
{
    if (!lastSearch_) return runFind(session, ui);
    return runFindNextCommand(session, ui, *lastSearch_);
}

void FindDialog::onOkClicked()
{
    auto text = toCp(searchTextEdit->text());
    if (!text) {
        // Pasted text the code page cannot hold could never be in a declaration.
        MessageBox::notice(this, fromCp(cp1253::unrepresentableMessage()));
        searchTextEdit->setFocus();
        return;
    }
    result_.Cancelled = false;
    result_.SearchText = *text;
    result_.PartialMatch = !wholeWordsCheck->isChecked();
    result_.ByAFM = byTaxNumberRadio->isChecked();
    lastSearch_ = result_;
    accept();
}

void FindDialog::onCancelClicked()
{
    reject();
}

void FindDialog::reject()
{
    result_.Cancelled = true;
    QDialog::reject();
}

bool FindDialog::acceptTyped(const QString& text)
{
    const bool byAfm = byTaxNumberRadio->isChecked();
    applyMaxLength(byAfm);
    for (QChar ch : text) {
        auto cp = toCp(QString(ch));
        if (!cp || cp->size() != 1 || !findKeyAccepted(byAfm, (*cp)[0])) return false;
    }
    return true;
}

void FindDialog::applyMaxLength(bool byAfm)
{
    // The limit follows the choice of the moment; text already longer is never cut.
    const int limit = std::max<int>(findMaxLength(byAfm), static_cast<int>(searchTextEdit->text().size()));
    if (searchTextEdit->maxLength() == limit) return;
    // A new limit puts the text in again: the cursor and the selection stay where they were.
    const int cursor = searchTextEdit->cursorPosition();
    const int start = searchTextEdit->selectionStart();
    const int length = searchTextEdit->selectionLength();
    searchTextEdit->setMaxLength(limit);
    if (start < 0) searchTextEdit->setCursorPosition(cursor);
    else if (cursor == start)
        searchTextEdit->setSelection(start + length, -length);
    else
        searchTextEdit->setSelection(start, length);
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != searchTextEdit) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Enter and Escape belong to the dialog's buttons; keys without a character
        // (arrows, Delete, Home) are not typed characters at all.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape ||
            key->key() == Qt::Key_Delete || key->text().isEmpty())
            return false;
        if (!acceptTyped(key->text())) {
            QApplication::beep();
            emit keyRefused();
            return true;
        }
    } else if (event->type() == QEvent::InputMethod) {
        auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->commitString().isEmpty() && !acceptTyped(im->commitString())) {
            QApplication::beep();
            emit keyRefused();
            return true;
        }
    }
    return false;
}

}  // namespace edlt::ui
