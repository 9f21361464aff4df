#pragma once

#include "hidbackend.h"
#include "linkreporter.h"

#include <cstdint>
#include <string>
#include <vector>

// The worker's connection to the Link: one interface opened per command, blocks sent as trains of
// 65-byte output reports and received as 64-byte input reports.
class HidConnection
{
public:
    static constexpr int kPayload = 64;
    static constexpr uint8_t kFill = 0xFF;
    static constexpr uint8_t kNoResponse = 0x15;
    static constexpr int kNoResponseResult = -5;

    explicit HidConnection(LinkReporter *reporter = nullptr);
    ~HidConnection();
    HidConnection(const HidConnection &) = delete;
    HidConnection &operator=(const HidConnection &) = delete;

    bool hidOpen();
    void hidClose();
    bool isOpen() const { return m_dev != nullptr; }
    // The last hidOpen() found no Link at all (pulled out, or in the middle of a re-enumeration).
    bool linkMissing() const { return m_linkMissing; }

    // Payload bytes sent (== length on success), 0 for length <= 0, -1 when a report failed.
    int hidWriteData(const uint8_t *data, int length);
    // Bytes stored (== length on success), 0 for length <= 0, -1 when a report did not come whole,
    // -5 for the Link's no-response report.
    int hidReadData(uint8_t *buffer, int length, int seconds);
    // Same, with the per-report time-out in milliseconds.
    int hidReadDataMs(uint8_t *buffer, int length, int milliseconds);

    LinkReporter &reporter() { return *m_reporter; }
    void setReporter(LinkReporter *reporter);

private:
    static std::string pathToOpen(const std::vector<std::string> &paths);

    HidHandle m_dev = nullptr;
    bool m_linkMissing = false;
    LinkReporter *m_reporter;
};
