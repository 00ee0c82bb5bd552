// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/desktop/Shortcut.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/base/Error.h"
#include "tests/TestUtil.h"
#include "tests/core/session/ScriptedUI.h"

using namespace edlt;
using namespace edlt::test;

namespace {

// The value of one key of an entry's text.
std::string value(const std::string& text, const std::string& key)
{
    const std::string start = "\n" + key + "=";
    size_t p = text.find(start);
    if (p == std::string::npos) return "<none>";
    p += start.size();
    return text.substr(p, text.find('\n', p) - p);
}

}  // namespace

TEST(Shortcut, ExecQuotingFollowsTheEntryRules)
{
    EXPECT_EQ(quoteExecArgument("/opt/edlt/edlt"), "/opt/edlt/edlt");
    EXPECT_EQ(quoteExecArgument("/home/μαρία/e-ΔΛΤ/edlt"), "/home/μαρία/e-ΔΛΤ/edlt");
    EXPECT_EQ(quoteExecArgument("/home/a/My Programs/edlt"), "\"/home/a/My Programs/edlt\"");
    EXPECT_EQ(quoteExecArgument("/a/it's"), "\"/a/it's\"");
    EXPECT_EQ(quoteExecArgument("/a/\"q\"/$HOME/`x`\\y"), "\"/a/\\\"q\\\"/\\$HOME/\\`x\\`\\\\y\"");
    for (const char* reserved : {"a;b", "a&b", "a|b", "a<b", "a>b", "~a", "a*", "a?", "#a", "(a)", "a\tb"})
        EXPECT_EQ(quoteExecArgument(reserved), std::string("\"") + reserved + "\"") << reserved;
    EXPECT_EQ(quoteExecArgument(""), "\"\"");

    EXPECT_EQ(escapeDesktopString(" a b\\c\nd\te\r"), "\\sa b\\\\c\\nd\\te\\r");
}

TEST(Shortcut, ContentStartsTheProgramInItsFolder)
{
    const std::string text = desktopEntryText(shortcutTargetFor("/opt/e-dlt/edlt"));
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_EQ(value(text, "Type"), "Application");
    EXPECT_EQ(value(text, "Name[el]"), "E-ΔΛΤ");
    EXPECT_EQ(value(text, "Name"), "E-DLT");
    EXPECT_EQ(value(text, "Exec"), "/opt/e-dlt/edlt");
    EXPECT_EQ(value(text, "Path"), "/opt/e-dlt");
    EXPECT_EQ(value(text, "Icon"), "/opt/e-dlt/icons/edlt.png");
    EXPECT_EQ(value(text, "Terminal"), "false");
    EXPECT_EQ(text.back(), '\n');
}

TEST(Shortcut, PathsWithBlanksBackslashesAndPercentSigns)
{
    const std::string text = desktopEntryText(shortcutTargetFor("/home/user/Τα προγράμματά μου/100% e\\dlt/edlt"));
    // Quoted for the argument rule, then the backslash doubled again for the string rule.
    EXPECT_EQ(value(text, "Exec"), "\"/home/user/Τα προγράμματά μου/100%% e\\\\\\\\dlt/edlt\"");
    EXPECT_EQ(value(text, "Path"), "/home/user/Τα προγράμματά μου/100% e\\\\dlt");
    EXPECT_EQ(value(text, "Icon"), "/home/user/Τα προγράμματά μου/100% e\\\\dlt/icons/edlt.png");

    // A newline cannot end the line early.
    const std::string odd = desktopEntryText(shortcutTargetFor("/tmp/a\nExec=rm/edlt"));
    EXPECT_EQ(value(odd, "Exec"), "\"/tmp/a\\nExec=rm/edlt\"");
    EXPECT_EQ(odd.find("\nExec=rm"), std::string::npos);

    // Entries are UTF-8: a name that is not cannot be written.
    EXPECT_THROW(desktopEntryText(shortcutTargetFor("/tmp/\xC1\xE8/edlt")), Error);
}

TEST(Shortcut, InstalledProgramGetsAnEntryTheValidatorAccepts)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "usr" / "bin");
    std::filesystem::create_directories(dir / "usr" / "share" / "edlt" / "Addon");
    const ShortcutTarget target = shortcutTargetFor(dir / "usr" / "bin" / "edlt");
    EXPECT_EQ(target.icon, dir / "usr" / "share" / "edlt" / "icons" / "edlt.png");

    if (!runProgram({"desktop-file-validate", "--help"}, 5000)) GTEST_SKIP() << "desktop-file-validate missing";
    writeFile(dir / "edlt.desktop", desktopEntryText(target));
    // Errors and warnings alike are printed; an accepted entry prints nothing.
    EXPECT_EQ(runProgram({"desktop-file-validate", (dir / "edlt.desktop").string()}, 10000),
              std::optional<std::string>(""));
}

