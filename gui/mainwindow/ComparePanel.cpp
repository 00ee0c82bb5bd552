// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/ComparePanel.h"

#include <QAction>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/session/ComparisonOutput.h"
#include "core/store/AtomicFile.h"
#include "gui/common/FileDialog.h"
#include "gui/common/Text.h"
#include "gui/grid/DetailGrid.h"
#include "gui/grid/RecordGridView.h"
#include "gui/mainwindow/FindingsPanel.h"
#include "gui/mainwindow/MainWindow.h"

namespace edlt::ui {

void ComparisonModel::setComparison(std::shared_ptr<const DeclarationComparison> comparison)
{
    beginResetModel();
    comparison_ = std::move(comparison);
    endResetModel();
}

int ComparisonModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !comparison_ ? 0 : static_cast<int>(comparisonRowCount(*comparison_));
}

int ComparisonModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ComparisonModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !comparison_ || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    // Made for the rows shown only: a million rows keep no text.
    const ComparisonRow row = comparisonRow(*comparison_, static_cast<size_t>(index.row()));
    auto number = [](size_t n) { return n > 0 ? QString::number(n) : QString(); };
    switch (index.column()) {
    case ColKind: return QString::fromStdString(comparisonKindText(row.kind));
    case ColNewLine: return number(row.newLine);
    case ColOldLine: return number(row.oldLine);
    case ColAFM: return QString::fromStdString(row.afm);
    case ColTypeInc: return QString::fromStdString(row.typeInc);
    case ColSurName: return QString::fromStdString(row.surname);
    case ColDetails: return QString::fromStdString(row.details);
    }
    return {};
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* titles[] = {"Αποτέλεσμα", "Γραμμή", "Γραμμή παλιάς", "ΑΦΜ", "Είδος", "Επώνυμο", "Αλλαγές"};
    return section >= 0 && section < ColumnCount ? tr8(titles[section]) : QVariant();
}

ComparePanel::ComparePanel(MainWindow& window)
    : QDockWidget(tr8("Σύγκριση με άλλη δήλωση"), &window), window_(window), session_(window.session())
{
    setObjectName("ComparePanel");
    setFeatures(QDockWidget::DockWidgetClosable);
    setAllowedAreas(Qt::BottomDockWidgetArea);

    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(4, 2, 4, 4);
    model_ = new ComparisonModel(this);
    list_ = new QTableView(body);
    list_->setObjectName("CompareList");
    list_->setModel(model_);
    setUpPanelList(*list_, {110, 60, 90, 90, 50, 150});
    // Double-click and Enter both activate a row.
    connect(list_, &QAbstractItemView::activated, this, [this](const QModelIndex& i) { goToRow(i.row()); });
    column->addWidget(list_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* csv = new QPushButton(tr8("Αποθήκευση ως CSV..."), body);
    csv->setObjectName("CompareCsv");
    connect(csv, &QPushButton::clicked, this, &ComparePanel::exportCsv);
    buttons->addWidget(csv);
    column->addLayout(buttons);
    setWidget(body);
    body->setFixedHeight(190);

    action_ = new QAction(tr8("&Σύγκριση με άλλη δήλωση…"), this);
    action_->setObjectName("compareAction");
    // Beside the check, before the archive and shortcut tools.
    window.toolsMenu()->insertAction(window.menuAction(MenuCommand::Zip), action_);
    connect(action_, &QAction::triggered, this, &ComparePanel::compareWithFile);
    hide();
}

void ComparePanel::compareWithFile()
{
    window_.command([this] {
        auto result = edlt::compareWithFile(session_, window_.userInterface());
        if (!result) return;
        auto comparison = std::make_shared<const DeclarationComparison>(std::move(*result));
        setWindowTitle(QString::fromStdString(comparisonSummary(*comparison)));
        model_->setComparison(std::move(comparison));
        show();
        list_->setFocus();
        list_->selectRow(0);
    });
}

void ComparePanel::goToRow(int row)
{
    const DeclarationComparison* comparison = model_->comparison();
    if (!comparison || row < 0) return;
    const DeclarationComparison::Line* compared = comparedNewLine(*comparison, static_cast<size_t>(row));
    if (!compared) return;
    window_.command([&] {
        if (!session_.postPendingEdit()) return;
        FixedWidthTable& ds = session_.detailStore();
        // The lines may have been sorted or changed since the comparison.
        const size_t line = currentLineNumber(ds, *compared);
        if (line == 0) return;
        session_.guarded([&] { ds.setRecordNumber(static_cast<long>(line)); });
        RecordGridView* grid = window_.detailGrid().grid();
        grid->followStore();
        grid->setFocus();
    });
}

void ComparePanel::exportCsv()
{
    const DeclarationComparison* comparison = model_->comparison();
    if (!comparison) return;
    const QString proposed = fromCp(session_.header().AFM) + QStringLiteral("-sygkrisi.csv");
    const auto name = FileDialog::save(this, QFile::decodeName(session_.programFolder().string().c_str()), proposed,
                                       QStringLiteral("*.csv|*.csv"));
    if (!name) return;
    session_.guarded([&] {
        AtomicFileWriter file(QFile::encodeName(*name).toStdString(), AtomicFileWriter::Durability::Durable);
        writeComparisonCsv(*comparison, file);
        file.commit();
    });
}

void ComparePanel::sessionChanged()
{
    action_->setEnabled(session_.declarationCommandsEnabled());
    if (!session_.detailStore().active() && isVisible()) hide();
}

}  // namespace edlt::ui
