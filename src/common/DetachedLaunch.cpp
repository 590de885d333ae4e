#include "common/DetachedLaunch.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <vector>

namespace zorva {

namespace {

// The program gets no copy of the status pipe (descriptor 3), so that a viewer it leaves running
// cannot hold the pipe open; the shell reports the status once the program has ended.
const char* const kWrapper = "\"$0\" \"$@\" </dev/null 3>&-; echo $? >&3";

}  // namespace

std::unique_ptr<DetachedLaunch> DetachedLaunch::start(const QString& program, const QStringList& arguments,
                                                      const QString& folder, Finished finished)
{
    // Everything the child needs is prepared before the fork: after it only plain system calls run.
    std::vector<QByteArray> texts = {QByteArrayLiteral("/bin/sh"), QByteArrayLiteral("-c"), QByteArray(kWrapper),
                                     QFile::encodeName(program)};
    for (const QString& a : arguments) texts.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& t : texts) argv.push_back(t.data());
    argv.push_back(nullptr);
    const QByteArray where = QFile::encodeName(folder);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return nullptr;
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return nullptr;
    }
    if (child == 0) {
        // A session of its own, and a grandchild that init adopts: nothing ties it to us any more.
        setsid();
        const pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        if (!where.isEmpty() && chdir(where.constData()) != 0) _exit(127);
        if (fds[1] == 3) fcntl(3, F_SETFD, 0);
        else if (dup2(fds[1], 3) < 0) _exit(127);
        execv("/bin/sh", argv.data());
        _exit(127);
    }
    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        close(fds[0]);
        return nullptr;
    }
    return std::unique_ptr<DetachedLaunch>(new DetachedLaunch(fds[0], std::move(finished)));
}

DetachedLaunch::DetachedLaunch(int fd, Finished finished)
    : fd_(fd), finished_(std::move(finished)), notifier_(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read))
{
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { onReadable(); });
}

DetachedLaunch::~DetachedLaunch()
{
    notifier_.reset();
    if (fd_ >= 0) close(fd_);
}

void DetachedLaunch::onReadable()
{
    char buffer[64];
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n > 0) received_.append(buffer, n);
    if (n > 0 && !received_.contains('\n')) return;
    bool ok = false;
    const int status = received_.trimmed().toInt(&ok);
    end(ok ? status : -1);
}

void DetachedLaunch::end(int exitStatus)
{
    notifier_->setEnabled(false);
    close(fd_);
    fd_ = -1;
    if (finished_) finished_(exitStatus);
}

}  // namespace zorva
