#include "common/ModAll.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "common/ErrorTexts.h"
#include "common/Failure.h"
#include "common/FileInUse.h"
#include "common/IniFile.h"
#include "common/NumberText.h"
#include "common/UserText.h"

namespace zorva {

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

int lastSeparator(const QString& path)
{
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}

// The kind of separator a folder text already uses (its last one); fallback when it has none.
QChar separatorOf(const QString& folder, QChar fallback)
{
    const int i = lastSeparator(folder);
    return i < 0 ? fallback : folder.at(i);
}

void reportCritical(const ProgramContext& ctx, const Failure& f)
{
    ctx.message(f.text(), MessageIcon::Critical);
}

// Wildcards of a directory search: "*" any run of characters, "?" one character; letters match
// regardless of case. "*.*" matches every name, also one without a dot, as it always has.
QRegularExpression wildcardExpression(const QString& pattern)
{
    if (pattern == QLatin1String("*.*"))
        return QRegularExpression(QStringLiteral("^.*$"), QRegularExpression::DotMatchesEverythingOption);
    QString rx = QStringLiteral("^");
    for (QChar c : pattern) {
        if (c == QLatin1Char('*')) rx += QLatin1String(".*");
        else if (c == QLatin1Char('?')) rx += QLatin1Char('.');
        else rx += QRegularExpression::escape(QString(c));
    }
    rx += QLatin1Char('$');
    return QRegularExpression(
        rx, QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

// All names in the pattern's folder that match its last component, in name order. The attribute
// mask follows the classic numbering: 0 normal files, +2 hidden, +4 system, +16 folders.
QStringList matchingNames(const QString& pattern, int attributeMask)
{
    const int sep = lastSeparator(pattern);
    const QString folder = sep < 0 ? QStringLiteral(".") : pattern.left(sep + 1);
    const QString namePattern = pattern.mid(sep + 1);
    if (namePattern.isEmpty()) return {};
    QDir dir(folder);
    if (!dir.exists()) return {};
    QDir::Filters filters = QDir::Files | QDir::NoDotAndDotDot;
    if (attributeMask & 2) filters |= QDir::Hidden;
    if (attributeMask & 4) filters |= QDir::System;
    if (attributeMask & 16) filters |= QDir::Dirs;
    const QRegularExpression rx = wildcardExpression(namePattern);
    QStringList out;
    for (const QString& name : dir.entryList(filters, QDir::Name))
        if (rx.match(name).hasMatch()) out << name;
    return out;
}

// A value as text, the way the platform turns a value into text: numbers in their general form
// with the user's decimal separator.
QString valueText(const QVariant& value)
{
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            return generalTextLocal(value.toDouble());
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        default:
            return value.toString();
    }
}

// Rounds to the nearest whole number, a tie going to the even one (0.5 gives 0, 1.5 gives 2).
double roundHalfEven(double x)
{
    const double down = std::floor(x);
    const double diff = x - down;
    if (diff < 0.5) return down;
    if (diff > 0.5) return down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

int removalErrorNumber(const std::error_code& ec)
{
    switch (ec.value()) {
        case ENOENT:
            return err::FileNotFound;
        case ENOTDIR:
            return err::PathNotFound;
        case ENAMETOOLONG:
            return err::BadFileName;
        case EIO:
            return err::DeviceIo;
        case EACCES:
        case EPERM:
        case EBUSY:
        case ETXTBSY:
            return err::PermissionDenied;  // in use or not ours to delete
        default:
            return err::PathFileAccess;  // read-only file system, a folder, ...
    }
}

}  // namespace

QString VratAdresar(const ProgramContext& ctx, const QString& path)
{
    if (path.isEmpty()) return {};
    try {
        // Everything after the last separator goes, and the separator with it.
        const int sep = lastSeparator(path);
        if (sep < 0) throw failure(err::InvalidProcedureCall);
        QString folder = path.left(sep);
        // A drive root keeps its separator (C:\file.htm gives C:\), and so does the root of a
        // native path (/f.htm gives /). A two-character folder that is not a drive ("ab/f")
        // stays as it is.
        if (folder.size() == 2 && folder.at(1) == QLatin1Char(':') && folder.at(0).isLetter()) folder += path.at(sep);
        else if (folder.isEmpty()) folder = path.at(sep);
        return folder;
    } catch (const Failure& f) {
        reportCritical(ctx, f);
        return {};
    }
}

QString VratJmenoSouboru(const ProgramContext& ctx, const QString& path)
{
    // Unlike VratAdresar, every text has a last component, so there is no failure to report.
    Q_UNUSED(ctx);
    if (path.isEmpty()) return {};
    if (lastSeparator(path) < 0) return path;  // "C:x.htm" too: no separator, unchanged
    const int cut = std::max(lastSeparator(path), int(path.lastIndexOf(QLatin1Char(':'))));
    return path.mid(cut + 1);
}

QString SpojCestu(const QString& folder, const QString& name)
{
    QString out = folder;
    if (out.isEmpty() || !isSeparator(out.back())) out += separatorOf(folder, QLatin1Char('\\'));
    if (!name.isEmpty() && isSeparator(name.front())) out += name.mid(1);
    else out += name;
    return out;
}

QString NajdiSoubor(const QString& pattern, int attributeMask)
{
    const QStringList names = matchingNames(pattern, attributeMask);
    return names.isEmpty() ? QString() : names.first();
}

void removeFile(const QString& path)
{
    // The file system deletes a read-only file and one that is open without complaint; the program
    // leaves both alone, as it always has: a file without any write permission is read-only, and a
    // file that another instance holds open carries its mark (FileInUse).
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
        (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw failure(err::PathFileAccess);
    int error = 0;
    switch (tryDeleteUnused(path, error)) {
        case Deletion::Deleted:
            return;
        case Deletion::InUse:
            throw failure(err::PermissionDenied);
        case Deletion::Failed:
            break;
    }
    throw failure(removalErrorNumber(std::error_code(error, std::generic_category())));
}

bool SmazSoubory(const ProgramContext& ctx, const QString& folder, const QString& pattern)
{
    return SmazSoubory(ctx, folder, pattern, removeFile);
}

bool SmazSoubory(const ProgramContext& ctx, const QString& folder, const QString& pattern, const FileRemover& remove)
{
    try {
        QString dir = folder;
        if (dir.isEmpty() || !isSeparator(dir.back())) dir += separatorOf(folder, QDir::separator());
        // One search, continued match by match: the names are taken in one pass before any is
        // deleted, so that a deletion cannot disturb the enumeration.
        const QStringList names = matchingNames(dir + pattern, 0);
        for (const QString& name : names) {
            try {
                remove(dir + name);
            } catch (const Failure& f) {
                // A file in use or protected stays, and one that another instance's cleanup took in the
                // meantime is gone as wanted; the others are still deleted.
                if (f.number() == err::PermissionDenied || f.number() == err::PathFileAccess ||
                    f.number() == err::FileNotFound)
                    continue;
                throw;
            }
        }
        return true;
    } catch (const std::exception& e) {
        ctx.message(userText(e), MessageIcon::Critical);
        return false;
    }
}

QString VytvorJmenoTMP(const ProgramContext& ctx, const QString& folder, const QString& extension)
{
    if (!ctx.clock) throw failure(err::ObjectRequired);
    Clock& clock = *ctx.clock;
    clock.reseed();
    for (;;) {
        const QDateTime now = clock.now();
        const int part = int(roundHalfEven(clock.random())) * 100;
        const QString name = QStringLiteral("TMP") + now.toString(QStringLiteral("yyyyMMddHHmmss")) +
                             QStringLiteral("%1").arg(part, 3, 10, QLatin1Char('0')) + QStringLiteral("_.") + extension;
        const QString path = SpojCestu(folder, name);
        // Both names of one second may be taken; then the next round waits for the clock.
        if (NajdiSoubor(path, 0).isEmpty()) return path;
    }
}

QString CtiINI(const QString& section, const QString& key, const QString& defaultValue, const QString& file)
{
    // The system's reader fills a buffer of 255 characters including the terminating zero.
    return ini::readString(section, key, defaultValue, file, 254);
}

QString FormatujCislo(const QVariant& value, bool nullAsZero, bool keepZeros)
{
    if (value.isNull()) return nullAsZero ? QStringLiteral("0") : QStringLiteral("NULL");
    QString text = valueText(value);
    if (text.isEmpty()) text = QStringLiteral("0");
    pointDecimalSigns(text);
    text.remove(QLatin1Char(' '));
    text.remove(QChar(0x00A0));
    if (!keepZeros && text.indexOf(QLatin1Char('.')) >= 1) {
        while (!text.isEmpty() && text.endsWith(QLatin1Char('0'))) text.chop(1);
    }
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    return text;
}

QString CisloSTeckou(const QVariant& value)
{
    if (value.isNull()) return {};
    QString text = valueText(value);
    pointDecimalSigns(text);
    text.remove(QLatin1Char(' '));  // a non-breaking space stays
    return text;
}

}  // namespace zorva
