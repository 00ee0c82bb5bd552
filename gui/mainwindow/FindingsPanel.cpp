// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/FindingsPanel.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/store/AtomicFile.h"
#include "gui/common/FileDialog.h"
#include "gui/common/Text.h"
#include "gui/grid/DetailGrid.h"
#include "gui/grid/DetailTableModel.h"
#include "gui/grid/RecordGridView.h"
#include "gui/mainwindow/MainWindow.h"

namespace edlt::ui {

FindingsModel::FindingsModel(const DeclarationSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session)
{
}

void FindingsModel::setResult(const CheckResult& result)
{
    beginResetModel();
    findings_ = result.findings;
    endResetModel();
}

int FindingsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(findings_.size());
}

int FindingsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FindingsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != SortRole && role != Qt::ToolTipRole)) return {};
    const CheckFinding& f = finding(index.row());
    // The list is checked again after every change; until then a line may be gone.
    const FixedWidthTable& lines = session_.detailStore();
    const bool lineThere = f.line <= 0 || (lines.active() && f.line <= lines.countRecords());
    switch (index.column()) {
    case ColLine: return role == SortRole ? QVariant(qlonglong(f.line)) : QVariant(QString::number(f.line));
    case ColAFM: return lineThere ? fromCp(findingAfm(f, session_)) : QString();
    case ColSurName: return lineThere ? fromCp(findingSurname(f, session_)) : QString();
    case ColKind: return fromCp(findingKindText(f));
    case ColMessage: return fromCp(f.message);
    }
    return {};
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* titles[] = {"Γραμμή", "ΑΦΜ", "Επώνυμο", "Είδος", "Μήνυμα"};
    return section >= 0 && section < ColumnCount ? tr8(titles[section]) : QVariant();
}

void setUpPanelList(QTableView& list, std::initializer_list<int> widths)
{
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.verticalHeader()->hide();
    list.verticalHeader()->setDefaultSectionSize(list.fontMetrics().height() + 4);
    list.horizontalHeader()->setStretchLastSection(true);
    int column = 0;
    for (int width : widths) list.setColumnWidth(column++, width);
}

