// Opening the archive window's list over 1 000 and 5 000 kept answers of twelve rows: the first
// listing, which reads every document, and the next one, which finds them in the archive's index.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "request/Archive.h"
#include "request/ArchiveIndex.h"

using namespace zorva;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QFile sample(QStringLiteral(ZORVA_DATA_DIR "/samples/response-first.xml"));
    if (!sample.open(QIODevice::ReadOnly)) return 1;
    const QByteArray answer = sample.readAll();
    std::printf("%8s %12s %12s\n", "answers", "first_ms", "again_ms");
    for (const int answers : {1000, 5000}) {
        QTemporaryDir folder;
        ProgramContext ctx;
        ctx.folder = folder.path();
        QDir().mkpath(ctx.file(request::kArchiveFolder));
        for (int i = 0; i < answers; ++i) {
            QFile f(QDir(ctx.file(request::kArchiveFolder))
                        .filePath(QStringLiteral("%1_typ4A_2005_20260101-%2.xml")
                                      .arg(1000000000 + i)
                                      .arg(i % 240000, 6, 10, QLatin1Char('0'))));
            if (!f.open(QIODevice::WriteOnly) || f.write(answer) != answer.size()) return 1;
        }
        auto time = [&] {
            QElapsedTimer t;
            t.start();
            const auto list = request::archivedResults(ctx);
            if (list.size() != std::size_t(answers)) std::fprintf(stderr, "listed %zu\n", list.size());
            return double(t.nsecsElapsed()) / 1e6;
        };
        const double first = time();
        std::printf("%8d %12.0f %12.0f\n", answers, first, time());
    }
    return 0;
}
