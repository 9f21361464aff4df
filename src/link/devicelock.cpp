#include "devicelock.h"

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

} // namespace

bool getmutex()
{
    std::lock_guard<std::mutex> g(s_guard);
    return deviceLock().tryLock();
}

bool releaseMutex()
{
    std::lock_guard<std::mutex> g(s_guard);
    deviceLock().unlock();
    return true;
}

std::string deviceLockLocation()
{
    std::lock_guard<std::mutex> g(s_guard);
    return deviceLock().location();
}
