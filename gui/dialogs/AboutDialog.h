// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about window: picture, product line, notice and description, and the key word
// that, typed while the window has the focus, shows the makers' contact address.
#include <QDialog>

class QLabel;
class QPushButton;

namespace edlt::ui {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The about command: a new window every time, shown modally.
    static void showAbout(QWidget* parent);

    // The key word: five distinct Greek capitals, closed by ";".
    static const char* keyWordUtf8();
    // The counter after a typed Windows-1253 character; showContact is set when the
    // closing ";" comes after the whole word.
    static int nextKeyWordCount(int counter, char typed, bool& showContact);
    static QString contactText();

    int keyWordCounter() const { return counter_; }
    // Typed text, as a key press anywhere in the window delivers it; true when it held
    // a key-word character or ";".
    bool takeTyped(const QString& text);

    QLabel* iconLabel = nullptr;
    QLabel* productLabel = nullptr;
    QLabel* noticeLabel = nullptr;
    QLabel* descriptionLabel = nullptr;
    QPushButton* okButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int counter_ = 0;
};

}  // namespace edlt::ui
