#include "workthread.h"

#include "resultcodes.h"
#include "steplog.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "link/hidbackend.h"
#include "link/linkcommands.h"
#include "link/timing.h"
#include "production/productionsettings.h"

#include <QDebug>

#include <initializer_list>

namespace {
constexpr int kAfterFlashMs = 10;

const QString kDownloading = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "下载中."));
const QString kDownloadOk = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "下载成功."));
const QString kDownloadFailed = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "下载失败."));
const QString kUploading = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "上传中."));
const QString kUploadOk = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "上传成功."));
const QString kUploadFailed = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "上传失败."));

// One command of an offline sequence: runs only when its flag is set; its failure code ends the sequence.
struct OfflineStep
{
    bool enabled;
    const char *name;
    int (*run)(LinkCommands &link);
    int failCode;
};

int runSteps(LinkCommands &link, std::initializer_list<OfflineStep> steps)
{
    for (const OfflineStep &step : steps) {
        if (!step.enabled)
            continue;
        const bool ok = step.run(link) == 0;
        logStep(QLatin1String(step.name), ok);
        if (!ok)
            return step.failCode;
    }
    return 0;
}

uint16_t nvrAddress(uint32_t page)
{
    return nvrPageAddress(g_currentMcu, page);
}

int writeNvr(LinkCommands &link, uint32_t page, const uint8_t *image)
{
    int position = 0;
    return link.WriteToNVR(position, LinkCode::WriteNvrLink, nvrAddress(page), int(nvrSectorBytes()), image);
}

int readNvr(LinkCommands &link, uint32_t page, uint8_t *image)
{
    int position = 0;
    return link.ReadFromNVR(position, LinkCode::ReadNvrLink, nvrAddress(page), int(nvrSectorBytes()), image);
}

// The download order: areas first, then the production settings.
int downloadAll(LinkCommands &link)
{
    return runSteps(link, {
        {g_bEnBin, "SendBinSize", [](LinkCommands &l) { return l.SendBinSize(); }, 8},
        {g_bEnBin, "WriteToFlash",
         [](LinkCommands &l) {
             int position = 0;
             const int rt = l.WriteToFlash(position, LinkCode::WriteFlashLink);
             linkSleepMs(kAfterFlashMs);
             return rt;
         },
         6},
        {g_bEnBL, "SendNVRBootLoaderSize", [](LinkCommands &l) { return l.SendNVRBootLoaderSize(); }, 13},
        {g_bEnBL, "WriteToNVRBootLoader",
         [](LinkCommands &l) {
             int position = 0;
             return l.WriteToNVRBootLoader(position, LinkCode::WriteBootLoaderLink);
         },
         11},
        {g_bEnEE, "WriteToEeprom",
         [](LinkCommands &l) {
             int position = 0;
             return l.WriteToEeprom(position, LinkCode::WriteEepromLink);
         },
         16},
        {g_bEnNVR1, "WriteToNVR1", [](LinkCommands &l) { return writeNvr(l, g_currentMcu.nNvr1Page, g_ucNVRBuf1); }, 21},
        {g_bEnNVR2, "WriteToNVR2", [](LinkCommands &l) { return writeNvr(l, g_currentMcu.nNvr2Page, g_ucNVRBuf2); }, 22},
        {g_bEnNVR3, "WriteToNVR3", [](LinkCommands &l) { return writeNvr(l, g_currentMcu.nNvr3Page, g_ucNVRBuf3); }, 23},
        {g_bEnRollCode, "WriteToRolling", [](LinkCommands &l) { return l.WriteToRolling(); }, 28},
        {g_bEnEncryption, "WriteToPassword", [](LinkCommands &l) { return l.WriteToPassword(); }, 38},
        {g_bEnLimit, "WriteToLimit", [](LinkCommands &l) { return l.WriteToLimit(); }, 30},
        {g_bEnAutoBurner, "WriteToAotoBurner", [](LinkCommands &l) { return l.WriteToAotoBurner(); }, 32},
    });
}

