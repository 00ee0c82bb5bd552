// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The detail area of the main window: the grid over the detail store, its record
// navigator and the income-type lookup, with the window's handlers of their events. The widgets are
// children of the window, which places them; the models that read the session's stores
// are this object's, so the session must outlive it (the widgets need not).
#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

#include "core/session/DeclarationSession.h"
#include "core/session/UserInterface.h"
#include "gui/grid/IncomeTypeCombo.h"
#include "gui/grid/RecordGridView.h"
#include "gui/grid/RecordNavigator.h"

class QWidget;

namespace edlt::ui {

class DetailTableModel;

class DetailGrid : public QObject {
    Q_OBJECT
public:
    static constexpr int TitleHeight = 45;
    static constexpr int RowHeight = 17;

    DetailGrid(DeclarationSession& session, UserInterface& ui, QWidget* window);

    RecordGridView* grid() const { return grid_; }
    QWidget* navigator() const { return navigator_; }
    QWidget* lookup() const { return lookup_; }
    RecordNavigator* recordNavigator() const { return navigator_; }
    IncomeTypeCombo* lookupBox() const { return lookup_; }
    DetailTableModel* model() const { return model_; }

    // The please-wait protocol: grid and navigator hidden while a long command runs.
    void setVisibleForWait(bool visible);
    // Writes a cell being typed into the store's edit buffer, so that a command's
    // PostPendingEdit sees it.
    void commitPendingEditor();

private:
    void onKeyTyped(int column, QString& typed, const QString& besideSelection);
    void onColumnEntered(int column);
    void onColumnLeft(int column);
    void placeLookup();
    void typeIntoLookup(QChar c);
    void chooseIncomeType(const std::string& code);
    void leaveLookup(bool forward);
    bool navigatorActionAllowed(RecordNavigator::Button button);
    void onNavigatorClicked(RecordNavigator::Button button);
    void updateNavigator();
    void setColumnWidths();
    bool guarded(const std::function<void()>& f);
    void showError(const std::string& message);
    void beep();

    DeclarationSession& session_;
    UserInterface& ui_;
    DetailTableModel* model_ = nullptr;
    QPointer<RecordGridView> grid_;
    QPointer<RecordNavigator> navigator_;
    QPointer<IncomeTypeCombo> lookup_;
    bool waiting_ = false;
};

}  // namespace edlt::ui
