#include "common/FileInUse.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <mutex>
#include <set>
#include <utility>

namespace zorva {

namespace {

// The files that this process marks. Its own cleanup deletes them as it always has (the editor's
// closing deletes its own open database); only marks of other instances keep a file.
using FileId = std::pair<unsigned long, unsigned long>;
std::mutex ownMutex;
std::multiset<FileId> ownFiles;

bool ownFile(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    const std::lock_guard lock(ownMutex);
    return ownFiles.count({st.st_dev, st.st_ino}) > 0;
}

}  // namespace

FileInUse::FileInUse(const QString& path)
{
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd_ >= 0 && (::flock(fd_, LOCK_SH | LOCK_NB) != 0 || ::fstat(fd_, &st) != 0)) {
        ::close(fd_);
        fd_ = -1;
    }
    if (fd_ < 0) return;
    id_ = {st.st_dev, st.st_ino};
    const std::lock_guard lock(ownMutex);
    ownFiles.insert(id_);
}

FileInUse::~FileInUse()
{
    if (fd_ < 0) return;
    {
        const std::lock_guard lock(ownMutex);
        ownFiles.erase(ownFiles.find(id_));
    }
    ::close(fd_);
}

Deletion tryDeleteUnused(const QString& path, int& error)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    // The exclusive lock is held until the name is gone, so that no other instance marks the file
    // in between. A file that cannot be opened (a link, no read permission) is deleted as before.
    if (fd >= 0 && !ownFile(fd) && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return Deletion::InUse;
    }
    const int rc = ::unlink(name.constData());
    error = errno;
    if (fd >= 0) ::close(fd);
    return rc == 0 ? Deletion::Deleted : Deletion::Failed;
}

}  // namespace zorva
