// SPDX-License-Identifier: GPL-3.0-or-later
// The window on a desktop: Qt's own dialogs and menus in Greek, Caps Lock kept to the
// program, maximising, whole texts at a million lines, accessible names, the title,
// dropped files and the totals boxes' keys.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSplitter>
#include <QStandardPaths>
#include <QStyle>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTranslator>
#include <QWebEnginePage>
#include <QtTest>
#include <csignal>
#include <optional>

#include "core/base/Cp1253.h"
#include "core/store/DetailRecord.h"
#include "gui/common/FileDialog.h"
#include "gui/common/Translation.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/grid/DetailGrid.h"
#include "gui/grid/RecordGridView.h"
#include "gui/mainwindow/KeyboardLocks.h"
#include "gui/mainwindow/QtUserInterface.h"
#include "gui/mainwindow/TotalsPanel.h"
#include "tests/gui/common/WindowStart.h"

using namespace edlt;
using namespace edlt::ui;

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Asked before the Greek catalogue, it notes each Qt string the catalogue cannot answer.
class MissingTranslations : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override
    {
        if (!source || !*source || !greek.translate(context, source, disambiguation, n).isEmpty()) return {};
        missing.insert(
            QStringLiteral("%1 | %2 | %3").arg(U(context), U(source).replace('\n', "\\n"), U(disambiguation)));
        return {};
    }
    bool isEmpty() const override { return false; }

    QTranslator greek;
    mutable QSet<QString> missing;
};

// Every text the user can read on top and its children: titles, labels, buttons, menu
// items, list items of choices, column titles, tips. Paths and file names are the user's.
QStringList readableTexts(QWidget* top)
{
    QStringList out{top->windowTitle()};
    const auto add = [&out](const QString& t) {
        if (!t.isEmpty()) out << t;
    };
    for (QWidget* w : top->findChildren<QWidget*>()) {
        add(w->toolTip());
        add(w->windowTitle());
        if (auto* l = qobject_cast<QLabel*>(w)) add(l->text());
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            add(b->text());
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            add(g->title());
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            add(e->placeholderText());
        else if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i) add(t->tabText(i));
        if (auto* c = qobject_cast<QComboBox*>(w); c && c->objectName() != "lookInCombo")
            for (int i = 0; i < c->count(); ++i) add(c->itemText(i));
        if (auto* h = qobject_cast<QHeaderView*>(w); h && h->model())
            for (int i = 0; i < h->count(); ++i) add(h->model()->headerData(i, h->orientation()).toString());
    }
    for (QAction* a : top->findChildren<QAction*>()) add(a->text());
    return out;
}

// Latin words other than units and names of formats and paper sizes.
QStringList englishIn(const QStringList& texts)
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z][A-Za-z]+"));
    static const QRegularExpression path(QStringLiteral("/\\S*"));
    static const QStringList allowed{// units, formats, and paper formats' own names
                                     "PDF",     "mm",     "in",      "pt",        "Cicero", "CC",     "Didot",
                                     "DD",      "Pica",   "ANSI",    "JIS",       "PRC",    "DL",     "Letter",
                                     "Legal",   "Ledger", "Tabloid", "Executive", "Folio",  "Quarto", "Statement",
                                     "Monarch", "Kaku",   "Chou",    "Super"};
    QStringList found;
    for (const QString& t : texts)
        for (auto it = word.globalMatch(t.section(QLatin1Char(0x09), 0, 0).remove(path));
             it.hasNext();)  // after a tab: the shortcut
            if (QString w = it.next().captured(); !allowed.contains(w)) found << t;
    found.removeDuplicates();
    return found;
}

