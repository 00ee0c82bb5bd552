#include "app/ui/TForm2.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "ui/Text.h"

namespace edlt::ui {

TForm2::TForm2(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("Form2");
    setWindowTitle(tr8("Παρακαλώ περιμένετε"));
    setFixedSize(262, 49);
    setModal(false);
    auto* label = new QLabel(tr8("Παρακαλώ περιμένετε"), this);
    label->setObjectName("Label1");
    QFont f = label->font();
    f.setPixelSize(24);
    label->setFont(f);
    label->move(8, 8);
    label->adjustSize();
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar1");
    bar_->setGeometry(8, 49, 246, 20);
    bar_->setRange(0, 100);
    bar_->hide();
}

void TForm2::setProgress(size_t done, size_t total)
{
    if (bar_->isHidden()) {
        setFixedSize(262, 77);
        bar_->show();
    }
    bar_->setValue(total == 0 ? 100 : static_cast<int>(done * 100 / total));
    repaint();
    // Paint only: no other widget's input runs while the command works.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm2::hideEvent(QHideEvent* event)
{
    bar_->hide();
    setFixedSize(262, 49);
    QDialog::hideEvent(event);
}

void TForm2::showNow()
{
    if (QScreen* s = QApplication::primaryScreen()) move(s->geometry().center() - rect().center());
    show();
    setWindowState(Qt::WindowNoState);
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace edlt::ui
