// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RecordNavigator: six buttons over the detail store (first, last, insert, delete, post,
// cancel), each with a hint and a two-line caption above it. The buttons never take the
// focus, so an open cell editor stays open until the action writes it.
#include <QToolButton>
#include <QWidget>
#include <array>

namespace edlt::ui {

class RecordNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { nbFirst, nbLast, nbInsert, nbDelete, nbPost, nbCancel, ButtonCount };
    static constexpr int ButtonsWidth = 444;
    static constexpr int ButtonsHeight = 29;
    static constexpr int CaptionHeight = 33;

    explicit RecordNavigator(QWidget* parent = nullptr);
    QToolButton* button(Button b) const { return buttons_[b]; }
    // The buttons' top inside the navigator: the captions sit above it.
    static int buttonsTop() { return CaptionHeight; }

signals:
    void buttonClicked(RecordNavigator::Button button);

private:
    std::array<QToolButton*, ButtonCount> buttons_{};
};

}  // namespace edlt::ui
