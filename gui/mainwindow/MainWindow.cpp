// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPainter>
#include <new>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/export/LineExportCommand.h"
#include "core/import/SpreadsheetImport.h"
#include "core/session/DeclarationCheck.h"
#include "gui/common/Text.h"
#include "gui/grid/DetailGrid.h"
#include "gui/grid/DetailTableModel.h"
#include "gui/mainwindow/Accessibility.h"
#include "gui/mainwindow/CapsLockKeeper.h"
#include "gui/mainwindow/CommandScope.h"
#include "gui/mainwindow/ComparePanel.h"
#include "gui/mainwindow/DeclarantHeader.h"
#include "gui/mainwindow/EditMenu.h"
#include "gui/mainwindow/FileDrop.h"
#include "gui/mainwindow/FindingsPanel.h"
#include "gui/mainwindow/MainLayout.h"
#include "gui/mainwindow/MenuKeys.h"
#include "gui/mainwindow/PleaseWaitDialog.h"
#include "gui/mainwindow/TotalsPanel.h"
#include "gui/mainwindow/WindowSettings.h"
#include "gui/mainwindow/WindowTitle.h"

namespace edlt::ui {
namespace {

QLabel* titleBar(QWidget* parent, const char* name, const char* text, int y)
{
    auto* bar = new QLabel(tr8(text), parent);
    bar->setObjectName(name);
    bar->setAlignment(Qt::AlignCenter);
    bar->setStyleSheet("background:#0a246a; color:white; font-weight:bold;");
    bar->setGeometry(0, y, 1007, 18);
    return bar;
}

QPixmap startPicture()
{
    QPixmap pm(220, 120);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor("#0a246a"));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(pm.rect().adjusted(2, 2, -2, -2), 16, 16);
    QFont f = p.font();
    f.setPixelSize(52);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(pm.rect(), Qt::AlignCenter, QString::fromUtf8("e-ΔΛΤ"));
    return pm;
}

}  // namespace

