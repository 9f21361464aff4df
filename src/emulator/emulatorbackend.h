#pragma once

#include "link/hidbackend.h"
#include "linkemulator.h"

#include <QByteArray>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>

// HID backend answering from a LinkEmulator in the same process. The one interface it enumerates is
// named like the Windows interface ("USB#VID_1122&PID_3344#KVO_LINK0000", "...#KVO_LINK_IAP" in IAP
// mode). Reads return at once (0) when no answer is queued. Every report goes to the emulator's trace.
class EmulatorBackend : public HidBackend
{
public:
    explicit EmulatorBackend(LinkEmulator &emulator) : m_emulator(emulator), m_lock(emulator) {}
    ~EmulatorBackend() override;

    int init() override { return 0; }
    int exit() override { return 0; }
    std::vector<std::string> enumerate(uint16_t vendorId, uint16_t productId) override;
    HidHandle openPath(const char *path) override;
    int write(HidHandle h, const uint8_t *data, size_t length) override;
    int readTimeout(HidHandle h, uint8_t *data, size_t length, int milliseconds) override;
    void close(HidHandle h) override;
    // The emulated Link's own lock (LinkEmulator::LinkLock), never the machine-wide one; releasing it
    // ends an operation, which saves what it changed.
    bool lock() override { return m_lock.tryLock(); }
    void unlock() override { m_lock.unlock(); }

    LinkEmulator &emulator() { return m_emulator; }

private:
    struct Session {
        uint64_t generation;
        QByteArray frame;      // command frame being assembled
        QByteArray data;       // data that follows it
        int dataExpected = 0;
        std::deque<QByteArray> answers;
    };
    Session *session(HidHandle h);

    LinkEmulator &m_emulator;
    LinkEmulator::LinkLock m_lock;
    std::mutex m_mutex;
    std::set<Session *> m_sessions;
};
