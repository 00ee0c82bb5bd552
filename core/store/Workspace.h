// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The workspace: the folder "temp" beside the executable and the files that hold
// the declaration being edited.
#include <filesystem>

namespace edlt {

class Workspace {
public:
    explicit Workspace(std::filesystem::path programFolder);

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path generalData() const { return folder_ / "generalData"; }
    std::filesystem::path record2() const { return folder_ / "record2"; }
    std::filesystem::path record21() const { return folder_ / "record21"; }
    // The stores and deletes since record2 was last written whole.
    std::filesystem::path journal() const { return folder_ / "journal"; }

    // Checks the folder the workspace sits in and the workspace folder, creating them (0700)
    // when missing: both must be real folders of the user's own, closed to everyone else (a
    // wider mode is narrowed). Throws Error saying the program cannot start.
    void makePrivate() const;
    // Creates the folder (an existing one is fine) and removes temporaries a killed run left.
    void create();
    // Empties generalData and record2, creating them when missing; throws Error on failure.
    void emptyFiles();
    // Deletes the files (the journal too) if they exist, then the folder; every failure is ignored,
    // and a folder that still holds other files stays.
    void clear();

private:
    std::filesystem::path folder_;
};

}  // namespace edlt
