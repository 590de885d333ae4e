#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include "platform/XmlDocument.h"

namespace zorva::test {

QStringList RecordingMessages::texts() const
{
    QStringList out;
    for (const auto& m : shown) out << m.text;
    return out;
}

TestProgram::TestProgram()
{
    ctx.folder = QDir(dir_.path()).absolutePath();
    ctx.messages = &messages;
    ctx.shell = &shell;
    ctx.clock = &clock;
}

void TestProgram::write(const QString& name, const QByteArray& content) const
{
    QFile f(path(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write test file");
    f.write(content);
}

void TestProgram::writeOversized(const QString& name) const
{
    QFile f(path(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || !f.resize(xml::Document::maxInputBytes + 1))
        qFatal("cannot write test file");
}

QByteArray TestProgram::read(const QString& name) const
{
    QFile f(path(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool TestProgram::exists(const QString& name) const
{
    return QFile::exists(path(name));
}

QStringList TestProgram::files(const QString& pattern) const
{
    return QDir(ctx.folder).entryList({pattern}, QDir::Files, QDir::Name);
}

void TestProgram::copyData(const QString& dataName, const QString& asName) const
{
    write(asName.isEmpty() ? dataName : asName, dataFile(dataName));
}

QByteArray dataFile(const QString& name)
{
    QFile f(QStringLiteral(ZORVA_DATA_DIR "/") + name);
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing data file %s", qPrintable(name));
    return f.readAll();
}

}  // namespace zorva::test
