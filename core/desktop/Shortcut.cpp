// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/desktop/Shortcut.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/base/Text.h"
#include "core/session/ProgramPaths.h"
#include "core/session/UserInterface.h"
#include "core/store/AtomicFile.h"

extern char** environ;

namespace edlt {

const char* const DesktopEntryFileName = "E-ΔΛΤ.desktop";

namespace {

std::string utf8Path(const std::filesystem::path& p)
{
    const std::string& s = p.native();
    if (!isValidUtf8(s) || s.find('\0') != std::string::npos)
        throw Error(format(cp1253::lit("Το όνομα %s δεν είναι έγκυρο κείμενο UTF-8."), {cp1253::pathText(p)}));
    return s;
}

std::string readSmallFile(const std::filesystem::path& path)
{
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buf[4096];
    ssize_t got;
    while (text.size() < (1u << 16) && ((got = ::read(fd, buf, sizeof buf)) > 0 || (got < 0 && errno == EINTR)))
        if (got > 0) text.append(buf, static_cast<size_t>(got));
    ::close(fd);
    return text;
}

// Waits for the child, killing it once the time is up.
int waitFor(pid_t pid, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return status;
        if (r < 0 && errno != EINTR) return -1;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

ShortcutTarget shortcutTargetFor(const std::filesystem::path& executable)
{
    ShortcutTarget t;
    t.executable = executable;
    t.workingFolder = executable.parent_path();
    t.icon = dataFolder(t.workingFolder) / "icons" / "edlt.png";
    return t;
}

std::string quoteExecArgument(std::string_view argument)
{
    static constexpr std::string_view reserved = " \t\n\r\"'\\><~|&;$*?#()`";
    if (!argument.empty() && argument.find_first_of(reserved) == std::string_view::npos) return std::string(argument);
    std::string out = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string escapeDesktopString(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        // Readers drop blanks after "=", so a leading one must be spelled out.
        case ' ': out += i == 0 ? "\\s" : " "; break;
        default: out += c;
        }
    }
    return out;
}

std::string desktopEntryText(const ShortcutTarget& target)
{
    std::string exec = quoteExecArgument(utf8Path(target.executable));
    // "%" starts a field code in Exec; a literal one is doubled.
    std::string execValue;
    for (char c : exec) {
        execValue += c;
        if (c == '%') execValue += '%';
    }
    std::string text =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Version=1.0\n"
        "Name=E-DLT\n"
        "Name[el]=E-ΔΛΤ\n"
        "Comment=Final declaration of tax withheld on salaries and pensions\n"
        "Comment[el]=Ηλεκτρονική Υποβολή Οριστικών Δηλώσεων Τέλους Καταστάσεων Αμοιβών\n";
    text += "Exec=" + escapeDesktopString(execValue) + "\n";
    text += "Path=" + escapeDesktopString(utf8Path(target.workingFolder)) + "\n";
    if (!target.icon.empty()) text += "Icon=" + escapeDesktopString(utf8Path(target.icon)) + "\n";
    text +=
        "Terminal=false\n"
        "Categories=Office;Finance;\n";
    return text;
}

std::optional<std::string> runProgram(const std::vector<std::string>& argv, int timeoutMs)
{
    if (argv.empty()) return std::nullopt;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        return std::nullopt;
    }
    // Read until the child closes its end or the time is up; the output is a line or two.
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buf[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fds[0], POLLIN, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left.count()));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        const ssize_t got = ::read(fds[0], buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (out.size() < (1u << 20)) out.append(buf, static_cast<size_t>(got));
    }
    ::close(fds[0]);
    const auto remaining =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const int status = waitFor(pid, static_cast<int>(std::max<long long>(remaining.count(), 0)));
    if (status < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

std::filesystem::path userDesktopFolder()
{
    if (auto out = runProgram({"xdg-user-dir", "DESKTOP"}, 5000)) {
        std::string line = out->substr(0, out->find('\n'));
        if (!line.empty() && line[0] == '/') return line;
    }
    // Without xdg-user-dir, its settings file read the way it reads it.
    const std::filesystem::path home = homeFolder();
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path dirs = (config && *config == '/' ? std::filesystem::path(config) : home / ".config") /
                                       "user-dirs.dirs";
    if (auto folder = desktopFolderSetting(readSmallFile(dirs), home)) return *folder;
    return home / "Desktop";
}

std::optional<std::filesystem::path> desktopFolderSetting(std::string_view userDirs, const std::filesystem::path& home)
{
    std::optional<std::filesystem::path> found;
    size_t start = 0;
    while (start < userDirs.size()) {
        size_t end = userDirs.find('\n', start);
        if (end == std::string_view::npos) end = userDirs.size();
        std::string_view line = userDirs.substr(start, end - start);
        start = end + 1;
        static constexpr std::string_view key = "XDG_DESKTOP_DIR=\"";
        if (line.substr(0, key.size()) != key) continue;
        line.remove_prefix(key.size());
        const size_t close = line.find('"');
        if (close == std::string_view::npos) continue;
        std::string value(line.substr(0, close));
        // Only "$HOME/..." and absolute paths are allowed there.
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
            found = home.string() + value.substr(5);
        else if (!value.empty() && value[0] == '/')
            found = value;
    }
    return found;
}

void markTrustedWithGio(const std::filesystem::path& entry)
{
    // Where gio is missing or the desktop keeps no metadata, the entry works all the same
    // once the user allows it.
    runProgram({"gio", "set", entry.string(), "metadata::trusted", "true"}, 5000);
}

std::filesystem::path writeDesktopShortcut(const ShortcutTarget& target, const std::filesystem::path& desktopFolder,
                                           const std::function<void(const std::filesystem::path&)>& markTrusted)
{
    const std::string text = desktopEntryText(target);
    std::filesystem::create_directories(desktopFolder);
    const std::filesystem::path entry = desktopFolder / DesktopEntryFileName;
    writeFileAtomically(entry, text);
    // Desktops refuse to start an entry that is not executable.
    using std::filesystem::perms;
    std::filesystem::permissions(entry, perms::owner_exec | perms::group_exec | perms::others_exec,
                                 std::filesystem::perm_options::add);
    if (markTrusted) markTrusted(entry);
    return entry;
}

const std::string& shortcutFailedMessage()
{
    static const std::string text = cp1253::lit("Υπήρξε κάποιο πρόβλημα κατά τη δημιουργία της συντόμευσης");
    return text;
}

bool runShortcutCommand(UserInterface& ui, const ShortcutTarget& target,
                        const std::function<std::filesystem::path()>& desktopFolder,
                        const std::function<void(const std::filesystem::path&)>& markTrusted)
{
    try {
        writeDesktopShortcut(target, desktopFolder(), markTrusted);
        return true;
    } catch (const std::exception&) {
        ui.showNotice(shortcutFailedMessage());
        return false;
    }
}

}  // namespace edlt
