// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/Accessibility.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include "gui/common/Text.h"
#include "gui/mainwindow/TotalsPanel.h"

namespace edlt::ui {
namespace {

// "Έτος που αφορούν\nτα στοιχεία: (*)" is read "Έτος που αφορούν τα στοιχεία".
QString spoken(QString caption)
{
    caption.replace('\n', ' ');
    caption.remove(QStringLiteral("(*)"));
    caption = caption.simplified();
    while (caption.endsWith(':')) caption.chop(1);
    return caption.trimmed();
}

void name(QWidget& client, const QString& labelName, const QString& controlName)
{
    auto* label = client.findChild<QLabel*>(labelName);
    auto* control = client.findChild<QWidget*>(controlName);
    if (!label || !control) return;
    label->setBuddy(control);
    control->setAccessibleName(spoken(label->text()));
}

bool isInside(const QWidget* w, const QWidget& ancestor)
{
    for (; w; w = w->parentWidget())
        if (w == &ancestor) return true;
    return false;
}

}  // namespace

void nameControls(QWidget& client)
{
    const std::pair<const char*, const char*> header[] = {{"yearLabel", "YearOfData"},
                                                          {"taxNumberLabel", "AFM"},
                                                          {"activityLabel", "AntikeimenoErgasion"},
                                                          {"companyNameLabel", "CompanyName"},
                                                          {"nameLabel", "Name"},
                                                          {"fatherNameLabel", "FatherName"},
                                                          {"townLabel", "Town"},
                                                          {"streetLabel", "Street"},
                                                          {"numberLabel", "Number"},
                                                          {"postCodeLabel", "TK"}};
    for (const auto& [label, box] : header) name(client, label, box);
    // The company box's caption follows the business/person switch; its buddy keeps the
    // name current without a fixed one.
    if (auto* company = client.findChild<QWidget*>("CompanyName")) company->setAccessibleName({});
    for (int i = 1; i <= 9; ++i) name(client, TotalsPanel::boxName(i) + "Caption", TotalsPanel::boxName(i));
    if (auto* grid = client.findChild<QWidget*>("detailGrid"))
        grid->setAccessibleName(tr8("Αναλυτικές αμοιβές Μισθωτού ή Συνταξιούχου"));
    if (auto* lookup = client.findChild<QWidget*>("incomeTypeLookup")) lookup->setAccessibleName(tr8("Είδος αποδοχών"));
    // The findings panel docks on the window, outside the client area.
    if (auto* findings = client.window()->findChild<QWidget*>("FindingsList"))
        findings->setAccessibleName(tr8("Ευρήματα του ελέγχου δήλωσης"));
    if (auto* navigator = client.findChild<QWidget*>("recordNavigator"))
        for (QLabel* caption : navigator->findChildren<QLabel*>())
            if (caption->objectName().endsWith(QStringLiteral("Caption")))
                name(*navigator, caption->objectName(), caption->objectName().chopped(7));
}

GridTabOut::GridTabOut(QWidget& grid, QObject* parent) : QObject(parent), grid_(grid)
{
    qApp->installEventFilter(this);
}

bool GridTabOut::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & Qt::ControlModifier) || (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab))
        return false;
    QWidget* focus = QApplication::focusWidget();
    if (!isInside(focus, grid_)) return false;
    const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
    // The next control in the tab chain that is not the grid or its cell editor.
    for (QWidget* w = forward ? grid_.nextInFocusChain() : grid_.previousInFocusChain(); w && w != &grid_;
         w = forward ? w->nextInFocusChain() : w->previousInFocusChain()) {
        if (isInside(w, grid_) || !(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || !w->isEnabled()) continue;
        w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return true;
}

}  // namespace edlt::ui
