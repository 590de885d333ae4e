#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <clocale>
#include <cstdio>
#include <memory>

#include "common/Allocator.h"
#include "common/ProgramContext.h"
#include "common/SystemClock.h"
#include "common/XdgShellService.h"
#include "common/ui/QtMessageBoxes.h"
#include "common/TerminationSignals.h"
#include "editor/Recompute.h"
#include "request/BatchCommand.h"
#include "request/ui/MainActions.h"
#include "request/ui/frmMain.h"

namespace {

// Every file of the program lies in the folder of its executable; the settings file is named after
// the executable.
zorva::ProgramContext programContext()
{
    zorva::ProgramContext ctx;
    ctx.folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    ctx.programName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return ctx;
}

// Qt takes the C library's locale from the environment; under Czech settings that makes the C
// number routines that libxml2 and libxslt use write and read a decimal comma. The program's own
// number texts follow the regional settings through QLocale, which does not depend on this.
void keepCNumbersClassic()
{
    std::setlocale(LC_NUMERIC, "C");
}

bool requested(int argc, char** argv, const char* option)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == option) return true;
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

// The batch over a list of applicants: no window, progress on the error stream; Ctrl+C or a kill
// ends it with the summary of what was done.
int runBatch(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ZORVA_VDJ"));
    keepCNumbersClassic();
    zorva::SystemClock clock;
    zorva::ProgramContext ctx = programContext();
    ctx.clock = &clock;
    return zorva::request::runBatchCommand(
        QCoreApplication::arguments().mid(1), ctx,
        [](const QString& line) { std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData()); },
        [&app](std::function<void()> interrupt) { zorva::onTerminationSignal(&app, std::move(interrupt)); });
}

}  // namespace

int main(int argc, char** argv)
{
    zorva::tuneAllocatorForDocumentTrees();
    if (requested(argc, argv, "--recompute")) return runHeadless(argc, argv);
    if (requested(argc, argv, "--batch")) return runBatch(argc, argv);

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