MainWindow::MainWindow(const std::filesystem::path& programFolder, const std::filesystem::path& userFolder,
                       QWidget* parent)
    : QMainWindow(parent), ui_(this)
{
    setObjectName("mainWindow");
    setWindowTitle(QString::fromUtf8("e-ΔΛΤ"));
    auto* client = new QWidget(this);
    client->setObjectName("clientArea");
    setCentralWidget(client);

    capsLock_ = new CapsLockKeeper(this);

    DeclarationSession::Options options;
    options.programFolder = programFolder;
    options.workspaceParent = userFolder;
    options.pageFolder = userFolder;
    options.askAboutFindings = true;
    session_ = std::make_unique<DeclarationSession>(ui_, options);

    titleBar(client, "declarantTitle", "Στοιχεία Δηλούντος", 0);
    header_ = new DeclarantHeader(*session_, ui_, client);
    titleBar(client, "detailTitle", "Αναλυτικές αμοιβές Μισθωτού ή Συνταξιούχου", 133);

    recordCounter_ = new QLabel(client);
    recordCounter_->setObjectName("recordCounter");
    QFont bold = recordCounter_->font();
    bold.setBold(true);
    recordCounter_->setFont(bold);
    // Two lines, upwards into the free band, when the counts are long.
    recordCounter_->setGeometry(8, 176, 225, 36);
    recordCounter_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    recordCounter_->setWordWrap(true);

    grid_ = std::make_unique<DetailGrid>(*session_, ui_, client);

    auto* sortByTaxNumber = new QPushButton(tr8("Ταξινόμηση ανά ΑΦΜ"), client);
    sortByTaxNumber->setObjectName("sortByTaxNumberButton");
    sortByTaxNumber->setGeometry(690, 188, 150, 25);
    connect(sortByTaxNumber, &QPushButton::clicked, this, [this] { command([this] { session_->SortByTaxNumber(); }); });
    auto* sortBySurname = new QPushButton(tr8("Αλφαβητική Ταξινόμηση"), client);
    sortBySurname->setObjectName("sortBySurnameButton");
    sortBySurname->setToolTip(tr8("Πατήστε για να ταξινομηθούν αλφαβητικά οι εγγραφές "));
    sortBySurname->setGeometry(845, 188, 158, 25);
    connect(sortBySurname, &QPushButton::clicked, this, [this] { command([this] { session_->SortBySurname(); }); });

    totals_ = new TotalsPanel(*session_, ui_, client);
    totals_->move(0, 660 - 81);

    buildStartPanel(client);
    findings_ = new FindingsPanel(*this);
    addDockWidget(Qt::BottomDockWidgetArea, findings_);
    buildMenus();
    compare_ = new ComparePanel(*this);
    addDockWidget(Qt::BottomDockWidgetArea, compare_);
    new MenuKeys(*menuBar());
    editMenu_ = new EditMenu(*this);
    settings_ = new WindowSettings(*this);

    pleaseWaitDialog_ = new PleaseWaitDialog(this);
    connect(&ui_, &QtUserInterface::focusHeaderRequested, header_, &DeclarantHeader::focus);
    connect(&ui_, &QtUserInterface::focusDetailLineRequested, grid_->grid(),
            [grid = grid_->grid()] { grid->setFocus(Qt::OtherFocusReason); });
    // After the refusal is over: the grid is still putting its cursor back on the line.
    connect(
        &ui_, &QtUserInterface::focusDetailFieldRequested, grid_->grid(),
        [grid = grid_->grid()](int field) {
            const int column = DetailTableModel::columnOf(field);
            if (column >= 0 && grid->currentIndex().isValid()) grid->moveTo(grid->currentIndex().row(), column);
            grid->setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
    connect(&ui_, &QtUserInterface::pleaseWaitChanged, this, &MainWindow::pleaseWait);
    connect(&ui_, &QtUserInterface::progressChanged, pleaseWaitDialog_, &PleaseWaitDialog::setProgress);
    connect(&ui_, &QtUserInterface::stateChanged, this, &MainWindow::refresh);

    layout_ = new MainLayout(*this, *client);
    // The window keeps its fixed size, taller by the panel while it is shown.
    connect(findings_, &QDockWidget::visibilityChanged, layout_, &MainLayout::fixedSizeChanged);
    connect(compare_, &QDockWidget::visibilityChanged, layout_, &MainLayout::fixedSizeChanged);
    nameControls(*client);
    new GridTabOut(*grid_->grid(), this);
    title_ = new WindowTitle(*this, *session_);
    auto* drop = new FileDrop(*this, [this] { return session_->declarationCommandsEnabled(); });
    connect(drop, &FileDrop::openRequested, this, &MainWindow::openDropped);
    connect(drop, &FileDrop::importRequested, this, &MainWindow::importDropped);

    started_ = session_->start();
    if (started_) capsLock_->attach(session_->workspaceFiles().folder() / "capslock");
    refresh();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildStartPanel(QWidget* client)
{
    startPanel_ = new QWidget(client);
    startPanel_->setObjectName("startPanel");
    startPanel_->setAutoFillBackground(true);
    startPanel_->setGeometry(0, 0, client->width(), client->height());
    auto* image = new QLabel(startPanel_);
    image->setObjectName("startPicture");
    image->setPixmap(startPicture());
    image->adjustSize();
    image->move(startPanel_->width() / 2 - image->width() / 2, 50);
    auto* prompt =
        new QLabel(tr8("Παρακαλώ επιλέξτε 'Αρχείο' - 'Νέο' ή 'Αρχείο' - Άνοιγμα' για να ξεκινήσετε"), startPanel_);
    prompt->setObjectName("startPrompt");
    QFont f = prompt->font();
    f.setPointSize(f.pointSize() + 3);
    f.setBold(true);
    prompt->setFont(f);
    prompt->adjustSize();
    prompt->move(startPanel_->width() / 2 - prompt->width() / 2, image->height() + 100);
    startPanel_->raise();
}

QAction* MainWindow::addAction(QMenu* menu, MenuCommand command, const char* name, const char* text,
                               const QKeySequence& shortcut)
{
    QAction* a = menu->addAction(tr8(text));
    a->setObjectName(name);
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    actions_[static_cast<size_t>(command)] = a;
    return a;
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr8("&Αρχείο"));
    file->setObjectName("fileMenu");
    connect(addAction(file, MenuCommand::New, "newAction", "&Νέο", QKeySequence("Ctrl+N")), &QAction::triggered, this,
            [this] { command([this] { session_->newDeclaration(); }); });
    connect(addAction(file, MenuCommand::Open, "openAction", "Άν&οιγμα", QKeySequence("Ctrl+O")), &QAction::triggered,
            this, [this] {
                const unsigned long before = session_->checker().changes();
                command([this] { session_->open(); });
                findings_->checkAfterLoad(before);
            });
    connect(addAction(file, MenuCommand::SaveAs, "saveAsAction", "&Αποθήκευση ως...", QKeySequence("Ctrl+S")),
            &QAction::triggered, this, [this] { command([this] { session_->saveAs(); }); });
    file->addSeparator();
    connect(addAction(file, MenuCommand::Exit, "exitAction", "Έ&ξοδος", QKeySequence("Ctrl+Q")), &QAction::triggered,
            this, &QWidget::close);

    printMenu_ = menuBar()->addMenu(tr8("Ε&κτύπωση"));
    printMenu_->setObjectName("printMenu");
    printMenu_->menuAction()->setObjectName("printMenuAction");
    actions_[static_cast<size_t>(MenuCommand::Print)] = printMenu_->menuAction();
    addAction(printMenu_, MenuCommand::PrintFirstPage, "printFirstPageAction", "Εκτύπωση &1ης Σελίδας");
    addAction(printMenu_, MenuCommand::PrintDetailedPayments, "printDetailedPaymentsAction", "&Αναλυτικές Αμοιβές");
    addAction(printMenu_, MenuCommand::PrintTotals, "printTotalsAction", "Εκτύπωση &Συνόλων");

    toolsMenu_ = menuBar()->addMenu(tr8("Ε&ργαλεία"));
    toolsMenu_->setObjectName("toolsMenu");
    addAction(toolsMenu_, MenuCommand::Find, "findAction", "&Εύρεση...", QKeySequence("Ctrl+F"));
    addAction(toolsMenu_, MenuCommand::FindNext, "findNextAction", "Εύρεση επόμε&νου", QKeySequence(Qt::Key_F3));
    connect(addAction(toolsMenu_, MenuCommand::Check, "checkAction", "Έ&λεγχος δήλωσης", QKeySequence(Qt::Key_F7)),
            &QAction::triggered, findings_, &FindingsPanel::checkDeclaration);
    connect(addAction(toolsMenu_, MenuCommand::Import, "importAction", "Ε&ισαγωγή στοιχείων από Excel"),
            &QAction::triggered, this, [this] {
                const unsigned long before = session_->checker().changes();
                command([this] { SpreadsheetImport(*session_, ui_).chooseAndImport(); });
                findings_->checkAfterLoad(before);
            });
    // The lines out to a spreadsheet that the import above reads back.
    connect(
        addAction(toolsMenu_, MenuCommand::ExportLines, "exportLinesAction", "Ε&ξαγωγή γραμμών σε λογιστικό φύλλο…"),
        &QAction::triggered, this, [this] { command([this] { lineExportCommand(*session_, ui_); }); });
    // The sort buttons' commands, also for the keyboard.
    connect(addAction(toolsMenu_, MenuCommand::SortByTaxNumber, "sortByTaxNumberAction", "&Ταξινόμηση ανά ΑΦΜ",
                      QKeySequence("Ctrl+1")),
            &QAction::triggered, this, [this] { command([this] { session_->SortByTaxNumber(); }); });
    connect(addAction(toolsMenu_, MenuCommand::SortBySurname, "sortBySurnameAction", "&Αλφαβητική ταξινόμηση",
                      QKeySequence("Ctrl+2")),
            &QAction::triggered, this, [this] { command([this] { session_->SortBySurname(); }); });
    addAction(toolsMenu_, MenuCommand::Zip, "zipAction", "&Δημιουργία συμπιεσμένου αρχείου (zip)");
    addAction(toolsMenu_, MenuCommand::DesktopShortcut, "desktopShortcutAction",
              "Δημιουργία σ&υντόμευσης στην Επιφ. Εργασίας");
    addAction(toolsMenu_, MenuCommand::WebSite, "webSiteAction", "Σύνδεση με εξυπηρετητή &ΚΗΥ");

    helpMenu_ = menuBar()->addMenu(tr8("&Βοήθεια"));
    helpMenu_->setObjectName("helpMenu");
    addAction(helpMenu_, MenuCommand::Manual, "manualAction", "&Οδηγίες εφαρμογής");
    addAction(helpMenu_, MenuCommand::About, "aboutAction", "&Σχετικά...");
}

void MainWindow::command(const std::function<void()>& run)
{
    const CommandScope scope;
    // What is being typed in a cell belongs to the line the command posts first.
    grid_->commitPendingEditor();
    // What the command did not catch itself goes to the general error report instead of
    // ending the program.
    try {
        run();
    } catch (const Error& e) {
        ui_.showError(e.message());
    } catch (const std::bad_alloc&) {
        ui_.showError(cp1253::lit("Δεν υπάρχει αρκετή μνήμη για να ολοκληρωθεί η εργασία."));
    } catch (const std::filesystem::filesystem_error& e) {
        ui_.showError(format(cp1253::lit("Η εργασία διακόπηκε (%s: %s)"),
                             {cp1253::pathText(e.path1()), systemErrorText(e.code().value())}));
    } catch (const std::exception& e) {
        ui_.showError(e.what());
    }
    refresh();
}

void MainWindow::refresh()
{
    header_->refresh();
    totals_->refresh();
    recordCounter_->setText(fromCp(session_->recordCounterText()));
    const bool enabled = session_->declarationCommandsEnabled();
    for (MenuCommand c :
         {MenuCommand::SaveAs, MenuCommand::Print, MenuCommand::Find, MenuCommand::FindNext, MenuCommand::Check,
          MenuCommand::Import, MenuCommand::SortByTaxNumber, MenuCommand::SortBySurname})
        menuAction(c)->setEnabled(enabled);
    menuAction(MenuCommand::ExportLines)->setEnabled(enabled);
    startPanel_->setVisible(session_->startPanelVisible());
    findings_->sessionChanged();
    compare_->sessionChanged();
    if (title_) title_->update();
    if (editMenu_) editMenu_->refresh();
    if (settings_) settings_->noteDeclarationFile();
}

void MainWindow::showAtStart()
{
    if (settings_->restoreWindow()) return;
    layout_->show();
}

void MainWindow::openDropped(const std::filesystem::path& file)
{
    const unsigned long before = session_->checker().changes();
    command([this, file] { session_->openFile(file); });
    findings_->checkAfterLoad(before);
}

void MainWindow::importDropped(const std::filesystem::path& file)
{
    const unsigned long before = session_->checker().changes();
    command([this, file] {
        if (session_->postPendingEdit()) SpreadsheetImport(*session_, ui_).importFile(file);
    });
    findings_->checkAfterLoad(before);
}

void MainWindow::pleaseWait(bool on)
{
    grid_->setVisibleForWait(!on);
    if (on) {
        pleaseWaitDialog_->showNow();
    } else {
        pleaseWaitDialog_->hide();
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    grid_->commitPendingEditor();
    // The user's state first: its record goes before the workspace is removed.
    capsLock_->restore();
    if (started_ && !session_->requestClose()) {
        capsLock_->resume();
        event->ignore();
        return;
    }
    event->accept();
    settings_->saveWindow();
    QApplication::quit();
}

}  // namespace edlt::ui
