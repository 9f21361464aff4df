#include "devicelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>

namespace {

constexpr const char *kLockName = "kvo_usb_mutex_1234_4321";

int s_lockFd = -1;
std::mutex s_guard;

std::string lockPath()
{
    const char *dir = std::getenv("XDG_RUNTIME_DIR");
    std::string base = (dir && *dir) ? dir : "/tmp";
    return base + "/" + kLockName;
}

void dropLocked()
{
    if (s_lockFd >= 0) {
        ::close(s_lockFd);
        s_lockFd = -1;
    }
}

} // namespace

const char *deviceLockPath()
{
    static const std::string path = lockPath();
    return path.c_str();
}

bool getmutex()
{
    std::lock_guard<std::mutex> g(s_guard);
    dropLocked();
    const int fd = ::open(deviceLockPath(), O_CREAT | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    // The umask may have narrowed the mode; other users' instances must be able to open the file too.
    (void)::fchmod(fd, 0666);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    s_lockFd = fd;
    return true;
}

bool releaseMutex()
{
    std::lock_guard<std::mutex> g(s_guard);
    dropLocked();
    return true;
}
