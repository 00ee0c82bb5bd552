// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The please-wait window shown while a long command runs.
#include <QDialog>
#include <QSize>
#include <cstddef>

class QProgressBar;

namespace edlt::ui {

class PleaseWaitDialog : public QDialog {
    Q_OBJECT
public:
    explicit PleaseWaitDialog(QWidget* parent = nullptr);
    // Shows the window without making it modal and paints it before the work starts.
    void showNow();
    // Long work (a check, Open, import, Save As) shows how far it got; the bar goes again when the window hides.
    void setProgress(size_t done, size_t total);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QProgressBar* bar_ = nullptr;
    QSize plain_;  // without the bar
};

}  // namespace edlt::ui
