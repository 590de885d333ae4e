#include "common/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "common/FileWriting.h"

namespace zorva {

bool canWriteIn(const QString& folder)
{
    if (!QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-probe-XXXXXX")));
    return probe.open();  // removed again when the probe goes out of scope
}

void seedFolder(const QString& from, const QString& to, const QStringList& names)
{
    for (QString name : names) {
        while (name.startsWith(QLatin1Char('\\')) || name.startsWith(QLatin1Char('/'))) name.remove(0, 1);
        const QString source = QDir(from).filePath(name);
        const QString target = QDir(to).filePath(name);
        if (QFileInfo::exists(target) || !QFileInfo(source).isFile()) continue;
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly)) continue;
        // A copy that did not fit is not there at all: an empty file would be kept as the user's own
        // from then on.
        try {
            writeFileAtomically(target, in.readAll());
        } catch (const Failure&) {
            continue;
        }
        QFile::setPermissions(
            target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
}

QString programFolder(const QString& executableFolder, const QString& userFolder, const QStringList& shippedFiles)
{
    if (canWriteIn(executableFolder) || userFolder.isEmpty() || !QDir().mkpath(userFolder)) return executableFolder;
    seedFolder(executableFolder, userFolder, shippedFiles);
    return userFolder;
}

}  // namespace zorva
