// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The zip command without its dialogs: the archive name, the replace question and the
// packing itself, shared by the window program and edlt-cli.
#include <filesystem>
#include <functional>
#include <string>

namespace edlt {

// The archive for the name chosen in the save dialog: ".zip" is added unless the name
// already ends in it, in any letter case (so "arch.zip" stays "arch.zip").
std::filesystem::path zipArchivePath(const std::filesystem::path& chosen);

// The question asked before an existing archive is replaced; it names the chosen name
// without its folder, as the user typed it.
std::string zipReplaceQuestion(const std::filesystem::path& chosen);

// The member's name: the source's file name without its folder, in Windows-1253. Throws
// ZipRefused when the name has characters the code page cannot hold.
std::string zipMemberName(const std::filesystem::path& source);

enum class ZipOutcome { Written, Declined };

// Packs source as the single member of a new archive at archive. When a file already
// exists there, confirmReplace decides whether to go on (false: nothing is written).
// The archive is written whole or not at all: on any failure an existing file stays.
// Throws ZipRefused for what the format cannot hold, Error for file failures.
ZipOutcome packFileToZip(const std::filesystem::path& source, const std::filesystem::path& archive,
                         const std::function<bool()>& confirmReplace);

// The whole command after its two dialogs: the archive path from the chosen name, and
// the replace question through ask (true: go on).
ZipOutcome runZipCommand(const std::filesystem::path& source, const std::filesystem::path& chosen,
                         const std::function<bool(const std::string& question)>& ask);

}  // namespace edlt
