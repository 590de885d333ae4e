#include "common/SpustSoubor.h"

#include <QLocale>
#include <QRegularExpression>

#include "common/ErrorTexts.h"
#include "common/Failure.h"
#include "common/FileWriting.h"
#include "common/ModAll.h"
#include "common/Windows1250.h"

namespace zorva {

namespace {

// The shell's failure codes that have a text of their own; every other code counts as success.
QString shellCodeText(int code)
{
    switch (code) {
        case 2:
            return QStringLiteral("Nemohu najít soubor");
        case 3:
            return QStringLiteral("Cesta neexistuje");
        case 5:
            return QStringLiteral("Přístup odmítnut");
        case 8:
            return QStringLiteral("Málo paměti");
        case 31:
            return QStringLiteral("Není asociovaná aplikace");
        case 32:
            return QStringLiteral("Nemohu najít DLL");
        default:
            return {};
    }
}

// Date and time as a date-time value is written under the user's regional settings: the short
// date, a blank, the time with seconds (without a time zone).
QString stamp(const QDateTime& now)
{
    const QLocale locale;
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*$")));
    timeFormat.remove(QRegularExpression(QStringLiteral("^\\s*t+\\s*")));
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), timeFormat);
}

void appendLogLine(const ProgramContext& ctx, const QString& text)
{
    const QString line = stamp(ctx.clock ? ctx.clock->now() : QDateTime::currentDateTime()) + QLatin1Char(' ') + text +
                         QStringLiteral("\r\n");
    try {
        appendToFile(ctx.file(QStringLiteral("\\SpustSoubor_err.txt")),
                     toWindows1250(line, Windows1250Unmappable::Question));
    } catch (const Failure& f) {
        // The log's failures are told by their number and its text, as they always were; a full disk
        // also by the folder that has no room.
        if (f.number() == err::DiskFull) throw;
        throw failure(f.number());
    }
}

// A path that names its place on a local disk: one with a drive letter's colon, or, on this
// platform, an absolute native path ("/..."; "//host/..." is a network path and goes whole).
bool isLocalDiskPath(const QString& file)
{
    if (file.contains(QLatin1Char(':'))) return true;
    return file.startsWith(QLatin1Char('/')) && !file.startsWith(QLatin1String("//"));
}

}  // namespace

QString SpustSoubor(const ProgramContext& ctx, const QString& file, const QString& parameters, int showCommand,
                    bool skipCheck, bool quoteParameters, bool noSplit)
{
    QString result;

    // A document that is not there is not opened and not reported. The registration tool is a
    // program of the system and is not looked for beside us.
    if (!skipCheck && NajdiSoubor(file, 0).isEmpty() && file.toUpper() != QLatin1String("REGSVR32.EXE")) return result;

    // Parameters with a blank inside (not in front) are one argument for the program.
    QString params = parameters;
    if (quoteParameters && params.indexOf(QLatin1Char(' ')) >= 1) params = QLatin1Char('"') + params + QLatin1Char('"');

    // A file on a local disk is opened from its own folder; anything else (an address, a network
    // path, or everything when told not to split) goes whole, with the drive root as folder.
    QString target = file;
    QString workingFolder = QStringLiteral("C:\\");
    if (isLocalDiskPath(file) && !noSplit) {
        workingFolder = VratAdresar(ctx, file);
        target = VratJmenoSouboru(ctx, file);
    }

    if (!ctx.shell) throw failure(err::ObjectRequired);
    // An opener that reports only when it has ended is not waited for; what it reports then goes
    // into the log like any other failure.
    const int code = ctx.shell->launch(target, params, workingFolder, showCommand, [ctx](int late) {
        const QString text = shellCodeText(late);
        if (text.isEmpty()) return;
        try {
            appendLogLine(ctx, text);
        } catch (const Failure&) {
            // The caller has long gone on; a log that cannot be written loses this one line.
        }
    });
    result = shellCodeText(code);

    if (!result.trimmed().isEmpty()) appendLogLine(ctx, result);
    return result;
}

}  // namespace zorva
