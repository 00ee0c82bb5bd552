// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/Workspace.h"

#include "core/store/AtomicFile.h"
#include "core/store/PrivateFolder.h"

namespace edlt {

Workspace::Workspace(std::filesystem::path programFolder) : folder_(std::move(programFolder) / "temp") {}

void Workspace::makePrivate() const
{
    PrivateFolder::open(folder_.parent_path()).open(folder_.filename().string());
}

void Workspace::create()
{
    std::error_code ec;
    std::filesystem::create_directory(folder_, ec);
    AtomicFileWriter::removeStaleTemporaries(folder_);
}

void Workspace::emptyFiles()
{
    writeFileAtomically(generalData(), "", AtomicFileWriter::Durability::ProcessSafe);
    writeFileAtomically(record2(), "", AtomicFileWriter::Durability::ProcessSafe);
}

void Workspace::clear()
{
    std::error_code ec;
    std::filesystem::remove(generalData(), ec);
    std::filesystem::remove(record2(), ec);
    std::filesystem::remove(record21(), ec);
    std::filesystem::remove(journal(), ec);
    // Our own temporaries would otherwise keep the folder alive.
    AtomicFileWriter::removeStaleTemporaries(folder_);
    std::filesystem::remove(folder_, ec);
}

}  // namespace edlt
