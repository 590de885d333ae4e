#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QWidget>
#include <cerrno>
#include <cstring>

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

SmallDisk::SmallDisk(int kilobytes)
{
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    mounted_ = ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, options.constData()) == 0;
    if (!mounted_)
        why = QStringLiteral("a tmpfs cannot be mounted here: %1").arg(QString::fromLocal8Bit(strerror(errno)));
}

SmallDisk::~SmallDisk()
{
    if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
}

void SmallDisk::fill(qint64 leaveBytes) const
{
    QFile filler(QDir(path()).filePath(QStringLiteral("plnivo")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) qFatal("cannot fill the small disk");
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {}
    // The file system counts whole pages.
    const qint64 leave = (leaveBytes + 4095) / 4096 * 4096;
    if (leave > 0 && !filler.resize(std::max<qint64>(0, filler.size() - leave))) qFatal("cannot make room on the disk");
}

QByteArray dataFile(const QString& name)
{
    QFile f(QStringLiteral(ZORVA_DATA_DIR "/") + name);
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing data file %s", qPrintable(name));
    return f.readAll();
}

void keepScreenshot(QWidget& window, const std::string& name)
{
    const QString folder = qEnvironmentVariable("ZORVA_SCREENSHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    EXPECT_TRUE(window.grab().save(folder + QLatin1Char('/') + QString::fromStdString(name) + QStringLiteral(".png")));
}

}  // namespace zorva::test
