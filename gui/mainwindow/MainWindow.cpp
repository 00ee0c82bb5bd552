#include "gui/mainwindow/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPainter>
#include <new>

#include "core/session/DeclarationCheck.h"
#include "gui/mainwindow/CommandScope.h"
#include "gui/mainwindow/DeclarantHeader.h"
#include "gui/mainwindow/FindingsPanel.h"
#include "gui/mainwindow/Accessibility.h"
#include "gui/mainwindow/CapsLockKeeper.h"
#include "gui/mainwindow/FileDrop.h"
#include "gui/mainwindow/MainLayout.h"
#include "gui/mainwindow/WindowTitle.h"
#include "gui/mainwindow/PleaseWaitDialog.h"
#include "gui/common/Text.h"
#include "gui/mainwindow/TotalsPanel.h"
#include "gui/grid/DetailGrid.h"
#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/import/SpreadsheetImport.h"

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

MainWindow::MainWindow(const std::filesystem::path& programFolder, const std::filesystem::path& userFolder, QWidget* parent)
    : QMainWindow(parent), ui_(this)
{
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8("e-ΔΛΤ"));
    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    setCentralWidget(client);

    capsLock_ = new CapsLockKeeper(this);

    DeclarationSession::Options options;
    options.programFolder = programFolder;
    options.workspaceParent = userFolder;
    options.pageFolder = userFolder;
    options.askAboutFindings = true;
    session_ = std::make_unique<DeclarationSession>(ui_, options);

    titleBar(client, "Panel5", "Στοιχεία Δηλούντος", 0);
    header_ = new DeclarantHeader(*session_, ui_, client);
    titleBar(client, "Panel4", "Αναλυτικές αμοιβές Μισθωτού ή Συνταξιούχου", 133);

    label32_ = new QLabel(client);
    label32_->setObjectName("Label32");
    QFont bold = label32_->font();
    bold.setBold(true);
    label32_->setFont(bold);
    // Two lines, upwards into the free band, when the counts are long.
    label32_->setGeometry(8, 176, 225, 36);
    label32_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    label32_->setWordWrap(true);

    grid_ = std::make_unique<DetailGrid>(*session_, ui_, client);

    auto* button1 = new QPushButton(tr8("Ταξινόμηση ανά ΑΦΜ"), client);
    button1->setObjectName("Button1");
    button1->setGeometry(690, 188, 150, 25);
    connect(button1, &QPushButton::clicked, this, [this] { command([this] { session_->SortByTaxNumber(); }); });
    auto* button2 = new QPushButton(tr8("Αλφαβητική Ταξινόμηση"), client);
    button2->setObjectName("Button2");
    button2->setToolTip(tr8("Πατήστε για να ταξινομηθούν αλφαβητικά οι εγγραφές "));
    button2->setGeometry(845, 188, 158, 25);
    connect(button2, &QPushButton::clicked, this, [this] { command([this] { session_->SortBySurname(); }); });

    totals_ = new TotalsPanel(*session_, ui_, client);
    totals_->move(0, 660 - 81);

    buildStartPanel(client);
    findings_ = new FindingsPanel(*this);
    addDockWidget(Qt::BottomDockWidgetArea, findings_);
    buildMenus();

    form2_ = new PleaseWaitDialog(this);
    connect(&ui_, &QtUserInterface::focusHeaderRequested, header_, &DeclarantHeader::focus);
    connect(&ui_, &QtUserInterface::focusDetailLineRequested, grid_->grid(),
            [grid = grid_->grid()] { grid->setFocus(Qt::OtherFocusReason); });
    connect(&ui_, &QtUserInterface::pleaseWaitChanged, this, &MainWindow::pleaseWait);
    connect(&ui_, &QtUserInterface::progressChanged, form2_, &PleaseWaitDialog::setProgress);
    connect(&ui_, &QtUserInterface::sessionChanged, this, &MainWindow::refresh);

    layout_ = new MainLayout(*this, *client);
    // The window keeps its designed size, taller by the panel while it is shown.
    connect(findings_, &QDockWidget::visibilityChanged, layout_, &MainLayout::designChanged);
    nameControls(*client);
    new GridTabOut(*grid_->grid(), this);
    title_ = new WindowTitle(*this, *session_);
    auto* drop = new FileDrop(*this, [this] { return session_->DeclarationCommandsEnabled(); });
    connect(drop, &FileDrop::openRequested, this, &MainWindow::openDropped);
    connect(drop, &FileDrop::importRequested, this, &MainWindow::importDropped);

    started_ = session_->Start();
    if (started_) capsLock_->attach(session_->WorkspaceFiles().folder() / "capslock");
    refresh();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildStartPanel(QWidget* client)
{
    panel2_ = new QWidget(client);
    panel2_->setObjectName("Panel2");
    panel2_->setAutoFillBackground(true);
    panel2_->setGeometry(0, 0, client->width(), client->height());
    auto* image = new QLabel(panel2_);
    image->setObjectName("Image1");
    image->setPixmap(startPicture());
    image->adjustSize();
    image->move(panel2_->width() / 2 - image->width() / 2, 50);
    auto* label = new QLabel(tr8("Παρακαλώ επιλέξτε 'Αρχείο' - 'Νέο' ή 'Αρχείο' - Άνοιγμα' για να ξεκινήσετε"), panel2_);
    label->setObjectName("Label18");
    QFont f = label->font();
    f.setPointSize(f.pointSize() + 3);
    f.setBold(true);
    label->setFont(f);
    label->adjustSize();
    label->move(panel2_->width() / 2 - label->width() / 2, image->height() + 100);
    panel2_->raise();
}

