// e-ΔΛΤ, the window program.
#include <QApplication>
#include <filesystem>

#include "app/ui/TForm1.h"
#include "app/ui/Text.h"
#include "app/ui/Windows.h"
#include "entry/Messages.h"
#include "entry/ui/WheelToArrowKeys.h"
#include "tools/ui/ProgramIcon.h"

int main(int argc, char** argv)
{
    // The report and help pages share one web engine context.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setWindowIcon(edlt::ui::ProgramIcon());
    QApplication::setApplicationName(QStringLiteral("e-DLT"));
    const std::filesystem::path programFolder = QCoreApplication::applicationDirPath().toStdString();

    // The windows in their fixed order; all live until the program ends.
    edlt::ui::TForm1 form1(programFolder);
    if (!form1.started()) return 1;
    edlt::ui::ProgramWindows windows(form1);
    edlt::ui::WheelToArrowKeys wheel;
    app.installEventFilter(&wheel);
    form1.show();
    return app.exec();
}
