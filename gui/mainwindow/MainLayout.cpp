#include "gui/mainwindow/MainLayout.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace edlt::ui {
namespace {

// The client area as designed; the controls' places are measured from it.
constexpr int designWidth = 1007, designHeight = 660;
constexpr int totalsHeight = 81, gridTop = 217, gridGapAboveTotals = 10, gridWiderThanClient = 2;

}  // namespace

MainLayout::MainLayout(QMainWindow& window, QWidget& client) : QObject(&window), window_(window), client_(client)
{
    client_.installEventFilter(this);
    window_.installEventFilter(this);
    designChanged();
}

void MainLayout::designChanged()
{
    // The designed size comes from the client area's; maximised on a screen smaller than
    // that (high scaling), the window may be smaller and the grid gives up rows.
    client_.setMinimumSize(designWidth, designHeight);
    design_ = window_.sizeHint();
    client_.setMinimumSize(0, 0);
    if (!(window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        QScreen* s = window_.screen();
        if (s && window_.isVisible()) {
            // Grown past what the screen holds (the findings panel), the window is maximised
            // as at start-up and the grid gives up rows; otherwise it moves up so all of it shows.
            const QRect available = s->availableGeometry();
            const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
            if (design_.height() + frame.height() > available.height() ||
                design_.width() + frame.width() > available.width()) {
                window_.showMaximized();
                return;
            }
            window_.resize(design_);
            const int over = window_.frameGeometry().bottom() - available.bottom();
            if (over > 0) window_.move(window_.x(), std::max(available.top(), window_.y() - over));
        } else {
            window_.resize(design_);
        }
    }
}

void MainLayout::show()
{
    QScreen* s = window_.screen();
    const QRect available = s ? s->availableGeometry() : QRect();
    // The frame is not known before the first show; the title bar and borders take about this.
    const QSize frame(16, 40);
    if (s && (design_.width() + frame.width() > available.width() || design_.height() + frame.height() > available.height())) {
        window_.showMaximized();
        return;
    }
    if (s) window_.move(available.center() - QRect(QPoint(), design_).center());
    window_.show();
}

bool MainLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &client_ && event->type() == QEvent::Resize) layOut();
    if (watched == &window_ && event->type() == QEvent::Resize &&
        !(window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) &&
        window_.size() != design_) {
        // Not resizable by dragging: back to the designed size once the drag's step is done.
        QTimer::singleShot(0, this, [this] {
            if (!(window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
                window_.resize(design_);
        });
    }
    return false;
}

void MainLayout::layOut()
{
    const int w = client_.width(), h = client_.height();
    for (const char* bar : {"Panel5", "Panel4"})
        if (auto* b = client_.findChild<QWidget*>(bar)) b->resize(w, b->height());
    auto* totals = client_.findChild<QWidget*>("Panel6");
    const int totalsTop = h - totalsHeight;
    if (totals) {
        totals->setGeometry(0, totalsTop, w, totalsHeight);
        if (auto* title = totals->findChild<QWidget*>("Panel3")) title->resize(w, title->height());
    }
    if (auto* grid = client_.findChild<QWidget*>("dbGrid1"))
        grid->setGeometry(0, gridTop, w + gridWiderThanClient, totalsTop - gridGapAboveTotals - gridTop);
    if (auto* start = client_.findChild<QWidget*>("Panel2")) {
        start->setGeometry(0, 0, w, h);
        auto* image = start->findChild<QWidget*>("Image1");
        auto* label = start->findChild<QWidget*>("Label18");
        if (image) image->move(w / 2 - image->width() / 2, 50);
        if (image && label) label->move(w / 2 - label->width() / 2, image->height() + 100);
    }
}

}  // namespace edlt::ui
