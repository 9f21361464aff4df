#include "linkcommands.h"

#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "linkframe.h"
#include "linkstate.h"
#include "timing.h"

#include <QDebug>

#include <algorithm>
#include <cstring>

namespace {
constexpr int kChunk = 256;

// One past the highest byte that is not 0xFF, 0 for an erased area.
uint32_t usedLength(const uint8_t *data, uint32_t length)
{
    while (length > 0 && data[length - 1] == 0xFF)
        --length;
    return length;
}

int failingPosition(const uint8_t *answer) { return int(answer[1] + 256 * answer[2]) - 1; }
} // namespace

void LinkCommands::labelFailure(const char *format, uint8_t status)
{
    reporter().labelMessage(QString::asprintf(format, status));
}

LinkCommands::Exchange LinkCommands::exchange(const uint8_t *frame, uint8_t *answer, int timeoutS, int waitMs,
                                              const char *readFailText)
{
    if (!hidOpen())
        return Exchange::OpenFailed;
    if (hidWriteData(frame, LinkFrame::kSize) != LinkFrame::kSize) {
        qDebug("hid write fail\n");
        hidClose();
        return Exchange::WriteFailed;
    }
    if (waitMs > 0)
        linkSleepMs(waitMs);
    std::memset(answer, 0, LinkFrame::kSize);
    const int got = hidReadData(answer, LinkFrame::kSize, timeoutS);
    hidClose();
    if (got != LinkFrame::kSize) {
        qDebug("%s", readFailText);
        return Exchange::ReadFailed;
    }
    return Exchange::Ok;
}

int LinkCommands::simpleCommand(const uint8_t *frame, uint8_t *answer, int timeoutS, const char *failFormat,
                                int waitMs, const char *readFailText)
{
    if (exchange(frame, answer, timeoutS, waitMs, readFailText) != Exchange::Ok)
        return 1;
    if (answer[0] == LinkCode::Ack)
        return 0;
    if (failFormat)
        labelFailure(failFormat, answer[0]);
    return 1;
}

int LinkCommands::InitProgrammer()
{
    LinkFrame f(LinkCode::InitProgrammer);
    uint8_t a[64];
    return simpleCommand(f.data(), a, 2, nullptr);
}

int LinkCommands::ExitProgrammer()
{
    LinkFrame f(LinkCode::ExitProgrammer);
    uint8_t a[64];
    return simpleCommand(f.data(), a, 2, "ExitProgFail:%02x");
}

int LinkCommands::CheckID(uint16_t &chipId)
{
    const uint16_t expected = uint16_t(g_currentMcu.nID);
    qDebug("g_currentMcu icid is 0x%02x%02x", expected >> 8, expected & 0xFF);
    if (g_bI2CMode.load() == 0) {
        chipId = expected;
        return 0;
    }
    LinkFrame f(LinkCode::CheckID);
    f.put16(3, expected);
    uint8_t a[64];
    const int rt = simpleCommand(f.data(), a, 2, "CheckIDFail:%02x");
    if (rt == 0)
        chipId = uint16_t(a[1] + 256 * a[2]);
    return rt;
}

int LinkCommands::EraseFlash()
{
    if (g_bI2CMode.load() == 0)
        return 0;
    LinkFrame f(LinkCode::EraseFlash);
    uint8_t a[64];
    return simpleCommand(f.data(), a, 1, "EraseFlashFail:%02x", 100);
}

int LinkCommands::checkSum(uint16_t start, uint16_t length, int &position)
{
    if (!hidOpen())
        return 1;
    LinkFrame f(LinkCode::checkSum);
    f.put16(3, start);
    f.put16(5, length);
    hidWriteData(f.data(), LinkFrame::kSize);  // the answer tells whether the frame arrived
    uint8_t a[64] = {};
    const int got = hidReadData(a, 64, 3);
    hidClose();
    if (got != 64)
        return 1;
    if (a[0] == LinkCode::Ack)
        return 0;
    position = failingPosition(a);
    qDebug("bin checksum1 is 0x%02x%02x", a[3], a[4]);
    qDebug("bin checksum2 is 0x%02x%02x", a[5], a[6]);
    return 1;
}

