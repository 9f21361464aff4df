#include "workthread.h"

#include "resultcodes.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "link/hidbackend.h"
#include "link/linkcommands.h"
#include "link/linkstate.h"
#include "link/timing.h"

#include <QDebug>
#include <QElapsedTimer>

#include <algorithm>

namespace {
constexpr int kRemovalPollMs = 50;  // a handled chip is probed at this pace, not in a tight loop
// An empty socket is asked at this pace. An emulated Link answers "no chip" at once, a real one after its
// own try: either way the loop must sleep between asks, or it keeps a whole core busy for nothing.
constexpr int kChipPollMs = 50;
// A Link that cannot be opened for this long was pulled out: the run ends instead of waiting for chips a
// Link that is not there can never find. Shorter gaps (a loose cable, a re-plug) are waited out.
constexpr int kLinkGoneMs = 2000;
constexpr int kIdCodeFirst = 0x20;  // IDCODE protection bytes in the NVR2 sector
constexpr int kIdCodeEnd = 0x30;
constexpr uint8_t kIdCodeSet = 0xAA;

const QString kBurning = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "烧写中..."));
const QString kBurnOk = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "烧写成功"));
const QString kBurnFailed = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "烧写失败"));
const QString kHint = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "提示信息"));
const QString kConnecting = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "芯片连接中"));

// NVR1..NVR3 of a pass: failures are only logged, the chip stays usable.
void burnNvrArea(LinkCommands &link, int index, uint16_t address, uint16_t eraseLength, const uint8_t *image)
{
    if (link.EraseNVR(address, eraseLength) != 0)
        qDebug().noquote() << QStringLiteral("work erase NVR%1 failed!\n").arg(index);
    int position = 0;
    if (link.WriteToNVR(position, LinkCode::WriteNvrChip, address, int(nvrSectorBytes()), image) != 0)
        qDebug().noquote() << QStringLiteral("work Write NVR%1 failed!\n").arg(index);
}
}

// Lock, probe the Link, send the memory map. 0, or 37 / 36 with the failure label shown.
int workThread::burnStart()
{
    if (!lockLink()) {
        qDebug() << "burn_chip getmutex  failed!\n";
        emit sg_lab_msg(kBurnFailed);
        return ResultCode::LinkLocked;
    }
    if (!m_link->hidOpen()) {
        emit sg_lab_msg(kBurnFailed);
        unlockLink();
        return ResultCode::LinkOpenFailed;
    }
    m_link->hidClose();
    emit sg_lab_msg(kBurning);
    if (m_link->WriteToNvrInfomation() == 0)
        qDebug() << "work WriteNvrInfomation succeed!\n";
    else
        qDebug() << "work WriteNvrInfomation failed!\n";
    return 0;
}

// Waits for the handled chip to go and the next one to answer. False once the toggle is off.
bool workThread::waitForNextChip(std::atomic<uint8_t> &running, std::atomic<uint8_t> &handled,
                                 bool probeRemovalAlways, int &attempts, int passesDone, bool *linkGone)
{
    *linkGone = false;
    int missingMs = 0;
    QElapsedTimer missingFor;  // wall time: the operator's grace, which scaled-down pauses must not shorten
    for (;;) {
        while (handled.load()) {
            // Without I2C the Link cannot tell us the chip left; the flag then holds until switched off.
            if ((probeRemovalAlways || g_bI2CMode.load()) && m_link->InitProgrammer() != 0)
                handled.store(0);
            if (!running.load()) {
                emit sg_lab_msg(kHint);
                return false;
            }
            if (handled.load())
                linkPollMs(kRemovalPollMs);
        }
        // Switching the toggle off clears the handled flag too: once a chip was handled in this run, the
        // chip still in the socket would otherwise answer and be burned once more.
        if (passesDone > 0 && !running.load()) {
            emit sg_lab_msg(kHint);
            return false;
        }
        if (m_link->InitProgrammer() == 0) {
            if (passesDone > 0 && !running.load()) {
                emit sg_lab_msg(kHint);
                return false;
            }
            handled.store(1);
            return true;
        }
        ++attempts;
        if (m_link->linkMissing()) {
            // Nothing to ask: without this pause the loop would spin as fast as the open fails.
            missingMs += kRemovalPollMs;
            if (!missingFor.isValid())
                missingFor.start();
            if (missingMs >= kLinkGoneMs && missingFor.elapsed() >= qint64(kLinkGoneMs * linkGraceScale())) {
                qDebug() << "the Link is gone\n";
                *linkGone = true;
                return false;
            }
            linkGracePollMs(kRemovalPollMs);
        } else {
            missingMs = 0;
            missingFor.invalidate();
            linkPollMs(kChipPollMs);
        }
        qDebug() << "InitProgrammer failed!\n";
        emit sg_lab_msg(kConnecting + QString(attempts % 7, QLatin1Char('.')));
        if (!running.load()) {
            emit sg_lab_msg(kHint);
            return false;
        }
    }
}

