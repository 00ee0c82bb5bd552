// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/WebPrint.h"

#include <QApplication>
#include <QEventLoop>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWebEngineView>

namespace edlt::ui {

WebPrintResult printWebPage(QWebEngineView* view, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return WebPrintResult::Cancelled;
    if (!printer.isValid()) return WebPrintResult::Failed;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The view prints in the background; the command waits for its answer so the
    // printer outlives the job.
    QEventLoop loop;
    bool ok = false, finished = false;
    auto done = QObject::connect(view, &QWebEngineView::printFinished, &loop, [&](bool success) {
        ok = success;
        finished = true;
        loop.quit();
    });
    view->print(&printer);
    if (!finished) loop.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(done);
    QApplication::restoreOverrideCursor();
    return ok ? WebPrintResult::Printed : WebPrintResult::Failed;
}

}  // namespace edlt::ui
