// The settings file: an arbitrary existing file, then one value written with writeString and read
// back with readString. Properties: no crash; the value reads back as written (blanks around it
// trimmed, line breaks as blanks, characters outside Windows-1250 as "?" unless the file is UTF-8
// with a byte-order mark, a value in matching quotes without them); a second key leaves the first
// one readable; every other value of the file keeps what it read before.
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "FuzzSupport.h"
#include "common/Failure.h"
#include "common/IniFile.h"
#include "common/Windows1250.h"

using namespace zorva;

namespace {

// A file that begins with a byte-order mark and is UTF-8 after it is kept in UTF-8.
bool utf8File(const QByteArray& bytes)
{
    if (!bytes.startsWith("\xEF\xBB\xBF")) return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(bytes).sliced(3));  // decodes only when it becomes a text
    return !utf8.hasError();
}

QString expectedValue(QString v, bool utf8)
{
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!utf8) v = fromWindows1250(toWindows1250(v, Windows1250Unmappable::Question));
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

// A section or key name the file format can hold: one line, no "=" in a key, no "]" in a section,
// a key that does not look like a comment or a section header, and nothing lost in Windows-1250.
bool usableName(const QString& s, bool key)
{
    const QString t = s.trimmed();
    if (s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'))) return false;
    if (fromWindows1250(toWindows1250(s)) != s) return false;
    if (key)
        return !t.isEmpty() && !t.contains(QLatin1Char('=')) && !t.startsWith(QLatin1Char(';')) &&
               !t.startsWith(QLatin1Char('['));
    return !t.contains(QLatin1Char(']'));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ZORVA_VDJ.INI"));
    const auto p = fuzz::pieces(data, size, 5);
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(p[0]) != p[0].size())
            fuzz::fail("cannot write the settings file");
    }
    const QString section = fromWindows1250(p[1]);
    const QString key = fromWindows1250(p[2]);
    const QString value = QString::fromUtf8(p[3]);
    const QString otherKey = fromWindows1250(p[4]);

    // Reading an arbitrary file with arbitrary names never fails.
    const QString before = ini::readString(section, otherKey, QStringLiteral("<none>"), file, -1);
    (void)ini::readString(section, key, QString(), file);

    if (!usableName(section, false) || !usableName(key, true)) {
        try {
            ini::writeString(section, key, value, file);
        } catch (const Failure&) {
        }
        return 0;
    }
    ini::writeString(section, key, value, file);
    const QString back = ini::readString(section, key, QStringLiteral("<none>"), file, -1);
    const QString expected = expectedValue(value, utf8File(p[0]));
    ZORVA_FUZZ_CHECK(back == expected, back + QStringLiteral(" / ") + expected);

    const bool sameKey = key.trimmed().compare(otherKey.trimmed(), Qt::CaseInsensitive) == 0;
    if (!sameKey) {
        // Another key of the same section kept what it had.
        ZORVA_FUZZ_CHECK(ini::readString(section, otherKey, QStringLiteral("<none>"), file, -1) == before, before);
        if (usableName(otherKey, true)) {
            ini::writeString(section, otherKey, QStringLiteral("druhá"), file);
            ZORVA_FUZZ_CHECK(ini::readString(section, key, QStringLiteral("<none>"), file, -1) == back, back);
            ZORVA_FUZZ_CHECK(ini::readString(section, otherKey, QString(), file, -1) == QStringLiteral("druhá"),
                             otherKey);
        }
    }
    return 0;
}
