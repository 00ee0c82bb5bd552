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

    // The about command (N13): a new window every time, shown modally.
    static void N13Click(QWidget* parent);

    // The key word: five distinct Greek capitals, closed by ";".
    static const char* KeyWordUtf8();
    // The counter after a typed Windows-1253 character; showContact is set when the
    // closing ";" comes after the whole word.
    static int NextKeyWordCount(int counter, char typed, bool& showContact);
    static QString ContactText();

    int KeyWordCounter() const { return counter_; }
    // Typed text, as a key press anywhere in the window delivers it; true when it held
    // a key-word character or ";".
    bool Typed(const QString& text);

    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Comments = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int counter_ = 0;
};

}  // namespace edlt::ui
