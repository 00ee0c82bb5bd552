#include "gui/dialogs/FindDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>

#include "gui/common/MessageBox.h"
#include "gui/common/Text.h"
#include "core/base/Cp1253.h"

namespace edlt::ui {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("Find");
    setWindowTitle(tr8("Εύρεση"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(287, 197);

    auto* label1 = new QLabel(tr8("Αναζήτηση με:"), this);
    label1->setObjectName("Label1");
    label1->move(24, 8);
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    panel->setGeometry(8, 28, 200, 24);
    RadioButton1 = new QRadioButton(tr8("ΑΦΜ"), panel);
    RadioButton1->setObjectName("RadioButton1");
    RadioButton1->move(16, 2);
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(tr8("Επωνυμία"), panel);
    RadioButton2->setObjectName("RadioButton2");
    RadioButton2->move(88, 2);

    auto* label2 = new QLabel(tr8("Εύρεση του:"), this);
    label2->setObjectName("Label2");
    label2->move(8, 62);
    label2->adjustSize();
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    // The box starts after its caption, whatever the font's width.
    const int editLeft = std::max(80, label2->geometry().right() + 6);
    Edit1->setGeometry(editLeft, 60, 281 - editLeft, 21);
    Edit1->installEventFilter(this);

    CheckBox1 = new QCheckBox(tr8("Μόνο ολόκληρες λέξεις"), this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->move(64, 112);
    CheckBox1->setChecked(true);

    // "ΟΚ" in Greek capitals, as users of the program know it.
    Button1 = new QPushButton(tr8("ΟΚ"), this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(28, 150, 75, 41);
    Button1->setDefault(true);
    Button2 = new QPushButton(tr8("Ακύρωση"), this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(176, 150, 75, 41);
    Button2->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &FindDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &FindDialog::Button2Click);

    if (QScreen* s = QApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
}

FindRequest FindDialog::Execute()
{
    // Closing by any other way than "ΟΚ" cancels, so a stale search never runs unasked.
    result_.Cancelled = true;
    exec();
    return result_;
}

FindOutcome FindDialog::N18Click(DeclarationSession& session, UserInterface& ui)
{
    return RunFindCommand(session, ui, [this] { return Execute(); });
}

void FindDialog::Button1Click()
{
    auto text = toCp(Edit1->text());
    if (!text) {
        // Pasted text the code page cannot hold could never be in a declaration.
        MessageBox::notice(this, fromCp(cp1253::unrepresentableMessage()));
        Edit1->setFocus();
        return;
    }
    result_.Cancelled = false;
    result_.SearchText = *text;
    result_.PartialMatch = !CheckBox1->isChecked();
    result_.ByAFM = RadioButton1->isChecked();
    accept();
}

void FindDialog::Button2Click()
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
    const bool byAfm = RadioButton1->isChecked();
    // The limit follows the choice of the moment; text already longer is never cut.
    Edit1->setMaxLength(std::max<int>(FindMaxLength(byAfm), static_cast<int>(Edit1->text().size())));
    for (QChar ch : text) {
        auto cp = toCp(QString(ch));
        if (!cp || cp->size() != 1 || !FindKeyAccepted(byAfm, (*cp)[0])) return false;
    }
    return true;
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Edit1) return QDialog::eventFilter(watched, event);
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
