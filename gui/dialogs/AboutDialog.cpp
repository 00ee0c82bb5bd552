// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/AboutDialog.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "EdltVersion.h"
#include "core/base/Cp1253.h"
#include "gui/common/MessageBox.h"
#include "gui/common/Text.h"
#include "gui/dialogs/ProgramIcon.h"

namespace edlt::ui {
namespace {

const std::string& keyWord()
{
    static const std::string word = cp1253::lit(AboutDialog::keyWordUtf8());
    return word;
}

}  // namespace

const char* AboutDialog::keyWordUtf8()
{
    return "ΜΙΣΘΟ";
}

QString AboutDialog::contactText()
{
    return tr8("Ομάδα ανάπτυξης του e-ΔΛΤ\nΗλεκτρονικό ταχυδρομείο: dev@edlt.local");
}

int AboutDialog::nextKeyWordCount(int counter, char typed, bool& showContact)
{
    showContact = false;
    const std::string& word = keyWord();
    for (size_t i = 0; i < word.size(); ++i)
        if (typed == word[i]) return counter == static_cast<int>(i) ? counter + 1 : 0;
    if (typed == ';') {
        if (counter != static_cast<int>(word.size())) return 0;
        showContact = true;
        return counter;
    }
    return counter;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("aboutDialog");
    setWindowTitle(tr8("Σχετικά"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(400, 290);

    auto* panel = new QFrame(this);
    panel->setObjectName("aboutFrame");
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(8, 8, 384, 225);

    iconLabel = new QLabel(panel);
    iconLabel->setObjectName("iconLabel");
    iconLabel->setPixmap(programIconPixmap(64));
    iconLabel->setGeometry(16, 16, 64, 64);

    productLabel = new QLabel(tr8("e-ΔΛΤ v. " EDLT_VERSION), panel);
    productLabel->setObjectName("productLabel");
    QFont big = productLabel->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    productLabel->setFont(big);
    productLabel->setGeometry(96, 20, 272, 28);

    // A word joiner after the hyphen: "e-ΔΛΤ" is never broken across lines.
    noticeLabel = new QLabel(tr8("Πρόγραμμα της ομάδας ανάπτυξης του e-\u2060ΔΛΤ.\n"
                                 "Διατίθεται δωρεάν, χωρίς καμία εγγύηση."),
                             panel);
    noticeLabel->setObjectName("noticeLabel");
    noticeLabel->setWordWrap(true);
    noticeLabel->setGeometry(96, 52, 272, 48);

    descriptionLabel = new QLabel(tr8("Ηλεκτρονική Υποβολή Οριστικών Δηλώσεων Τέλους Καταστάσεων Αμοιβών"), panel);
    descriptionLabel->setObjectName("descriptionLabel");
    descriptionLabel->setWordWrap(true);
    descriptionLabel->setAlignment(Qt::AlignCenter);
    descriptionLabel->setGeometry(16, 120, 352, 80);

    okButton = new QPushButton(tr8("OK"), this);
    okButton->setObjectName("okButton");
    okButton->setGeometry(162, 248, 75, 30);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    // The window sees every key before its controls.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

    if (QScreen* s = QApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
}

void AboutDialog::showAbout(QWidget* parent)
{
    AboutDialog box(parent);
    box.exec();
}

bool AboutDialog::takeTyped(const QString& text)
{
    bool used = false;
    for (QChar ch : text) {
        // The Greek question mark is the semicolon in Windows-1253.
        if (ch == QChar(0x037E)) ch = QChar(';');
        auto cp = toCp(QString(ch));
        if (!cp || cp->size() != 1) continue;
        const char c = (*cp)[0];
        if (c != ';' && keyWord().find(c) == std::string::npos) continue;  // leaves the counter alone
        used = true;
        bool showContact = false;
        counter_ = nextKeyWordCount(counter_, c, showContact);
        if (showContact) MessageBox::notice(this, contactText());
    }
    return used;
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Key-word characters are taken where they arrive, so a key passed on from a control
    // to the window is never counted twice.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->text().isEmpty() && takeTyped(key->text())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace edlt::ui
