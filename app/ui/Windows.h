#pragma once
// The program's other windows, created after the main window in their fixed order and
// kept until the program ends, with the menu commands that show them. All the wiring
// between windows is here, at the main window's level, so no window includes another of
// its own rank or above.
#include <memory>

namespace edlt::ui {

class TForm1;
class TAboutBox;
class TUserManual;
class TPrintForm;
class TFind;

// Connects N18, N20, N9, N10, N12 and N13 and the F1 key of the main window.
void ConnectToolCommands(TForm1& form1, TFind& find, TUserManual& manual);

class ProgramWindows {
public:
    explicit ProgramWindows(TForm1& form1);
    ~ProgramWindows();

    TAboutBox* aboutBox() const { return about_.get(); }
    TUserManual* userManual() const { return manual_.get(); }
    TPrintForm* printForm() const { return print_.get(); }
    TFind* find() const { return find_.get(); }

private:
    std::unique_ptr<TAboutBox> about_;
    std::unique_ptr<TUserManual> manual_;
    std::unique_ptr<TPrintForm> print_;
    std::unique_ptr<TFind> find_;
};

}  // namespace edlt::ui