// Runs after ReadFromWriterCfg, so the flags it restored decide which areas are read.
int uploadAll(LinkCommands &link)
{
    return runSteps(link, {
        {g_bEnBin, "GetBinSize", [](LinkCommands &l) { return l.GetBinSize(); }, 9},
        {g_bEnBin, "read link spi flash",
         [](LinkCommands &l) {
             int position = 0;
             return l.ReadFromChipFlash(position, LinkCode::ReadFlashLink, int(g_nBinSize));
         },
         7},
        {g_bEnBL, "GetNVRBootLoaderSize", [](LinkCommands &l) { return l.GetNVRBootLoaderSize(); }, 14},
        {g_bEnBL, "ReadFromNVRBootLoader",
         [](LinkCommands &l) {
             int position = 0;
             return l.ReadFromNVRBootLoader(position, LinkCode::ReadBootLoaderLink, int(g_nNVRBinSize));
         },
         12},
        {g_bEnEE, "ReadFromEeprom",
         [](LinkCommands &l) {
             int position = 0;
             return l.ReadFromEeprom(position, LinkCode::ReadEepromLink);
         },
         17},
        {g_bEnNVR1, "ReadFromNVR1", [](LinkCommands &l) { return readNvr(l, g_currentMcu.nNvr1Page, g_ucNVRBuf1); }, 24},
        {g_bEnNVR2, "ReadFromNVR2", [](LinkCommands &l) { return readNvr(l, g_currentMcu.nNvr2Page, g_ucNVRBuf2); }, 25},
        {g_bEnNVR3, "ReadFromNVR3", [](LinkCommands &l) { return readNvr(l, g_currentMcu.nNvr3Page, g_ucNVRBuf3); }, 26},
        {g_bEnRollCode, "ReadFromRolling", [](LinkCommands &l) { return l.ReadFromRolling(); }, 29},
        {g_bEnLimit, "ReadFromLimit", [](LinkCommands &l) { return l.ReadFromLimit(); }, 31},
        {g_bEnAutoBurner, "ReadFromAotoBurner", [](LinkCommands &l) { return l.ReadFromAotoBurner(); }, 33},
    });
}
}

void workThread::downloadWriter()
{
    qDebug() << "work downloadWriter\n";
    if (!lockLink()) {
        qDebug() << "download getmutex  failed!\n";
        emit sg_lab_msg(kDownloadFailed);
        emit sg_download_done(ResultCode::LinkLocked);
        return;
    }
    if (!m_link->hidOpen()) {
        emit sg_lab_msg(kDownloadFailed);
        unlockLink();
        emit sg_download_done(ResultCode::LinkOpenFailed);
        return;
    }
    m_link->hidClose();
    emit sg_lab_msg(kDownloading);

    const bool cfgOk = m_link->WriteToWriterCfg() == 0;
    logStep(QStringLiteral("WriteToWriterCfg"), cfgOk);
    const int rt = cfgOk ? downloadAll(*m_link) : 4;
    if (rt == 0) {
        emit sg_lab_msg(kDownloadOk);
        m_link->resetLink();
    } else {
        emit sg_lab_msg(kDownloadFailed);
    }
    // The Link picks the new store up only after a restart.
    m_link->resetLink();
    unlockLink();
    emit sg_download_done(rt);
}

void workThread::upload()
{
    if (!lockLink()) {
        qDebug() << "upload getmutex  failed!\n";
        emit sg_lab_msg(kUploadFailed);
        emit sg_upload_done(ResultCode::LinkLocked);
        return;
    }
    int rt = 0;
    if (!m_link->hidOpen()) {
        rt = 36;
    } else {
        m_link->hidClose();
        emit sg_lab_msg(kUploading);
        const bool cfgOk = m_link->ReadFromWriterCfg() == 0;
        logStep(QStringLiteral("ReadFromWriterCfg"), cfgOk);
        rt = cfgOk ? uploadAll(*m_link) : 1;
    }
    emit sg_lab_msg(rt == 0 ? kUploadOk : kUploadFailed);
    unlockLink();
    emit sg_upload_done(rt);
}
