#pragma once
#include <QString>
#include <utility>

namespace zorva {

// Marks a file as in use by this program for as long as the object lives: a shared advisory lock
// (flock) on it. The file system lets a file that is open be deleted, so the cleanup of another
// running instance asks for the lock before it deletes (see tryDeleteUnused); the cleanup of this
// instance deletes its own marked files as before.
class FileInUse {
public:
    explicit FileInUse(const QString& path);  // no mark when the file cannot be opened
    ~FileInUse();
    FileInUse(const FileInUse&) = delete;
    FileInUse& operator=(const FileInUse&) = delete;

    bool marked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    std::pair<unsigned long, unsigned long> id_;  // device and inode
};

// The outcome of deleting a file that may be in use.
enum class Deletion {
    Deleted,
    InUse,
    Failed
};
// Deletes the file unless another process holds a mark on it: the exclusive lock is taken without waiting
// and kept until the name is gone. `error` receives errno on Failed.
Deletion tryDeleteUnused(const QString& path, int& error);

}  // namespace zorva
