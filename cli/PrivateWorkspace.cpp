#include "cli/PrivateWorkspace.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "store/Cp1253.h"
#include "store/Error.h"

namespace edlt::cli {

PrivateWorkspace::PrivateWorkspace()
{
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string pattern = (base / "edlt-cli-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        const int error = errno;
        throw Error(format(cp1253::lit("Δεν ήταν δυνατή η δημιουργία προσωρινού φακέλου στο %s: %s"),
                           {cp1253::pathText(base), cp1253::fromUtf8(std::strerror(error)).value_or("")}));
    }
    path_ = name.data();
}

PrivateWorkspace::~PrivateWorkspace()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace edlt::cli
