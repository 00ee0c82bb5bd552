#include "app/ui/TForm2.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>

#include "app/ui/Text.h"

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