TEST(Shortcut, WrittenExecutableAndTrustedIntoANewFolderThenReplaced)
{
    TempDir dir;
    const std::filesystem::path desktop = dir / "Επιφάνεια εργασίας";
    std::vector<std::filesystem::path> trusted;
    auto mark = [&](const std::filesystem::path& p) { trusted.push_back(p); };

    const auto entry = writeDesktopShortcut(shortcutTargetFor("/opt/one/edlt"), desktop, mark);
    EXPECT_EQ(entry, desktop / "E-ΔΛΤ.desktop");
    EXPECT_EQ(value(readFile(entry), "Exec"), "/opt/one/edlt");
    struct stat st {};
    ASSERT_EQ(::stat(entry.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0111, 0111u);
    EXPECT_EQ(trusted, std::vector<std::filesystem::path>{entry});

    // A second run replaces the first without a question, and leaves nothing else behind.
    writeDesktopShortcut(shortcutTargetFor("/opt/two/edlt"), desktop, mark);
    EXPECT_EQ(value(readFile(entry), "Exec"), "/opt/two/edlt");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(desktop), std::filesystem::directory_iterator()), 1);
}

TEST(Shortcut, CommandReportsFailureOnlyWithItsMessage)
{
    TempDir dir;
    ScriptedUI ui;
    EXPECT_TRUE(runShortcutCommand(
        ui, shortcutTargetFor("/opt/e/edlt"), [&] { return dir.path(); }, nullptr));
    EXPECT_TRUE(ui.messages().empty());

    // The desktop is a file: the folder cannot be made.
    writeFile(dir / "file", "x");
    EXPECT_FALSE(runShortcutCommand(
        ui, shortcutTargetFor("/opt/e/edlt"), [&] { return dir / "file"; }, nullptr));
    // The entry's name is taken by a folder: it cannot be replaced.
    std::filesystem::create_directories(dir / "d" / "E-ΔΛΤ.desktop" / "x");
    EXPECT_FALSE(runShortcutCommand(
        ui, shortcutTargetFor("/opt/e/edlt"), [&] { return dir / "d"; }, nullptr));
    // No desktop folder can be found.
    EXPECT_FALSE(runShortcutCommand(
        ui, shortcutTargetFor("/opt/e/edlt"), []() -> std::filesystem::path { throw Error("no home"); }, nullptr));
    const std::string failed = "! Υπήρξε κάποιο πρόβλημα κατά τη δημιουργία της συντόμευσης";
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{failed, failed, failed}));
}

TEST(Shortcut, DesktopFolderFromTheUsersDirectories)
{
    TempDir dir;
    EnvVar home("HOME", dir.path().string());
    EnvVar config("XDG_CONFIG_HOME", (dir / "config").string());
    // Without a setting, $HOME/Desktop.
    EXPECT_EQ(userDesktopFolder(), dir / "Desktop");

    std::filesystem::create_directories(dir / "config");
    writeFile(dir / "config" / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Επιφάνεια εργασίας\"\n");
    EXPECT_EQ(userDesktopFolder(), dir / "Επιφάνεια εργασίας");
}

TEST(Shortcut, RunProgramCapturesAndGivesUp)
{
    EXPECT_EQ(runProgram({"sh", "-c", "echo hello"}, 5000), std::optional<std::string>("hello\n"));
    EXPECT_EQ(runProgram({"sh", "-c", "exit 3"}, 5000), std::nullopt);
    EXPECT_EQ(runProgram({"edlt-no-such-program-anywhere"}, 5000), std::nullopt);
    EXPECT_EQ(runProgram({"sleep", "10"}, 200), std::nullopt);
}

TEST(Shortcut, DesktopSettingAsXdgUserDirReadsIt)
{
    const std::filesystem::path home = "/home/μαρία";
    EXPECT_EQ(desktopFolderSetting("# comment\nXDG_DESKTOP_DIR=\"$HOME/Επιφάνεια εργασίας\"\n", home),
              std::filesystem::path("/home/μαρία/Επιφάνεια εργασίας"));
    EXPECT_EQ(desktopFolderSetting("XDG_DESKTOP_DIR=\"/data/desk\"", home), std::filesystem::path("/data/desk"));
    EXPECT_EQ(desktopFolderSetting("XDG_DESKTOP_DIR=\"$HOME\"\n", home), home);
    EXPECT_EQ(desktopFolderSetting("XDG_DOWNLOAD_DIR=\"$HOME/x\"\nXDG_DESKTOP_DIR=\"relative\"\n", home), std::nullopt);
    EXPECT_EQ(desktopFolderSetting("", home), std::nullopt);
}
