#include "workthread.h"

#include "steplog.h"
#include "link/hidbackend.h"
#include "link/firmwarefile.h"
#include "link/linkcommands.h"

#include <QDebug>

namespace {
const QString kUpdataPrepare = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "准备更新固件."));
const QString kUpdating = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "更新固件中."));
const QString kUpdataOk = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "更新固件成功."));
const QString kUpdataFailed = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "固件更新失败."));
const QString kErasePrepare = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "准备清空存储."));
const QString kErasingStore = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "清空存储中."));
const QString kEraseStoreOk = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "清空存储成功."));
const QString kEraseStoreFailed = QString::fromUtf8(QT_TRANSLATE_NOOP("engine", "清空存储失败."));
}

void workThread::updata_writer()
{
    emit sg_lab_msg(kUpdataPrepare);
    qDebug() << "work updata writer!\n";
    g_nFwUpgrading.store(1);

    int rt = 0;
    if (!lockLink()) {
        qDebug() << "updata getmutex  failed!\n";
        g_nFwUpgrading.store(0);
        rt = 37;
    } else if (!m_link->hidOpen()) {
        rt = 36;  // the flag stays set: the Link may be sitting in IAP mode
    } else {
        m_link->hidClose();
        if (g_bAppBinLoaded.load()) {
            emit sg_lab_msg(kUpdating);
            qDebug() << "WriteToFlashlooder\n";
            int position = 0;
            const bool ok = m_link->upDataFirmware(position) == 0;
            logStep(QStringLiteral("upDataFirmware"), ok);
            rt = ok ? 0 : 34;
        }
    }
    if (rt == 0) {
        emit sg_lab_msg(kUpdataOk);
        g_nFwUpgrading.store(0);
    } else {
        emit sg_lab_msg(kUpdataFailed);
    }
    unlockLink();
    emit sg_updata_done(rt);
}

void workThread::erase_exter_flash()
{
    emit sg_lab_msg(kErasePrepare);
    qDebug() << "work erase Exter Flash!\n";
    int rt = 0;
    if (!lockLink()) {
        qDebug() << "eraseFlashExter getmutex  failed!\n";
        rt = 37;
    } else if (!m_link->hidOpen()) {
        rt = 36;
    } else {
        m_link->hidClose();
        emit sg_lab_msg(kErasingStore);
        qDebug() << "eraseFlashExter\n";
        int position = 0;
        const bool ok = m_link->EraseExFalshDate(position) == 0;
        logStep(QStringLiteral("EraseExFalshDate"), ok);
        if (ok) {
            emit sg_lab_msg(kEraseStoreOk);
            m_link->resetLink();
        } else {
            rt = 35;
        }
        // The Link re-reads its (now empty) store after a restart.
        m_link->resetLink();
    }
    if (rt != 0)
        emit sg_lab_msg(kEraseStoreFailed);
    unlockLink();
    emit sg_updata_done(rt);
}

// Runs under the device lock like every other talk with the Link; a Link busy with another program
// reads as no Link.
void workThread::read_fw_version()
{
    if (!lockLink()) {
        emit sg_fw_version(0, 0, 0);
        emit sg_link_state(LinkHeldElsewhere);
        return;
    }
    uint16_t H = 0, M = 0, L = 0;
    m_link->GetFwVersion(H, M, L);
    const bool answered = H != 0 || M != 0 || L != 0;
    if (answered)
        read_error_status();
    unlockLink();
    emit sg_link_state(answered ? LinkAnswered : LinkAbsent);
}

// Whatever the Link reported about its stand-alone burning since it was plugged in. Read right after
// the version query, i.e. at start-up and whenever a Link arrives.
void workThread::read_error_status()
{
    uint8_t code = 0;
    if (m_link->ReadErrorStatus(code) == 0)
        emit sg_ErrorLog_done(code);
}
