#include "hidconnection.h"

#include "devicelock.h"
#include "linkports.h"
#include "linkstate.h"

#include <QDebug>

#include <algorithm>
#include <cstring>

namespace {
LinkReporter s_silent;
constexpr size_t kPathBufferSize = 260;
}

// Of several interfaces the last one is the Link's; the others are never opened, so none leaks. While an
// operation holds the lock of one Link, only that Link is opened: one plugged in later enumerates last but
// may belong to another program.
std::string HidConnection::pathToOpen(const std::vector<std::string> &paths)
{
    const std::string port = lockedLinkPort();
    if (port.empty())
        return paths.empty() ? std::string() : paths.back();
    for (auto it = paths.rbegin(); it != paths.rend(); ++it)
        if (linkLocationOfPath(QString::fromStdString(*it)).port.toStdString() == port)
            return *it;
    return std::string();
}

HidConnection::HidConnection(LinkReporter *reporter)
    : m_reporter(reporter ? reporter : &s_silent)
{
}

HidConnection::~HidConnection() { hidClose(); }

void HidConnection::setReporter(LinkReporter *reporter) { m_reporter = reporter ? reporter : &s_silent; }

bool HidConnection::hidOpen()
{
    hidClose();
    const std::string chosen = pathToOpen(hidBackend().enumerate(LINK_VENDOR_ID, LINK_PRODUCT_ID));
    if (!chosen.empty()) {
        char path[kPathBufferSize] = {};
        std::strncpy(path, chosen.c_str(), kPathBufferSize - 1);
        m_dev = hidBackend().openPath(path);
    }
    m_linkMissing = m_dev == nullptr;
    if (m_dev) {
        qDebug() << "MI1 open ok\n";
        return true;
    }
    qDebug() << "MI1 open fail\n";
    return false;
}

void HidConnection::hidClose()
{
    if (m_dev) {
        hidBackend().close(m_dev);
        m_dev = nullptr;
    }
}

int HidConnection::hidWriteData(const uint8_t *data, int length)
{
    if (length <= 0)
        return 0;
    uint8_t report[kPayload + 1];
    int sent = 0;
    while (sent < length) {
        const int piece = std::min(length - sent, kPayload);
        std::memset(report, kFill, sizeof report);
        report[0] = 0x00;  // the Link uses no numbered reports
        std::memcpy(report + 1, data + sent, piece);
        if (hidBackend().write(m_dev, report, sizeof report) != static_cast<int>(sizeof report))
            return -1;
        sent += piece;
    }
    return sent;
}

int HidConnection::hidReadData(uint8_t *buffer, int length, int seconds)
{
    return hidReadDataMs(buffer, length, seconds * 1000);
}

int HidConnection::hidReadDataMs(uint8_t *buffer, int length, int milliseconds)
{
    if (length <= 0)
        return 0;
    uint8_t report[kPayload];
    int stored = 0;
    while (stored < length) {
        if (hidBackend().readTimeout(m_dev, report, sizeof report, milliseconds) != kPayload)
            return -1;
        if (std::all_of(report, report + kPayload, [](uint8_t b) { return b == kNoResponse; })) {
            m_reporter->debugMessage(QStringLiteral("IIC ack no response!"));
            return kNoResponseResult;
        }
        const int piece = std::min(length - stored, kPayload);
        std::memcpy(buffer + stored, report, piece);
        stored += piece;
    }
    return stored;
}
