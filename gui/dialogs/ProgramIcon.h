// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's picture: a blue rounded square with "e-ΔΛΤ" in white over a yellow bar.
// Drawn here so that the window icon, the about window and icons/edlt.png agree.
#include <QIcon>
#include <QPixmap>

namespace edlt::ui {

QPixmap programIconPixmap(int size);
// Every usual size, for the application's windows.
QIcon programIcon();

}  // namespace edlt::ui
