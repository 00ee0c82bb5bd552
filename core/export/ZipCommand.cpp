// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/ZipCommand.h"

#include <cerrno>
#include <ctime>

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/export/ZipWriter.h"
#include "core/store/AtomicFile.h"

namespace edlt {
namespace {

bool endsWithZip(const std::string& name)
{
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return tail == ".zip";
}

}  // namespace

std::filesystem::path zipArchivePath(const std::filesystem::path& chosen)
{
    const std::string& name = chosen.native();
    if (endsWithZip(name)) return chosen;
    return std::filesystem::path(name + ".zip");
}

std::string zipReplaceQuestion(const std::filesystem::path& chosen)
{
    return cp1253::lit("Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο ") +
           cp1253::pathText(chosen.filename()) + ";";
}

std::string zipMemberName(const std::filesystem::path& source)
{
    std::filesystem::path file = source.filename();
    if (auto name = cp1253::fromUtf8(file.native())) return *name;
    throw ZipRefused(format(cp1253::lit("Το όνομα του αρχείου %s περιέχει χαρακτήρες που δεν υποστηρίζονται "
                                        "από την κωδικοσελίδα Windows-1253 και δεν μπορεί να γραφτεί στο "
                                        "αρχείο zip."),
                            {cp1253::pathText(file)}));
}

ZipOutcome packFileToZip(const std::filesystem::path& source, const std::filesystem::path& archive,
                         const std::function<bool()>& confirmReplace)
{
    std::error_code ec;
    if (std::filesystem::is_directory(archive, ec))
        throw Error(format("Cannot create file %s. %s", {cp1253::pathText(archive), systemErrorText(EISDIR)}));
    if (std::filesystem::exists(archive, ec) && !confirmReplace()) return ZipOutcome::Declined;

    FileSource in(source);
    std::filesystem::file_status status = std::filesystem::status(source, ec);
    // A folder opens for reading here but has no bytes to give.
    if (std::filesystem::is_directory(status))
        throw Error(format("Cannot open file \"%s\". %s", {cp1253::pathText(source), systemErrorText(EISDIR)}));
    if (std::filesystem::is_regular_file(status)) {
        std::uintmax_t size = std::filesystem::file_size(source, ec);
        if (!ec && size > 0xFFFFFFFFu) throw ZipRefused(zipTooLargeMessage());
    }
    std::string name = zipMemberName(source);

    uint32_t when = dosDateTime(std::time(nullptr));
    AtomicFileWriter out(archive);
    zipSingleMember(in, name, when, out, archive.parent_path());
    out.commit();
    return ZipOutcome::Written;
}

ZipOutcome runZipCommand(const std::filesystem::path& source, const std::filesystem::path& chosen,
                         const std::function<bool(const std::string& question)>& ask)
{
    return packFileToZip(source, zipArchivePath(chosen), [&] { return ask(zipReplaceQuestion(chosen)); });
}

}  // namespace edlt