// The labels, boxes and buttons of top that cannot show their whole text.
QStringList clippedTexts(QWidget* top)
{
    QStringList clipped;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(top)) continue;
        const QFontMetrics fm = w->fontMetrics();
        const QRect room = w->contentsRect();
        QString text;
        bool whole = true;
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty() && l->textFormat() != Qt::RichText) {
            text = l->text();
            const QRect need = fm.boundingRect(room.adjusted(l->margin(), l->margin(), -l->margin(), -l->margin()),
                                               int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0), text);
            whole = need.width() <= room.width() && need.height() <= room.height() + 1;
        } else if (auto* e = qobject_cast<QLineEdit*>(w); e && !e->text().isEmpty()) {
            text = e->text();
            const int frame = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e);
            whole = fm.horizontalAdvance(text) <= room.width() - 2 * (frame + 2);
        } else if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
            text = b->text();
            // A push button's own minimum width is not clipping: its text and margins are.
            whole = qobject_cast<QPushButton*>(b) ? fm.horizontalAdvance(QString(text).remove('&')) + 8 <= b->width()
                                                  : b->sizeHint().width() <= b->width();
        }
        if (!whole) clipped << QStringLiteral("%1 \"%2\"").arg(w->objectName(), text);
    }
    return clipped;
}

}  // namespace

class DesktopWindowTest : public test::MainWindowFixture {
    Q_OBJECT

    MissingTranslations missing_;

    QWidget* child(const char* name) { return form_->findChild<QWidget*>(name); }
    FixedWidthTable& store() { return form_->session().detailStore(); }
    int beeps() { return static_cast<QtUserInterface&>(form_->userInterface()).beeps(); }

    void newDeclaration()
    {
        MessageBox::setNextAnswer(Answer::Yes);
        if (form_->session().modified()) MessageBox::setNextAnswer(Answer::No);  // the unsaved work given up
        form_->menuAction(MenuCommand::New)->trigger();
    }

    // A declaration of two lines saved as name, and a sheet of one row beside it.
    QString saveDeclaration(const QString& name)
    {
        newDeclaration();
        for (auto [field, value] : {std::pair{HeaderField::YearOfData, "2025"},
                                    {HeaderField::AFM, "123456783"},
                                    {HeaderField::CompanyName, "ΕΤΑΙΡΕΙΑ"}})
            form_->session().setHeaderText(field, cp1253::lit(value));
        store().appendNew();
        for (auto [field, value] : {std::pair{"AFM", "012345670"},
                                    {"SurName", "ΑΛΦΑ"},
                                    {"TypeInc", "10"},
                                    {"AkaInc", "100"},
                                    {"Kratiseis", "0"},
                                    {"Kathares", "100"}})
            store().setFieldValue(field, cp1253::lit(value));
        store().post();
        const QString file = dir_->filePath(name);
        FileDialog::setNextFileName(file);
        form_->menuAction(MenuCommand::SaveAs)->trigger();
        return file;
    }

