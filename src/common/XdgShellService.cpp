#include "common/XdgShellService.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "common/DetachedLaunch.h"

namespace zorva {

XdgShellService::XdgShellService(QString opener) : opener_(std::move(opener))
{
}

XdgShellService::~XdgShellService() = default;

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
        case 0:
            return kDispatched;
        case 2:
            return kFileNotFound;
        case 3:
            return kNoAssociation;
        case 4:
            return kNoAssociation;
        default:
            return 0;
    }
}

}  // namespace

int XdgShellService::launch(const QString& file, const QString& parameters, const QString& workingFolder,
                            int /*showCommand*/, const LateOutcome& late)
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

    // The opener runs detached, so that closing the program never closes the viewer and the window
    // never waits for it (without a desktop environment it waits for the viewer it started). What it
    // reports when it ends comes back later.
    std::erase_if(launches_, [](const std::unique_ptr<DetachedLaunch>& l) { return l->ended(); });
    auto started =
        DetachedLaunch::start(opener, {target}, folder.isEmpty() ? QDir::currentPath() : folder, [late](int status) {
            if (late) late(exitStatusCode(status));
        });
    if (!started) return kMissingComponent;
    launches_.push_back(std::move(started));
    return kDispatched;
}

int XdgShellService::open(const QString& file, const QString& parameters, const QString& workingFolder, int showCommand)
{
    return launch(file, parameters, workingFolder, showCommand, {});
}

}  // namespace zorva
