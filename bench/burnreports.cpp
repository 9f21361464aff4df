#include "burnreports.h"

namespace {
constexpr uint32_t kChunk = 256;
constexpr uint32_t kReport = 64;
constexpr int kFlashChunkWaitMs = 100;
constexpr int kBootLoaderChunkWaitMs = 50;
constexpr int kEraseFlashWaitMs = 100;

uint32_t chunks(uint32_t bytes)
{
    return (bytes + kChunk - 1) / kChunk;
}
}

ReportCount minimumReports(const QVector<BurnStep> &steps)
{
    ReportCount n;
    for (const BurnStep &s : steps) {
        if (s.kind == BurnStep::Simple) {
            n.sent += 1;
            n.received += 1;
            continue;
        }
        for (uint32_t done = 0; done < s.bytes; done += kChunk) {
            const uint32_t chunk = s.bytes - done < kChunk ? s.bytes - done : kChunk;
            const int dataReports = int((chunk + kReport - 1) / kReport);
            if (s.kind == BurnStep::BlockWrite) {
                n.sent += 1 + dataReports;
                n.received += 1;
            } else {
                n.sent += 1;
                n.received += dataReports;
            }
        }
    }
    return n;
}

QVector<BurnStep> flashAndBootLoaderBurn(uint32_t flashBytes, uint32_t bootLoaderBytes, uint32_t sectorBytes)
{
    return {
        {QStringLiteral("WriteToNvrInfomation"), BurnStep::Simple, 0},
        {QStringLiteral("InitProgrammer"), BurnStep::Simple, 0},
        {QStringLiteral("CheckID"), BurnStep::Simple, 0},
        {QStringLiteral("ReadFromNVR (IDCODE sector)"), BurnStep::BlockRead, sectorBytes},
        {QStringLiteral("EraseNVRBootLoader"), BurnStep::Simple, 0},
        {QStringLiteral("WriteToNVRBootLoader"), BurnStep::BlockWrite, bootLoaderBytes},
        {QStringLiteral("EraseFlash"), BurnStep::Simple, 0},
        {QStringLiteral("WriteToFlash"), BurnStep::BlockWrite, flashBytes},
        {QStringLiteral("checkSum"), BurnStep::Simple, 0},
        {QStringLiteral("ExitProgrammer"), BurnStep::Simple, 0},
    };
}

int linkWaitMs(uint32_t flashBytes, uint32_t bootLoaderBytes)
{
    return kEraseFlashWaitMs + int(chunks(flashBytes)) * kFlashChunkWaitMs
           + int(chunks(bootLoaderBytes)) * kBootLoaderChunkWaitMs;
}
