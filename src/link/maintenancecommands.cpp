#include "linkcommands.h"

#include "chip/images.h"
#include "firmwarefile.h"
#include "linkframe.h"
#include "linkstate.h"
#include "timing.h"

#include <QDebug>

#include <algorithm>
#include <cstring>

namespace {
constexpr int kChunk = 256;
constexpr int kIapPolls = 21;
constexpr int kIapPollMs = 100;
constexpr int kExternalBlocks = 1024;
constexpr int kBlocksPerFrame = 32;

// Two decimal digits of `text` from `at` as one number; 0 where a character is missing.
uint8_t digitPair(const QString &text, int at)
{
    auto digit = [&](int i) { return i < text.size() ? text.at(i).unicode() - '0' : 0; };
    return uint8_t(10 * digit(at) + digit(at + 1));
}
} // namespace

// Sends the IAP entry command and waits up to 2 s for the Link to come back as its IAP interface. Goes on
// whether or not it came: a Link that is slow to arrive may still take the transfer.
void LinkCommands::iapEnter()
{
    LinkFrame enter(LinkCode::resetLink);
    if (hidWriteData(enter.data(), 64) == 64)
        qDebug("reset  write succeed\n");
    else
        qDebug("reset  write fail\n");
    hidClose();

    reporter().labelMessage(QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "upgrade step1/2")));
    g_bIapArrived = 0;
    bool arrived = false;
    int sleeps = 0;
    for (int poll = 0; poll < kIapPolls && !arrived; ++poll) {
        if (poll > 0) {
            linkSleepMs(kIapPollMs);
            ++sleeps;
        }
        if (poll < 10)
            reporter().progress(poll * 10);
        arrived = g_bIapArrived.load() != 0;
    }
    if (!arrived)
        qDebug("time out");
    qDebug("nTimerOut=%d\n", arrived ? sleeps * 200 : kIapPolls * 200);
}

// Erases the pages the new firmware needs. 2 when the frame was not sent.
int LinkCommands::iapErase(int size)
{
    uint8_t a[64];
    LinkFrame erase(LinkCode::IapErase);
    erase.put16(5, uint32_t(((size - 1) >> 11) + 1));
    if (hidWriteData(erase.data(), 64) != 64) {
        qDebug("hid write fail\n");
        return 2;
    }
    std::memset(a, 0, sizeof a);
    const int got = hidReadData(a, 64, 10);
    if (got != 64) {
        qDebug("0x33 hid read fail,nRtBytes=%d\n", got);
        return 1;
    }
    if (a[0] != LinkCode::Ack) {
        labelFailure("updata EraseFlashFail:%02x", a[0]);
        return 1;
    }
    reporter().labelMessage(QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "erase flash")));
    reporter().progress(100);
    return 0;
}

// The firmware in chunks of 256 bytes; position = the failing position when the Link refuses one.
int LinkCommands::iapWriteChunks(int size, int &position)
{
    qDebug("size = %d\r\n", size);
    reporter().labelMessage(QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "upgrade step2/2 updating")));
    uint8_t a[64];
    uint8_t block[64 + kChunk];
    for (int offset = 0; offset < size;) {
        const int chunk = std::min(size - offset, kChunk);
        LinkFrame f(LinkCode::IapWriteChunk);
        f.put16(3, uint32_t(offset) & 0xFFFF);
        f.put16(5, uint32_t(chunk));
        f.put16(7, uint32_t(offset) >> 16);
        std::memcpy(block, f.bytes, 64);
        std::memcpy(block + 64, g_ucAppBinBuf + offset, chunk);
        if (hidWriteData(block, 64 + chunk) != 64 + chunk)
            return 1;
        std::memset(a, 0, sizeof a);
        if (hidReadData(a, 64, 3) != 64)
            return 1;
        if (a[0] != LinkCode::Ack) {
            position = int(a[1] + 256 * a[2]) - 1;
            qDebug("hid read data error");
            return 1;
        }
        offset += chunk;
        reporter().progress(int(qint64(offset) * 100 / size));
    }
    reporter().progress(0);
    return 0;
}

// The Link's sum of what it received against ours (g_nAppBinCheckSum).
int LinkCommands::iapCheckSum(int size)
{
    uint8_t a[64];
    LinkFrame sum(LinkCode::IapCheckSum);
    if (hidWriteData(sum.data(), 64) != 64) {
        qDebug("hid write fail\n");
        return 1;
    }
    std::memset(a, 0, sizeof a);
    const int gotSum = hidReadData(a, 64, 5);
    g_nAppBinCheckSum = sum16(g_ucAppBinBuf, size_t(size));
    const int linkSum = 256 * a[3] + a[4];
    qDebug("g_nAppBinSize = %d", size);
    qDebug("Appcheck sum = %d", g_nAppBinCheckSum);
    qDebug("burner check sum = %d", linkSum);
    if (gotSum != 64) {
        qDebug("hid read fail\n");
        return 1;
    }
    if (a[0] != LinkCode::Ack || linkSum != g_nAppBinCheckSum) {
        labelFailure("updata checksum error:%02x", a[0]);
        qDebug("iap check sum error");
        return 1;
    }
    return 0;
}

