#include "workerprocess.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {
constexpr int kReapPollMs = 20;  // how often a child is looked for without a pidfd

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// A write that cannot raise SIGPIPE in a process that may not ignore it: the signal is held back for this
// thread, and one this write raised is taken off again before it is let through.
ssize_t writeWithoutSigpipe(int fd, const char *data, size_t size)
{
    sigset_t pipeSet, old, pending;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &old);
    sigpending(&pending);
    const bool wasPending = sigismember(&pending, SIGPIPE);
    ssize_t written;
    do
        written = ::write(fd, data, size);
    while (written < 0 && errno == EINTR);
    const int error = errno;
    if (written < 0 && error == EPIPE && !wasPending) {
        const timespec zero = {0, 0};
        while (sigtimedwait(&pipeSet, nullptr, &zero) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = error;
    return written;
}

QString systemReason(const QString &program, int error)
{
    return program + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}
}

struct WorkerProcess::Private
{
    explicit Private(WorkerProcess *owner)
        : q(owner)
    {
    }

    WorkerProcess *q;
    pid_t pid = 0;
    int in = -1, out = -1, err = -1;  // the parent's ends
    int pidfd = -1;
    QByteArray outBuffer, errBuffer, inPending;
    std::unique_ptr<QSocketNotifier> outNotifier, errNotifier, inNotifier, endNotifier;
    QTimer reapTimer;

    // Reads what is there; false at the end of the stream (the pipe is then closed).
    bool drain(int &fd, QByteArray &buffer, std::unique_ptr<QSocketNotifier> &notifier)
    {
        if (fd < 0)
            return false;
        char chunk[16384];
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n > 0) {
                buffer.append(chunk, int(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                return true;
            notifier.reset();  // end of stream or a broken pipe: nothing more comes
            closeFd(fd);
            return false;
        }
    }

    void readOut()
    {
        const int before = outBuffer.size();
        drain(out, outBuffer, outNotifier);
        if (outBuffer.size() > before)
            emit q->readyReadStandardOutput();
    }

    void readErr()
    {
        const int before = errBuffer.size();
        drain(err, errBuffer, errNotifier);
        if (errBuffer.size() > before)
            emit q->readyReadStandardError();
    }

    void flushInput()
    {
        while (in >= 0 && !inPending.isEmpty()) {
            const ssize_t n = writeWithoutSigpipe(in, inPending.constData(), size_t(inPending.size()));
            if (n > 0) {
                inPending.remove(0, int(n));
            } else if (n < 0 && errno == EAGAIN) {
                inNotifier->setEnabled(true);
                return;
            } else {
                // The child closed its input or is gone: what it did not take is lost with it.
                inPending.clear();
                inNotifier.reset();
                closeFd(in);
            }
        }
        if (inNotifier)
            inNotifier->setEnabled(false);
    }

    // Reaps the child when it has ended; true then (and finished() has been emitted).
    bool reap()
    {
        if (pid <= 0)
            return true;
        int status = 0;
        pid_t r;
        do
            r = ::waitpid(pid, &status, WNOHANG);
        while (r < 0 && errno == EINTR);
        if (r == 0)
            return false;
        // r < 0 (ECHILD) only when someone else reaped it: it is gone either way.
        const bool crashed = r < 0 || WIFSIGNALED(status);
        const int code = r < 0 ? -1 : WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status);
        pid = 0;
        endNotifier.reset();
        closeFd(pidfd);
        reapTimer.stop();
        // All the child wrote is in the pipes now; a grandchild holding them open is not waited for.
        QPointer<WorkerProcess> alive(q);
        readOut();
        if (alive)
            readErr();
        if (!alive)
            return true;
        closeStreams();
        emit q->finished(code, crashed);
        return true;
    }

    void closeStreams()
    {
        outNotifier.reset();
        errNotifier.reset();
        inNotifier.reset();
        closeFd(in);
        closeFd(out);
        closeFd(err);
        inPending.clear();
    }

    void watchEnd()
    {
        pidfd = int(::syscall(SYS_pidfd_open, pid, 0));
        if (pidfd >= 0) {
            ::fcntl(pidfd, F_SETFD, FD_CLOEXEC);
            endNotifier.reset(new QSocketNotifier(pidfd, QSocketNotifier::Read));
            QObject::connect(endNotifier.get(), &QSocketNotifier::activated, q, [this] { reap(); });
        } else {
            reapTimer.start(kReapPollMs);  // a kernel without pidfds
        }
    }
};

WorkerProcess::WorkerProcess(QObject *parent)
    : QObject(parent)
    , d(new Private(this))
{
    connect(&d->reapTimer, &QTimer::timeout, this, [this] { d->reap(); });
}

