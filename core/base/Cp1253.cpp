#include "core/base/Cp1253.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <iconv.h>
#include <stdexcept>
#include <unistd.h>

namespace edlt::cp1253 {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert between UTF-8 and WINDOWS-1253");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in one go; false on the first character that cannot be converted. Works in
    // a scratch buffer so the result holds its exact size (short texts stay inline).
    bool convert(std::string_view in, std::string& out)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        scratch_.resize(std::max(scratch_.size(), in.size() * 4 + 16));
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = scratch_.data();
        size_t dstLeft = scratch_.size();
        while (srcLeft > 0) {
            if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
                if (errno == E2BIG) {
                    size_t used = scratch_.size() - dstLeft;
                    scratch_.resize(scratch_.size() * 2);
                    dst = scratch_.data() + used;
                    dstLeft = scratch_.size() - used;
                    continue;
                }
                return false;
            }
        }
        out.assign(scratch_.data(), scratch_.size() - dstLeft);
        // A huge text once does not keep a huge buffer.
        if (scratch_.size() > (1u << 20)) {
            scratch_.clear();
            scratch_.shrink_to_fit();
        }
        return true;
    }

private:
    iconv_t cd_;
    std::string scratch_;
};

Converter& toCp()
{
    thread_local Converter c("WINDOWS-1253", "UTF-8");
    return c;
}

Converter& fromCp()
{
    thread_local Converter c("UTF-8", "WINDOWS-1253");
    return c;
}

bool isAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

std::optional<std::string> fromUtf8(std::string_view utf8)
{
    if (isAscii(utf8)) return std::string(utf8);
    std::string out;
    if (!toCp().convert(utf8, out)) return std::nullopt;
    return out;
}

std::string toUtf8(std::string_view text)
{
    if (isAscii(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() * 2);
    std::string piece;
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x80) {
            out += c;
        } else if (fromCp().convert(std::string_view(&c, 1), piece)) {
            out += piece;
        } else {
            out += "\xEF\xBF\xBD";
        }
    }
    return out;
}

std::string lit(std::string_view utf8)
{
    auto r = fromUtf8(utf8);
    if (!r) throw std::logic_error("literal not representable in Windows-1253");
    return *r;
}

std::filesystem::path shownPath(const std::filesystem::path& path)
{
    static constexpr std::string_view held = "/proc/self/fd/";
    const std::string& name = path.native();
    if (name.compare(0, held.size(), held) != 0) return path;
    const size_t end = std::min(name.find('/', held.size()), name.size());
    char target[PATH_MAX];
    const ssize_t n = ::readlink(name.substr(0, end).c_str(), target, sizeof target);
    if (n <= 0 || target[0] != '/' || static_cast<size_t>(n) >= sizeof target) return path;
    return std::string(target, static_cast<size_t>(n)) + name.substr(end);
}

std::string pathText(const std::filesystem::path& path)
{
    const std::string name = shownPath(path).native();
    if (auto r = fromUtf8(name)) return *r;
    // Character by character, so one foreign letter does not hide the whole name.
    std::string out;
    for (size_t i = 0; i < name.size();) {
        auto c = static_cast<unsigned char>(name[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + len > name.size()) len = name.size() - i;
        auto piece = fromUtf8(std::string_view(name).substr(i, len));
        out += piece ? *piece : std::string("?");
        i += len;
    }
    return out;
}

const std::string& unrepresentableMessage()
{
    static const std::string m = lit(
        "Το κείμενο περιέχει χαρακτήρες που δεν υποστηρίζονται (επιτρέπονται μόνο ελληνικοί και "
        "λατινικοί χαρακτήρες της κωδικοσελίδας Windows-1253)");
    return m;
}

}  // namespace edlt::cp1253
