// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/ProgramPaths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"

namespace edlt {

std::filesystem::path dataFolder(const std::filesystem::path& executableFolder)
{
    const std::filesystem::path installed = (executableFolder / ".." / "share" / "edlt").lexically_normal();
    std::error_code ec;
    for (const auto& folder : {executableFolder, installed})
        if (std::filesystem::is_directory(folder / "Addon", ec)) return folder;
    return executableFolder;
}

std::filesystem::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir == '/') return pw->pw_dir;
    throw Error(cp1253::lit("Δεν βρέθηκε ο προσωπικός φάκελος του χρήστη."));
}

std::filesystem::path userStateFolder()
{
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return std::filesystem::path(state) / "edlt";
    return homeFolder() / ".local" / "state" / "edlt";
}

std::string missingDataFileMessage(const std::filesystem::path& path)
{
    return format(cp1253::lit("Λείπει το αρχείο %s του προγράμματος. Εγκαταστήστε ξανά το e-ΔΛΤ."),
                  {cp1253::pathText(path)});
}

}  // namespace edlt
