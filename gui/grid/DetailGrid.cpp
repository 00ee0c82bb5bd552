// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/DetailGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/base/RunAndReport.h"
#include "core/rules/CheckAFM.h"
#include "core/rules/GridRules.h"
#include "core/store/DetailRecord.h"
#include "gui/grid/CellText.h"
#include "gui/grid/DetailTableModel.h"

namespace edlt::ui {
namespace {

// 8-point sans serif.
QFont gridFont()
{
    QFont f;
    f.setFamilies({"Liberation Sans", "Arial", "DejaVu Sans Condensed", "Sans Serif"});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    return f;
}

// The titles' font: the same face at 10 pixels, where "ΑΚΑΘΑΡΙΣΤΕΣ" and "ΑΠΟΔΟΧΕΣ (*)" fit
// a 72-pixel column and every title wraps into the three lines a 45-pixel title row holds.
QFont titleFont()
{
    QFont f = gridFont();
    f.setPixelSize(10);
    return f;
}

}  // namespace

DetailGrid::DetailGrid(DeclarationSession& session, UserInterface& ui, QWidget* window) : session_(session), ui_(ui)
{
    model_ = new DetailTableModel(session_.detailStore(), this);
    connect(model_, &DetailTableModel::errorRaised, this, &DetailGrid::showError);

    grid_ = new RecordGridView(window);
    grid_->setObjectName("detailGrid");
    grid_->setFont(gridFont());
    grid_->horizontalHeader()->setFont(titleFont());
    grid_->setDetailModel(model_);
    grid_->setTitleHeight(TitleHeight);
    grid_->setRecordRowHeight(RowHeight);
    grid_->setGeometry(0, 217, 1009, 352);
    setColumnWidths();
    connect(grid_, &RecordGridView::keyTyped, this, &DetailGrid::onKeyTyped);
    connect(grid_, &RecordGridView::columnEntered, this, &DetailGrid::onColumnEntered);
    connect(grid_, &RecordGridView::columnLeft, this, &DetailGrid::onColumnLeft);
    connect(grid_, &RecordGridView::deleteRequested, this,
            [this](bool& confirmed) { confirmed = askYesNo(ui_, "Delete record?") == Answer::Yes; });
    connect(grid_, &RecordGridView::errorRaised, this, &DetailGrid::showError);
    connect(grid_, &RecordGridView::currentCellPlaced, this, &DetailGrid::placeLookup);
    connect(grid_, &RecordGridView::textRefused, this, &DetailGrid::beep);

    navigator_ = new RecordNavigator(window);
    navigator_->move(238, 183 - RecordNavigator::buttonsTop());
    connect(navigator_, &RecordNavigator::buttonClicked, this, &DetailGrid::onNavigatorClicked);

    lookup_ = new IncomeTypeCombo(new IncomeTypeListModel(session_.incomeTypeStore(), this), window);
    lookup_->setObjectName("incomeTypeLookup");
    lookup_->setFont(gridFont());
    lookup_->hide();
    connect(lookup_, &IncomeTypeCombo::codeChosen, this, &DetailGrid::chooseIncomeType);
    connect(lookup_, &IncomeTypeCombo::tabPressed, this, &DetailGrid::leaveLookup);
    connect(lookup_, &IncomeTypeCombo::escapePressed, this, [this] {
        grid_->setFocus(Qt::OtherFocusReason);
        grid_->cancelEdit();
    });
    connect(lookup_, &IncomeTypeCombo::keyRefused, this, &DetailGrid::beep);
    connect(lookup_, &IncomeTypeCombo::gridKeyPressed, this, [this](int key, Qt::KeyboardModifiers modifiers) {
        // The grid moves as from any other cell, storing the line when the row changes.
        grid_->setFocus(Qt::OtherFocusReason);
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(grid_, &press);
    });

    connect(model_, &DetailTableModel::storeCursorChanged, this, [this] {
        updateNavigator();
        placeLookup();
    });
    connect(model_, &QAbstractItemModel::dataChanged, this, &DetailGrid::placeLookup);
    updateNavigator();
}

void DetailGrid::showError(const std::string& message)
{
    ui_.showError(message);
}

void DetailGrid::beep()
{
    ui_.beep();
}

bool DetailGrid::guarded(const std::function<void()>& f)
{
    return runAndReport(
        f, [this](const std::string& message) { ui_.showError(message); }, Reported::AllExceptions);
}

void DetailGrid::setColumnWidths()
{
    // A column without a width gets the one of its field's size, or of its title if wider.
    const QFontMetrics cell(grid_->font());
    const QFontMetrics title(grid_->horizontalHeader()->font());
    const auto& columns = detailGridColumns();
    for (int c = 0; c < GridColumnCount; ++c) {
        int width = columns[static_cast<size_t>(c)].width;
        if (width == 0)
            width = std::max(cell.horizontalAdvance(QString(DetailTableModel::fieldWidth(c), QLatin1Char('0'))) + 5,
                             title.horizontalAdvance(cellString(columnTitle(c))) + 6);
        grid_->setColumnWidth(c, width);
    }
}

void DetailGrid::setVisibleForWait(bool visible)
{
    waiting_ = !visible;
    // The lookup goes first, so the focus does not wander into it while the grid hides.
    if (!visible) {
        if (lookup_->hasFocus()) grid_->setFocus(Qt::OtherFocusReason);
        lookup_->hide();
    }
    grid_->setVisible(visible);
    navigator_->setVisible(visible);
    placeLookup();
}

void DetailGrid::commitPendingEditor()
{
    grid_->commitEditor();
}

void DetailGrid::onKeyTyped(int column, QString& typed, const QString& besideSelection)
{
    session_.gridKeyTyped();
    const KeyFilterKind kind = detailGridColumns().at(static_cast<size_t>(column)).filter;
    const auto beep = [this] { ui_.beep(); };
    QString passed;
    for (QChar c : typed) {
        const bool typingKey = c.unicode() >= 0x20 || c == QChar(8) || c == QChar(9) || c == QChar(13) ||
                               c == QChar(27);
        if (!typingKey) {
            passed += c;
            continue;
        }
        std::optional<char> byte = cellByte(c);
        if (!byte) {  // no place for it in the code page
            ui_.beep();
            continue;
        }
        char key = *byte;
        switch (kind) {
        case KeyFilterKind::Digits: digitKeyFilter(key, beep); break;
        case KeyFilterKind::Amount:
            try {
                std::string text;
                for (QChar t : besideSelection + passed)
                    if (std::optional<char> b = cellByte(t)) text += *b;
                amountKeyFilter(text, key, beep);
            } catch (const std::exception&) {
                // An error of the amount filter never blocks typing.
            }
            break;
        case KeyFilterKind::Lookup:
            // The income type is chosen in the lookup box: the key goes on there.
            if (key != '\t' && (c.isPrint() || key == 8)) {
                typeIntoLookup(c);
                key = '\0';
            }
            break;
        case KeyFilterKind::None: break;
        }
        if (key != '\0') passed += c;
    }
    typed = passed;
}

void DetailGrid::typeIntoLookup(QChar c)
{
    placeLookup();
    if (lookup_->isHidden()) return;
    lookup_->setFocus(Qt::OtherFocusReason);
    const int key = c == QChar(8) ? Qt::Key_Backspace : c.isDigit() ? Qt::Key_0 + c.digitValue() : 0;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(lookup_, &press);
}

void DetailGrid::chooseIncomeType(const std::string& code)
{
    guarded([&] {
        FixedWidthTable& ds = session_.detailStore();
        if (!ds.active()) return;
        if (!model_->editing()) ds.edit();
        ds.setFieldValue(detail::TypeInc, code);
    });
}

void DetailGrid::leaveLookup(bool forward)
{
    // The Tab typed in the box moves the grid on: to the gross pay, or back.
    grid_->setFocus(Qt::TabFocusReason);
    grid_->tabMove(forward);
}

void DetailGrid::onColumnEntered(int column)
{
    if (column != KatharesColumn) return;
    FixedWidthTable& ds = session_.detailStore();
    if (!ds.active()) return;
    try {
        ds.edit();
    } catch (const Error&) {
        // A store that cannot edit shows its error when the value is set, just below.
    }
    guarded([&] {
        NetPayProposal proposal = proposeNetPay(ds.fieldValue(detail::AkaInc), ds.fieldValue(detail::Kratiseis));
        if (proposal.message) ui_.showNotice(*proposal.message);
        ds.setFieldValue(detail::Kathares, proposal.net);
    });
}

void DetailGrid::onColumnLeft(int column)
{
    if (column == TypeIncColumn) lookup_->hide();
}

// Lays the lookup box over the focused TypeInc cell, wherever scrolling put it.
void DetailGrid::placeLookup()
{
    if (!lookup_ || !grid_) return;
    const QModelIndex cur = grid_->currentIndex();
    const QRect cell = cur.isValid() ? grid_->visualRect(cur) : QRect();
    const bool over = !waiting_ && grid_->isVisible() && cur.isValid() && cur.column() == TypeIncColumn &&
                      cell.isValid() && grid_->viewport()->rect().contains(cell.center());
    if (!over) {
        if (!lookup_->isHidden()) lookup_->hide();
        return;
    }
    QWidget* parent = lookup_->parentWidget();
    const QPoint at = parent->mapFromGlobal(grid_->viewport()->mapToGlobal(cell.topLeft()));
    // The box is as high as a row, so it covers its cell and no other.
    const int height = std::max(RowHeight, cell.height());
    lookup_->setGeometry(at.x(), at.y(), cell.width(), height);
    lookup_->showCode(model_->cellText(cur.row(), TypeIncColumn));
    if (lookup_->isHidden()) lookup_->show();
    lookup_->raise();
}

bool DetailGrid::navigatorActionAllowed(RecordNavigator::Button button)
{
    // Only "Ναι" deletes: a box closed without an answer keeps the line.
    if (button == RecordNavigator::nbDelete) return askYesNo(ui_, cp1253::lit("Είστε σίγουρος;")) == Answer::Yes;
    return true;
}

void DetailGrid::onNavigatorClicked(RecordNavigator::Button button)
{
    FixedWidthTable& ds = session_.detailStore();
    if (!ds.active()) return;
    if (!navigatorActionAllowed(button)) return;
    switch (button) {
    case RecordNavigator::nbFirst:
        grid_->commitEditor();
        guarded([&] { ds.moveFirst(); });
        break;
    case RecordNavigator::nbLast:
        grid_->commitEditor();
        guarded([&] { ds.moveLast(); });
        break;
    case RecordNavigator::nbInsert: grid_->insertRecord(); break;
    case RecordNavigator::nbDelete:
        grid_->discardEditor();
        guarded([&] { model_->deleteCurrent(); });
        break;
    case RecordNavigator::nbPost:
        grid_->commitEditor();
        guarded([&] { model_->post(); });
        break;
    case RecordNavigator::nbCancel: grid_->cancelEdit(); break;
    default: break;
    }
    updateNavigator();
}

void DetailGrid::updateNavigator()
{
    if (!navigator_) return;
    const FixedWidthTable& ds = session_.detailStore();
    const bool active = ds.active();
    const bool lines = active && ds.countRecords() > 0;
    const bool editing = active && model_->editing();
    navigator_->button(RecordNavigator::nbFirst)->setEnabled(lines);
    navigator_->button(RecordNavigator::nbLast)->setEnabled(lines);
    navigator_->button(RecordNavigator::nbInsert)->setEnabled(active && !ds.readOnly());
    navigator_->button(RecordNavigator::nbDelete)->setEnabled(model_->canDelete());
    navigator_->button(RecordNavigator::nbPost)->setEnabled(editing);
    navigator_->button(RecordNavigator::nbCancel)->setEnabled(editing);
}

}  // namespace edlt::ui
