// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/MessageBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/rules/Messages.h"
#include "core/session/UserInterface.h"
#include "gui/common/Text.h"

namespace edlt::ui {
namespace {

class QuestionDialog : public QDialog {
public:
    QuestionDialog(QWidget* parent, const QString& text, int buttons, const QStringList& captions,
                   MessageBox::Kind kind)
        : QDialog(parent)
    {
        setObjectName("MessageDialog");
        // A warning has the desktop's standard caption, in Greek.
        setWindowTitle(kind == MessageBox::Kind::Warning ? tr8("Προειδοποίηση") : fromCp(msg::applicationTitle()));
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        auto* outer = new QVBoxLayout(this);
        auto* row = new QHBoxLayout;
        if (kind == MessageBox::Kind::Warning) {
            auto* icon = new QLabel;
            icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
            icon->setAlignment(Qt::AlignTop);
            row->addWidget(icon);
        }
        auto* label = new QLabel(text);
        label->setObjectName("MessageText");
        label->setWordWrap(true);
        // What a message names (a file, a web address) can be selected and copied.
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(qMin(420, 40 + label->fontMetrics().horizontalAdvance(text)));
        label->setMaximumWidth(520);
        row->addWidget(label, 1);
        outer->addLayout(row);
        // Wide enough for the whole title beside the title bar's buttons.
        QFont titleFont = font();
        titleFont.setBold(true);
        setMinimumWidth(QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 120);
        auto* buttonsRow = new QHBoxLayout;
        buttonsRow->addStretch();
        struct Def {
            int kind;
            Answer answer;
            const char* standard;
            const char* objectName;
        };
        const Def defs[] = {{mbYes, Answer::Yes, "&Yes", "yesButton"},
                            {mbNo, Answer::No, "&No", "noButton"},
                            {mbOK, Answer::Ok, "OK", "okButton"},
                            {mbCancel, Answer::Cancel, "Cancel", "cancelButton"}};
        int captionIndex = 0;
        for (const Def& d : defs) {
            if (!(buttons & d.kind)) continue;
            QString caption = captionIndex < captions.size() ? captions[captionIndex] : QString::fromLatin1(d.standard);
            ++captionIndex;
            auto* b = new QPushButton(caption);
            b->setObjectName(QString::fromLatin1(d.objectName));
            b->setAutoDefault(false);
            buttonsRow->addWidget(b);
            const Answer answer = d.answer;
            connect(b, &QPushButton::clicked, this, [this, answer] { finish(answer); });
            buttons_.append({answer, b});
        }
        buttonsRow->addStretch();
        outer->addLayout(buttonsRow);
        defaultAnswer_ = (buttons & mbOK) ? Answer::Ok : (buttons & mbDefaultNo) ? Answer::No : Answer::Yes;
        escapeAnswer_ = (buttons & mbCancel) ? Answer::Cancel : (buttons & mbNo) ? Answer::No : Answer::Ok;
        for (auto& [answer, b] : buttons_)
            if (answer == defaultAnswer_) {
                b->setDefault(true);
                b->setFocus();
            }
    }

    Answer answer() const { return answer_; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Escape) return finish(escapeAnswer_);
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            // Enter presses the button that has the focus, else the default one.
            for (auto& [answer, b] : buttons_)
                if (b->hasFocus()) return finish(answer);
            return finish(defaultAnswer_);
        }
        QDialog::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override
    {
        if (!finished_) answer_ = Answer::Cancel;
        QDialog::closeEvent(e);
    }

private:
    void finish(Answer answer)
    {
        finished_ = true;
        answer_ = answer;
        accept();
    }

    QList<QPair<Answer, QPushButton*>> buttons_;
    Answer defaultAnswer_ = Answer::Ok;
    Answer escapeAnswer_ = Answer::Ok;
    Answer answer_ = Answer::Cancel;
    bool finished_ = false;
};

}  // namespace

std::deque<Answer>& MessageBox::answers()
{
    static std::deque<Answer> queue;
    return queue;
}

QStringList& MessageBox::shownTexts()
{
    static QStringList texts;
    return texts;
}

void MessageBox::clearTestState()
{
    answers().clear();
    shownTexts().clear();
}

Answer MessageBox::ask(QWidget* parent, const QString& text, int buttons, const QStringList& captions, Kind kind)
{
    shownTexts().append(text);
    if (!answers().empty()) {
        const Answer a = answers().front();
        answers().pop_front();
        return a;
    }
    QuestionDialog box(parent, text, buttons, captions, kind);
    box.exec();
    return box.answer();
}

void MessageBox::notice(QWidget* parent, const QString& text, Kind kind)
{
    ask(parent, text, mbOK, {}, kind);
}

}  // namespace edlt::ui