int LinkCommands::SendBinSize()
{
    LinkFrame f(LinkCode::SendBinSize);
    f.put32(5, g_nBinSize);
    uint8_t a[64];
    return simpleCommand(f.data(), a, 5, "SendBinSize fail:%02x", 0, "SendBinSize hid read fail\n");
}

int LinkCommands::GetBinSize()
{
    LinkFrame f(LinkCode::GetBinSize);
    uint8_t a[64];
    if (simpleCommand(f.data(), a, 5, "GetBinSize fail:%02x") != 0)
        return 1;
    const McuInfo *listed = findMcuByName(g_mcuList, g_currentMcu.strName);
    // The image holds 64 KiB whatever the catalogue says: a size from the Link never reaches past it.
    const uint32_t flashSize = listed ? std::min(listed->nFlashSizeKB * 1024, BIN_BUF_SIZE) : 0;
    g_nBinSize = std::min(get32(a + 5), flashSize);
    qDebug("GetBinSize %d  McuFlashSize = %d", int(g_nBinSize), int(flashSize));
    return 0;
}

int LinkCommands::EraseNVRBootLoader()
{
    LinkFrame f(LinkCode::EraseNVRBootLoader);
    f.put16(5, g_currentMcu.nBootSectors);
    uint8_t a[64];
    return simpleCommand(f.data(), a, 5, "Erase NVRBootLoader failed:%02x");
}

int LinkCommands::SendNVRBootLoaderSize()
{
    LinkFrame f(LinkCode::SendNVRBootLoaderSize);
    f.put16(5, g_nNVRBinSize);
    uint8_t a[64];
    return simpleCommand(f.data(), a, 5, "SendNVRBootLoaderSize fail:%02x", 0,
                         "SendNVRBootLoaderSize hid read fail\n");
}

int LinkCommands::GetNVRBootLoaderSize()
{
    LinkFrame f(LinkCode::GetNVRBootLoaderSize);
    uint8_t a[64];
    if (simpleCommand(f.data(), a, 5, "GetNVRBootLoaderSize fail:%02x") != 0)
        return 1;
    g_nNVRBinSize = std::min<uint32_t>(get16(a + 5), bootLoaderSizeBytes());
    return 0;
}

int LinkCommands::EraseNVR(uint16_t address, uint16_t length)
{
    LinkFrame f(LinkCode::EraseNVR);
    f.put16(3, address);
    f.put16(5, length);
    uint8_t a[64];
    return simpleCommand(f.data(), a, 5, "EraseNVRFail:%02x");
}

int LinkCommands::EraseEep()
{
    LinkFrame f(LinkCode::EraseEep);
    uint8_t a[64];
    return simpleCommand(f.data(), a, 5, "EraseEepFail:%02x");
}

int LinkCommands::getChipCheckSum()
{
    uint32_t mask = 0;
    mask |= g_bEnBin ? 0x001u : 0;
    mask |= g_bEnEE ? 0x002u : 0;
    mask |= g_bEnNVR1 ? 0x004u : 0;
    mask |= g_bEnNVR2 ? 0x008u : 0;
    mask |= g_bEnNVR3 ? 0x010u : 0;
    mask |= g_bEnBL ? 0x100u : 0;
    LinkFrame f(LinkCode::getChipCheckSum);
    f.put32(3, mask);
    uint8_t a[64];
    if (exchange(f.data(), a, 5, 0, "getChipCheckSum hid read fail\n") != Exchange::Ok)
        return 1;
    if (a[0] != LinkCode::Ack) {
        qDebug("getChipCheckSum NACK");
        labelFailure("getChipCheckSum fail:%02x", a[0]);
        return 1;
    }
    struct Area {
        bool enabled;
        uint16_t *sum;
        const char *text;
    };
    const Area areas[] = {
        {g_bEnBin, &g_nBinCheckSum, "g_nBinCheckSum = %X\n"},
        {g_bEnEE, &g_nEECheckSum, "g_nEECheckSum = %X\n"},
        {g_bEnNVR1, &g_nNVRCheckSum1, "g_nNVRCheckSum1 = %X\n"},
        {g_bEnNVR2, &g_nNVRCheckSum2, "g_nNVRCheckSum2 = %X\n"},
        {g_bEnNVR3, &g_nNVRCheckSum3, "g_nNVRCheckSum3 = %X\n"},
        {g_bEnBL, &g_nNVRBinCheckSum, "g_nNVRBinCheckSum = %X\n"},
    };
    int at = 4;
    for (const Area &area : areas) {
        if (area.enabled) {
            *area.sum = get16(a + at);
            qDebug(area.text, *area.sum);
        }
        at += 2;
    }
    return 0;
}

