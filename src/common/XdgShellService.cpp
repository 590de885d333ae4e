#include "common/XdgShellService.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#endif

namespace zorva {

XdgShellService::XdgShellService(QString opener) : opener_(std::move(opener)) {}

XdgShellService::~XdgShellService() = default;

#ifdef _WIN32

int XdgShellService::open(const QString& file, const QString& parameters, const QString& workingFolder,
                          int showCommand)
{
    const std::wstring f = file.toStdWString();
    const std::wstring p = parameters.toStdWString();
    const std::wstring w = workingFolder.toStdWString();
    HINSTANCE h = ShellExecuteW(GetDesktopWindow(), L"open", f.c_str(), p.empty() ? nullptr : p.c_str(),
                                w.empty() ? nullptr : w.c_str(), showCommand);
    return int(reinterpret_cast<INT_PTR>(h));
}

#else

namespace {

constexpr int kDispatched = 42;
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kNoAssociation = 31;
constexpr int kMissingComponent = 32;

bool isDriveRoot(const QString& folder)
{
    static const QRegularExpression rx(QStringLiteral("^[A-Za-z]:[\\\\/]?$"));
    return rx.match(folder).hasMatch();
}

// "http://...", "mailto:...", "file:///...": an address, handed over as it is. A one-letter
// scheme would be a drive letter, which names no address.
bool isAddress(const QString& text)
{
    static const QRegularExpression rx(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return rx.match(text).hasMatch();
}

int exitStatusCode(int status)
{
    switch (status) {
    case 0: return kDispatched;
    case 2: return kFileNotFound;
    case 3: return kNoAssociation;
    case 4: return kNoAssociation;
    default: return 0;
    }
}

}  // namespace

int XdgShellService::open(const QString& file, const QString& parameters, const QString& workingFolder,
                          int /*showCommand*/)
{
    QString folder;
    if (!workingFolder.isEmpty() && !isDriveRoot(workingFolder)) {
        if (!QFileInfo(workingFolder).isDir()) return kPathNotFound;
        folder = QFileInfo(workingFolder).absoluteFilePath();
    }

    QString target = file;
    if (!isAddress(file)) {
        const QFileInfo info(folder.isEmpty() ? QDir::current() : QDir(folder), file);
        if (file.isEmpty() || !info.exists()) return kFileNotFound;
        target = info.absoluteFilePath();
        // A program with parameters is started itself, the parameters split as a command line.
        if (!parameters.isEmpty() && info.isFile() && info.isExecutable()) {
            return QProcess::startDetached(target, QProcess::splitCommand(parameters),
                                           folder.isEmpty() ? QDir::currentPath() : folder)
                       ? kDispatched
                       : kAccessDenied;
        }
    }

    const QString opener = QFileInfo(opener_).isAbsolute() ? opener_ : QStandardPaths::findExecutable(opener_);
    if (opener.isEmpty() || !QFileInfo(opener).isExecutable()) return kMissingComponent;

    // The opener runs detached, so that closing the program never closes the viewer. A small
    // shell around it leaves the opener's exit status in a file, which tells a failure apart.
    if (!statusDir_) statusDir_ = std::make_unique<QTemporaryDir>();
    const QString status = statusDir_->isValid()
                               ? statusDir_->filePath(QStringLiteral("status-%1").arg(++launches_))
                               : QString();
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    if (status.isEmpty()) {
        process.setArguments({QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$1\""), opener, target});
    } else {
        process.setArguments({QStringLiteral("-c"),
                              QStringLiteral("\"$0\" \"$1\"; echo $? > \"$2.part\" 2>/dev/null && "
                                             "mv \"$2.part\" \"$2\" 2>/dev/null"),
                              opener, target, status});
    }
    process.setWorkingDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
    if (!process.startDetached()) return kMissingComponent;
    if (status.isEmpty()) return kDispatched;

    QDeadlineTimer deadline(reportWait_);
    while (!QFile::exists(status)) {
        if (deadline.hasExpired()) return kDispatched;  // the opener waits for its viewer
        QThread::msleep(20);
    }
    QFile f(status);
    int code = 0;
    if (f.open(QIODevice::ReadOnly)) code = exitStatusCode(f.readAll().trimmed().toInt());
    f.remove();
    return code;
}

#endif

}  // namespace zorva
