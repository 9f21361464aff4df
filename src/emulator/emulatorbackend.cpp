#include "emulatorbackend.h"

#include "link/linkstate.h"
#include "linkemulator.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kReport = 65;  // report ID + 64 payload bytes
}

EmulatorBackend::~EmulatorBackend()
{
    for (Session *s : m_sessions)
        delete s;
}

std::vector<std::string> EmulatorBackend::enumerate(uint16_t vendorId, uint16_t productId)
{
    m_emulator.poll();
    if (vendorId != LINK_VENDOR_ID || productId != LINK_PRODUCT_ID || !m_emulator.interfacePresent())
        return {};
    return {m_emulator.interfaceName().toStdString()};
}

HidHandle EmulatorBackend::openPath(const char *path)
{
    m_emulator.poll();
    if (m_emulator.openFails() || !m_emulator.interfacePresent()
        || m_emulator.interfaceName().toStdString() != path)
        return nullptr;
    auto *s = new Session{m_emulator.generation(), {}, {}, 0, {}};
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sessions.insert(s);
    }
    m_emulator.trace().note(QStringLiteral("open"));
    return s;
}

EmulatorBackend::Session *EmulatorBackend::session(HidHandle h)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto *s = static_cast<Session *>(h);
    return m_sessions.count(s) ? s : nullptr;
}

int EmulatorBackend::write(HidHandle h, const uint8_t *data, size_t length)
{
    Session *s = session(h);
    if (!s || length != kReport)
        return -1;
    m_emulator.trace().sent(data + 1, kReport - 1);
    // A Link pulled out from outside stops answering in the middle of an operation, as a real one does.
    m_emulator.poll();
    // A re-enumerated or pulled-out Link no longer listens on the interface that was opened before.
    if (s->generation != m_emulator.generation())
        return -1;
    const QByteArray payload(reinterpret_cast<const char *>(data + 1), int(kReport - 1));
    if (s->dataExpected == 0) {
        s->frame = payload;
        s->data.clear();
        s->dataExpected = LinkEmulator::dataLengthFollowing(reinterpret_cast<const uint8_t *>(payload.constData()));
    } else {
        const int take = std::min(s->dataExpected, payload.size());
        s->data += payload.left(take);
        s->dataExpected -= take;
    }
    if (s->dataExpected == 0) {
        for (const QByteArray &a : m_emulator.process(reinterpret_cast<const uint8_t *>(s->frame.constData()), s->data))
            s->answers.push_back(a);
    }
    return int(length);
}

int EmulatorBackend::readTimeout(HidHandle h, uint8_t *data, size_t length, int)
{
    Session *s = session(h);
    if (!s)
        return -1;
    if (s->answers.empty())
        return 0;
    const QByteArray a = s->answers.front();
    s->answers.pop_front();
    const size_t n = std::min(length, size_t(a.size()));
    std::memcpy(data, a.constData(), n);
    m_emulator.trace().received(data, n);
    return int(n);
}

void EmulatorBackend::close(HidHandle h)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto *s = static_cast<Session *>(h);
        if (!m_sessions.erase(s))
            return;
        delete s;
    }
    m_emulator.trace().note(QStringLiteral("close"));
}
