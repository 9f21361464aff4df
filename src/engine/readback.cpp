#include "workthread.h"

#include "resultcodes.h"
#include "chipoperation.h"
#include "steplog.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "link/hidbackend.h"
#include "link/linkcommands.h"
#include "link/linkstate.h"
#include "link/timing.h"

#include <QDebug>

namespace {
constexpr int kSettleMs = 10;

const QString kReading = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "读取中."));
const QString kReadOk = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "读取成功."));
const QString kReadFailed = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "读取失败."));
const QString kErasing = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "擦除中."));
const QString kEraseOk = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "擦除成功."));
const QString kEraseFailed = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "擦除失败."));
const QString kBlankFailed = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "查空失败."));

uint8_t *const kNvrImages[] = {g_ucNVRBuf1, g_ucNVRBuf2, g_ucNVRBuf3};

uint16_t nvrAreaAddress(int index)
{
    const uint32_t pages[] = {g_currentMcu.nNvr1Page, g_currentMcu.nNvr2Page, g_currentMcu.nNvr3Page};
    return nvrPageAddress(g_currentMcu, pages[index]);
}

bool nvrAreaEnabled(int index)
{
    const bool enabled[] = {g_bEnNVR1, g_bEnNVR2, g_bEnNVR3};
    return enabled[index];
}

int readChipAreas(LinkCommands &link)
{
    int position = 0;
    if (g_bEnBin) {
        const bool ok = link.ReadFromChipFlash(position, LinkCode::ReadFlashChip, int(flashSizeBytes())) == 0;
        logStep(QStringLiteral("ReadFromChipFlash"), ok);
        if (!ok)
            return ResultCode::FlashReadFailed;
    }
    if (g_bEnBL) {
        const bool ok =
            link.ReadFromNVRBootLoader(position, LinkCode::ReadBootLoaderChip, int(bootLoaderSizeBytes())) == 0;
        logStep(QStringLiteral("ReadFromNVRBootLoader"), ok);
        if (!ok)
            return ResultCode::BootLoaderReadFailed;
    }
    if (g_bEnEE) {
        const bool ok = link.ReadFromEeprom(position, LinkCode::ReadEepromChip) == 0;
        logStep(QStringLiteral("ReadFromEeprom"), ok);
        if (!ok)
            return ResultCode::EepromReadFailed;
    }
    for (int i = 0; i < 3; ++i) {
        if (!nvrAreaEnabled(i))
            continue;
        const bool ok = link.ReadFromNVR(position, LinkCode::ReadNvrChip, nvrAreaAddress(i), int(nvrSectorBytes()),
                                         kNvrImages[i]) == 0;
        logStep(QStringLiteral("read NVR%1").arg(i + 1), ok);
        if (!ok)
            return 24 + i;
    }
    return 0;
}

int eraseChipAreas(LinkCommands &link)
{
    if (g_bEnBin && link.EraseFlash() != 0) {
        qDebug() << "work erase_chip failed!\n";
        return ResultCode::FlashEraseFailed;
    }
    if (g_bEnBL && link.EraseNVRBootLoader() != 0) {
        qDebug() << "work erase_chip failed!\n";
        return ResultCode::BootLoaderEraseFailed;
    }
    if (g_bEnEE && link.EraseEep() != 0) {
        qDebug() << "work erase Eep failed!\n";
        return ResultCode::EepromEraseFailed;
    }
    for (int i = 0; i < 3; ++i) {
        if (nvrAreaEnabled(i) && link.EraseNVR(nvrAreaAddress(i), uint16_t(g_currentMcu.nSectorSize)) != 0) {
            qDebug().noquote() << QStringLiteral("work erase NVR%1 failed!\n").arg(i + 1);
            return 18 + i;
        }
    }
    return 0;
}

int readChipSums(LinkCommands &link)
{
    const bool ok = link.getChipCheckSum() == 0;
    logStep(QStringLiteral("getChipCheckSum"), ok);
    return ok ? 0 : 1;
}

int getFacParam_8051(LinkCommands &link)
{
    int position = 0;
    const int rt = link.ReadFromNVR(position, LinkCode::ReadNvrChip, nvrAreaAddress(2), int(nvrSectorBytes()),
                                    g_ucNVRBuf3);
    logStep(QStringLiteral("getFacParam_8051"), rt == 0);
    logStep(QStringLiteral("getFacParam"), rt == 0);
    return rt;
}
}

int workThread::runChipOperation(const ChipOperation &op)
{
    if (!lockLink()) {
        qDebug() << op.lockFailDebug;
        return ResultCode::LinkLocked;
    }
    if (op.startDebug)
        qDebug() << op.startDebug;
    if (op.settleAfterLock)
        linkSleepMs(kSettleMs);
    if (!m_link->hidOpen()) {
        emit sg_lab_msg(op.openFailLabel);
        return ResultCode::LinkOpenFailed;
    }
    m_link->hidClose();
    if (op.sendNvrInfo) {
        const int rt = m_link->WriteToNvrInfomation();
        qDebug() << (rt == 0 ? "work WriteNvrInfomation succeed!\n" : "work WriteNvrInfomation failed!\n");
        if (rt != 0)
            return rt;
    }
    if (!op.busyLabel.isEmpty())
        emit sg_lab_msg(op.busyLabel);
    if (m_link->InitProgrammer() != 0) {
        qDebug() << "InitProgrammer failed!\n";
        return ResultCode::NoChipAnswers;
    }
    uint16_t chipId = 0xFFFF;
    g_wChipId = 0xFFFF;
    m_link->CheckID(chipId);
    g_wChipId = chipId;
    if (g_currentMcu.nID != g_wChipId) {
        qDebug("g_currentMcu.nID 0x%04x != g_wChipId 0x%04x", g_currentMcu.nID, g_wChipId);
        return ResultCode::WrongChip;
    }
    const int own = op.ownSteps(*m_link);
    if (own != 0)
        return own;
    if (m_link->ExitProgrammer() != 0) {
        qDebug() << "ExitProgrammer failed!\n";
        return ResultCode::ExitProgrammerFailed;
    }
    return 0;
}

void workThread::finishChipOperation(const ChipOperation &op, int rt)
{
    emit sg_lab_msg(rt == 0 ? op.okLabel : op.failLabel);
    unlockLink();
    emit(this->*op.done)(rt);
}

void workThread::up_chip()
{
    qDebug() << "work up_chip\n";
    const ChipOperation op{nullptr, "up_chip getmutex  failed!\n", true, false, kReading, kReadOk, kReadFailed,
                           kReadFailed, readChipAreas, &workThread::sg_up_chip_done};
    finishChipOperation(op, runChipOperation(op));
}

void workThread::erase_chip()
{
    const ChipOperation op{nullptr, "erase_chip getmutex  failed!\n", true, false, kErasing, kEraseOk,
                           kEraseFailed, kEraseFailed, eraseChipAreas, &workThread::sg_erase_chip_done};
    finishChipOperation(op, runChipOperation(op));
}

void workThread::check_blank_chip()
{
    const ChipOperation op{"work check_blank_chip\n", "erase_chip getmutex  failed!\n", true, true, QString(),
                           kReadOk, kBlankFailed, kReadFailed, readChipSums, &workThread::sg_check_blank_done};
    finishChipOperation(op, runChipOperation(op));
}

void workThread::read_fac_param()
{
    const ChipOperation op{"work read factory param\n", "erase_chip getmutex  failed!\n", false, true, QString(),
                           kReadOk, kReadFailed, kReadFailed, getFacParam_8051, &workThread::sg_read_fac_param_done};
    finishChipOperation(op, runChipOperation(op));
}
