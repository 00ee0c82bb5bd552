#pragma once
// The please-wait window shown while a long command runs.
#include <QDialog>

namespace edlt::ui {

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    // Shows the window without making it modal and paints it before the work starts.
    void showNow();
};

}  // namespace edlt::ui
