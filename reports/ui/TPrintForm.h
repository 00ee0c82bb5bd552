#pragma once
// The print window: a modal window whose HTML view shows a report page, with the print
// button and a button that saves the shown page as PDF. One instance lives for the whole
// run; every report sets the page, the title and the landscape hint before showing it.
#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class QWebEngineView;

namespace edlt::ui {

class TPrintForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrintForm(QWidget* parent = nullptr);

    // Navigates to the page, sets the title and the hint, and shows the window modally;
    // returns when the user closes it. Throws edlt::Error when the page cannot be read.
    void showReport(const QString& pagePath, const QString& title, bool landscapeHint);
    // The same without the modal wait (the window is shown and the call returns).
    void loadReport(const QString& pagePath, const QString& title, bool landscapeHint);

    QLabel* Label1 = nullptr;           // the landscape hint
    QWebEngineView* WebBrowser1 = nullptr;
    QPushButton* Button1 = nullptr;     // "Εκτύπωση"
    QPushButton* SavePdfButton = nullptr;

    // Prints the page shown after the user's print dialog; false when it failed. Tests
    // put their own in.
    std::function<bool()> printPage;

    void Button1Click();
    void SavePdfClick();

protected:
    // Only the close box closes the window.
    void keyPressEvent(QKeyEvent* event) override;

signals:
    // The PDF the user asked for was written (true) or could not be (false).
    void pdfSaved(const QString& path, bool ok);

private:
    void pageLoaded(bool ok);

    bool landscape_ = false;
    bool pdfBusy_ = false;
};

}  // namespace edlt::ui
