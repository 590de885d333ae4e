#include "request/BatchCommand.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

#include "common/CommandArguments.h"
#include "common/Failure.h"
#include "common/IniFile.h"
#include "request/Defaults.h"
#include "request/Exchange.h"
#include "request/Validation.h"

namespace zorva::request {

namespace {

struct Options {
    QString list, out, server, user;
    int jobs = 4;
    bool resume = false;
};

Options parse(const QStringList& args)
{
    Options o;
    CommandArguments a(args);
    while (a.next()) {
        if (a.is("--batch")) o.list = a.value();
        else if (a.is("--out")) o.out = a.value();
        else if (a.is("--server")) o.server = a.value();
        else if (a.is("--user")) o.user = a.value();
        else if (a.is("--resume")) o.resume = true;
        else if (a.is("--jobs")) {
            const QString v = a.value();
            bool ok = false;
            o.jobs = v.toInt(&ok);
            if (!ok || o.jobs < 1 || o.jobs > 64)
                throw BadInput(QStringLiteral("Počet souběžných požadavků musí být 1 až 64, ne \"%1\".").arg(v));
        } else {
            a.unknown();
        }
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
    s.server = !server.isEmpty() ? server
                                 : ini::readString(QStringLiteral("SETUP"), QStringLiteral("SERVER"),
                                                   defaults::serverUrl, ctx.settingsFile());
    s.user = !user.isEmpty()
                 ? user
                 : ini::readString(QStringLiteral("SETUP"), QStringLiteral("USERID"), QString(), ctx.settingsFile());
    // The time limit of each request as the main window has it.
    s.timeoutSeconds = Exchange::timeoutFromSetting(
        ini::readString(QStringLiteral("SETUP"), QStringLiteral("TIMEOUT"), QString(), ctx.settingsFile()));
    s.settingsName = QFileInfo(ctx.settingsFile()).fileName();
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

int runBatchCommand(const QStringList& arguments, const ProgramContext& ctx,
                    const std::function<void(const QString&)>& error,
                    const std::function<void(std::function<void()>)>& interrupt)
{
    Options o;
    std::vector<BatchRow> rows;
    try {
        o = parse(arguments);
        rows = readBatchList(o.list);
    } catch (const BadInput& e) {
        error(e.message);
        return 2;
    } catch (const Failure& f) {
        error(f.description());
        return 2;
    }
    BatchSettings settings = batchSettings(ctx, o.out, o.server, o.user);
    settings.jobs = o.jobs;
    settings.resume = o.resume;
    if (const QString refusal = userCheck(settings.user); !refusal.isEmpty()) {
        error(refusal);
        return 2;
    }
    std::optional<BatchRun> run;
    try {
        run.emplace(ctx, std::move(rows), settings);
    } catch (const Failure& f) {
        error(f.description());
        return 2;
    }
    QString problem;
    if (!prepareOutFolder(o.out, problem)) {
        error(problem);
        return 2;
    }
    QEventLoop loop;
    QObject::connect(&*run, &BatchRun::rowDone, &loop,
                     [&](int done, int total, const BatchResult& r) { error(r.progressLine(done, total)); });
    QObject::connect(&*run, &BatchRun::finished, &loop, &QEventLoop::quit);
    if (interrupt) interrupt([&run] { run->cancel(); });
    run->start();
    if (!run->finishedRun()) loop.exec();

    if (!run->summaryProblem().isEmpty()) {
        error(run->summaryProblem());
        return 1;
    }
    return run->allOk() ? 0 : 1;
}

}  // namespace zorva::request
