// The headless "Počítej" on arbitrary response bytes: load, working table, calculation, write-back
// and save go through editor::recompute, the same code as the window. Properties: no crash, no
// undefined behaviour, no leak; a run either fails cleanly (status 2, a message) or writes a
// well-formed document; it never writes an infinite or not-a-number text of its own; and the
// working database is gone afterwards.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FuzzSupport.h"
#include "common/SystemClock.h"
#include "editor/Recompute.h"
#include "platform/XmlDocument.h"

using namespace zorva;

namespace {

struct Silent : MessageBoxes {
    void show(const QString&, MessageIcon) override {}
    Answer ask(const QString&) override { return Answer::Yes; }
};

int countNonFinite(const QByteArray& bytes)
{
    const QByteArray lower = bytes.toLower();
    return int(lower.count("inf") + lower.count("nan"));
}

// The program's own lists repeat texts of the input (a value not taken as sent, a changed one's
// service value): they are echoes, not figures the calculation made.
QByteArray withoutProgramLists(QByteArray bytes)
{
    for (const QByteArray& list : {QByteArray("UPR:NotTaken"), QByteArray("UPR:Changes")}) {
        const qsizetype from = bytes.indexOf("<" + list);
        const qsizetype to = bytes.indexOf("</" + list + ">", from);
        if (from >= 0 && to > from) bytes.remove(from, to + list.size() + 3 - from);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The program folder in memory where the system offers one: the working database of every input
    // on a disk would set the pace of the whole search.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/zorva-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/zorva-fuzz-XXXXXX"));
    static SystemClock clock;
    static Silent messages;
    ProgramContext ctx;
    ctx.folder = QDir::toNativeSeparators(dir.path());
    ctx.clock = &clock;
    ctx.messages = &messages;

    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString in = dir.filePath(QStringLiteral("in.xml"));
    const QString out = dir.filePath(QStringLiteral("out.xml"));
    QFile::remove(out);
    {
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) fuzz::fail("cannot write the input");
    }

    // One input in eight is saved to a file as the program saves the response; the others go to
    // the output stream, which spares a flush to disk per input and lets the fuzzer run faster.
    const bool toFile = size % 8 == 0;
    QStringList args = {QStringLiteral("--recompute"), in};
    if (toFile) args << QStringLiteral("--out") << out;
    QStringList errors;
    QByteArray streamed;
    const int status = editor::recompute(
        args, ctx, {[&](const QByteArray& b) { streamed += b; }, [&](const QString& e) { errors << e; }});
    ZORVA_FUZZ_CHECK(status == 0 || status == 2, QString::number(status));
    if (status == 2) {
        ZORVA_FUZZ_CHECK(!errors.isEmpty(), QString());
        ZORVA_FUZZ_CHECK(!QFile::exists(out) && streamed.isEmpty(), QString());
    } else {
        xml::Document result;
        QByteArray written = streamed;
        if (toFile) {
            QFile f(out);
            ZORVA_FUZZ_CHECK(f.open(QIODevice::ReadOnly), out);
            written = f.readAll();
        }
        ZORVA_FUZZ_CHECK(result.loadXml(written), QString::fromUtf8(written.left(2000)));
        // What the input itself says stays; nothing the calculation adds may be "inf" or "nan".
        const QByteArray before = xml::Document::fromBytes(bytes).toBytes();
        ZORVA_FUZZ_CHECK(countNonFinite(withoutProgramLists(written)) <= countNonFinite(before),
                         QString::fromUtf8(written.left(4000)));
    }
    const QStringList left = QDir(dir.path()).entryList({QStringLiteral("TMP*")}, QDir::Files);
    ZORVA_FUZZ_CHECK(left.isEmpty(), left.join(QLatin1Char(' ')));
    return 0;
}
