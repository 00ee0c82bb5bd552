// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The find dialog: search by tax number or surname, whole field or its beginning. One
// dialog lives for the whole run and keeps its controls' contents between uses.
#include <QDialog>
#include <optional>

#include "core/session/Find.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace edlt {
class DeclarationSession;
class UserInterface;
}  // namespace edlt

namespace edlt::ui {

class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent = nullptr);

    // Shows the dialog modally and returns what it stored when it closed.
    FindRequest execute();
    // What the last closing stored: cancelled (also by the close box or Escape), or the
    // text, kind and match choice of the last "ΟΚ".
    const FindRequest& lastRequest() const { return result_; }

    // The find command (Ctrl+F).
    FindOutcome runFind(DeclarationSession& session, UserInterface& ui);
    // Find next (F3): the last search from the line after the current one; before any
    // search, the find command itself.
    FindOutcome runFindNext(DeclarationSession& session, UserInterface& ui);

    void onOkClicked();
    void onCancelClicked();

    QRadioButton* byTaxNumberRadio = nullptr;  // "ΑΦΜ"
    QRadioButton* bySurnameRadio = nullptr;    // "Επωνυμία"
    QLineEdit* searchTextEdit = nullptr;
    QCheckBox* wholeWordsCheck = nullptr;  // "Μόνο ολόκληρες λέξεις"
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

public slots:
    void reject() override;

signals:
    // A typed key was refused (with a beep).
    void keyRefused();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool acceptTyped(const QString& text);
    void applyMaxLength(bool byAfm);

    FindRequest result_;
    std::optional<FindRequest> lastSearch_;
};

}  // namespace edlt::ui
