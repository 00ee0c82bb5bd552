// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/ToolCommands.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QUrl>
#include <new>
#include <optional>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/desktop/Shortcut.h"
#include "core/export/ZipCommand.h"
#include "core/session/UserInterface.h"
#include "gui/common/FileDialog.h"

namespace edlt::ui {
namespace {

QString fromPath(const std::filesystem::path& p)
{
    return QFile::decodeName(QByteArray::fromStdString(p.string()));
}

std::filesystem::path toPath(const QString& name)
{
    return std::filesystem::path(QFile::encodeName(name).toStdString());
}

}  // namespace

// Whether the desktop names a program for the address's scheme; nullopt when it cannot be
// asked (no xdg-mime), and then opening the address is the only test there is.
std::optional<bool> desktopHandlesScheme(const QString& scheme)
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {"query", "default", "x-scheme-handler/" + scheme});
    if (!query.waitForStarted(5000)) return std::nullopt;
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return std::nullopt;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

bool openWebSite(const QString& address)
{
    const QUrl url(address);
    if (desktopHandlesScheme(url.scheme()) == false) return false;
    // True only says that a launcher started; there is nothing more to know.
    return QDesktopServices::openUrl(url);
}

std::string noWebBrowserMessage(const QString& address)
{
    return cp1253::lit(
               "Δεν βρέθηκε πρόγραμμα περιήγησης για να ανοίξει τη διεύθυνση. Αντιγράψτε τη και "
               "ανοίξτε τη σε ένα πρόγραμμα περιήγησης:\n\n") +
           address.toStdString();
}

void webSiteCommand(UserInterface& ui)
{
    const QString address = QString::fromLatin1(TaxAdministrationWebSite);
    if (!openWebSite(address)) ui.showNotice(noWebBrowserMessage(address));
}

void zipCommand(QWidget* parent, UserInterface& ui, const std::filesystem::path& programFolder)
{
    const QString folder = fromPath(programFolder);
    const auto source = FileDialog::open(parent, folder, QStringLiteral("*.*|*.*"));
    if (!source) return;
    const std::filesystem::path sourcePath = toPath(*source);
    const auto chosen =
        FileDialog::save(parent, folder, fromPath(sourcePath.filename()), QStringLiteral("*.zip|*.zip"));
    if (!chosen) return;
    try {
        // Only "Ναι" replaces a file: closing the question keeps it.
        runZipCommand(sourcePath, toPath(*chosen),
                      [&](const std::string& question) { return askYesNo(ui, question) == Answer::Yes; });
    } catch (const Error& e) {
        ui.showError(e.message());
    } catch (const std::bad_alloc&) {
        ui.showError(cp1253::lit("Δεν υπάρχει αρκετή μνήμη για τη συμπίεση του αρχείου."));
    } catch (const std::exception&) {
        ui.showError(cp1253::lit("Η δημιουργία του συμπιεσμένου αρχείου απέτυχε."));
    }
}

void shortcutCommand(UserInterface& ui)
{
    runShortcutCommand(ui, shortcutTargetFor(toPath(QCoreApplication::applicationFilePath())));
}

}  // namespace edlt::ui
