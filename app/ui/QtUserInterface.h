#pragma once
// The session's questions, notices, dialogs and please-wait, shown with widgets.
#include <QWidget>
#include <functional>

#include "app/UserInterface.h"

namespace edlt::ui {

class QtUserInterface : public UserInterface {
public:
    explicit QtUserInterface(QWidget* window) : window_(window) {}

    // Set by the main window, which knows its boxes and grid.
    std::function<void(HeaderField)> onFocusHeader;
    std::function<void()> onFocusDetailLine;
    std::function<void(bool)> onPleaseWait;
    std::function<void(size_t, size_t)> onProgress;
    std::function<void()> onChanged;

    int AskQuestion(const std::string& text, int buttons, const std::vector<std::string>& captions) override;
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

private:
    QWidget* window_;
    int hourglassDepth_ = 0;
};

}  // namespace edlt::ui
