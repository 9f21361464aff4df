#include "devicelock.h"

#include <windows.h>

std::string NamedLock::location() const { return m_name; }

bool NamedLock::tryLock()
{
    unlock();
    if (!validName())
        return false;
    const int length = MultiByteToWideChar(CP_UTF8, 0, m_name.c_str(), int(m_name.size()), nullptr, 0);
    if (length <= 0)
        return false;
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, m_name.c_str(), int(m_name.size()), &wide[0], length);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, wide.c_str());
    if (!mutex)
        return false;
    // The mutex existing already means another holder has it open; ownership was not granted.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(mutex);
    return true;
}

void NamedLock::unlock()
{
    if (m_handle == kNone)
        return;
    HANDLE mutex = reinterpret_cast<HANDLE>(m_handle);
    // Fails harmlessly when another thread releases: closing the last handle ends the mutex either way.
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    m_handle = kNone;
}
