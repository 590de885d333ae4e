#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "Version.h"
#include "app/Startup.h"
#include "common/Command.h"
#include "common/DetailLog.h"
#include "common/Failure.h"
#include "common/SystemClock.h"
#include "common/TerminationSignals.h"
#include "editor/PlanCommand.h"
#include "editor/Recompute.h"
#include "presentation/PdfPrinter.h"
#include "presentation/RenderCommand.h"
#include "request/BatchCommand.h"

namespace zorva::app {

namespace {

// A document that did not all reach the standard output is no result, and the command must not end
// as if it were.
void writeOut(const QByteArray& bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) &&
        std::fflush(stdout) == 0)
        return;
    if (errno == ENOSPC)
        throw Failure(err::DiskFull, QStringLiteral("Na disku není dost místa pro standardní výstup."));
    throw Failure(err::PathFileAccess, QStringLiteral("Na standardní výstup nelze zapsat."));
}

void writeError(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// Ctrl+C or a kill ends the batch with the summary of the rows done so far.
void interruptOnSignal(std::function<void()> interrupt)
{
    onTerminationSignal(QCoreApplication::instance(), std::move(interrupt));
}

// The commands that run without a window, one row each. A command's option is followed by a value.
const std::vector<std::unique_ptr<Command>>& commands()
{
    static const std::vector<std::unique_ptr<Command>> table = [] {
        std::vector<std::unique_ptr<Command>> t;
        t.push_back(std::make_unique<editor::RecomputeCommand>());
        t.push_back(std::make_unique<editor::PlanCommand>());
        t.push_back(std::make_unique<request::BatchCommand>(interruptOnSignal));
        t.push_back(std::make_unique<presentation::RenderCommand>());
        return t;
    }();
    return table;
}

QString usage()
{
    QString text = QStringLiteral("Použití:\n  ZORVA_VDJ                 otevře okno programu\n");
    for (const auto& c : commands())
        text += QStringLiteral("  ZORVA_VDJ %1 %2\n").arg(QLatin1String(c->option()), c->usage());
    text += QStringLiteral(
        "  ZORVA_VDJ --help          vypíše tento návod\n"
        "  ZORVA_VDJ --version       vypíše verzi programu\n"
        "  ZORVA_VDJ --program-folder\n"
        "      vypíše složku, do které program ukládá nastavení, odpovědi a stránky\n");
    return text;
}

int refuse(const QString& reason)
{
    std::fprintf(stderr, "%s\n%s", reason.toLocal8Bit().constData(), usage().toLocal8Bit().constData());
    return 2;
}

int dispatch(const QStringList& args)
{
    for (const auto& c : commands()) {
        const qsizetype at = args.indexOf(QLatin1String(c->option()));
        if (at < 0) continue;
        if (at + 1 >= args.size() || !CommandOptions::isValue(args[at + 1]))
            return refuse(QStringLiteral("Volbě %1 chybí hodnota.").arg(QLatin1String(c->option())));
        SystemClock clock;
        ProgramContext ctx = programContext();
        ctx.clock = &clock;
        return runCommand(*c, args, ctx, {writeOut, writeError});
    }
    if (args == QStringList{QStringLiteral("--help")} || args == QStringList{QStringLiteral("-h")}) {
        writeOut(usage().toLocal8Bit());
        return 0;
    }
    if (args == QStringList{QStringLiteral("--version")}) {
        writeOut(QStringLiteral("ZORVA_VDJ %1.%2.0.%3\n")
                     .arg(version::major)
                     .arg(version::minor)
                     .arg(version::revision)
                     .toLocal8Bit());
        return 0;
    }
    // The demo launcher points this folder's settings at its service; made and seeded as a start would.
    if (args == QStringList{QStringLiteral("--program-folder")}) {
        writeOut((programContext().folder + QLatin1Char('\n')).toLocal8Bit());
        return 0;
    }
    return refuse(QStringLiteral("Neznámá volba \"%1\".").arg(args.first()));
}

// Printing to PDF takes the web engine, and the engine draws through a graphical application.
bool printsPdf(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--pdf") == 0) return true;
    return false;
}

QtMessageHandler qtOutput = nullptr;

// The web engine tells of its graphics and its sandbox on every start, in English; on the terminal,
// where a command talks to the user, that is the detail log's (QT_LOGGING_RULES="zorva.detail=true").
void engineTalkToDetailLog(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const bool own = context.category && qstrncmp(context.category, "zorva.", 6) == 0;
    if (own || type == QtFatalMsg || detailLog().isWarningEnabled()) qtOutput(type, context, text);
}

std::unique_ptr<QCoreApplication> commandApplication(int& argc, char** argv)
{
    if (!printsPdf(argc, argv)) return std::make_unique<QCoreApplication>(argc, argv);
    presentation::prepareApplicationForPdf(true);
    qtOutput = qInstallMessageHandler(engineTalkToDetailLog);
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

std::optional<int> runCommandLine(int argc, char** argv)
{
    if (argc <= 1) return std::nullopt;
    const std::unique_ptr<QCoreApplication> app = commandApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ZORVA_VDJ"));
    keepCNumbersClassic();
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) return refuse(QStringLiteral("Program nelze spustit s volbami pro Qt."));
    return dispatch(args);
}

}  // namespace zorva::app
