// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The nine totals boxes under their captions; they only display.
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <array>

#include "core/session/DeclarationSession.h"

namespace edlt::ui {

class TotalsPanel : public QWidget {
    Q_OBJECT
public:
    TotalsPanel(DeclarationSession& session, UserInterface& ui, QWidget* parent);
    void refresh();
    void showTotals(const TotalsTexts& totals);
    // The box of a total by its number, 1 to 9, in the order of TotalsTexts.
    QLineEdit* edit(int number) const { return edits_[static_cast<size_t>(number - 1)]; }
    // The box's object name; its caption's is this followed by "Caption".
    static QString boxName(int number);

    // A key that would change a box's text (characters, deletions, paste, cut).
    static bool wouldEdit(const QKeyEvent& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DeclarationSession& session_;
    UserInterface& ui_;
    std::array<QLineEdit*, 9> edits_{};
};

}  // namespace edlt::ui