WorkerProcess::~WorkerProcess()
{
    if (d->pid > 0) {
        blockSignals(true);
        kill();
        waitForFinished(5000);
    }
    d->closeStreams();
    closeFd(d->pidfd);
}

bool WorkerProcess::isRunning() const
{
    return d->pid > 0;
}

qint64 WorkerProcess::processId() const
{
    return d->pid;
}

void WorkerProcess::start(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    if (d->pid > 0) {
        qWarning("WorkerProcess::start: a child is still running");
        return;
    }
    d->closeStreams();
    d->outBuffer.clear();
    d->errBuffer.clear();

    const auto fail = [this, &program](int error) {
        const QString reason = systemReason(program, error);
        QMetaObject::invokeMethod(this, [this, reason] { emit failedToStart(reason); }, Qt::QueuedConnection);
    };

    // [0] read, [1] write; every end is close-on-exec, so no other child inherits it.
    int pipes[3][2];
    int made = 0;
    for (; made < 3; ++made) {
        if (::pipe2(pipes[made], O_CLOEXEC) != 0)
            break;
    }
    if (made < 3) {
        const int error = errno;
        for (int i = 0; i < made; ++i) {
            ::close(pipes[i][0]);
            ::close(pipes[i][1]);
        }
        fail(error);
        return;
    }

    const QByteArray path = program.toLocal8Bit();
    std::vector<QByteArray> argStore, envStore;
    argStore.push_back(path);
    for (const QString &a : arguments)
        argStore.push_back(a.toLocal8Bit());
    for (const QString &e : environment.toStringList())
        envStore.push_back(e.toLocal8Bit());
    std::vector<char *> argv, envp;
    for (QByteArray &a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (QByteArray &e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 clears close-on-exec on the child's copy; the originals close at the exec.
    posix_spawn_file_actions_adddup2(&actions, pipes[0][0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipes[1][1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipes[2][1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

    pid_t pid = 0;
    // glibc returns the exec's failure too (the child shares our memory until it has exec'd).
    const int rc = path.contains('/') ? posix_spawn(&pid, path.constData(), &actions, &attributes, argv.data(), envp.data())
                                      : posix_spawnp(&pid, path.constData(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipes[0][0]);
    ::close(pipes[1][1]);
    ::close(pipes[2][1]);
    if (rc != 0) {
        ::close(pipes[0][1]);
        ::close(pipes[1][0]);
        ::close(pipes[2][0]);
        fail(rc);
        return;
    }

    d->pid = pid;
    d->in = pipes[0][1];
    d->out = pipes[1][0];
    d->err = pipes[2][0];
    for (int fd : {d->in, d->out, d->err})
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    d->outNotifier.reset(new QSocketNotifier(d->out, QSocketNotifier::Read));
    connect(d->outNotifier.get(), &QSocketNotifier::activated, this, [this] { d->readOut(); });
    d->errNotifier.reset(new QSocketNotifier(d->err, QSocketNotifier::Read));
    connect(d->errNotifier.get(), &QSocketNotifier::activated, this, [this] { d->readErr(); });
    d->inNotifier.reset(new QSocketNotifier(d->in, QSocketNotifier::Write));
    d->inNotifier->setEnabled(false);
    connect(d->inNotifier.get(), &QSocketNotifier::activated, this, [this] { d->flushInput(); });
    d->watchEnd();
}

void WorkerProcess::write(const QByteArray &data)
{
    if (d->pid <= 0 || d->in < 0)
        return;
    d->inPending += data;
    d->flushInput();
}

void WorkerProcess::kill()
{
    // The pid stays ours until it is reaped: no other process can be hit.
    if (d->pid > 0)
        ::kill(d->pid, SIGKILL);
}

bool WorkerProcess::waitForFinished(int ms)
{
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        if (d->reap())
            return true;
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long left = ms - ((now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000);
        if (left <= 0)
            return false;
        if (d->pidfd >= 0) {
            pollfd p = {d->pidfd, POLLIN, 0};
            ::poll(&p, 1, int(left));
        } else {
            const timespec step = {0, 1000000L * std::min<long long>(left, kReapPollMs)};
            ::nanosleep(&step, nullptr);
        }
    }
}

QByteArray WorkerProcess::readAllStandardOutput()
{
    QByteArray data;
    data.swap(d->outBuffer);
    return data;
}

QByteArray WorkerProcess::readAllStandardError()
{
    QByteArray data;
    data.swap(d->errBuffer);
    return data;
}
