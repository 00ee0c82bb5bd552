#pragma once
// The session's questions, notices, dialogs and please-wait, shown with widgets.
#include <QObject>
#include <QWidget>

#include "core/session/UserInterface.h"

namespace edlt::ui {

class QtUserInterface : public QObject, public UserInterface {
    Q_OBJECT
public:
    // The window the boxes and dialogs belong to (not this object's parent).
    explicit QtUserInterface(QWidget* window) : window_(window) {}

    Answer AskQuestion(const std::string& text, int buttons, const std::vector<std::string>& captions) override;
    void ShowNotice(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void ShowError(const std::string& text) override;
    void Beep() override;
    std::optional<std::filesystem::path> ChooseFileToOpen(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> ChooseFileToSave(const FileDialogRequest& request) override;
    void FocusHeaderField(HeaderField field) override;
    void FocusDetailLine() override;
    void BeginPleaseWait() override;
    void EndPleaseWait() override;
    void SetHourglass(bool on) override;
    void PleaseWaitProgress(size_t done, size_t total) override;
    void SessionChanged() override;
    // How many beeps this run has made (the window tests count them).
    int beeps() const { return beeps_; }

signals:
    // For the main window, which knows its boxes and grid.
    void focusHeaderRequested(HeaderField field);
    void focusDetailLineRequested();
    void pleaseWaitChanged(bool on);
    void progressChanged(size_t done, size_t total);
    void sessionChanged();

private:
    QWidget* window_;
    int hourglassDepth_ = 0;
    int beeps_ = 0;
};

}  // namespace edlt::ui
