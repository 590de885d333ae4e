#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <clocale>
#include <cstdio>
#include <memory>

#include "common/Allocator.h"
#include "common/ProgramContext.h"
#include "common/ProgramFolder.h"
#include "common/SystemClock.h"
#include "common/XdgShellService.h"
#include "common/ui/QtMessageBoxes.h"
#include "editor/Recompute.h"
#include "presentation/Rendering.h"
#include "request/ui/MainActions.h"
#include "request/ui/frmMain.h"

namespace {

// Every file of the program lies in the folder of its executable, or in the per-user folder when
// that one is not writable (an installed program); the settings file is named after the executable.
zorva::ProgramContext programContext()
{
    zorva::ProgramContext ctx;
    ctx.programName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    ctx.folder = QDir::toNativeSeparators(zorva::programFolder(
        QCoreApplication::applicationDirPath(),
        userData.isEmpty() ? QString() : QDir(userData).filePath(QStringLiteral("ZORVA_VDJ")),
        {ctx.programName + QStringLiteral(".INI"), zorva::presentation::kStylesheetFile,
         QStringLiteral("\\test.xml")}));
    return ctx;
}

// Qt takes the C library's locale from the environment; under Czech settings that makes the C
// number routines that libxml2 and libxslt use write and read a decimal comma. The program's own
// number texts follow the regional settings through QLocale, which does not depend on this.
void keepCNumbersClassic()
{
    std::setlocale(LC_NUMERIC, "C");
}

bool recomputeRequested(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--recompute") return true;
    return false;
}

// The headless recompute: no window, no display needed.
int runHeadless(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ZORVA_VDJ"));
    keepCNumbersClassic();
    zorva::SystemClock clock;
    zorva::ProgramContext ctx = programContext();
    ctx.clock = &clock;
    return zorva::editor::recompute(QCoreApplication::arguments().mid(1), ctx,
                                    {[](const QByteArray& bytes) {
                                         std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
                                         std::fflush(stdout);
                                     },
                                     [](const QString& error) {
                                         std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
                                     }});
}

// Prints the folder that holds the program's files, creating and seeding it as a start would; the
// demo launcher points that folder's settings at its service.
int printProgramFolder(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("%s\n", programContext().folder.toLocal8Bit().constData());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    zorva::tuneAllocatorForDocumentTrees();
    if (recomputeRequested(argc, argv)) return runHeadless(argc, argv);
    if (argc == 2 && QByteArray(argv[1]) == "--program-folder") return printProgramFolder(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZORVA_VDJ"));
    keepCNumbersClassic();

    zorva::QtMessageBoxes messages;
    zorva::XdgShellService shell;
    zorva::SystemClock clock;
    zorva::ProgramContext ctx = programContext();
    ctx.messages = &messages;
    ctx.shell = &shell;
    ctx.clock = &clock;

    zorva::frmMain window(ctx);
    zorva::request::MainActions actions(window);
    window.show();
    return app.exec();
}
