#include "common/FileWriting.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <system_error>
#include <utility>

#include "common/DetailLog.h"

namespace zorva {

namespace {

// Few calls of the system for the many small pieces the XML writer hands over.
constexpr qsizetype kBufferSize = 64 * 1024;

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray randomSuffix()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray s(".");
    for (int i = 0; i < 6; ++i) s += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return s;
}

// An unnamed file is given its name through the process's view of its descriptors; without that
// view it could never be named, and a named temporary file is used instead.
bool canNameUnnamedFiles()
{
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

int openUnnamed(const QByteArray& folder, mode_t mode)
{
#ifdef O_TMPFILE
    if (canNameUnnamedFiles()) return ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#endif
    Q_UNUSED(folder);
    Q_UNUSED(mode);
    errno = EOPNOTSUPP;
    return -1;
}

// A name beside the target that nobody else has, for the temporary file: a hard link to `fd` when
// it is given, else a new file. Sets errno and gives an empty name when none could be made.
QByteArray temporaryName(const QByteArray& target, int fd, mode_t mode, int& newFd)
{
    const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = target + randomSuffix();
        if (fd >= 0) {
            if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
                return name;
        } else {
            newFd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (newFd >= 0) return name;
        }
        if (errno != EEXIST) return {};
    }
    errno = EEXIST;
    return {};
}

}  // namespace

Failure writeFailure(const QString& path, int error)
{
    qCWarning(detailLog).noquote() << QStringLiteral("Soubor %1 nelze zapsat:").arg(native(path))
                                   << QString::fromStdString(std::generic_category().message(error));
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return Failure(err::DiskFull,
                           QStringLiteral("Na disku není dost místa: %1").arg(native(QFileInfo(path).absolutePath())));
        case ENOENT:
        case ENOTDIR:
            return Failure(err::PathNotFound, QStringLiteral("Cesta nebyla nalezena: %1").arg(native(path)));
        default:
            return Failure(err::PathFileAccess,
                           QStringLiteral("Chyba přístupu k cestě nebo souboru: %1").arg(native(path)));
    }
}

AtomicFile::AtomicFile(const QString& path) : path_(path)
{
    // The file a link points to is the one replaced; the link stays.
    QFileInfo info(path);
    for (int depth = 0; info.isSymLink() && depth < 40; ++depth) info.setFile(info.symLinkTarget());
    path_ = info.filePath();
    target_ = QFile::encodeName(path_);
    if (info.isDir()) fail(EISDIR);

    struct stat st {};
    const bool exists = ::stat(target_.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        direct_ = true;
        fd_ = ::open(target_.constData(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) fail(errno);
        return;
    }
    // A file that may not be written is not replaced behind its back either.
    if (exists && ::access(target_.constData(), W_OK) != 0) fail(errno);
    const mode_t mode = exists ? mode_t(st.st_mode & 07777) : mode_t(0666);
    fd_ = openUnnamed(QFile::encodeName(info.absolutePath()), mode);
    if (fd_ < 0) {
        temporary_ = temporaryName(target_, -1, mode, fd_);
        if (temporary_.isEmpty()) fail(errno);
    }
    // The replacement keeps the permissions of the file it replaces.
    if (exists && ::fchmod(fd_, mode) != 0) fail(errno);
}

AtomicFile::~AtomicFile()
{
    discard();
}

void AtomicFile::discard()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty()) ::unlink(temporary_.constData());
    temporary_.clear();
    buffer_.clear();
}

void AtomicFile::fail(int error)
{
    discard();
    throw writeFailure(path_, error);
}

void AtomicFile::writeAll(const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail(errno);
        if (n == 0) fail(EIO);
        data += n;
        size -= n;
    }
}

void AtomicFile::flushBuffer()
{
    const QByteArray pending = std::exchange(buffer_, QByteArray());
    writeAll(pending.constData(), pending.size());
}

void AtomicFile::write(QByteArrayView bytes)
{
    if (fd_ < 0) fail(EBADF);
    if (buffer_.size() + bytes.size() > kBufferSize) {
        flushBuffer();
        if (bytes.size() >= kBufferSize) return writeAll(bytes.data(), bytes.size());
    }
    buffer_.append(bytes.data(), bytes.size());
}

void AtomicFile::commit()
{
    if (fd_ < 0) fail(EBADF);
    flushBuffer();
    if (!direct_) {
        // Where the disk has room only in its cache, this is where it says so. A file system that
        // cannot flush (EINVAL) has nothing to say.
        if (::fdatasync(fd_) != 0 && errno != EINVAL) fail(errno);
        if (temporary_.isEmpty()) {
            int unused = -1;
            temporary_ = temporaryName(target_, fd_, 0, unused);
            if (temporary_.isEmpty()) fail(errno);
        }
    }
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && errno != EINTR) fail(errno);
    if (direct_) return;
    if (::rename(temporary_.constData(), target_.constData()) != 0) fail(errno);
    temporary_.clear();
}

void writeFileAtomically(const QString& path, QByteArrayView bytes)
{
    AtomicFile file(path);
    file.write(bytes);
    file.commit();
}

void appendToFile(const QString& path, QByteArrayView bytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    const bool existed = ::stat(name.constData(), &st) == 0;
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) throw writeFailure(path, errno);
    int error = 0;
    for (const char* data = bytes.data(); !error && data < bytes.data() + bytes.size();) {
        const ssize_t n = ::write(fd, data, size_t(bytes.data() + bytes.size() - data));
        if (n > 0) data += n;
        else if (n == 0) error = EIO;
        else if (errno != EINTR) error = errno;
    }
    // A pipe or a device cannot flush (EINVAL); a file can still refuse its bytes here.
    if (!error && ::fdatasync(fd) != 0 && errno != EINVAL) error = errno;
    if (error && existed) {
        // The reason told is why the bytes did not fit, whatever the cutting back says.
        const int cut = ::ftruncate(fd, st.st_size);
        Q_UNUSED(cut);
    }
    if (error && !existed) ::unlink(name.constData());
    if (::close(fd) != 0 && errno != EINTR && !error) error = errno;
    if (error) throw writeFailure(path, error);
}

bool createNewFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) return false;
    if (fd < 0) throw writeFailure(path, errno);
    ::close(fd);
    return true;
}

}  // namespace zorva
