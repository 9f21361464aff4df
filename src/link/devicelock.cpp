#include "devicelock.h"

#include "hidbackend.h"
#include "linkports.h"
#include "linkstate.h"

#include <memory>
#include <mutex>
#include <utility>

NamedLock::NamedLock(std::string name) : m_name(std::move(name)) {}

NamedLock::~NamedLock() { unlock(); }

bool NamedLock::validName() const
{
    return !m_name.empty() && m_name != "." && m_name != ".." && m_name.find_first_of("/\\") == std::string::npos;
}

namespace {

// The device lock is process-wide state: one lock object, guarded for the worker and the window threads.
std::mutex s_guard;

NamedLock &deviceLock()
{
    static NamedLock lock(kDeviceLockName);
    return lock;
}

std::unique_ptr<NamedLock> s_heldLink;    // --link: this process's Link, for its whole life
std::unique_ptr<NamedLock> s_openedLink;  // one-Link mode: the Link the current operation opens
std::string s_openedPort;                  // its port, while s_openedLink is held

// The Link taken is the last Link interface enumerated; an emulated Link has no port and no lock.
std::string lastEnumeratedPort()
{
    const std::vector<std::string> paths = hidBackend().enumerate(LINK_VENDOR_ID, LINK_PRODUCT_ID);
    if (paths.empty())
        return std::string();
    return linkLocationOfPath(QString::fromStdString(paths.back())).port.toStdString();
}

} // namespace

bool holdLinkLock(const std::string &name)
{
    std::lock_guard<std::mutex> g(s_guard);
    auto lock = std::make_unique<NamedLock>(name);
    if (!lock->tryLock())
        return false;
    s_heldLink = std::move(lock);
    return true;
}

bool getmutex()
{
    std::lock_guard<std::mutex> g(s_guard);
    if (s_heldLink)
        return true;
    s_openedLink.reset();
    s_openedPort.clear();
    if (!deviceLock().tryLock())
        return false;
    const std::string port = lastEnumeratedPort();
    if (port.empty())
        return true;
    auto lock = std::make_unique<NamedLock>(linkLockName(QString::fromStdString(port)).toStdString());
    if (!lock->tryLock()) {
        deviceLock().unlock();
        return false;
    }
    s_openedLink = std::move(lock);
    s_openedPort = port;
    return true;
}

bool releaseMutex()
{
    std::lock_guard<std::mutex> g(s_guard);
    if (s_heldLink)
        return true;
    s_openedLink.reset();
    s_openedPort.clear();
    deviceLock().unlock();
    return true;
}

std::string lockedLinkPort()
{
    std::lock_guard<std::mutex> g(s_guard);
    return s_openedPort;
}

std::string deviceLockLocation()
{
    std::lock_guard<std::mutex> g(s_guard);
    return deviceLock().location();
}
