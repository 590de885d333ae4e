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
#include "editor/Recompute.h"
#include "presentation/RenderCommand.h"
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

bool headlessRequested(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--recompute" || QByteArray(argv[i]) == "--render") return true;
    return false;
}

// The headless commands: no window, no display needed.
int runHeadless(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ZORVA_VDJ"));
    keepCNumbersClassic();
    zorva::SystemClock clock;
    zorva::ProgramContext ctx = programContext();
    ctx.clock = &clock;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    auto error = [](const QString& text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); };
    if (zorva::presentation::isRenderCall(arguments)) return zorva::presentation::render(arguments, ctx, {error});
    return zorva::editor::recompute(arguments, ctx,
                                    {[](const QByteArray& bytes) {
                                         std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
                                         std::fflush(stdout);
                                     },
                                     error});
}

}  // namespace

int main(int argc, char** argv)
{
    zorva::tuneAllocatorForDocumentTrees();
    if (headlessRequested(argc, argv)) return runHeadless(argc, argv);

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
