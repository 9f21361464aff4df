#include "statefolderio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemError(const QString &path) { return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))); }

int openNoFollow(const QString &path, int flags)
{
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool isRegular(int fd, struct stat *st)
{
    return ::fstat(fd, st) == 0 && S_ISREG(st->st_mode);
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        p += n;
        left -= size_t(n);
    }
    return true;
}
} // namespace

bool FolderLock::tryLock(QString *error)
{
    unlock();
    error->clear();
    const int fd = openNoFollow(m_path, O_RDWR | O_CREAT);
    if (fd < 0) {
        *error = errno == ELOOP ? QStringLiteral("%1 is a symlink, not a lock file").arg(m_path) : systemError(m_path);
        return false;
    }
    struct stat st;
    if (!isRegular(fd, &st)) {
        ::close(fd);
        *error = QStringLiteral("%1 is not a regular file").arg(m_path);
        return false;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        if (errno != EWOULDBLOCK)
            *error = systemError(m_path);
        ::close(fd);
        return false;
    }
    m_handle = fd;
    return true;
}

void FolderLock::unlock()
{
    if (m_handle != kNone) {
        ::close(int(m_handle));
        m_handle = kNone;
    }
}

bool replaceFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo target(path);
    QByteArray pattern = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName())
                         + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        *error = systemError(target.absolutePath());
        return false;
    }
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fchmod(fd, 0644);  // mkstemp makes it private; the state was readable by all before
    const bool written = writeAll(fd, bytes) && ::fdatasync(fd) == 0;
    const int savedErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(pattern.constData(), QFile::encodeName(path).constData()) != 0) {
        if (!written)
            errno = savedErrno;
        *error = systemError(path);
        ::unlink(pattern.constData());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool HeldFile::hold(const QString &path)
{
    release();
    const int fd = openNoFollow(path, O_RDONLY);
    struct stat st;
    if (fd < 0)
        return false;
    if (!isRegular(fd, &st)) {
        ::close(fd);
        return false;
    }
    m_handle = fd;
    m_device = uint64_t(st.st_dev);
    m_identity = uint64_t(st.st_ino);
    return true;
}

bool HeldFile::stillAt(const QString &path) const
{
    struct stat st;
    return m_handle != kNone && ::lstat(QFile::encodeName(path).constData(), &st) == 0 && uint64_t(st.st_dev) == m_device
           && uint64_t(st.st_ino) == m_identity;
}

void HeldFile::release()
{
    if (m_handle != kNone) {
        ::close(int(m_handle));
        m_handle = kNone;
    }
}

StateRead readRegularFile(const QString &path, qint64 maxSize, QByteArray *bytes, QString *error, qint64 head)
{
    const int fd = openNoFollow(path, O_RDONLY);
    if (fd < 0) {
        if (errno == ENOENT)
            return StateRead::Missing;
        *error = errno == ELOOP ? QStringLiteral("%1 is a symlink").arg(path) : systemError(path);
        return StateRead::Refused;
    }
    struct stat st;
    if (!isRegular(fd, &st) || st.st_size > maxSize) {
        ::close(fd);
        *error = S_ISREG(st.st_mode) ? QStringLiteral("%1 is larger than a state file can be").arg(path)
                                     : QStringLiteral("%1 is not a regular file").arg(path);
        return StateRead::Refused;
    }
    const qint64 wanted = head >= 0 ? std::min<qint64>(head, st.st_size) : st.st_size;
    bytes->resize(int(wanted));
    qint64 at = 0;
    while (at < wanted) {
        const ssize_t n = ::read(fd, bytes->data() + at, size_t(wanted - at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;  // shorter than it said
            break;
        }
        at += n;
    }
    const int readErrno = errno;
    ::close(fd);
    if (at != wanted) {
        errno = readErrno;
        *error = systemError(path);
        return StateRead::Refused;
    }
    return StateRead::Read;
}