QAction* MainWindow::addAction(QMenu* menu, const char* name, const char* text, const QKeySequence& shortcut)
{
    QAction* a = menu->addAction(tr8(text));
    a->setObjectName(name);
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    return a;
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr8("Αρχείο"));
    file->setObjectName("N1");
    connect(addAction(file, "N5", "Νέο"), &QAction::triggered, this, [this] { command([this] { session_->New(); }); });
    connect(addAction(file, "N2", "Άνοιγμα", QKeySequence("Ctrl+O")), &QAction::triggered, this,
            [this] {
                const unsigned long before = session_->Checker().changes();
                command([this] { session_->Open(); });
                findings_->checkAfterLoad(before);
            });
    connect(addAction(file, "N7", "Αποθήκευση ως...", QKeySequence("Ctrl+S")), &QAction::triggered, this,
            [this] { command([this] { session_->SaveAs(); }); });
    file->addSeparator();
    connect(addAction(file, "N4", "Έξοδος"), &QAction::triggered, this, &QWidget::close);

    printMenu_ = menuBar()->addMenu(tr8("Εκτύπωση"));
    printMenu_->setObjectName("N14");
    printMenu_->menuAction()->setObjectName("N14");
    addAction(printMenu_, "N15", "Εκτύπωση 1ης Σελίδας");
    addAction(printMenu_, "N16", "Αναλυτικές Αμοιβές");
    addAction(printMenu_, "N17", "Εκτύπωση Συνόλων");

    toolsMenu_ = menuBar()->addMenu(tr8("Εργαλεία"));
    toolsMenu_->setObjectName("N8");
    addAction(toolsMenu_, "N18", "Εύρεση...", QKeySequence("Ctrl+F"));
    connect(addAction(toolsMenu_, "N21", "Έλεγχος δήλωσης", QKeySequence(Qt::Key_F7)), &QAction::triggered, findings_,
            &FindingsPanel::N21Click);
    connect(addAction(toolsMenu_, "Excel1", "Εισαγωγή στοιχείων από Excel"), &QAction::triggered, this,
            [this] {
                const unsigned long before = session_->Checker().changes();
                command([this] { SpreadsheetImport(*session_, ui_).ChooseAndImport(); });
                findings_->checkAfterLoad(before);
            });
    // The sort buttons' commands, also for the keyboard.
    connect(addAction(toolsMenu_, "SortByAFM", "Ταξινόμηση ανά ΑΦΜ", QKeySequence("Ctrl+1")), &QAction::triggered,
            this, [this] { command([this] { session_->SortByTaxNumber(); }); });
    connect(addAction(toolsMenu_, "SortByName", "Αλφαβητική ταξινόμηση", QKeySequence("Ctrl+2")), &QAction::triggered,
            this, [this] { command([this] { session_->SortBySurname(); }); });
    addAction(toolsMenu_, "N20", "Δημιουργία συμπιεσμένου αρχείου (zip)");
    addAction(toolsMenu_, "N9", "Δημιουργία συντόμευσης στην Επιφ. Εργασίας");
    addAction(toolsMenu_, "N10", "Σύνδεση με εξυπηρετητή ΚΗΥ");

    helpMenu_ = menuBar()->addMenu(tr8("Βοήθεια"));
    helpMenu_->setObjectName("N11");
    addAction(helpMenu_, "N12", "Οδηγίες εφαρμογής");
    addAction(helpMenu_, "N13", "Σχετικά...");
}

QAction* MainWindow::menuAction(const QString& name) const
{
    if (name == "N14") return printMenu_->menuAction();
    return findChild<QAction*>(name);
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
        ui_.ShowError(e.message());
    } catch (const std::bad_alloc&) {
        ui_.ShowError(cp1253::lit("Δεν υπάρχει αρκετή μνήμη για να ολοκληρωθεί η εργασία."));
    } catch (const std::filesystem::filesystem_error& e) {
        ui_.ShowError(format(cp1253::lit("Η εργασία διακόπηκε (%s: %s)"),
                             {cp1253::pathText(e.path1()), systemErrorText(e.code().value())}));
    } catch (const std::exception& e) {
        ui_.ShowError(e.what());
    }
    refresh();
}

void MainWindow::refresh()
{
    header_->refresh();
    totals_->refresh();
    label32_->setText(fromCp(session_->RecordCounterText()));
    const bool enabled = session_->DeclarationCommandsEnabled();
    for (const char* name : {"N7", "N18", "N21", "Excel1", "SortByAFM", "SortByName"}) menuAction(name)->setEnabled(enabled);
    printMenu_->menuAction()->setEnabled(enabled);
    panel2_->setVisible(session_->StartPanelVisible());
    findings_->sessionChanged();
    if (title_) title_->update();
}

void MainWindow::showAtStart()
{
    layout_->show();
}

void MainWindow::openDropped(const std::filesystem::path& file)
{
    const unsigned long before = session_->Checker().changes();
    command([this, file] { session_->OpenFile(file); });
    findings_->checkAfterLoad(before);
}

void MainWindow::importDropped(const std::filesystem::path& file)
{
    const unsigned long before = session_->Checker().changes();
    command([this, file] {
        if (session_->PostPendingEdit()) SpreadsheetImport(*session_, ui_).ImportFile(file);
    });
    findings_->checkAfterLoad(before);
}

void MainWindow::pleaseWait(bool on)
{
    grid_->setVisibleForWait(!on);
    if (on) {
        form2_->showNow();
    } else {
        form2_->hide();
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    grid_->commitPendingEditor();
    // The user's state first: its record goes before the workspace is removed.
    capsLock_->restore();
    if (started_ && !session_->RequestClose()) {
        capsLock_->resume();
        event->ignore();
        return;
    }
    event->accept();
    QApplication::quit();
}

}  // namespace edlt::ui
