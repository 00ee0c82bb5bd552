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

#include "core/session/UserInterface.h"
#include "gui/common/Text.h"
#include "core/rules/Messages.h"

namespace edlt::ui {
namespace {

class QuestionDialog : public QDialog {
public:
    QuestionDialog(QWidget* parent, const QString& text, int buttons, const QStringList& captions,
                   MessageBox::Kind kind)
        : QDialog(parent)
    {
        setObjectName("MessageDialog");
        setWindowTitle(kind == MessageBox::Kind::Warning ? QStringLiteral("Warning") : fromCp(msg::applicationTitle()));
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
            int kind, code;
            const char* standard;
        };
        const Def defs[] = {{mbYes, mrYes, "&Yes"}, {mbNo, mrNo, "&No"}, {mbOK, mrOk, "OK"}, {mbCancel, mrCancel, "Cancel"}};
        int captionIndex = 0;
        for (const Def& d : defs) {
            if (!(buttons & d.kind)) continue;
            QString caption = captionIndex < captions.size() ? captions[captionIndex] : QString::fromLatin1(d.standard);
            ++captionIndex;
            auto* b = new QPushButton(caption);
            b->setObjectName(QStringLiteral("Button%1").arg(d.code));
            b->setAutoDefault(false);
            buttonsRow->addWidget(b);
            const int code = d.code;
            connect(b, &QPushButton::clicked, this, [this, code] { finish(code); });
            buttons_.append({code, b});
        }
        buttonsRow->addStretch();
        outer->addLayout(buttonsRow);
        defaultCode_ = (buttons & mbOK) ? mrOk : (buttons & mbDefaultNo) ? mrNo : mrYes;
        escapeCode_ = (buttons & mbCancel) ? mrCancel : (buttons & mbNo) ? mrNo : mrOk;
        for (auto& [code, b] : buttons_)
            if (code == defaultCode_) {
                b->setDefault(true);
                b->setFocus();
            }
    }

    int answer() const { return answer_; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Escape) return finish(escapeCode_);
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            // Enter presses the button that has the focus, else the default one.
            for (auto& [code, b] : buttons_)
                if (b->hasFocus()) return finish(code);
            return finish(defaultCode_);
        }
        QDialog::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override
    {
        if (!finished_) answer_ = mrCancel;
        QDialog::closeEvent(e);
    }

private:
    void finish(int code)
    {
        finished_ = true;
        answer_ = code;
        accept();
    }

    QList<QPair<int, QPushButton*>> buttons_;
    int defaultCode_ = mrOk;
    int escapeCode_ = mrOk;
    int answer_ = mrCancel;
    bool finished_ = false;
};

}  // namespace

std::deque<int>& MessageBox::answers()
{
    static std::deque<int> queue;
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

int MessageBox::ask(QWidget* parent, const QString& text, int buttons, const QStringList& captions, Kind kind)
{
    shownTexts().append(text);
    if (!answers().empty()) {
        int a = answers().front();
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
