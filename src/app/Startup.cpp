#include "app/Startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <clocale>

namespace zorva::app {

ProgramContext programContext()
{
    ProgramContext ctx;
    ctx.folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    ctx.programName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return ctx;
}

void keepCNumbersClassic()
{
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace zorva::app
