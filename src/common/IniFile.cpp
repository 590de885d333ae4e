#include "common/IniFile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include "common/ErrorTexts.h"
#include "common/Failure.h"
#include "common/FileWriting.h"
#include "common/UserText.h"
#include "common/Windows1250.h"

namespace zorva::ini {

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

// How a settings file is written: the Czech code page, as the system writes its profiles, unless an
// editor saved it as UTF-8 with a byte-order mark; such a file is read and written as UTF-8 (with
// its mark), so that "Novák" stays "Novák" and the file keeps one encoding.
struct Encoding {
    bool mark = false;
    bool utf8 = false;
};

// The lines of a settings file. Line ends may be CR LF, LF or CR; the byte-order mark is set aside
// so that the first section is still found.
QStringList readLines(const QString& file, bool* exists, Encoding* encoding = nullptr)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (exists) *exists = false;
        return {};
    }
    if (exists) *exists = true;
    QByteArray bytes = f.readAll();
    Encoding found;
    found.mark = bytes.startsWith(kByteOrderMark);
    if (found.mark) bytes.remove(0, 3);
    QString text;
    if (found.mark) {
        // A second mark stays in the text, as it stays in the code page's reading: the writer puts
        // back what the reader saw.
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        text = utf8.decode(bytes);
        // A mark before bytes that are no UTF-8 says nothing of them: they are the code page's.
        found.utf8 = !utf8.hasError();
    }
    if (!found.utf8) text = fromWindows1250(bytes);
    if (encoding) *encoding = found;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();  // the final line end
    return lines;
}

// A line "[name]" (blanks around allowed) is a section header; name gets the trimmed name.
bool isSectionHeader(const QString& line, QString* name = nullptr)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return false;
    const int close = t.indexOf(QLatin1Char(']'));
    if (name) *name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    return true;
}

bool isComment(const QString& line)
{
    return line.trimmed().startsWith(QLatin1Char(';'));
}

// Splits "key = value" into its trimmed parts; false for a line without "=".
bool keyValue(const QString& line, QString* key, QString* value)
{
    if (isComment(line)) return false;
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    return true;
}

bool same(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index range [begin, end) of the lines of the first section with the given name; begin is the
// header line. false when the file has no such section.
bool findSection(const QStringList& lines, const QString& section, int* begin, int* end)
{
    const QString wanted = section.trimmed();
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (!isSectionHeader(lines[i], &name) || !same(name, wanted)) continue;
        int j = i + 1;
        while (j < lines.size() && !isSectionHeader(lines[j])) ++j;
        *begin = i;
        *end = j;
        return true;
    }
    return false;
}

// A settings file holds one value per line: a line break inside a value would end it there and
// turn the rest into a line of its own, so breaks are written as blanks.
QString oneLine(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

}  // namespace

QString readString(const QString& section, const QString& key, const QString& defaultValue, const QString& file,
                   int maxChars)
{
    // As the system does it: trailing blanks of the default are dropped, and the default is cut
    // like any value.
    QString result = defaultValue;
    while (result.endsWith(QLatin1Char(' '))) result.chop(1);

    const QStringList lines = readLines(file, nullptr);
    int begin = 0, end = 0;
    if (!key.trimmed().isEmpty() && findSection(lines, section, &begin, &end)) {
        const QString wanted = key.trimmed();
        for (int i = begin + 1; i < end; ++i) {
            QString k, v;
            if (!keyValue(lines[i], &k, &v) || !same(k, wanted)) continue;
            if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
                v.back() == v.front())
                v = v.mid(1, v.size() - 2);
            result = v;
            break;
        }
    }
    if (maxChars >= 0 && result.size() > maxChars) result.truncate(maxChars);
    return result;
}

namespace {

void writeOrFail(const QString& section, const QString& key, const QString& value, const QString& file)
{
    bool exists = false;
    Encoding encoding;
    QStringList lines = readLines(file, &exists, &encoding);
    if (!exists && QFileInfo::exists(file)) throw failure(err::PermissionDenied);

    const QString sectionText = section.trimmed();
    const QString keyText = key.trimmed();
    const QString val = oneLine(value);

    int begin = 0, end = 0;
    if (findSection(lines, sectionText, &begin, &end)) {
        bool replaced = false;
        for (int i = begin + 1; i < end && !replaced; ++i) {
            QString k, v;
            if (!keyValue(lines[i], &k, &v) || !same(k, keyText)) continue;
            lines[i] = k + QLatin1Char('=') + val;  // the key keeps the spelling the file gave it
            replaced = true;
        }
        if (!replaced) {
            // A new key goes after the last non-blank line of its section, before the blank lines
            // that separate it from the next section.
            int at = end;
            while (at > begin + 1 && lines[at - 1].trimmed().isEmpty()) --at;
            lines.insert(at, keyText + QLatin1Char('=') + val);
        }
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines.append(QString());
        lines.append(QLatin1Char('[') + sectionText + QLatin1Char(']'));
        lines.append(keyText + QLatin1Char('=') + val);
    }

    // The mark goes back where it was: dropping it would make whatever follows it (another mark, say)
    // the file's new beginning, and the reader would see other sections than the writer did.
    QByteArray bytes = encoding.mark ? QByteArray(kByteOrderMark) : QByteArray();
    for (const QString& line : lines) {
        bytes += encoding.utf8 ? line.toUtf8() : toWindows1250(line, Windows1250Unmappable::Question);
        bytes += "\r\n";
    }

    // The new content replaces the old whole, so that a failure in the middle never leaves a
    // half-written settings file.
    writeFileAtomically(file, bytes);
}

}  // namespace

bool writeString(const QString& section, const QString& key, const QString& value, const QString& file)
{
    // Settings that cannot be saved never stop what the user asked for; they are only not kept.
    try {
        writeOrFail(section, key, value, file);
        return true;
    } catch (const std::exception& e) {
        qWarning().noquote() << QStringLiteral("Nastavení %1 nelze uložit do „%2“: %3").arg(key, file, userText(e));
        return false;
    }
}

}  // namespace zorva::ini
