#pragma once

#include "hidbackend.h"

#include <QString>

#include <functional>

// A HID backend that shows only the interfaces at one USB port, so a command that opens "the Link" opens
// the Link chosen by --link, also after it re-enumerated (IAP mode, a restart). Everything else is passed
// to the backend below.
class PortFilterBackend : public HidBackend
{
public:
    using Locator = std::function<QString(const std::string &path)>;  // the port of an interface path

    PortFilterBackend(HidBackend &inner, QString port, Locator locator);

    int init() override { return m_inner.init(); }
    int exit() override { return m_inner.exit(); }
    std::vector<std::string> enumerate(uint16_t vendorId, uint16_t productId) override;
    HidHandle openPath(const char *path) override { return m_inner.openPath(path); }
    int write(HidHandle h, const uint8_t *data, size_t length) override { return m_inner.write(h, data, length); }
    int readTimeout(HidHandle h, uint8_t *data, size_t length, int milliseconds) override
    {
        return m_inner.readTimeout(h, data, length, milliseconds);
    }
    void close(HidHandle h) override { m_inner.close(h); }
    bool lock() override { return m_inner.lock(); }
    void unlock() override { m_inner.unlock(); }

private:
    HidBackend &m_inner;
    QString m_port;
    Locator m_locator;
};
