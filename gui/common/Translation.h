// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt's own strings (file and print dialogs, context menus, standard buttons) in Greek:
// Debian ships no Greek catalogue for Qt, so the program carries its own.
#include <QString>
#include <filesystem>

namespace edlt::ui {

// The catalogue's file inside the data folder.
inline constexpr const char* greekQtCatalogue = "translations/qt_el.qm";

// Loads the catalogue from dataFolder and makes Greek the default locale (dates, paper
// sizes). False when the catalogue is missing or unreadable: the program still starts.
bool installGreekTranslation(const std::filesystem::path& dataFolder);

}  // namespace edlt::ui
