// SPDX-License-Identifier: GPL-3.0-or-later
// The help window with its pages, F1, the about window's key word and the web-site link.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <filesystem>

#include "core/base/Cp1253.h"
#include "core/session/UserInterface.h"
#include "gui/common/MessageBox.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/HelpKey.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/ProgramIcon.h"
#include "gui/dialogs/ToolCommands.h"
#include "tests/gui/common/WindowUI.h"

using namespace edlt;
using namespace edlt::ui;
namespace fs = std::filesystem;

namespace {

const fs::path dataFolder = fs::path(EDLT_TEST_DATA) / ".." / ".." / "data";

char cp(const char* utf8)
{
    return cp1253::lit(utf8)[0];
}

}  // namespace

// Receives the addresses the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class HelpWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { MessageBox::clearTestState(); }

    void helpWindowStartsOnTheInstallationPage()
    {
        HelpWindow manual(dataFolder);
        QCOMPARE(manual.windowTitle(), QString::fromUtf8("Οδηγίες εφαρμογής"));
        QCOMPARE(manual.helpBrowser->objectName(), QString("helpBrowser"));
        QVERIFY(!(manual.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(manual.isHidden());
        QCOMPARE(manual.page(),
                 QUrl::fromLocalFile(QString::fromStdString((dataFolder / "Help" / "setup.htm").string())));
        QCOMPARE(manual.setupLink->text(), QString::fromUtf8("Οδηγίες εγκατάστασης"));
        QCOMPARE(manual.usageLink->text(), QString::fromUtf8("Οδηγίες χρήσης εφαρμογής"));
        QCOMPARE(manual.termsLink->text(), QString::fromUtf8("Όροι χρήσης εφαρμογής"));
        QCOMPARE(manual.setupLink->cursor().shape(), Qt::PointingHandCursor);
    }

    // The pages shipped beside the program load, each declaring its code page.
    void everyPageLoads()
    {
        HelpWindow manual(dataFolder);
        manual.show();
        for (const char* page : {"setup.htm", "usermanual.htm", "oroi.htm"}) {
            QSignalSpy loaded(manual.helpBrowser, &QWebEngineView::loadFinished);
            manual.helpBrowser->setUrl(manual.pageUrl(page));
            QVERIFY2(loaded.wait(20000), page);
            QVERIFY2(loaded.last().at(0).toBool(), page);
            QTRY_VERIFY2(manual.helpBrowser->title().contains(QString::fromUtf8("e-ΔΛΤ")), page);

            // Every picture a page shows is installed with it.
            QFile file(QString::fromStdString((dataFolder / "Help" / page).string()));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            static const QRegularExpression src("src=\"([^\"]+)\"");
            for (auto it = src.globalMatch(html); it.hasNext();) {
                const QString picture = it.next().captured(1);
                QVERIFY2(QFile::exists(QString::fromStdString((dataFolder / "Help").string()) + "/" + picture),
                         qPrintable(picture));
            }
        }
    }

    void aHelpPageThatCannotBeReadIsNamedInThePane()
    {
        QTemporaryDir program;
        QVERIFY(QDir(program.path()).mkpath("Help/usermanual.htm"));  // a folder in the page's place
        HelpWindow manual(QFile::encodeName(program.path()).toStdString());
        QSignalSpy loaded(manual.helpBrowser, &QWebEngineView::loadFinished);
        manual.showUsagePage();
        QVERIFY(loaded.wait(10000));
        QString shown;
        manual.helpBrowser->page()->toPlainText([&](const QString& text) { shown = text; });
        QTRY_COMPARE(shown, QString::fromUtf8("Δεν ήταν δυνατό να ανοίξει η σελίδα βοήθειας (%1/Help/usermanual.htm: "
                                              "Η διαδρομή είναι φάκελος)")
                                .arg(program.path()));
        QVERIFY(MessageBox::shownTexts().isEmpty());
    }

    void topicLinksNavigate()
    {
        HelpWindow manual(dataFolder);
        manual.show();
        QTest::mouseClick(manual.usageLink, Qt::LeftButton);
        QCOMPARE(manual.page(), manual.pageUrl("usermanual.htm"));
        QTest::mouseClick(manual.termsLink, Qt::LeftButton);
        QCOMPARE(manual.page(), manual.pageUrl("oroi.htm"));
        QTRY_COMPARE(manual.helpBrowser->url(), manual.pageUrl("oroi.htm"));
        QTest::mouseClick(manual.setupLink, Qt::LeftButton);
        QCOMPARE(manual.page(), manual.pageUrl("setup.htm"));
    }

    void helpCommandAndF1RestoreTheWindowOnTheirPages()
    {
        HelpWindow manual(dataFolder);
        QMainWindow main;
        auto* edit = new QLineEdit(&main);
        main.setCentralWidget(edit);
        connect(new F1KeyPreview(&main), &F1KeyPreview::pressed, &manual, &HelpWindow::onHelpKeyPressed);
        main.show();
        edit->setFocus();

        manual.showTermsPage();
        manual.onManualTriggered();
        QVERIFY(manual.isVisible());
        QCOMPARE(manual.page(), manual.pageUrl("setup.htm"));

        manual.showMinimized();
        QTRY_VERIFY(manual.windowState() & Qt::WindowMinimized);
        manual.showTermsPage();
        manual.onManualTriggered();
        QVERIFY(!(manual.windowState() & Qt::WindowMinimized));
        QCOMPARE(manual.page(), manual.pageUrl("setup.htm"));

        manual.showMinimized();
        QTest::keyClick(edit, Qt::Key_F1, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(!(manual.windowState() & Qt::WindowMinimized));
        QVERIFY(manual.isVisible());
        QCOMPARE(manual.page(), manual.pageUrl("usermanual.htm"));

        // Other keys reach the control; F1 in another window is not the main window's.
        QTest::keyClicks(edit, "ab");
        QCOMPARE(edit->text(), QString("ab"));
        manual.showTermsPage();
        QTest::keyClick(manual.printButton, Qt::Key_F1);
        QCOMPARE(manual.page(), manual.pageUrl("oroi.htm"));
    }

    void printFailureIsReported()
    {
        HelpWindow manual(dataFolder);
        manual.printPage = [] { return true; };
        manual.printButton->click();
        QVERIFY(MessageBox::shownTexts().isEmpty());
        manual.printPage = [] { return false; };
        MessageBox::setNextAnswer(Answer::Ok);
        manual.printButton->click();
        QCOMPARE(MessageBox::shownTexts(),
                 QStringList{QString::fromUtf8(
                     "Υπήρξε ένα πρόβλημα κατά την εκτύπωση. Βεβαιωθείτε ότι έχετε ορίσει κάποιον εκτυπωτή")});
        QCOMPARE(manual.page(), manual.pageUrl("setup.htm"));
    }

    void keyWordCounterTable()
    {
        const QString word = QString::fromUtf8(AboutDialog::keyWordUtf8());
        QCOMPARE(word.size(), 5);
        for (int i = 0; i < 5; ++i) {
            QVERIFY(word[i].isUpper());
            QCOMPARE(word.count(word[i]), 1);
        }
        const std::string w = cp1253::lit(AboutDialog::keyWordUtf8());
        bool show = false;
        for (int counter = 0; counter <= 5; ++counter) {
            for (int i = 0; i < 5; ++i)
                QCOMPARE(AboutDialog::nextKeyWordCount(counter, w[static_cast<size_t>(i)], show),
                         counter == i ? i + 1 : 0);
            QCOMPARE(AboutDialog::nextKeyWordCount(counter, ';', show), counter == 5 ? 5 : 0);
            QCOMPARE(show, counter == 5);
            // Neither a key-word letter nor ";": unchanged, case counts.
            for (char other : {'a', '1', ' ', cp("Ω"), static_cast<char>(w[0] + 0x20)}) {
                QCOMPARE(AboutDialog::nextKeyWordCount(counter, other, show), counter);
                QVERIFY(!show);
            }
        }
    }

    void keyWordTypedInTheWindow()
    {
        const QString word = QString::fromUtf8(AboutDialog::keyWordUtf8());
        AboutDialog box;
        QCOMPARE(box.windowTitle(), QString::fromUtf8("Σχετικά"));
        QCOMPARE(box.productLabel->text(), QString::fromUtf8("e-ΔΛΤ v. 1.1.0.2"));
        QCOMPARE(box.descriptionLabel->text(),
                 QString::fromUtf8("Ηλεκτρονική Υποβολή Οριστικών Δηλώσεων Τέλους Καταστάσεων Αμοιβών"));
        QVERIFY(box.okButton->isDefault());
        QVERIFY(!box.iconLabel->pixmap().isNull());
        QCOMPARE(box.keyWordCounter(), 0);
        box.show();
        box.okButton->setFocus();

        auto typeInto = [](QWidget* w, const QString& text) {
            for (QChar c : text)
                QTest::sendKeyEvent(QTest::KeyAction::Press, w, Qt::Key(0), QString(c), Qt::NoModifier);
        };
        typeInto(box.okButton, word.left(1));
        QCOMPARE(box.keyWordCounter(), 1);
        typeInto(box.okButton, word.left(1));
        QCOMPARE(box.keyWordCounter(), 0);
        typeInto(box.okButton, word.left(3) + "x7" + word.mid(3));
        QCOMPARE(box.keyWordCounter(), 5);
        QVERIFY(MessageBox::shownTexts().isEmpty());
        MessageBox::setNextAnswer(Answer::Ok);
        MessageBox::setNextAnswer(Answer::Ok);
        typeInto(&box, ";");
        typeInto(box.okButton, QString(QChar(0x037E)));  // the Greek question mark
        QCOMPARE(box.keyWordCounter(), 5);
        QCOMPARE(MessageBox::shownTexts(), QStringList({AboutDialog::contactText(), AboutDialog::contactText()}));
        typeInto(box.okButton, word.mid(1, 1));
        QCOMPARE(box.keyWordCounter(), 0);

        // Every opening starts again at 0.
        QTimer::singleShot(0, [] {
            auto* opened = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            QVERIFY(opened);
            QCOMPARE(opened->keyWordCounter(), 0);
            opened->okButton->click();
        });
        AboutDialog::showAbout(nullptr);
    }

    void programIconIsDrawnAtEverySize()
    {
        const QIcon icon = programIcon();
        QVERIFY(!icon.isNull());
        const QImage big = programIconPixmap(256).toImage();
        QCOMPARE(big.size(), QSize(256, 256));
        QCOMPARE(big.pixelColor(0, 0).alpha(), 0);      // rounded corners
        QVERIFY(big.pixelColor(128, 20).blue() > 150);  // blue face
        QVERIFY(!programIconPixmap(16).toImage().isNull());
    }

    void webSiteOpensOrTellsWhyNot()
    {
        // A desktop of our making: an xdg-mime that names a browser or none, and no other program.
        QTemporaryDir bin;
        const QByteArray path = qgetenv("PATH");
        const QByteArray browser = qgetenv("BROWSER");
        qputenv("PATH", QFile::encodeName(bin.path()));
        qunsetenv("BROWSER");
        const auto desktopBrowser = [&](const char* handler) {
            QFile script(bin.filePath("xdg-mime"));
            QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
            script.write(QByteArray("#!/bin/sh\nprintf '") + handler + "'\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        test::WindowUI ui;
        const std::string noBrowser = "! " + cp1253::toUtf8(noWebBrowserMessage("https://www.aade.gr"));
        QVERIFY(QString::fromStdString(noBrowser).endsWith(":\n\nhttps://www.aade.gr"));

        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        desktopBrowser("firefox-esr.desktop\\n");
        webSiteCommand(ui);
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl("https://www.aade.gr")});
        QVERIFY(ui.log.empty());

        // The desktop names no program for web addresses: nothing is started, the user is told.
        desktopBrowser("");
        webSiteCommand(ui);
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(ui.log, std::vector<std::string>{noBrowser});
        QDesktopServices::unsetUrlHandler("https");

        // A browser is named but no launcher can be started.
        desktopBrowser("firefox-esr.desktop\\n");
        ui.log.clear();
        QVERIFY(!openWebSite("https://www.aade.gr/x"));
        webSiteCommand(ui);
        QCOMPARE(ui.log, std::vector<std::string>{noBrowser});

        qputenv("PATH", path);
        if (!browser.isNull()) qputenv("BROWSER", browser);
    }
};

QTEST_MAIN(HelpWindowsTest)
#include "HelpWindowsTest.moc"
