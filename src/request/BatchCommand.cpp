#include "request/BatchCommand.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

#include "common/Command.h"
#include "common/Failure.h"
#include "common/IniFile.h"
#include "request/Exchange.h"
#include "request/Validation.h"

namespace zorva::request {

namespace {

struct Options {
    QString list, out, server, user;
    int jobs = 4;
    bool resume = false;
};

Options read(const CommandOptions& args)
{
    Options o;
    o.list = args.value("--batch");
    o.out = args.value("--out");
    o.server = args.value("--server");
    o.user = args.value("--user");
    o.resume = args.has("--resume");
    if (args.has("--jobs")) {
        const QString v = args.value("--jobs");
        bool ok = false;
        o.jobs = v.toInt(&ok);
        if (!ok || o.jobs < 1 || o.jobs > 64)
            throw BadInput(QStringLiteral("Počet souběžných požadavků musí být 1 až 64, ne \"%1\".").arg(v));
    }
    if (o.list.isEmpty()) throw BadInput(QStringLiteral("Chybí seznam žadatelů (--batch SEZNAM.csv)."));
    if (o.out.isEmpty()) throw BadInput(QStringLiteral("Chybí výstupní složka (--out SLOŽKA)."));
    return o;
}

}  // namespace

BatchSettings batchSettings(const ProgramContext& ctx, const QString& outFolder, const QString& server,
                            const QString& user)
{
    BatchSettings s;
    s.outFolder = outFolder;
    s.access = ServiceAccess::fromSettings(ctx, server);
    s.user = !user.isEmpty()
                 ? user
                 : ini::readString(QStringLiteral("SETUP"), QStringLiteral("USERID"), QString(), ctx.settingsFile());
    return s;
}

bool prepareOutFolder(const QString& folder, QString& problem)
{
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        problem = QStringLiteral("Výstupní složka je soubor: %1").arg(folder);
        return false;
    }
    if (!QDir().mkpath(folder)) {
        problem = QStringLiteral("Výstupní složku nelze vytvořit: %1").arg(folder);
        return false;
    }
    return true;
}

const char* BatchCommand::option() const
{
    return "--batch";
}

QString BatchCommand::usage() const
{
    return QStringLiteral(
        "SEZNAM.csv --out SLOŽKA [--server URL] [--user ID] [--jobs N] [--resume] [--pdf]\n"
        "      pošle požadavek za každého žadatele seznamu, uloží odpovědi, jejich stránky (s --pdf i PDF) a souhrn");
}

std::span<const OptionShape> BatchCommand::options() const
{
    static constexpr OptionShape shapes[] = {{"--batch"}, {"--out"},           {"--server"},    {"--user"},
                                             {"--jobs"},  {"--resume", false}, {"--pdf", false}};
    return shapes;
}

int BatchCommand::run(const CommandOptions& args, const ProgramContext& ctx, const CommandStreams& streams) const
{
    const auto& error = streams.error;
    Options o;
    std::optional<BatchList> list;
    try {
        o = read(args);
        list.emplace(o.list);
    } catch (const Failure& f) {
        throw BadInput(f.description());
    }
    BatchSettings settings = batchSettings(ctx, o.out, o.server, o.user);
    settings.jobs = o.jobs;
    settings.resume = o.resume;
    settings.pdf = args.has("--pdf");
    if (const QString refusal = userCheck(settings.user); !refusal.isEmpty()) throw BadInput(refusal);
    std::optional<BatchRun> run;
    try {
        run.emplace(ctx, std::move(*list), settings);
    } catch (const Failure& f) {
        throw BadInput(f.description());
    }
    QString problem;
    if (!prepareOutFolder(o.out, problem)) throw BadInput(problem);
    QEventLoop loop;
    QObject::connect(&*run, &BatchRun::rowDone, &loop,
                     [&](int done, int total, const BatchResult& r) { error(r.progressLine(done, total)); });
    QObject::connect(&*run, &BatchRun::finished, &loop, &QEventLoop::quit);
    if (interrupt_) interrupt_([&run] { run->cancel(); });
    run->start();
    if (!run->finishedRun()) loop.exec();

    if (!run->pdfProblem().isEmpty()) error(run->pdfProblem());
    if (!run->summaryProblem().isEmpty()) {
        error(run->summaryProblem());
        return 1;
    }
    if (!run->pdfProblem().isEmpty()) return 1;
    return run->allOk() ? 0 : 1;
}

int runBatchCommand(const QStringList& arguments, const ProgramContext& ctx,
                    const std::function<void(const QString&)>& error,
                    const std::function<void(std::function<void()>)>& interrupt)
{
    return runCommand(BatchCommand(interrupt), arguments, ctx, {nullptr, error});
}

}  // namespace zorva::request
