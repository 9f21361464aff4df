#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The file operations the emulator's state folder needs, one implementation per platform
// (statefolderio_posix.cpp, statefolderio_win.cpp). None of them follows a symlink: a state folder holding a
// link where a state or lock file belongs is refused, never written through.

// One holder of an exclusive advisory lock on a lock file (flock on POSIX, LockFileEx on Windows). The file
// itself means nothing: a left-over lock file never blocks anyone, and the system drops the lock when the
// holder's process ends, however it ends. Two holders exclude each other also within one process.
class FolderLock
{
public:
    explicit FolderLock(const QString &path) : m_path(path) {}
    ~FolderLock() { unlock(); }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Takes the lock without waiting (a hold of this holder's own is dropped first). False when another
    // holder has it (`error` empty) or when the lock file cannot be used (`error` says why).
    bool tryLock(QString *error);
    // Tries for up to `waitMs`, sleeping between tries.
    bool lock(int waitMs, QString *error);
    void unlock();
    bool locked() const { return m_handle != kNone; }
    const QString &path() const { return m_path; }

private:
    static constexpr intptr_t kNone = -1;
    QString m_path;
    intptr_t m_handle = kNone;
};

// Replaces `path` with a file holding `bytes`: written to a new file beside it, flushed to the disk, then
// renamed over it, so a crash leaves either the old or the new file, whole. A symlink at `path` is itself
// replaced. False with the reason; the old file is then untouched.
bool replaceFileAtomically(const QString &path, const QByteArray &bytes, QString *error);

// The file a path named when it was last read, kept open: while it is held its identity cannot pass to
// another file, so a path that still names it (a cheap look, no opening) names a file nobody replaced. Only
// for files that are replaced whole by rename, never written in place.
class HeldFile
{
public:
    HeldFile() = default;
    ~HeldFile() { release(); }
    HeldFile(const HeldFile &) = delete;
    HeldFile &operator=(const HeldFile &) = delete;

    // Holds the file `path` names now; false (holding nothing) where it cannot, or where the system cannot
    // tell it cheaply: the file must then be read every time.
    bool hold(const QString &path);
    // Whether `path` still names the held file.
    bool stillAt(const QString &path) const;
    void release();

private:
    static constexpr intptr_t kNone = -1;
    intptr_t m_handle = kNone;
    uint64_t m_device = 0;
    uint64_t m_identity = 0;
};

enum class StateRead { Read, Missing, Refused };
// Reads `path` when it is a regular file of at most `maxSize` bytes. A symlink, FIFO, device or folder is
// Refused (with `error`) without being opened for reading or waited on. With `head` of 0 or more, only the
// first `head` bytes are read (all of a shorter file): enough to look at a header.
StateRead readRegularFile(const QString &path, qint64 maxSize, QByteArray *bytes, QString *error, qint64 head = -1);
