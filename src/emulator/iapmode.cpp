#include "iapmode.h"

#include "link/linkcommands.h"
#include "link/linkframe.h"
#include "link/linkstate.h"

#include <algorithm>

using namespace EmulatorReplies;

namespace {
constexpr uint32_t kIapPage = 2048;
}

void IapMode::setRealTimeClock(bool on)
{
    if (m_realTime && !on)
        m_manualMs += m_elapsed.elapsed();
    m_realTime = on;
    m_elapsed.restart();
}

void IapMode::setConnected(bool connected, std::vector<HotPlugEvent> &events)
{
    if (m_connected == connected)
        return;
    m_connected = connected;
    ++m_generation;
    if (!m_arrivalPending)
        events.push_back({connected, interfaceName()});
}

QString IapMode::interfaceName() const
{
    return QString::fromLatin1(m_iap ? LINK_IAP_INTERFACE_NAME : LINK_INTERFACE_NAME);
}

void IapMode::poll(std::vector<HotPlugEvent> &events)
{
    // Transitions fall due one after the other; a long clock step runs through all of them.
    for (;;) {
        const int64_t now = nowMs();
        if (m_arrivalPending) {
            if (now < m_arrivalDueMs)
                return;
            m_arrivalPending = false;
            m_enteredMs = m_arrivalDueMs;
            m_commandSeen = false;
            if (m_connected)
                events.push_back({true, interfaceName()});
        } else if (m_iap && !m_commandSeen && now - m_enteredMs >= kIdleMs) {
            reenumerate(false, events, m_enteredMs + kIdleMs);
        } else {
            return;
        }
    }
}

void IapMode::enter(std::vector<HotPlugEvent> &events) { reenumerate(true, events, nowMs()); }

void IapMode::reenumerate(bool iap, std::vector<HotPlugEvent> &events, int64_t atMs)
{
    if (m_connected && !m_arrivalPending)
        events.push_back({false, interfaceName()});
    m_iap = iap;
    ++m_generation;
    m_arrivalPending = true;
    m_arrivalDueMs = atMs + kReenumerateMs;
}

Reports IapMode::execute(EmulatorState::FirmwarePart &firmware, const uint8_t *f, const QByteArray &data,
                         std::vector<HotPlugEvent> &events, bool *changed)
{
    const uint8_t code = f[2];
    if (code == LinkCode::resetLink) {
        // Still the boot loader: a new upgrade starts over.
        m_enteredMs = nowMs();
        m_commandSeen = false;
        return {ack()};
    }
    m_commandSeen = true;
    switch (code) {
    case LinkCode::IapErase: {
        *changed = true;
        const uint32_t bytes = std::min<uint32_t>(get16(f + 5) * kIapPage, EmulatorSizes::kFirmware);
        if (!firmware.image.empty())  // an empty image is erased already
            std::fill(firmware.image.begin(), firmware.image.begin() + bytes, 0xFF);
        firmware.end = 0;
        return {ack()};
    }
    case LinkCode::IapWriteChunk: {
        *changed = true;
        const uint32_t offset = get16(f + 3) | (uint32_t(get16(f + 7)) << 16);
        if (!put(firmware.writableImage(), offset, data))
            return {refusedAt(kRefusedStatus, offset & 0xFFFF)};
        firmware.end = std::max<uint32_t>(firmware.end, offset + uint32_t(data.size()));
        return {ack()};
    }
    case LinkCode::IapCheckSum: {
        const uint16_t total = sum(firmware.image, 0, firmware.end);
        QByteArray a = ack();
        a[3] = char(total >> 8);
        a[4] = char(total & 0xFF);
        return {a};
    }
    case LinkCode::IapWriteVersion:
        std::copy(f + 3, f + 7, m_pendingVersion.begin());
        return {ack()};
    case LinkCode::IapReadVersion: {
        QByteArray a = ack();
        std::copy(m_pendingVersion.begin(), m_pendingVersion.end(), a.begin() + 3);
        return {a};
    }
    case LinkCode::IapRun: {
        *changed = true;
        const std::array<uint8_t, 4> &v = m_pendingVersion;
        firmware.version = {v[0], v[1], uint16_t(v[2] << 8 | v[3])};
        reenumerate(false, events, nowMs());
        return {ack()};
    }
    default:
        return {answer(kRefusedStatus)};
    }
}
