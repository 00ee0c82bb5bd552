#pragma once
// How every main-window test starts: no pre-answered boxes or file names, a fresh program
// folder with the income-type list, the window shown and asked to become active.
#include <filesystem>
#include <memory>

#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "app/ui/TForm1.h"

namespace edlt::test {

inline std::unique_ptr<ui::TForm1> startMainWindow(const std::filesystem::path& folder)
{
    ui::MessageBox::clearTestState();
    ui::FileDialog::names().clear();
    std::filesystem::create_directories(folder / "Addon");
    std::filesystem::copy_file(std::filesystem::path(EDLT_TEST_DATA) / ".." / ".." / "data" / "Addon" / "typeofinc.txt",
                               folder / "Addon" / "typeofinc.txt");
    auto form = std::make_unique<ui::TForm1>(folder);
    form->show();
    form->activateWindow();
    return form;
}

}  // namespace edlt::test
