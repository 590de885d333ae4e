#include "app/QtCzech.h"

#include <QLibraryInfo>
#include <QLocale>

namespace zorva::app {

QtCzech::QtCzech(QCoreApplication& app)
{
    loaded_ = translator_.load(QLocale(QLocale::Czech, QLocale::Czechia), QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded_) app.installTranslator(&translator_);
}

}  // namespace zorva::app