FindingsPanel::FindingsPanel(MainWindow& window)
    : QDockWidget(tr8("Έλεγχος δήλωσης"), &window), window_(window), session_(window.session())
{
    setObjectName("FindingsPanel");
    setFeatures(QDockWidget::DockWidgetClosable);
    setAllowedAreas(Qt::BottomDockWidgetArea);

    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(4, 2, 4, 4);
    model_ = new FindingsModel(session_, this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(FindingsModel::SortRole);
    sorted_->setSortLocaleAware(true);
    list_ = new QTableView(body);
    list_->setObjectName("FindingsList");
    list_->setModel(sorted_);
    list_->setSortingEnabled(true);
    list_->sortByColumn(FindingsModel::ColLine, Qt::AscendingOrder);
    setUpPanelList(*list_, {80, 90, 150, 70});
    // Double-click and Enter both activate a row.
    connect(list_, &QAbstractItemView::activated, this,
            [this](const QModelIndex& i) { goToFinding(modelRow(i.row())); });
    column->addWidget(list_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* print = new QPushButton(tr8("Εκτύπωση λίστας..."), body);
    print->setObjectName("FindingsPrint");
    connect(print, &QPushButton::clicked, this, &FindingsPanel::printList);
    auto* csv = new QPushButton(tr8("Αποθήκευση ως CSV..."), body);
    csv->setObjectName("FindingsCsv");
    connect(csv, &QPushButton::clicked, this, &FindingsPanel::exportCsv);
    buttons->addWidget(print);
    buttons->addWidget(csv);
    column->addLayout(buttons);
    setWidget(body);
    body->setFixedHeight(190);

    // The counter area's hint, above the record counter (clear of its two lines at a
    // million lines).
    hint_ = new QLabel(window.centralWidget());
    hint_->setObjectName("findingsHint");
    hint_->setGeometry(8, 156, 225, 18);
    hint_->setTextFormat(Qt::RichText);
    connect(hint_, &QLabel::linkActivated, this, [this] { checkDeclaration(); });
    hint_->hide();
    hide();
}

int FindingsPanel::modelRow(int viewRow) const
{
    return sorted_->mapToSource(sorted_->index(viewRow, 0)).row();
}

QString FindingsPanel::titleText(const CheckResult& result) const
{
    QString title = tr8("Έλεγχος δήλωσης: ") + fromCp(linesWithProblemsText(result.refusedLines()));
    if (const size_t q = result.questions()) title += (q == 1 ? tr8(", 1 ερώτηση") : tr8(", %1 ερωτήσεις").arg(q));
    return title;
}

void FindingsPanel::showResult(const CheckResult& result)
{
    model_->setResult(result);
    setWindowTitle(titleText(result));
    updateHint(result);
}

void FindingsPanel::updateHint(const CheckResult& result)
{
    const size_t refused = result.refusedLines();
    if (refused == 0) {
        hint_->hide();
        return;
    }
    hint_->setText(QStringLiteral("<a href=\"#findings\" style=\"color:#c00000\">%1</a>")
                       .arg(fromCp(linesWithProblemsText(refused)).toHtmlEscaped()));
    hint_->show();
}

void FindingsPanel::checkDeclaration()
{
    window_.command([this] {
        if (!session_.postPendingEdit()) return;
        checking_ = true;
        showResult(checkWithPleaseWait(session_.checker(), window_.userInterface()));
        checking_ = false;
        show();
        list_->setFocus();
        if (model_->rowCount() > 0) list_->selectRow(0);
    });
}

void FindingsPanel::checkAfterLoad(unsigned long changesBefore)
{
    // A cancelled or refused Open, or an import that stored nothing, changed nothing.
    if (!session_.detailStore().active() || session_.checker().changes() == changesBefore) return;
    if (checkInBackground()) return;
    checking_ = true;
    const CheckResult& result = checkWithPleaseWait(session_.checker(), window_.userInterface());
    checking_ = false;
    showOrHint(result);
}

bool FindingsPanel::checkInBackground()
{
    // A large declaration is checked beside the window: its grid is painted and usable
    // meanwhile, and the findings come when they are ready.
    DeclarationChecker& checker = session_.checker();
    if (checker.quick()) return false;
    if (checker.checkingInBackground()) return true;
    // Called on the check's thread; the session stops the check before this panel goes.
    return checker.startInBackground(
        [this] { QMetaObject::invokeMethod(this, &FindingsPanel::backgroundCheckDone, Qt::QueuedConnection); });
}

void FindingsPanel::backgroundCheckDone()
{
    // Stopped by a change since, or already taken in by a command that needed the result.
    bool ready = false;
    session_.guarded([&] { ready = session_.checker().collect(); });
    if (!ready) return;
    showOrHint(session_.checker().result());
}

void FindingsPanel::showOrHint(const CheckResult& result)
{
    if (isVisible()) {
        showResult(result);
    } else {
        updateHint(result);
    }
}

void FindingsPanel::sessionChanged()
{
    if (!session_.detailStore().active()) {
        // A refused Open leaves no lines to list.
        hint_->hide();
        if (isVisible()) hide();
        if (model_->rowCount() > 0) model_->setResult({});
        return;
    }
    if (!isVisible()) {
        // The count it showed may no longer hold; the panel tells the new one.
        if (session_.checker().stale()) hint_->hide();
        return;
    }
    if (recheckQueued_) return;
    // After the command that changed the lines has finished, never inside it.
    recheckQueued_ = true;
    QTimer::singleShot(0, this, [this] { recheck(); });
}

void FindingsPanel::recheck()
{
    recheckQueued_ = false;
    if (!isVisible() || checking_) return;
    DeclarationChecker& checker = session_.checker();
    if (!checker.stale() || checkInBackground()) return;
    checking_ = true;
    showResult(checkWithPleaseWait(checker, window_.userInterface()));
    checking_ = false;
}

void FindingsPanel::goToFinding(int row)
{
    if (row < 0 || row >= model_->rowCount()) return;
    const CheckFinding f = model_->finding(row);
    window_.command([&] {
        if (f.line <= 0) {
            if (f.headerField) window_.userInterface().focusHeaderField(*f.headerField);
            return;
        }
        if (!session_.postPendingEdit()) return;
        FixedWidthTable& ds = session_.detailStore();
        if (!ds.active() || f.line > ds.countRecords()) return;
        session_.guarded([&] { ds.setRecordNumber(f.line); });
        RecordGridView* grid = window_.detailGrid().grid();
        DetailTableModel* model = window_.detailGrid().model();
        const int column = f.field >= 0 ? DetailTableModel::columnOf(f.field) : -1;
        grid->followStore();
        if (column >= 0) grid->moveTo(model->currentRow(), column);
        grid->setFocus();
    });
}

QString FindingsPanel::listHtml() const
{
    QString html = QStringLiteral(
                       "<html><body><h3>%1</h3><p>%2 %3</p>"
                       "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>")
                       .arg(windowTitle().toHtmlEscaped(), fromCp(session_.header().AFM).toHtmlEscaped(),
                            fromCp(session_.header().CompanyName).toHtmlEscaped());
    for (int c = 0; c < FindingsModel::ColumnCount; ++c)
        html += QStringLiteral("<th>%1</th>").arg(model_->headerData(c, Qt::Horizontal).toString());
    html += QStringLiteral("</tr>");
    // In the order the list shows.
    for (int r = 0; r < sorted_->rowCount(); ++r) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < FindingsModel::ColumnCount; ++c)
            html += QStringLiteral("<td>%1</td>").arg(sorted_->index(r, c).data().toString().toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table></body></html>");
}

void FindingsPanel::printList()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QTextDocument document;
    document.setHtml(listHtml());
    document.print(&printer);
}

void FindingsPanel::exportCsv()
{
    const QString proposed = fromCp(session_.header().AFM) + QStringLiteral("-elegxos.csv");
    const auto name = FileDialog::save(this, QFile::decodeName(session_.programFolder().string().c_str()), proposed,
                                       QStringLiteral("*.csv|*.csv"));
    if (!name) return;
    const std::string csv = findingsCsv(checkWithPleaseWait(session_.checker(), window_.userInterface()), session_);
    session_.guarded([&] {
        writeFileAtomically(QFile::encodeName(*name).toStdString(), csv, AtomicFileWriter::Durability::Durable);
    });
}

}  // namespace edlt::ui
