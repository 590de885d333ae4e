#include <QApplication>

#include "app/CommandLine.h"
#include "app/GuardedApplication.h"
#include "app/QtCzech.h"
#include "app/Startup.h"
#include "common/Allocator.h"
#include "common/SystemClock.h"
#include "common/XdgShellService.h"
#include "common/ui/QtMessageBoxes.h"
#include "presentation/PdfPrinter.h"
#include "request/ui/MainActions.h"
#include "request/ui/frmMain.h"

int main(int argc, char** argv)
{
    zorva::tuneAllocatorForDocumentTrees();
    if (const auto status = zorva::app::runCommandLine(argc, argv)) return *status;

    // The window program's pages may go to PDF as well, and the engine needs this before the application.
    zorva::presentation::prepareApplicationForPdf(false);
    zorva::app::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZORVA_VDJ"));
    zorva::app::keepCNumbersClassic();
    const zorva::app::QtCzech czech(app);

    zorva::QtMessageBoxes messages;
    zorva::XdgShellService shell;
    zorva::SystemClock clock;
    zorva::ProgramContext ctx = zorva::app::programContext();
    ctx.messages = &messages;
    ctx.shell = &shell;
    ctx.clock = &clock;
    app.tellThrough(&ctx);

    zorva::frmMain window(ctx);
    zorva::request::MainActions actions(window);
    window.show();
    return app.exec();
}
