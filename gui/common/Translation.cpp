// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/Translation.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTranslator>

namespace edlt::ui {

bool installGreekTranslation(const std::filesystem::path& dataFolder)
{
    QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));
    // One catalogue for the whole run, owned by the application.
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString file = QFile::decodeName((dataFolder / greekQtCatalogue).string().c_str());
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace edlt::ui