// Stores the version from up_datHardware / up_datSoftware, then reads it back for the log (a missing read-back
// answer is only logged).
int LinkCommands::iapWriteVersion()
{
    uint8_t a[64];
    LinkFrame version(LinkCode::IapWriteVersion);
    version.bytes[3] = digitPair(up_datHardware, 0);
    version.bytes[4] = digitPair(up_datSoftware, 0);
    version.bytes[5] = digitPair(up_datSoftware, 2);
    version.bytes[6] = digitPair(up_datSoftware, 4);
    qDebug() << "up_datHardware =" << up_datHardware;
    qDebug() << "byTargetCmdBuf[3] = " << version.bytes[3];
    qDebug() << "up_datSoftware =" << up_datSoftware;
    qDebug() << "byTargetCmdBuf[4] = " << version.bytes[4];
    qDebug() << "byTargetCmdBuf[5] = " << version.bytes[5];
    qDebug() << "byTargetCmdBuf[6] = " << version.bytes[6];
    if (hidWriteData(version.data(), 64) != 64) {
        qDebug("hid write fail\n");
        return 1;
    }
    std::memset(a, 0, sizeof a);
    if (hidReadData(a, 64, 5) != 64) {
        qDebug("0x34 hid read fail\n");
        return 1;
    }
    if (a[0] != LinkCode::Ack) {
        labelFailure("Firmware version write fail:%02x", a[0]);
        return 1;
    }

    LinkFrame readBack(LinkCode::IapReadVersion);
    if (hidWriteData(readBack.data(), 64) != 64) {
        qDebug("hid write fail\n");
        return 1;
    }
    std::memset(a, 0, sizeof a);
    if (hidReadData(a, 64, 5) != 64) {
        qDebug("0x35 hid read fail\n");
        return 0;
    }
    for (int i = 0; i < 4; ++i)
        qDebug("burner version%d = %d\r\n", i, a[3 + i]);
    if (a[0] != LinkCode::Ack) {
        labelFailure("Firmware version read fail:%02x", a[0]);
        return 1;
    }
    return 0;
}

// Leaves IAP mode: the Link starts the new firmware.
int LinkCommands::iapRun()
{
    uint8_t a[64];
    LinkFrame run(LinkCode::IapRun);
    if (hidWriteData(run.data(), 64) != 64) {
        qDebug("hid write fail\n");
        return 1;
    }
    std::memset(a, 0, sizeof a);
    if (hidReadData(a, 64, 5) != 64) {
        qDebug("0x31 hid read fail\n");
        return 1;
    }
    if (a[0] != LinkCode::Ack) {
        labelFailure("execute Fail:%02x", a[0]);
        return 1;
    }
    return 0;
}

int LinkCommands::upDataFirmware(int &position)
{
    const int size = int(std::min(g_nAppBinSize, APP_BIN_BUF_SIZE));
    // With no firmware there is nothing to transfer; the Link is left in its normal mode.
    if (size <= 0)
        return 1;
    if (!hidOpen())
        return 1;
    iapEnter();

    hidClose();
    qDebug("start download");
    if (!hidOpen())
        return 1;

    int rt = iapErase(size);
    if (rt == 0)
        rt = iapWriteChunks(size, position);
    if (rt == 0)
        rt = iapCheckSum(size);
    if (rt == 0)
        rt = iapWriteVersion();
    if (rt == 0)
        rt = iapRun();

    hidClose();
    if (rt != 0) {
        reporter().progress(0);
        reporter().labelMessage(QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "升级失败.")));
    }
    return rt;
}

int LinkCommands::EraseExFalshDate(int &position)
{
    if (!hidOpen())
        return 1;
    reporter().labelMessage(QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "清空外部存储")));
    bool ok = true;
    for (int k = 1; k * kBlocksPerFrame <= kExternalBlocks; ++k) {
        LinkFrame f(LinkCode::EraseExFalshDate);
        f.put16(3, uint32_t((k - 1) * kBlocksPerFrame));
        f.put16(5, kBlocksPerFrame);
        uint8_t a[64] = {};
        if (hidWriteData(f.data(), 64) != 64 || hidReadData(a, 64, 3) != 64) {
            ok = false;
            break;
        }
        if (a[0] != LinkCode::Ack) {
            position = int(a[1] + 256 * a[2]) - 1;
            qDebug("hid read data error");
            ok = false;
            break;
        }
        reporter().progress(3200 * k / 1024);
    }
    if (ok) {
        reporter().progress(0);
        hidClose();
        return 0;
    }
    hidClose();
    reporter().progress(0);
    reporter().labelMessage(QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "清空失败.")));
    return 1;
}