int LinkCommands::WriteToNvrInfomation()
{
    LinkFrame f(LinkCode::WriteToNvrInfomation);
    f.bytes[3] = uint8_t(g_currentMcu.nBootSectors);
    f.bytes[4] = uint8_t(g_currentMcu.nNvr2Page);
    f.bytes[5] = uint8_t(g_currentMcu.nNvr2Sectors);
    f.bytes[6] = uint8_t(g_currentMcu.nNvr3Page);
    f.bytes[7] = uint8_t(g_currentMcu.nNvr3Sectors);
    f.bytes[8] = uint8_t(g_currentMcu.nFlashSizeKB);
    f.bytes[9] = g_bI2CMode.load();
    uint8_t a[64];
    return simpleCommand(f.data(), a, 5, "WriteToNvrInfomation fail:%02x");
}

int LinkCommands::GetFwVersion(uint16_t &H, uint16_t &M, uint16_t &L)
{
    H = M = L = 0;
    LinkFrame f(LinkCode::GetFwVersion);
    uint8_t a[64];
    const int rt = simpleCommand(f.data(), a, 1, nullptr);
    if (rt == 0) {
        H = uint16_t(256 * a[1] + a[2]);
        M = uint16_t(256 * a[3] + a[4]);
        L = uint16_t(256 * a[5] + a[6]);
    }
    reporter().firmwareVersion(H, M, L);
    return rt;
}

int LinkCommands::GetFwVersion()
{
    uint16_t H, M, L;
    return GetFwVersion(H, M, L);
}

int LinkCommands::blockWrite(int &position, uint8_t code, const uint8_t *source, int total, uint16_t base,
                             int pauseMs, int timeoutS, bool withProgress)
{
    if (!hidOpen())
        return 1;
    int rt = 0;
    uint8_t block[64 + kChunk];
    for (int offset = 0; offset < total;) {
        const int chunk = std::min(total - offset, kChunk);
        LinkFrame f(code);
        f.put16(3, uint16_t(base + offset));
        f.put16(5, uint16_t(chunk));
        std::memcpy(block, f.bytes, 64);
        std::memcpy(block + 64, source + offset, chunk);
        if (hidWriteData(block, 64 + chunk) != 64 + chunk) {
            rt = 1;
            break;
        }
        linkSleepMs(pauseMs);
        uint8_t a[64] = {};
        if (hidReadData(a, 64, timeoutS) != 64) {
            rt = 1;
            break;
        }
        if (a[0] != LinkCode::Ack) {
            position = failingPosition(a);
            rt = 1;
            break;
        }
        offset += chunk;
        if (withProgress)
            reporter().progress(offset * 100 / total);
    }
    hidClose();
    if (withProgress)
        reporter().progress(0);
    return rt;
}

int LinkCommands::WriteToFlash(int &position, uint8_t code)
{
    const int total = int(std::min(g_nBinSize, BIN_BUF_SIZE));
    qDebug("size = %d\r\n", int(g_nBinSize));
    return blockWrite(position, code, g_ucBinBuf, total, 0, 100, 10, true);
}

int LinkCommands::WriteToNVRBootLoader(int &position, uint8_t code)
{
    const int total = int(std::min(g_nNVRBinSize, NVR_BIN_BUF_SIZE));
    qDebug("nvr size = %d\r\n", int(g_nNVRBinSize));
    return blockWrite(position, code, g_ucNVRBinBuf, total, 0, 50, 3, true);
}

int LinkCommands::WriteToNVR(int &position, uint8_t code, uint16_t address, int length, const uint8_t *buffer)
{
    qDebug("write nvr size=%ld", long(length));
    const int total = std::min(length, int(NVR_BUF_SIZE));
    if (total <= 0)
        return 1;
    return blockWrite(position, code, buffer, total, address, 20, 3, false);
}

