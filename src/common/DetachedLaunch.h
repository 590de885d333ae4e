#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace zorva {

// A program started in a session of its own, so that it outlives this program and never waits for
// it, whose exit status still comes back: the program runs under a small shell that writes the
// status into a pipe, which the event loop watches. Nothing is written to disk.
class DetachedLaunch {
public:
    using Finished = std::function<void(int exitStatus)>;  // -1: the status could not be learnt

    // Starts program with arguments in folder (empty: the current folder). Returns null when the
    // program cannot be started at all; finished is called once, on the event loop, when it ends.
    static std::unique_ptr<DetachedLaunch> start(const QString& program, const QStringList& arguments,
                                                 const QString& folder, Finished finished);
    ~DetachedLaunch();
    DetachedLaunch(const DetachedLaunch&) = delete;
    DetachedLaunch& operator=(const DetachedLaunch&) = delete;

    bool ended() const { return fd_ < 0; }

private:
    DetachedLaunch(int fd, Finished finished);
    void onReadable();
    void end(int exitStatus);

    int fd_;
    Finished finished_;
    QByteArray received_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace zorva
