#include "app/Startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <clocale>

#include "common/ProgramFolder.h"
#include "presentation/Rendering.h"

namespace zorva::app {

ProgramContext programContext()
{
    ProgramContext ctx;
    ctx.programName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    ctx.folder = QDir::toNativeSeparators(programFolder(
        QCoreApplication::applicationDirPath(),
        userData.isEmpty() ? QString() : QDir(userData).filePath(QStringLiteral("ZORVA_VDJ")),
        {ctx.programName + QStringLiteral(".INI"), presentation::kStylesheetFile, QStringLiteral("\\test.xml")}));
    return ctx;
}

void keepCNumbersClassic()
{
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace zorva::app
