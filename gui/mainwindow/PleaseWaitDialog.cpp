// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/PleaseWaitDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "gui/common/Text.h"

namespace edlt::ui {

PleaseWaitDialog::PleaseWaitDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("pleaseWaitDialog");
    setWindowTitle(tr8("Παρακαλώ περιμένετε"));
    setFixedSize(262, 49);
    setModal(false);
    auto* label = new QLabel(tr8("Παρακαλώ περιμένετε"), this);
    label->setObjectName("pleaseWaitText");
    QFont f = label->font();
    f.setPixelSize(24);
    label->setFont(f);
    label->move(8, 8);
    label->adjustSize();
    // 262 x 49, or more where the desktop's font draws the label wider.
    plain_ = QSize(std::max(262, label->width() + 16), std::max(49, label->geometry().bottom() + 9));
    setFixedSize(plain_);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("progressBar");
    bar_->setGeometry(8, plain_.height(), plain_.width() - 16, 20);
    bar_->setRange(0, 100);
    bar_->hide();
}

void PleaseWaitDialog::setProgress(size_t done, size_t total)
{
    const int value = total == 0 ? 100 : static_cast<int>(std::min(done, total) * 100 / total);
    // Painting costs more than a step of the work: only a change of the bar is shown.
    if (!bar_->isHidden() && value == bar_->value()) return;
    if (bar_->isHidden()) {
        setFixedSize(plain_ + QSize(0, 28));
        bar_->show();
    }
    bar_->setValue(value);
    repaint();
    // Paint only: no other widget's input runs while the command works.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void PleaseWaitDialog::hideEvent(QHideEvent* event)
{
    bar_->hide();
    setFixedSize(plain_);
    QDialog::hideEvent(event);
}

void PleaseWaitDialog::showNow()
{
    if (QScreen* s = QApplication::primaryScreen()) move(s->geometry().center() - rect().center());
    show();
    setWindowState(Qt::WindowNoState);
    // A new window can be painted only once the window system shows it: wait for that
    // (briefly, painting only), then paint the whole body before the work starts.
    QElapsedTimer waited;
    waited.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 1000)
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace edlt::ui
