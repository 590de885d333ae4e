#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "common/ProgramContext.h"
#include "common/SystemClock.h"
#include "common/XdgShellService.h"
#include "common/ui/QtMessageBoxes.h"
#include "request/ui/frmMain.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZORVA_VDJ"));

    zorva::QtMessageBoxes messages;
    zorva::XdgShellService shell;
    zorva::SystemClock clock;

    // Every file of the program lies in the folder of its executable; the settings file is named
    // after the executable.
    zorva::ProgramContext ctx;
    ctx.folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    ctx.programName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    ctx.messages = &messages;
    ctx.shell = &shell;
    ctx.clock = &clock;

    // Command-line modes that run without a window are handled here, before the window is made.

    zorva::frmMain window(ctx);
    window.show();
    return app.exec();
}