int LinkCommands::WriteToEeprom(int &position, uint8_t code)
{
    return blockWrite(position, code, g_ucEEBuf, int(eepromSizeBytes()), 0, 20, 3, false);
}

int LinkCommands::blockRead(int &position, uint8_t code, uint8_t *destination, int total, uint16_t base,
                            int timeoutS, bool withProgress, const ReadTexts &texts)
{
    if (!hidOpen())
        return 1;
    if (withProgress)
        reporter().progress(0);
    int rt = 0;
    for (int offset = 0; offset < total;) {
        const int chunk = std::min(total - offset, kChunk);
        LinkFrame f(code);
        f.put16(3, uint16_t(base + offset));
        f.put16(5, uint16_t(chunk));
        if (hidWriteData(f.data(), 64) != 64) {
            qDebug("%s", texts.writeError);
            rt = -2;
            break;
        }
        uint8_t data[kChunk];
        if (hidReadData(data, chunk, timeoutS) != chunk) {
            qDebug("%s", texts.readError);
            position = offset;
            rt = -1;
            break;
        }
        std::memcpy(destination + offset, data, chunk);
        offset += chunk;
        if (texts.afterChunk)
            qDebug(texts.afterChunk, offset);
        if (withProgress)
            reporter().progress(offset * 100 / total);
    }
    hidClose();
    if (withProgress)
        reporter().progress(0);
    return rt;
}

int LinkCommands::ReadFromChipFlash(int &position, uint8_t code, int total)
{
    std::memset(g_ucBinBuf, 0xFF, BIN_BUF_SIZE);
    if (total <= 0)
        return -1;
    total = std::min(total, int(BIN_BUF_SIZE));
    qDebug("read bin size = %d", total);
    const int rt = blockRead(position, code, g_ucBinBuf, total, 0, 5, true,
                             {"hidWriteData error!", "hidReadData error!", nullptr});
    if (rt != 0)
        return rt;
    g_nBinSize = usedLength(g_ucBinBuf, BIN_BUF_SIZE);
    qDebug("g_nBinSize size = %d", int(g_nBinSize));
    return 0;
}

int LinkCommands::ReadFromNVRBootLoader(int &position, uint8_t code, int total)
{
    std::memset(g_ucNVRBinBuf, 0xFF, NVR_BIN_BUF_SIZE);
    total = std::min(total, int(NVR_BIN_BUF_SIZE));
    qDebug("read size = %d", total);
    const int rt = blockRead(position, code, g_ucNVRBinBuf, total, 0, 2, true,
                             {"hidWriteData error!", "hidReadData error!", "nAdr size = %d"});
    if (rt != 0)
        return rt;
    g_nNVRBinSize = usedLength(g_ucNVRBinBuf, bootLoaderSizeBytes());
    qDebug("g_nNVRBinSize size = %d", int(g_nNVRBinSize));
    return 0;
}

int LinkCommands::ReadFromNVR(int &position, uint8_t code, uint16_t address, int length, uint8_t *buffer)
{
    std::memset(buffer, 0xFF, NVR_BUF_SIZE);
    const int total = std::min(length, int(NVR_BUF_SIZE));
    qDebug("read nvr size = %d", total);
    return blockRead(position, code, buffer, total, address, 2, false,
                     {"hidWriteData error!", "hidReadData error!", "read nvr nAdr size = %d"});
}

int LinkCommands::ReadFromEeprom(int &position, uint8_t code)
{
    const int total = int(eepromSizeBytes());
    if (total <= 0)
        return 1;
    return blockRead(position, code, g_ucEEBuf, total, 0, 2, false,
                     {"hidWriteData USB connect failed!", "hidReadData USB connect failed!", nullptr});
}

int LinkCommands::ReadErrorStatus(uint8_t &code)
{
    if (!hidOpen())
        return 1;
    uint8_t a[64] = {};
    const int got = hidReadData(a, 64, 1);
    hidClose();
    if (got != 64) {
        qDebug("hid read fail,do not have fail msg\n");
        return 1;
    }
    qDebug("read USB  succeed!");
    if (a[0] != 'W')
        return 1;
    code = a[1];
    return 0;
}
