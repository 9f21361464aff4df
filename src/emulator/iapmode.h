#pragma once

#include "emulatorreplies.h"
#include "emulatorstate.h"

#include <QElapsedTimer>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// An arrival (true) or removal (false) of one of the Link's interfaces.
struct HotPlugEvent
{
    bool arrived;
    QString name;
};

// The Link's USB interface, its IAP loader and the clock both run on. 0x36 answers ACK, drops the normal
// interface and, 300 ms later on the emulator clock, brings the IAP one; without an IAP command within 1.5 s
// of that arrival it re-enumerates as the normal Link. The IAP run command re-enumerates the same way with
// the new version: H = hardware byte, M = software byte 1, L = 256 × software byte 2 + software byte 3 of
// the 4 version bytes the upgrade wrote. Not thread-safe: the emulator's lock guards it.
class IapMode
{
public:
    static constexpr int kIdleMs = 1500;
    static constexpr int kReenumerateMs = 300;  // from dropping one interface to the other's arrival

    IapMode() { m_elapsed.start(); }

    // --- clock: real time plus manual steps, or manual steps only ---
    void setRealTimeClock(bool on);
    bool realTimeClock() const { return m_realTime; }
    void advance(int ms) { m_manualMs += ms; }
    int64_t nowMs() const { return m_manualMs + (m_realTime ? m_elapsed.elapsed() : 0); }

    // --- the interface ---
    void setConnected(bool connected, std::vector<HotPlugEvent> &events);
    bool connected() const { return m_connected; }
    bool iap() const { return m_iap; }
    bool present() const { return m_connected && !m_arrivalPending; }  // not in the middle of a re-enumeration
    QString interfaceName() const;
    uint64_t generation() const { return m_generation; }  // changes on every re-enumeration
    // Applies what fell due (arrivals, the idle return to the normal Link).
    void poll(std::vector<HotPlugEvent> &events);
    // 0x36 in normal mode: the Link restarts into its IAP loader.
    void enter(std::vector<HotPlugEvent> &events);

    // One command to the IAP loader; `changed` is set when the installed firmware may have changed.
    EmulatorReplies::Reports execute(EmulatorState::FirmwarePart &firmware, const uint8_t *frame, const QByteArray &data,
                                     std::vector<HotPlugEvent> &events, bool *changed);

private:
    void reenumerate(bool iap, std::vector<HotPlugEvent> &events, int64_t atMs);

    bool m_realTime = true;
    QElapsedTimer m_elapsed;
    int64_t m_manualMs = 0;

    bool m_connected = true;
    bool m_iap = false;
    bool m_commandSeen = false;
    bool m_arrivalPending = false;  // re-enumerating: no interface until m_arrivalDueMs
    int64_t m_arrivalDueMs = 0;
    int64_t m_enteredMs = 0;
    uint64_t m_generation = 1;
    std::array<uint8_t, 4> m_pendingVersion{{0, 0, 0, 0}};
};
