// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program's icon as PNG files of the given sizes, for the installed icon theme.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "gui/dialogs/ProgramIcon.h"

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: edlt_make_icons FOLDER SIZE...\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) return 1;
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLatin1(argv[i]).toInt();
        if (size <= 0 || !edlt::ui::programIconPixmap(size).save(folder.filePath(QStringLiteral("%1.png").arg(size))))
            return 1;
    }
    return 0;
}
