// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/MainLayout.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace edlt::ui {
namespace {

// The client area at the fixed size; the controls' places are measured from it.
constexpr int clientWidth = 1007, clientHeight = 660;
constexpr int totalsHeight = 81, gridTop = 217, gridGapAboveTotals = 10, gridWiderThanClient = 2;

}  // namespace

MainLayout::MainLayout(QMainWindow& window, QWidget& client) : QObject(&window), window_(window), client_(client)
{
    client_.installEventFilter(this);
    window_.installEventFilter(this);
    fixedSizeChanged();
}

void MainLayout::fixedSizeChanged()
{
    // The fixed size comes from the client area's; maximised on a screen smaller than
    // that (high scaling), the window may be smaller and the grid gives up rows.
    client_.setMinimumSize(clientWidth, clientHeight);
    fixedSize_ = window_.sizeHint();
    client_.setMinimumSize(0, 0);
    if (!(window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        QScreen* s = window_.screen();
        if (s && window_.isVisible()) {
            // Grown past what the screen holds (the findings panel), the window is maximised
            // as at start-up and the grid gives up rows; otherwise it moves up so all of it shows.
            const QRect available = s->availableGeometry();
            const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
            if (fixedSize_.height() + frame.height() > available.height() ||
                fixedSize_.width() + frame.width() > available.width()) {
                window_.showMaximized();
                return;
            }
            window_.resize(fixedSize_);
            const int over = window_.frameGeometry().bottom() - available.bottom();
            if (over > 0) window_.move(window_.x(), std::max(available.top(), window_.y() - over));
        } else {
            window_.resize(fixedSize_);
        }
    }
}

void MainLayout::show()
{
    QScreen* s = window_.screen();
    const QRect available = s ? s->availableGeometry() : QRect();
    // The frame is not known before the first show; the title bar and borders take about this.
    const QSize frame(16, 40);
    if (s && (fixedSize_.width() + frame.width() > available.width() ||
              fixedSize_.height() + frame.height() > available.height())) {
        window_.showMaximized();
        return;
    }
    if (s) window_.move(available.center() - QRect(QPoint(), fixedSize_).center());
    window_.show();
}

bool MainLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &client_ && event->type() == QEvent::Resize) layOut();
    if (watched == &window_ && event->type() == QEvent::Resize &&
        !(window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) &&
        window_.size() != fixedSize_) {
        // Not resizable by dragging: back to the fixed size once the drag's step is done.
        QTimer::singleShot(0, this, [this] {
            if (!(window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
                window_.resize(fixedSize_);
        });
    }
    return false;
}

void MainLayout::layOut()
{
    const int w = client_.width(), h = client_.height();
    for (const char* bar : {"declarantTitle", "detailTitle"})
        if (auto* b = client_.findChild<QWidget*>(bar)) b->resize(w, b->height());
    auto* totals = client_.findChild<QWidget*>("totalsPanel");
    const int totalsTop = h - totalsHeight;
    if (totals) {
        totals->setGeometry(0, totalsTop, w, totalsHeight);
        if (auto* title = totals->findChild<QWidget*>("totalsTitle")) title->resize(w, title->height());
    }
    if (auto* grid = client_.findChild<QWidget*>("detailGrid"))
        grid->setGeometry(0, gridTop, w + gridWiderThanClient, totalsTop - gridGapAboveTotals - gridTop);
    if (auto* start = client_.findChild<QWidget*>("startPanel")) {
        start->setGeometry(0, 0, w, h);
        auto* image = start->findChild<QWidget*>("startPicture");
        auto* prompt = start->findChild<QWidget*>("startPrompt");
        if (image) image->move(w / 2 - image->width() / 2, 50);
        if (image && prompt) prompt->move(w / 2 - prompt->width() / 2, image->height() + 100);
    }
}

}  // namespace edlt::ui
