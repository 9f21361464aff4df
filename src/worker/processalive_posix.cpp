#include "processalive.h"

#include <cerrno>
#include <csignal>
#include <sys/types.h>

bool processIsRunning(qint64 pid)
{
    if (pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}
