#pragma once

#include <cstdint>
#include <string>

// Cross-process locks by name. Taking one never waits: the caller decides whether to try again.
// On Windows a named mutex that is held while it exists (creating one that exists fails with error 183);
// elsewhere an exclusive flock on a file of that name in $XDG_RUNTIME_DIR (else /tmp). The system drops
// either when the process ends, so a crashed process never leaves a stale lock.
// Two NamedLock objects of one name exclude each other even within one process.
class NamedLock
{
public:
    // A name is one path component: not empty, no '/' or '\\', not "." or "..".
    explicit NamedLock(std::string name);
    ~NamedLock();
    NamedLock(const NamedLock &) = delete;
    NamedLock &operator=(const NamedLock &) = delete;

    // True when this object now holds the lock; one it already held is dropped first.
    // False for another holder, an invalid name, or a lock file that is not a regular file of our own making
    // or choosing (a symlink, a folder, a FIFO).
    bool tryLock();
    void unlock();
    bool isLocked() const { return m_handle != kNone; }

    const std::string &name() const { return m_name; }
    // Where the lock lives: the lock file's path, or the mutex name on Windows.
    std::string location() const;

private:
    static constexpr std::intptr_t kNone = -1;
    bool validName() const;

    std::string m_name;
    std::intptr_t m_handle = kNone;  // a file descriptor or a HANDLE
};

// The device lock: one program instance talks to the Link at a time. Safe from any thread.
constexpr const char *kDeviceLockName = "kvo_usb_mutex_1234_4321";
// True when this process now holds it, and with it the lock of the Link an operation opens (the last one
// enumerated), so a one-Link program never collides with a gang run. A lock already held is dropped first.
bool getmutex();
// Releases the lock if held; always true.
bool releaseMutex();
// The port of the Link whose lock getmutex took, empty when it took none (no port, an emulated Link, not
// held). While it is set, the transport opens the Link at that port only, never one that came later.
std::string lockedLinkPort();
// A run for one chosen Link (--link, a gang worker) drives that Link only: it holds the Link's own lock
// (`name`, see linkLockName) for the rest of the process instead of the machine-wide one, and getmutex /
// releaseMutex then take and drop nothing. False when another process holds that Link.
bool holdLinkLock(const std::string &name);
// The device lock's location, for diagnostics and tests.
std::string deviceLockLocation();
