// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window: three topic links on the left, the page in a browser pane on the
// right, and a print button. One window lives for the whole run, hidden between uses.
#include <QDialog>
#include <QUrl>
#include <filesystem>
#include <functional>

class QLabel;
class QPushButton;
class QWebEngineView;

namespace edlt::ui {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // Points the pane at the installation page at once.
    explicit HelpWindow(const std::filesystem::path& programFolder, QWidget* parent = nullptr);

    // The manual command: the installation page, the window shown and restored.
    void onManualTriggered();
    // F1 in the main window: the same on the usage page.
    void onHelpKeyPressed();

    void showSetupPage();   // "Οδηγίες εγκατάστασης": Help/setup.htm
    void showUsagePage();   // "Οδηγίες χρήσης εφαρμογής": Help/usermanual.htm
    void showTermsPage();   // "Όροι χρήσης εφαρμογής": Help/oroi.htm
    void onPrintClicked();  // "Εκτύπωση"

    // The page the pane was last sent to.
    const QUrl& page() const { return page_; }
    QUrl pageUrl(const char* name) const;

    // Prints the page shown; false when it failed. Tests put their own in.
    std::function<bool()> printPage;

    QLabel* setupLink = nullptr;
    QLabel* usageLink = nullptr;
    QLabel* termsLink = nullptr;
    QPushButton* printButton = nullptr;
    QWebEngineView* helpBrowser = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void navigate(const char* name);
    void showRestored();

    std::filesystem::path folder_;
    QUrl page_;
};

}  // namespace edlt::ui
