// Load, calculate with write-back, and save a generated 2006-generation response of 365, 3 650 and
// 10 000 rows, every category filled; prints wall times per phase and the peak memory.
#include <sys/resource.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "common/Allocator.h"
#include "common/Namespaces.h"
#include "editor/EditorSession.h"

using namespace zorva;

namespace {

class Quiet : public MessageBoxes {
public:
    void show(const QString& text, MessageIcon) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    Answer ask(const QString&) override { return Answer::Yes; }
};

class BenchClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    void reseed() override {}
    double random() override { return (++n % 2) ? 0.2 : 0.8; }
    int n = 0;
};

QByteArray generate(int rows)
{
    QByteArray x;
    x.reserve(rows * 1400);
    x += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SOAP:Envelope xmlns:SOAP=\"" + ns::soap.toUtf8() +
         "\"><SOAP:Body><kLIM:Response id=\"kLIM\" xmlns:kLIM=\"" + ns::klim.toUtf8() +
         "\"><kLIM:DataResponse showXSLTtype=\"text/xsl\" showXSLTPath=\"ZORVA_VDJ1B.xsl\"><VDJ:RESPONSE xmlns:VDJ=\"" +
         ns::vdj.toUtf8() + "\" xmlns:RUX=\"" + ns::rux.toUtf8() +
         "\"><VDJ:RespRecord><RUX:JISUBRUX>1</RUX:JISUBRUX><RUX:VARPICH>5</RUX:VARPICH><RUX:PICHROKA>0</RUX:PICHROKA>"
         "<RUX:PICHROKB>0</RUX:PICHROKB><VDJ:PICHROWS>\n";
    const QDate start(1990, 1, 1);
    for (int i = 0; i < rows; ++i) {
        x += "<VDJ:PICHROW DATPLATNOST=\"" + start.addDays(i).toString(Qt::ISODate).toUtf8() +
             "\" VDJA=\"0\" VDJB=\"0\" PICHA=\"0\" PICHB=\"0\"><RUX:ZADATELREGLPIS>A</RUX:ZADATELREGLPIS>"
             "<RUX:ZADATELREGIRZ>A</RUX:ZADATELREGIRZ><RUX:SUMAVYMERADPB>" +
             QByteArray::number(100 + i % 50) + ".25</RUX:SUMAVYMERADPB>";
        int k = 0;
        for (const auto& c : editor::CategorySet::gen2006().categories) {
            const QByteArray name = c.name.toUtf8();
            x += "<RUX:" + name + " VDJ=\"0\" KOEF=\"0." + QByteArray::number(1 + k % 9) + "\">" +
                 QByteArray::number((i * 7 + k * 13) % 900) + "</RUX:" + name + ">";
            ++k;
        }
        x += "</VDJ:PICHROW>\n";
    }
    x += "</VDJ:PICHROWS></VDJ:RespRecord></VDJ:RESPONSE></kLIM:DataResponse></kLIM:Response></SOAP:Body></"
         "SOAP:Envelope>\n";
    return x;
}

long currentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Processor time of this process in milliseconds: less disturbed than wall time by other work on
// the machine.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

long peakKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv)
{
    // As the program itself does.
    tuneAllocatorForDocumentTrees();
    QCoreApplication app(argc, argv);
    QList<int> sizes = {365, 3650, 10000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) sizes << QByteArray(argv[i]).toInt();
    }
    // BENCH_DIR keeps the generated responses there, to compare with other tools.
    QTemporaryDir temporary;
    const QString kept = qEnvironmentVariable("BENCH_DIR");
    if (!kept.isEmpty()) QDir().mkpath(kept);
    const QString folder = kept.isEmpty() ? temporary.path() : kept;
    Quiet quiet;
    BenchClock clock;
    ProgramContext ctx;
    ctx.folder = folder;
    ctx.messages = &quiet;
    ctx.clock = &clock;
    std::printf("%8s %10s %10s %10s %10s %10s %10s %10s %8s %8s\n", "rows", "bytes", "parse_ms", "load_ms", "calc_ms",
                "save_ms", "total_ms", "xmllint_ms", "ratio", "cpu_ms");
    // Each size runs `repeat` times (BENCH_REPEAT, default 5); the fastest run of each phase is
    // printed, which is what the machine can do when other work does not get in the way.
    const int asked = qEnvironmentVariableIntValue("BENCH_REPEAT");
    const int repeat = asked > 0 ? asked : 5;
    for (int rows : sizes) {
        const QString in = QDir(folder).filePath(QStringLiteral("in-%1.xml").arg(rows));
        {
            QFile f(in);
            f.open(QIODevice::WriteOnly);
            f.write(generate(rows));
        }
        qint64 parse = -1, load = -1, calc = -1, save = -1, xmllint = -1;
        double cpu = -1;
        auto keepFastest = [](qint64& best, qint64 t) {
            if (best < 0 || t < best) best = t;
        };
        long afterParse = 0, afterLoad = 0, afterCalc = 0;
        for (int run = 0; run < repeat; ++run) {
            QElapsedTimer t;
            t.start();
            const double cpuStart = cpuMs();
            auto doc = std::make_shared<xml::Document>();
            doc->load(in);
            keepFastest(parse, t.restart());
            afterParse = currentKiB();
            editor::EditorSession session(ctx, editor::CategorySet::gen2006());
            session.xmlDOM = doc;
            session.Startuj();
            keepFastest(load, t.restart());
            afterLoad = currentKiB();
            session.Pocitej();
            keepFastest(calc, t.restart());
            afterCalc = currentKiB();
            doc->save(QDir(folder).filePath(QStringLiteral("out-%1.xml").arg(rows)));
            keepFastest(save, t.restart());
            if (cpu < 0 || cpuMs() - cpuStart < cpu) cpu = cpuMs() - cpuStart;
            session.deleteWorkingDatabases();
            // What libxml2 alone needs to parse and serialise the same file, for scale.
            QElapsedTimer lint;
            lint.start();
            QProcess::execute(QStringLiteral("xmllint"), {QStringLiteral("--output"), QStringLiteral("/dev/null"), in});
            keepFastest(xmllint, lint.elapsed());
        }
        const qint64 total = parse + load + calc + save;
        std::printf("%8d %10lld %10lld %10lld %10lld %10lld %10lld %10lld %8.2f %8.0f\n", rows, QFileInfo(in).size(),
                    parse, load, calc, save, total, xmllint, xmllint > 0 ? double(total) / double(xmllint) : 0.0, cpu);
        std::printf("%8s memory (KiB): after parse %ld, after load %ld, after calculation %ld\n", "", afterParse,
                    afterLoad, afterCalc);
    }
    std::printf("peak memory: %ld KiB\n", peakKiB());
    return 0;
}
