#include "processrun.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <vector>

int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

namespace {
// NUL-terminated pointer array over byte strings that outlive it.
std::vector<char *> pointers(std::vector<QByteArray> &strings)
{
    std::vector<char *> p;
    for (QByteArray &s : strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

std::vector<QByteArray> local8Bit(const QStringList &list)
{
    std::vector<QByteArray> out;
    for (const QString &s : list)
        out.push_back(s.toLocal8Bit());
    return out;
}
}

ProcessRun runProcess(const QStringList &argv, const QStringList &environment, int timeoutMs, bool holdStdin)
{
    ProcessRun run;
    std::vector<QByteArray> args = local8Bit(argv);
    std::vector<QByteArray> env = local8Bit(environment);
    std::vector<char *> argp = pointers(args);
    std::vector<char *> envp = pointers(env);

    int fds[2];
    int input[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) != 0)
        return run;
    if (holdStdin && pipe2(input, O_CLOEXEC) != 0) {
        close(fds[0]);
        close(fds[1]);
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (holdStdin)
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    pid_t pid = 0;
    run.startNs = monotonicNs();
    const int spawned = posix_spawnp(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (holdStdin)
        close(input[0]);
    if (spawned != 0) {
        close(fds[0]);
        if (holdStdin)
            close(input[1]);
        return run;
    }

    bool timedOut = false;
    const int64_t deadline = run.startNs + int64_t(timeoutMs) * 1000000;
    char buf[4096];
    for (;;) {
        const int64_t left = (deadline - monotonicNs()) / 1000000;
        pollfd p{fds[0], POLLIN, 0};
        if (left <= 0 || poll(&p, 1, int(left)) == 0) {
            timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        run.out.append(buf, int(n));
    }
    close(fds[0]);

    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.wallNs = monotonicNs() - run.startNs;
    if (holdStdin)
        close(input[1]);
    run.maxRssKb = usage.ru_maxrss;
    run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
                + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    run.ok = !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}
