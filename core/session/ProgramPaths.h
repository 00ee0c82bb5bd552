// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program finds its data and keeps each user's files. Data (Addon/, Help/,
// icons/) sits beside the executable in the build tree or a copied folder, and in
// ../share/edlt/ once installed. The workspace and the report pages are the user's own:
// $XDG_STATE_HOME/edlt (~/.local/state/edlt), closed to other users (see PrivateFolder).
#include <filesystem>
#include <string>

namespace edlt {

// The folder that holds Addon/ for a program in executableFolder: beside it first, then
// ../share/edlt; the first of the two when neither has it (its messages then name it).
std::filesystem::path dataFolder(const std::filesystem::path& executableFolder);

// $HOME, else the password database's home; throws Error when neither names one.
std::filesystem::path homeFolder();

// $XDG_STATE_HOME/edlt, or $HOME/.local/state/edlt when that is unset or not absolute.
// Throws Error when not even a home folder is known.
std::filesystem::path userStateFolder();

// "Λείπει το αρχείο του προγράμματος <path>. ..." (Windows-1253) for a data file that is
// not where the installation puts it.
std::string missingDataFileMessage(const std::filesystem::path& path);

}  // namespace edlt
