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
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTranslator>
#include <QtTest>
#include <optional>

#include "tests/app/ui/MainWindowStart.h"
#include "ui/Translation.h"

using namespace edlt;
using namespace edlt::ui;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Asked before the Greek catalogue, it notes each Qt string the catalogue cannot answer.
class MissingTranslations : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override
    {
        if (!source || !*source || !greek.translate(context, source, disambiguation, n).isEmpty()) return {};
        missing.insert(QStringLiteral("%1 | %2 | %3").arg(U(context), U(source).replace('\n', "\\n"), U(disambiguation)));
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
    const auto add = [&out](const QString& t) { if (!t.isEmpty()) out << t; };
    for (QWidget* w : top->findChildren<QWidget*>()) {
        add(w->toolTip());
        add(w->windowTitle());
        if (auto* l = qobject_cast<QLabel*>(w)) add(l->text());
        else if (auto* b = qobject_cast<QAbstractButton*>(w)) add(b->text());
        else if (auto* g = qobject_cast<QGroupBox*>(w)) add(g->title());
        else if (auto* e = qobject_cast<QLineEdit*>(w)) add(e->placeholderText());
        else if (auto* t = qobject_cast<QTabBar*>(w)) for (int i = 0; i < t->count(); ++i) add(t->tabText(i));
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
                                     "PDF", "mm", "in", "pt", "Cicero", "CC", "Didot", "DD", "Pica", "ANSI", "JIS",
                                     "PRC", "DL", "Letter", "Legal", "Ledger", "Tabloid", "Executive", "Folio", "Quarto",
                                     "Statement", "Monarch", "Kaku", "Chou", "Super"};
    QStringList found;
    for (const QString& t : texts)
        for (auto it = word.globalMatch(t.section(QLatin1Char(0x09), 0, 0).remove(path)); it.hasNext();)  // after a tab: the shortcut
            if (QString w = it.next().captured(); !allowed.contains(w)) found << t;
    found.removeDuplicates();
    return found;
}

}  // namespace

class DesktopWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TForm1> form_;
    MissingTranslations missing_;

    std::filesystem::path folder() const { return dir_->path().toStdString(); }

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

    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        form_ = test::startMainWindow(folder());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }

    void cleanup()
    {
        test::closeMainWindow(form_);
    }

    void qtsOwnDialogsAndMenusAreGreek()
    {
        QFile(dir_->filePath("φύλλο.csv")).open(QIODevice::WriteOnly);
        QFile(dir_->filePath("δήλωση")).open(QIODevice::WriteOnly);
        QDir(dir_->path()).mkdir(U("φάκελος"));
        QFile::link(dir_->filePath("δήλωση"), dir_->filePath("σύνδεσμος"));
        for (auto mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
            QFileDialog d(form_.get(), QString(), dir_->path(), U("Όλα (*)"));
            d.setOption(QFileDialog::DontUseNativeDialog);
            d.setAcceptMode(mode);
            if (mode == QFileDialog::AcceptOpen) d.setFileMode(QFileDialog::ExistingFile);
            checkGreek(&d, "file dialog");
            d.setViewMode(QFileDialog::Detail);
            checkGreek(&d, "file dialog, details");
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
        checkGreekModal([&print] { print.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); }, "print dialog's question");

        QLineEdit line;
        std::unique_ptr<QMenu> lineMenu(line.createStandardContextMenu());
        checkGreek(lineMenu.get(), "line menu");
        QTextEdit text(U("κείμενο"));
        std::unique_ptr<QMenu> textMenu(text.createStandardContextMenu());
        checkGreek(textMenu.get(), "text menu");

        QMessageBox box(QMessageBox::Warning, U("Τίτλος"), U("Κείμενο"),
                        QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No |
                            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Close | QMessageBox::Abort |
                            QMessageBox::Retry | QMessageBox::Ignore | QMessageBox::Apply | QMessageBox::Reset |
                            QMessageBox::Help | QMessageBox::YesToAll | QMessageBox::NoToAll,
                        form_.get());
        box.setDetailedText(U("λεπτομέρειες"));
        checkGreek(&box, "message box");
        QInputDialog input(form_.get());
        checkGreek(&input, "input dialog");

        // Key names stay as printed on the keys.
        QStringList all = missing_.missing.values().filter(QRegularExpression("^(?!QShortcut )"));
        all.sort();
        if (QFile log(qEnvironmentVariable("EDLT_MISSING_TRANSLATIONS")); !log.fileName().isEmpty() && log.open(QIODevice::WriteOnly))
            log.write(all.join('\n').toUtf8());
        QVERIFY2(all.isEmpty(), qPrintable(all.join("\n")));
    }
};

QTEST_MAIN(DesktopWindowTest)
#include "DesktopWindowTest.moc"
