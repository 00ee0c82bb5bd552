// SPDX-License-Identifier: GPL-3.0-or-later
// e-ΔΛΤ, the window program.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "EdltVersion.h"
#include "core/base/Error.h"
#include "core/session/DeclarationCheck.h"
#include "core/session/ProgramPaths.h"
#include "core/store/PrivateFolder.h"
#include "gui/common/MessageBox.h"
#include "gui/common/Text.h"
#include "gui/common/Translation.h"
#include "gui/dialogs/ProgramIcon.h"
#include "gui/grid/WheelToArrowKeys.h"
#include "gui/mainwindow/CapsLockKeeper.h"
#include "gui/mainwindow/FindingsPanel.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/Windows.h"

namespace {

const char* const helpText =
    "Χρήση: edlt [ΑΡΧΕΙΟ]\n"
    "  Ξεκινά το e-ΔΛΤ· με ΑΡΧΕΙΟ ανοίγει αμέσως τη δήλωση, όπως το «Αρχείο - Άνοιγμα».\n"
    "  edlt --help      Εμφανίζει αυτό το κείμενο.\n"
    "  edlt --version   Εμφανίζει την έκδοση.\n"
    "Η εργασία κάθε χρήστη φυλάσσεται στο $XDG_STATE_HOME/edlt (~/.local/state/edlt).\n"
    "Για εργασίες χωρίς παράθυρο: edlt-cli --help\n";

const char* const noDisplayText =
    "edlt: δεν βρέθηκε οθόνη γραφικού περιβάλλοντος (μεταβλητές DISPLAY ή WAYLAND_DISPLAY).\n"
    "Το e-ΔΛΤ ανοίγει μόνο μέσα σε γραφικό περιβάλλον· χωρίς αυτό χρησιμοποιήστε το edlt-cli.\n";

bool set(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v;
}

// Qt aborts when it cannot reach the display; the user gets a plain message instead.
void noDisplayHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    std::fputs(noDisplayText, stderr);
    std::fflush(stderr);
    ::_exit(1);
}

}  // namespace

int main(int argc, char** argv)
{
    std::filesystem::path startFile;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const bool option = !optionsEnded && a[0] == '-' && a[1] != '\0';
        if (option && std::strcmp(a, "--") == 0) {
            optionsEnded = true;
        } else if (option && std::strcmp(a, "--version") == 0) {
            std::fputs("edlt (e-ΔΛΤ) " EDLT_VERSION "\n", stdout);
            return 0;
        } else if (option && (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0)) {
            std::fputs(helpText, stdout);
            return 0;
        } else if (option || !startFile.empty()) {
            std::fprintf(stderr, "edlt: άγνωστο ή περιττό όρισμα «%s»\nΔείτε: edlt --help\n", a);
            return 2;
        } else {
            startFile = a;
        }
    }
    if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        std::fputs(noDisplayText, stderr);
        return 1;
    }

    // The report and help pages share one web engine context.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Qt's own dialogs everywhere, with the program's Greek catalogue, whatever the desktop.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QtMessageHandler previous = qInstallMessageHandler(noDisplayHandler);
    // The arguments are the program's own: Qt must not take a file name for one of its options.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    qInstallMessageHandler(previous);
    QApplication::setWindowIcon(edlt::ui::programIcon());
    QApplication::setApplicationName(QStringLiteral("e-DLT"));
    // Docks and task bars group the window under the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.edltapp.edlt"));
    const std::filesystem::path programFolder = edlt::dataFolder(QCoreApplication::applicationDirPath().toStdString());
    edlt::ui::installGreekTranslation(programFolder);
    // Held open while the program runs: the user's files are reached through it, whatever
    // becomes of its name.
    edlt::PrivateFolder stateFolder;
    std::filesystem::path userFolder;
    try {
        stateFolder = edlt::PrivateFolder::open(edlt::userStateFolder());
        userFolder = stateFolder.reach();
    } catch (const edlt::Error& e) {
        edlt::ui::MessageBox::notice(nullptr, edlt::ui::fromCp(e.message()), edlt::ui::MessageBox::Kind::Warning);
        return 1;
    }

    // The windows in their fixed order; all live until the program ends.
    edlt::ui::MainWindow window(programFolder, userFolder);
    if (!window.started()) return 1;
    edlt::ui::ProgramWindows windows(window);
    edlt::ui::WheelToArrowKeys wheel;
    app.installEventFilter(&wheel);
    window.capsLock().restoreOnSignals();
    window.showAtStart();
    if (!startFile.empty()) {
        const std::filesystem::path file = std::filesystem::absolute(startFile);
        QTimer::singleShot(0, &window, [&window, file] {
            const unsigned long before = window.session().checker().changes();
            window.command([&window, file] { window.session().openFile(file); });
            window.findings().checkAfterLoad(before);
        });
    }
    return app.exec();
}