// One chip: id check, then BootLoader, flash and NVR areas as enabled, then ExitProgrammer.
int workThread::burnPass(void (workThread::*done)(int))
{
    uint16_t chipId = 0xFFFF;
    g_wChipId = 0xFFFF;
    m_link->CheckID(chipId);
    g_wChipId = chipId;
    if (g_currentMcu.nID != g_wChipId) {
        qDebug("g_currentMcu.nID 0x%04x != g_wChipId 0x%04x", g_currentMcu.nID, g_wChipId);
        emit(this->*done)(4);
        return ResultCode::WrongChip;
    }
    emit sg_lab_msg(kBurning);

    int position = 0;
    if (g_bEnBL) {
        qDebug("nvr size 01 %d", int(g_nNVRBinSize));
        uint8_t nvr2[NVR_BUF_SIZE];
        const uint32_t savedSize = g_nNVRBinSize;
        const int read = m_link->ReadFromNVR(position, LinkCode::ReadNvrChip,
                                             nvrPageAddress(g_currentMcu, g_currentMcu.nNvr2Page),
                                             int(nvrSectorBytes()), nvr2);
        g_nNVRBinSize = savedSize;
        if (read != 0)
            return ResultCode::BootLoaderEraseFailed;
        // A protected chip refuses a BootLoader erase until its flash is gone.
        if (std::all_of(nvr2 + kIdCodeFirst, nvr2 + kIdCodeEnd, [](uint8_t b) { return b == kIdCodeSet; }))
            m_link->EraseFlash();
        if (m_link->EraseNVRBootLoader() != 0) {
            qDebug() << "work EraseNVRBootLoader failed!\n";
            return ResultCode::BootLoaderEraseFailed;
        }
        qDebug() << "work EraseNVRBootLoader succeed!\n";
        qDebug("nvr size 01 %d", int(g_nNVRBinSize));
        if (m_link->WriteToNVRBootLoader(position, LinkCode::WriteBootLoaderChip) != 0) {
            qDebug() << "work WriteToNVRBootLoader failed!\n";
            return ResultCode::BootLoaderWriteFailed;
        }
    }
    if (g_bEnBin) {
        if (m_link->EraseFlash() != 0) {
            qDebug() << "work erase_chip failed!\n";
            return ResultCode::FlashEraseFailed;
        }
        if (m_link->WriteToFlash(position, LinkCode::WriteFlashChip) != 0) {
            qDebug() << "work down_chip failed!\n";
            return ResultCode::FlashWriteFailed;
        }
        if (m_link->checkSum(0, uint16_t(g_nBinSize), position) != 0) {
            qDebug() << "work checkSum failed!\n";
            return ResultCode::FlashWriteFailed;
        }
    }
    const uint16_t sector = uint16_t(g_currentMcu.nSectorSize);
    if (g_bEnNVR1)
        burnNvrArea(*m_link, 1, nvrPageAddress(g_currentMcu, g_currentMcu.nNvr1Page), sector, g_ucNVRBuf1);
    if (g_bEnNVR2)
        burnNvrArea(*m_link, 2, nvrPageAddress(g_currentMcu, g_currentMcu.nNvr2Page), sector, g_ucNVRBuf2);
    if (g_bEnNVR3)
        burnNvrArea(*m_link, 3, nvrPageAddress(g_currentMcu, g_currentMcu.nNvr3Page),
                    uint16_t(g_currentMcu.nNvr3Sectors * g_currentMcu.nSectorSize), g_ucNVRBuf3);
    if (m_link->ExitProgrammer() != 0) {
        qDebug() << "ExitProgrammer failed!\n";
        return ResultCode::ExitProgrammerFailed;
    }
    emit sg_lab_msg(kBurnOk);
    return 0;
}

void workThread::burn_chip()
{
    const int start = burnStart();
    if (start != 0) {
        emit sg_burn_chip_done(start);
        return;
    }
    int attempts = 0;
    int passes = 0;
    bool linkGone = false;
    while (waitForNextChip(g_bBurnRunning, g_bBurnChipHandled, false, attempts, passes, &linkGone)) {
        const int rt = burnPass(&workThread::sg_burn_chip_done);
        ++passes;
        emit sg_pass_done(rt, g_wChipId);
        if (rt == 0) {
            unlockLink();
            g_bBurnChipHandled.store(1);
            emit sg_burn_chip_done(0);
            return;
        }
        // A failed chip keeps the lock; the loop waits for its removal and burns the next one.
        emit sg_lab_msg(kBurnFailed);
    }
    unlockLink();
    if (linkGone) {
        emit sg_lab_msg(kBurnFailed);
        emit sg_burn_chip_done(ResultCode::LinkOpenFailed);
    }
}

void workThread::auto_burn_chip()
{
    const int start = burnStart();
    if (start != 0) {
        emit sg_auto_burn_chip_done(start);
        return;
    }
    // The lock is held for the whole run, not per chip: between chips the loop still polls the Link.
    int attempts = 0;
    int passes = 0;
    bool linkGone = false;
    while (waitForNextChip(g_bAutoBurnRunning, g_bAutoBurnChipHandled, true, attempts, passes, &linkGone)) {
        const int rt = burnPass(&workThread::sg_auto_burn_chip_done);
        ++passes;
        emit sg_pass_done(rt, g_wChipId);
        if (rt != 0)
            emit sg_lab_msg(kBurnFailed);
        g_bAutoBurnChipHandled.store(1);
        if (!g_bAutoBurnRunning.load()) {
            unlockLink();
            emit sg_lab_msg(rt != 0 ? kBurnFailed : kBurnOk);
            return;
        }
    }
    unlockLink();
    if (linkGone) {
        emit sg_lab_msg(kBurnFailed);
        emit sg_auto_burn_chip_done(ResultCode::LinkOpenFailed);
    }
}
