#pragma once
// The program's other windows, created after the main window in their fixed order and
// kept until the program ends. Each grows its behaviour in its own folder.
#include <QDialog>
#include <memory>

namespace edlt::ui {

class TForm1;

class ProgramWindows {
public:
    explicit ProgramWindows(TForm1& form1);
    ~ProgramWindows();

    QDialog* aboutBox() const { return about_.get(); }
    QDialog* userManual() const { return manual_.get(); }
    QDialog* printForm() const { return print_.get(); }
    QDialog* find() const { return find_.get(); }

private:
    std::unique_ptr<QDialog> about_;
    std::unique_ptr<QDialog> manual_;
    std::unique_ptr<QDialog> print_;
    std::unique_ptr<QDialog> find_;
};

}  // namespace edlt::ui
