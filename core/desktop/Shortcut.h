// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop shortcut: a freedesktop desktop entry "E-ΔΛΤ.desktop" in the user's
// desktop folder that starts the program in its own folder, with its icon. Desktop
// entries are UTF-8 by their own rules, so the texts here (not the messages) are UTF-8.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace edlt {

class UserInterface;

// The entry's file name, UTF-8.
extern const char* const DesktopEntryFileName;

struct ShortcutTarget {
    std::filesystem::path executable;     // absolute
    std::filesystem::path workingFolder;  // the executable's folder
    std::filesystem::path icon;           // absolute; none when empty
};

// The program, its folder as the working folder, and icons/edlt.png of its data folder
// (beside it, or ../share/edlt once installed).
ShortcutTarget shortcutTargetFor(const std::filesystem::path& executable);

// One Exec argument: double-quoted, with " ` $ \ escaped, when it holds a reserved
// character or is empty; as it is otherwise.
std::string quoteExecArgument(std::string_view argument);
// A value of the string kind: backslash, newline, tab, carriage return and a leading
// blank escaped.
std::string escapeDesktopString(std::string_view value);
// The whole entry. Throws Error when a path is not valid UTF-8.
std::string desktopEntryText(const ShortcutTarget& target);

// The desktop folder as `xdg-user-dir DESKTOP` names it (or, without that program, as
// its settings file does), else $HOME/Desktop. Throws
// Error when not even a home folder is known.
std::filesystem::path userDesktopFolder();
// The desktop folder that a user-dirs.dirs text sets, if it sets one.
std::optional<std::filesystem::path> desktopFolderSetting(std::string_view userDirs, const std::filesystem::path& home);

// Marks the entry trusted for GNOME's desktop with `gio set`, where gio exists; its
// failure is ignored.
void markTrustedWithGio(const std::filesystem::path& entry);

// Writes the entry whole into desktopFolder (created when missing), replacing one of the
// same name, makes it executable and marks it trusted. Returns the entry's path; throws
// Error (or std::filesystem::filesystem_error) on failure, an old entry then intact.
std::filesystem::path writeDesktopShortcut(
    const ShortcutTarget& target, const std::filesystem::path& desktopFolder,
    const std::function<void(const std::filesystem::path&)>& markTrusted = markTrustedWithGio);

// "Υπήρξε κάποιο πρόβλημα κατά τη δημιουργία της συντόμευσης", Windows-1253.
const std::string& shortcutFailedMessage();

// The command: no message on success, the failure message on any failure.
bool runShortcutCommand(UserInterface& ui, const ShortcutTarget& target,
                        const std::function<std::filesystem::path()>& desktopFolder = userDesktopFolder,
                        const std::function<void(const std::filesystem::path&)>& markTrusted = markTrustedWithGio);

// Runs a program found on PATH with no shell, its standard input and error on
// /dev/null, and waits at most timeoutMs for it. Its standard output when it ran and
// exited with 0; nullopt otherwise (not found, failed, killed at the timeout).
std::optional<std::string> runProgram(const std::vector<std::string>& argv, int timeoutMs);

}  // namespace edlt
