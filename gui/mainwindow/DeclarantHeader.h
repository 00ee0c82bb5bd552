// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The declarant header band: year, tax number, activity, the business/person switch,
// the names and the address, bound to the session's header values.
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>
#include <map>

#include "core/session/DeclarationSession.h"

namespace edlt::ui {

class DeclarantHeader : public QObject {
    Q_OBJECT
public:
    // Creates the band's widgets as children of window, at their places.
    DeclarantHeader(DeclarationSession& session, UserInterface& ui, QWidget* window);

    QLineEdit* box(HeaderField field) const { return boxes_.at(field); }
    void focus(HeaderField field);
    // Shows the session's header values (after New, Open, a radio click).
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* addBox(HeaderField field, const char* name, int x, int y, int width);
    QLabel* addLabel(const char* name, const char* text, int x, int y, bool bold = false);
    void textEdited(HeaderField field);
    void checkOnLeaving(HeaderField field);

    DeclarationSession& session_;
    UserInterface& ui_;
    QWidget* window_;
    std::map<HeaderField, QLineEdit*> boxes_;
    std::map<QLineEdit*, QString> lastGood_;
    QRadioButton* businessRadio_;
    QRadioButton* personRadio_;
    QLabel* companyLabel_;
    QLabel* nameLabel_;
    QLabel* fatherLabel_;
    bool checking_ = false;
};

}  // namespace edlt::ui
