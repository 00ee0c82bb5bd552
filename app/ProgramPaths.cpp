#include "app/ProgramPaths.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/ByteStream.h"
#include "base/Cp1253.h"
#include "base/Error.h"

namespace edlt {

std::filesystem::path DataFolder(const std::filesystem::path& executableFolder)
{
    const std::filesystem::path installed = (executableFolder / ".." / "share" / "edlt").lexically_normal();
    std::error_code ec;
    for (const auto& folder : {executableFolder, installed})
        if (std::filesystem::is_directory(folder / "Addon", ec)) return folder;
    return executableFolder;
}

std::filesystem::path HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir == '/') return pw->pw_dir;
    throw Error(cp1253::lit("Δεν βρέθηκε ο προσωπικός φάκελος του χρήστη."));
}

std::filesystem::path UserStateFolder()
{
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return std::filesystem::path(state) / "edlt";
    return HomeFolder() / ".local" / "state" / "edlt";
}

void CreatePrivateFolder(const std::filesystem::path& folder)
{
    auto fail = [&folder](int err) {
        throw Error(format(cp1253::lit("Δεν ήταν δυνατή η δημιουργία του φακέλου %s. %s"),
                           {cp1253::pathText(folder), systemErrorText(err)}));
    };
    std::error_code ec;
    if (folder.has_parent_path()) std::filesystem::create_directories(folder.parent_path(), ec);
    if (ec) fail(ec.value());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) fail(errno);
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) fail(errno);
    if (!S_ISDIR(st.st_mode)) fail(ENOTDIR);
    // A folder left open by an older run or by hand is closed again; another user's stays theirs.
    if (st.st_uid == ::getuid() && (st.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) fail(errno);
}

std::string MissingDataFileMessage(const std::filesystem::path& path)
{
    return format(cp1253::lit("Λείπει το αρχείο %s του προγράμματος. Εγκαταστήστε ξανά το e-ΔΛΤ."),
                  {cp1253::pathText(path)});
}

}  // namespace edlt
