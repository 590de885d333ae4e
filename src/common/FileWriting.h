#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "common/Failure.h"

// Every file the program writes goes through here, so that a write which never reached the disk is
// never taken for one that did. Each call of the system is checked, the flush to the disk and the
// closing included: a full disk may take the bytes into a buffer and refuse them only there.
//
// Failures are raised as Failure: a full disk (or a used-up quota) as err::DiskFull, "Na disku není
// dost místa: <folder>"; a missing folder as err::PathNotFound; anything else as err::PathFileAccess
// naming the file. The system's own (English) reason goes to the zorva.detail log.
namespace zorva {

// A file replaced whole or not at all. The bytes go to a file beside the target that has no name
// yet (or a hidden temporary name where the file system cannot do that), and it takes the target's
// name only when every write, the flush and the closing have succeeded; a killed program leaves
// nothing behind. A writer destroyed without commit(), or after a failure, leaves the target as it
// was and no other file. A target that exists and is no regular file (a device, a pipe) is written
// directly.
class AtomicFile {
public:
    explicit AtomicFile(const QString& path);  // raises a Failure
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(QByteArrayView bytes);  // raises a Failure
    void commit();                     // raises a Failure; afterwards the target holds the bytes

private:
    void writeAll(const char* data, qsizetype size);
    void flushBuffer();
    [[noreturn]] void fail(int error);
    void discard();

    QString path_;          // the target, symbolic links followed
    QByteArray target_;     // the same, encoded for the system
    QByteArray temporary_;  // the temporary name while there is one
    QByteArray buffer_;
    int fd_ = -1;
    bool direct_ = false;
};

// The whole file in one go, through an AtomicFile.
void writeFileAtomically(const QString& path, QByteArrayView bytes);

// Appends to a file, making it when it is missing. When the bytes do not all fit, the file is cut
// back to what it held before (a file made for them goes again), so that no half line stays.
void appendToFile(const QString& path, QByteArrayView bytes);

// Makes a new empty file, only if no file of that name exists at this moment, whoever else tries
// the same name at the same time: false when one exists; a Failure when it cannot be made.
bool createNewFile(const QString& path);

// The failure to write `path` for a system error number (errno).
Failure writeFailure(const QString& path, int error);

}  // namespace zorva
