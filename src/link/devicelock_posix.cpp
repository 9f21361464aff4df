#include "devicelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

// Opens the lock file without ever following a symlink. Only a file created here gets its mode widened (the
// umask may have narrowed it), so instances of other users can open it too; an existing file keeps its mode.
int openLockFile(const std::string &path)
{
    const int created = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (created >= 0) {
        (void)::fchmod(created, 0666);
        return created;
    }
    if (errno != EEXIST)
        return -1;
    // O_NONBLOCK: a FIFO placed there must not stall the open; it is refused below.
    return ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

} // namespace

std::string NamedLock::location() const
{
    const char *dir = std::getenv("XDG_RUNTIME_DIR");
    const std::string base = (dir && *dir) ? dir : "/tmp";
    return base + "/" + m_name;
}

bool NamedLock::tryLock()
{
    unlock();
    if (!validName())
        return false;
    const int fd = openLockFile(location());
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_handle = fd;
    return true;
}

void NamedLock::unlock()
{
    if (m_handle == kNone)
        return;
    ::close(int(m_handle));
    m_handle = kNone;
}