    // Shows a window of Qt's, lets it settle, and checks what it shows.
    void checkGreek(QWidget* w, const char* what)
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QStringList english = englishIn(readableTexts(w));
        QVERIFY2(english.isEmpty(), qPrintable(QString("%1: %2").arg(what, english.join(" / "))));
    }

    // The same for the modal window that trigger opens, closed afterwards.
    void checkGreekModal(const std::function<void()>& trigger, const char* what)
    {
        std::optional<QStringList> english;
        QTimer::singleShot(300, this, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                english = englishIn(readableTexts(modal));
                modal->close();
            }
        });
        trigger();
        QTRY_VERIFY2(english, what);
        QVERIFY2(english->isEmpty(), qPrintable(QString("%1: %2").arg(what, english->join(" / "))));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(installGreekTranslation(EDLT_BUILD_DIR));
        QVERIFY(missing_.greek.load(QStringLiteral(EDLT_BUILD_DIR "/") + greekQtCatalogue));
        QCoreApplication::installTranslator(&missing_);
    }

    void init() { QVERIFY(openWindow()); }

    void cleanup() { test::closeMainWindow(form_); }

    void qtsOwnDialogsAndMenusAreGreek()
    {
        QFile(dir_->filePath("φύλλο.csv")).open(QIODevice::WriteOnly);
        QFile(dir_->filePath("δήλωση")).open(QIODevice::WriteOnly);
        QDir(dir_->path()).mkdir(U("φάκελος"));
        QFile::link(dir_->filePath("δήλωση"), dir_->filePath("σύνδεσμος"));
        for (auto mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
            const QString proposed = mode == QFileDialog::AcceptSave ? U("νέα δήλωση") : QString();
            auto made =
                FileDialog::make(form_.get(), QString(), QDir(dir_->path()).filePath(proposed), U("Όλα|*.*"), mode);
            QFileDialog& d = *made;
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QCOMPARE(d.findChild<QLineEdit*>("fileNameEdit")->text(), proposed);
            // Every place is named in full ("Υπολογιστής" among them).
            auto* places = d.findChild<QListView*>("sidebar");
            QVERIFY(places && places->model()->rowCount() > 0);
            // However narrow Qt's remembered layout makes the list.
            d.findChild<QSplitter*>("splitter")->setSizes({10, d.width()});
            QVERIFY2(places->sizeHintForColumn(0) <= places->viewport()->width(),
                     qPrintable(QString::number(places->sizeHintForColumn(0))));
            checkGreek(&d, "file dialog");
            d.setViewMode(QFileDialog::Detail);
            checkGreek(&d, "file dialog, details");
            d.setOption(QFileDialog::DontConfirmOverwrite, false);  // Qt's own question, for its words
            d.selectFile(mode == QFileDialog::AcceptOpen ? U("λείπει") : U("δήλωση"));
            checkGreekModal([&d] { QMetaObject::invokeMethod(&d, "accept"); }, "file dialog's question");
        }
        QPrinter printer;
        QPrintDialog print(&printer, form_.get());
        print.show();
        if (auto* options = print.findChild<QAbstractButton*>("options")) options->click();
        checkGreek(&print, "print dialog");
        checkGreekModal([&print] { print.findChild<QAbstractButton*>("properties")->click(); }, "printer properties");
        print.findChild<QLineEdit*>("filename")->setText(dir_->filePath("δήλωση"));
        checkGreekModal([&print] { print.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); },
                        "print dialog's question");

        QLineEdit line;
        std::unique_ptr<QMenu> lineMenu(line.createStandardContextMenu());
        checkGreek(lineMenu.get(), "line menu");
        QTextEdit text(U("κείμενο"));
        std::unique_ptr<QMenu> textMenu(text.createStandardContextMenu());
        checkGreek(textMenu.get(), "text menu");

        // The help and print windows' page menu.
        QWebEnginePage page;
        QStringList pageActions;
        for (auto a : {QWebEnginePage::Back, QWebEnginePage::Forward, QWebEnginePage::Reload, QWebEnginePage::Copy,
                       QWebEnginePage::SelectAll, QWebEnginePage::CopyLinkToClipboard, QWebEnginePage::SavePage,
                       QWebEnginePage::ViewSource, QWebEnginePage::InspectElement})
            pageActions << page.action(a)->text();
        QVERIFY2(englishIn(pageActions).isEmpty(), qPrintable(englishIn(pageActions).join(" / ")));

        QMessageBox box(QMessageBox::Warning, U("Τίτλος"), U("Κείμενο"),
                        QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No | QMessageBox::Save |
                            QMessageBox::Discard | QMessageBox::Close | QMessageBox::Abort | QMessageBox::Retry |
                            QMessageBox::Ignore | QMessageBox::Apply | QMessageBox::Reset | QMessageBox::Help |
                            QMessageBox::YesToAll | QMessageBox::NoToAll,
                        form_.get());
        box.setDetailedText(U("λεπτομέρειες"));
        checkGreek(&box, "message box");
        QInputDialog input(form_.get());
        checkGreek(&input, "input dialog");

        // Key names stay as printed on the keys.
        QStringList all = missing_.missing.values().filter(QRegularExpression("^(?!QShortcut )"));
        all.sort();
        if (QFile log(qEnvironmentVariable("EDLT_MISSING_TRANSLATIONS"));
            !log.fileName().isEmpty() && log.open(QIODevice::WriteOnly))
            log.write(all.join('\n').toUtf8());
        QVERIFY2(all.isEmpty(), qPrintable(all.join("\n")));
    }

    void capsLockIsTheProgramsOnlyWhileItsWindowIsActive()
    {
        KeyboardLocks locks;
        for (bool users : {false, true}) {
            QFileDialog dialog(form_.get());
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.show();
            dialog.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QTRY_VERIFY(!locks.capsLock());  // the state the user had before the program started
            locks.setCapsLock(users);        // the user's own choice, made where the program does not hold it
            dialog.close();
            form_->activateWindow();
            QTRY_VERIFY(locks.capsLock());
            // Another program gets the focus: the user's state is back.
            QProcess other;
            other.start("xmessage", {"-name", "edlt-other", "other"});
            QVERIFY(other.waitForStarted());
            QTRY_VERIFY(QProcess::execute("xdotool",
                                          {"search", "--sync", "--name", "edlt-other", "windowfocus", "--sync"}) == 0);
            QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationInactive);
            QTRY_COMPARE(locks.capsLock(), users);
            QProcess::execute("xdotool", {"windowfocus", "--sync", QString::number(form_->winId())});
            QTRY_VERIFY(locks.capsLock());
            other.kill();
            other.waitForFinished();
        }
        // At exit the user's last state comes back.
        test::closeMainWindow(form_);
        QCOMPARE(locks.capsLock(), true);
        locks.setCapsLock(false);

        // Ended by SIGTERM or SIGINT, the program gives the state back and still ends by the signal.
        for (int sig : {SIGTERM, SIGINT}) {
            QProcess program;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_STATE_HOME", dir_->filePath(QString("state%1").arg(sig)));
            program.setProcessEnvironment(env);
            program.start(EDLT_BUILD_DIR "/edlt", {});
            QVERIFY(program.waitForStarted());
            QCOMPARE(QProcess::execute("xdotool", {"search", "--sync", "--pid", QString::number(program.processId()),
                                                   "--name", "ΔΛΤ", "windowfocus", "--sync"}),
                     0);
            QTRY_VERIFY(locks.capsLock());
            ::kill(static_cast<pid_t>(program.processId()), sig);
            QVERIFY(program.waitForFinished());
            QCOMPARE(program.exitStatus(), QProcess::CrashExit);
            QVERIFY(!locks.capsLock());
        }
    }

    // A PDF's path is typed in the print dialog and its page setup: the user's Caps Lock holds there.
    void capsLockIsTheUsersInThePrintDialogs()
    {
        KeyboardLocks locks;
        QTRY_VERIFY(locks.capsLock());
        QPrinter printer;
        QPrintDialog print(&printer, form_.get());
        QPageSetupDialog setup(&printer, form_.get());
        for (QDialog* dialog : {static_cast<QDialog*>(&print), static_cast<QDialog*>(&setup)}) {
            dialog->show();
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QTRY_VERIFY(!locks.capsLock());
            dialog->close();
            form_->activateWindow();
            QTRY_VERIFY(locks.capsLock());
        }
    }

    void maximisedTheBandsGridAndTotalsFollow()
    {
        // Maximising is the window manager's work.
        if (QStandardPaths::findExecutable("openbox").isEmpty()) QSKIP("no window manager (openbox) to maximise");
        QProcess wm;
        wm.start("openbox", {"--sm-disable"});
        QVERIFY(wm.waitForStarted());
        const auto stopWm = qScopeGuard([&wm] {
            wm.terminate();
            wm.waitForFinished();
        });
        QTest::qWait(500);
        newDeclaration();
        QWidget* client = form_->centralWidget();
        const QSize fixedSize = form_->size();
        auto layoutFollows = [this, client] {
            const int w = client->width(), h = client->height();
            QCOMPARE(child("declarantTitle")->width(), w);
            QCOMPARE(child("detailTitle")->width(), w);
            QCOMPARE(child("totalsPanel")->geometry(), QRect(0, h - 81, w, 81));
            QCOMPARE(child("totalsTitle")->width(), w);
            QCOMPARE(child("detailGrid")->geometry(), QRect(0, 217, w + 2, h - 81 - 10 - 217));
        };
        layoutFollows();
        QCOMPARE(client->size(), QSize(1007, 660));
        // Dragged to another size, the window goes back to its own.
        form_->resize(fixedSize + QSize(200, 100));
        QTest::qWait(300);
        QTRY_COMPARE(form_->size(), fixedSize);
        form_->showMaximized();
        QTRY_VERIFY(client->width() > 1007 && client->height() > 660);
        layoutFollows();
        form_->showNormal();
        QTRY_COMPARE(client->size(), QSize(1007, 660));
        layoutFollows();
    }

    void everyControlHasItsNameAndTheKeyboardReachesAll()
    {
        newDeclaration();
        const std::pair<const char*, const char*> names[] = {
            {"YearOfData", "Έτος που αφορούν τα στοιχεία"},
            {"AFM", "ΑΦΜ"},
            {"AntikeimenoErgasion", "Αντικείμενο δραστηριότητας επιχείρησης"},
            {"CompanyName", "Επωνυμία Επιχείρησης"},
            {"Town", "Πόλη"},
            {"Street", "Οδός"},
            {"Number", "Αριθμός"},
            {"TK", "Τ.Κ."},
            {"grossPayTotal", "Ακαθάριστες Αποδοχές"},
            {"ogaTaxDueTotal", "Σύνολο ΟΓΑ Φόρου που Αναλογεί"},
            {"detailGrid", "Αναλυτικές αμοιβές Μισθωτού ή Συνταξιούχου"},
            {"incomeTypeLookup", "Είδος αποδοχών"},
            {"FindingsList", "Ευρήματα του ελέγχου δήλωσης"},
            {"firstButton", "Πρώτη Εγγραφή"},
            {"postButton", "Αποθήκευση Αλλαγών"}};
        for (const auto& [name, spoken] : names)
            QVERIFY2(QAccessible::queryAccessibleInterface(child(name))->text(QAccessible::Name).startsWith(U(spoken)),
                     name);
        for (int i = 1; i <= 9; ++i)
            QVERIFY(!QAccessible::queryAccessibleInterface(child(qPrintable(TotalsPanel::boxName(i))))
                         ->text(QAccessible::Name)
                         .isEmpty());
        for (const char* name : {"Name", "FatherName"})
            QVERIFY(!QAccessible::queryAccessibleInterface(child(name))->text(QAccessible::Name).isEmpty());

        // The sorts from the menu's keys.
        saveDeclaration("δύο");
        store().appendNew();
        for (auto [field, value] : {std::pair{"AFM", "111111114"},
                                    {"SurName", "ΑΑΑ"},
                                    {"TypeInc", "10"},
                                    {"AkaInc", "1"},
                                    {"Kratiseis", "0"},
                                    {"Kathares", "1"}})
            store().setFieldValue(field, cp1253::lit(value));
        store().post();
        RecordGridView* grid = form_->detailGrid().grid();
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        QTest::keyClick(grid, Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(store().fieldValueAt(0, detail::SurName), cp1253::lit("ΑΑΑ"));
        QTest::keyClick(grid, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(store().fieldValueAt(0, detail::AFM), cp1253::lit("012345670"));

        // Ctrl+Tab and Ctrl+Shift+Tab leave the grid, whose Tab moves between cells.
        for (Qt::KeyboardModifiers mods :
             {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ControlModifier | Qt::ShiftModifier}) {
            grid->setFocus();
            QTRY_VERIFY(grid->hasFocus());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, mods);
            QWidget* now = QApplication::focusWidget();
            QVERIFY(now && now != grid && !grid->isAncestorOf(now));
        }
    }

    void theTitleNamesTheFileAndUnsavedWork()
    {
        QCOMPARE(form_->windowTitle(), U("e-ΔΛΤ"));
        newDeclaration();
        QCOMPARE(form_->windowTitle(), U("e-ΔΛΤ — Νέα δήλωση[*]"));
        QVERIFY(!form_->isWindowModified());
        auto* town = form_->findChild<QLineEdit*>("Town");
        town->setFocus();
        QTRY_VERIFY(town->hasFocus());
        QTest::keyClicks(town, "A");
        QTRY_VERIFY(form_->isWindowModified());
        saveDeclaration("δήλωση-2025");
        QCOMPARE(form_->windowTitle(), U("e-ΔΛΤ — δήλωση-2025[*]"));
        QVERIFY(!form_->isWindowModified());
    }

    void droppedFilesOpenOrImport()
    {
        const QString declaration = saveDeclaration("ρίχτηκε");
        QFile sheet(dir_->filePath("φύλλο.csv"));
        QVERIFY(sheet.open(QIODevice::WriteOnly));
        sheet.write(U("111111114;ΒΗΤΑ;;;;;;;10;1000;0;0;100;900;0;0;;5;0;0\r\n").toUtf8());
        sheet.close();
        const auto drop = [this](const QString& file) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form_.get(), &enter);
            if (!enter.isAccepted()) return false;
            QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form_.get(), &dropped);
            return dropped.isAccepted();
        };
        MessageBox::setNextAnswer(Answer::Yes);
        form_->menuAction(MenuCommand::New)->trigger();
        QCOMPARE(store().countRecords(), 0L);
        QVERIFY(drop(declaration));
        QTRY_COMPARE(store().countRecords(), 1L);
        QVERIFY(drop(sheet.fileName()));
        QTRY_COMPARE(store().countRecords(), 2L);
        QCOMPARE(form_->windowTitle(), U("e-ΔΛΤ — ρίχτηκε[*]"));
        // Two files at once, or a sheet with no declaration open, are refused.
        form_ = nullptr;
        dir_ = std::make_unique<QTemporaryDir>();
        form_ = test::startMainWindow(folder());
        QVERIFY(!drop(sheet.fileName()));
    }

    void totalsBoxesDropEveryEditingKeyWithABeep()
    {
        newDeclaration();
        auto* box = form_->findChild<QLineEdit*>("grossPayTotal");
        box->setText("1500");
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, bool> keys[] = {
            {Qt::Key_5, Qt::NoModifier, true},         {Qt::Key_A, Qt::NoModifier, true},
            {Qt::Key_Backspace, Qt::NoModifier, true}, {Qt::Key_Delete, Qt::NoModifier, true},
            {Qt::Key_V, Qt::ControlModifier, true},    {Qt::Key_X, Qt::ControlModifier, true},
            {Qt::Key_Insert, Qt::ShiftModifier, true}, {Qt::Key_Delete, Qt::ShiftModifier, true},
            {Qt::Key_Z, Qt::ControlModifier, true},    {Qt::Key_Left, Qt::NoModifier, false},
            {Qt::Key_C, Qt::ControlModifier, false},   {Qt::Key_A, Qt::ControlModifier, false}};
        for (const auto& [key, mods, beeps_] : keys) {
            const int before = beeps();
            QTest::keyClick(box, key, mods);
            QCOMPARE(beeps() - before, beeps_ ? 1 : 0);
            QCOMPARE(box->text(), QString("1500"));
        }
    }

    void everyTextIsWholeAtAMillionLines()
    {
        newDeclaration();
        // What a declaration of 1,000,000 lines shows.
        form_->findChild<QLabel*>("recordCounter")->setText(U("1000000 Εγγραφές-1000000 μοναδικοί ΑΦΜ"));
        TotalsTexts totals;
        totals.fill("25839932398,62");
        form_->totals().showTotals(totals);
        QStringList clipped = clippedTexts(form_.get());
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(" / ")));
        form_->grab().save(QStringLiteral("/tmp/edlt-million-figures.png"));

        AboutDialog about(form_.get());
        FindDialog find(form_.get());
        HelpWindow manual(folder());
        for (QWidget* w : std::initializer_list<QWidget*>{&about, &find, &manual}) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            clipped = clippedTexts(w);
            QVERIFY2(clipped.isEmpty(), qPrintable(w->objectName() + ": " + clipped.join(" / ")));
            w->hide();
        }
        // The help topics are links the keyboard reaches.
        manual.show();
        manual.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&manual));
        manual.termsLink->setFocus();
        QTRY_VERIFY(manual.termsLink->hasFocus());
        QTest::keyClick(manual.termsLink, Qt::Key_Tab, Qt::ShiftModifier);
        QTRY_VERIFY(manual.usageLink->hasFocus());
    }

    void theImportFilterShowsItsPatternsOnce()
    {
        QCOMPARE(FileDialog::qtFilter(U("Φύλλα εργασίας (*.xls, *.csv)|*.xls;*.csv|Excel (*.xlsx)|*.xlsx|*.*|*.*")),
                 U("Φύλλα εργασίας (*.xls *.csv);;Excel (*.xlsx);;*.* (*)"));
    }
};

QTEST_MAIN(DesktopWindowTest)
#include "DesktopWindowTest.moc"
