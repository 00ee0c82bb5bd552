// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole-file copy that refreshes the scratch copy of the detail lines.
#include <filesystem>

namespace edlt {

// Copies source byte for byte to destination (a folder there means a file of the source's
// name inside it). The destination is replaced only by a complete copy. Throws Error
// "Cannot open file %s" (source) or "Cannot create file %s" (destination), or a read or
// write error naming the file.
void copyFile(const std::filesystem::path& source, const std::filesystem::path& destination);

}  // namespace edlt
