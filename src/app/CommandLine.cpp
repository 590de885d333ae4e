#include "app/CommandLine.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <functional>

#include "Version.h"
#include "app/Startup.h"
#include "common/CommandArguments.h"
#include "common/Failure.h"
#include "common/SystemClock.h"
#include "common/TerminationSignals.h"
#include "editor/PlanCommand.h"
#include "editor/Recompute.h"
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

int runRecompute(const QStringList& args, const ProgramContext& ctx)
{
    return editor::recompute(args, ctx, {writeOut, writeError});
}

int runPlan(const QStringList& args, const ProgramContext& ctx)
{
    return editor::planCommand(args, ctx, {writeOut, writeError});
}

// Ctrl+C or a kill ends the batch with the summary of the rows done so far.
int runBatch(const QStringList& args, const ProgramContext& ctx)
{
    return request::runBatchCommand(args, ctx, writeError, [](std::function<void()> interrupt) {
        onTerminationSignal(QCoreApplication::instance(), std::move(interrupt));
    });
}

int runRender(const QStringList& args, const ProgramContext& ctx)
{
    return presentation::render(args, ctx, {writeError});
}

// One row per command that runs without a window. The command's option is followed by a value.
struct Command {
    const char* option;
    const char* usage;  // the arguments after the option, then a short Czech description
    int (*run)(const QStringList& args, const ProgramContext& ctx);
};

const Command commands[] = {
    {"--recompute",
     "VSTUP.xml [--generation first|2006] [--set DATUM:SLOUPEC=HODNOTA]... [--out VÝSTUP.xml]\n"
     "      přepočítá VDJ a PICH odpovědi bez okna a uloží dokument",
     runRecompute},
    {"--plan",
     "VSTUP.xml [--min X] [--max Y] [--category KATEGORIE] [--csv]\n"
     "      posoudí PICH odpovědi podle limitů typu výpočtu (z nastavení, nebo --min a --max) a navrhne změnu\n"
     "      počtu kusů nebo výměry; kód 0 v limitu, 1 mimo limit, 2 chybný vstup",
     runPlan},
    {"--batch",
     "SEZNAM.csv --out SLOŽKA [--server URL] [--user ID] [--jobs N] [--resume]\n"
     "      pošle požadavek za každého žadatele seznamu, uloží odpovědi, jejich stránky a souhrn",
     runBatch},
    {"--render",
     "VSTUP.xml [--xml] --out VÝSTUP.htm\n"
     "      uloží sestavu odpovědi (stránku HTML, s --xml dokument XML se šablonou) jako okno programu",
     runRender},
};

QString usage()
{
    QString text = QStringLiteral("Použití:\n  ZORVA_VDJ                 otevře okno programu\n");
    for (const Command& c : commands)
        text += QStringLiteral("  ZORVA_VDJ %1 %2\n").arg(QLatin1String(c.option), QString::fromUtf8(c.usage));
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
    for (const Command& c : commands) {
        const qsizetype at = args.indexOf(QLatin1String(c.option));
        if (at < 0) continue;
        if (at + 1 >= args.size() || !CommandArguments::isValue(args[at + 1]))
            return refuse(QStringLiteral("Volbě %1 chybí hodnota.").arg(QLatin1String(c.option)));
        SystemClock clock;
        ProgramContext ctx = programContext();
        ctx.clock = &clock;
        return c.run(args, ctx);
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

}  // namespace

std::optional<int> runCommandLine(int argc, char** argv)
{
    if (argc <= 1) return std::nullopt;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ZORVA_VDJ"));
    keepCNumbersClassic();
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) return refuse(QStringLiteral("Program nelze spustit s volbami pro Qt."));
    return dispatch(args);
}

}  // namespace zorva::app
