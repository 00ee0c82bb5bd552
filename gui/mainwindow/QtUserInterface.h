// SPDX-License-Identifier: GPL-3.0-or-later
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

    Answer askQuestion(const std::string& text, int buttons, const std::vector<std::string>& captions) override;
    void showNotice(const std::string& text) override;
    void showWarning(const std::string& text) override;
    void showError(const std::string& text) override;
    void beep() override;
    std::optional<std::filesystem::path> chooseFileToOpen(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> chooseFileToSave(const FileDialogRequest& request) override;
    void focusHeaderField(HeaderField field) override;
    void focusDetailLine() override;
    void focusDetailField(int field) override { emit focusDetailFieldRequested(field); }
    void beginPleaseWait() override;
    void endPleaseWait() override;
    void setHourglass(bool on) override;
    void pleaseWaitProgress(size_t done, size_t total) override;
    void sessionChanged() override;
    // How many beeps this run has made (the window tests count them).
    int beeps() const { return beeps_; }

signals:
    // For the main window, which knows its boxes and grid.
    void focusHeaderRequested(HeaderField field);
    void focusDetailLineRequested();
    void focusDetailFieldRequested(int field);
    void pleaseWaitChanged(bool on);
    void progressChanged(size_t done, size_t total);
    void stateChanged();

private:
    QWidget* window_;
    int hourglassDepth_ = 0;
    int beeps_ = 0;
};

}  // namespace edlt::ui
