#include "workthread.h"

#include "resultcodes.h"
#include "chip/mcuinfo.h"
#include "link/hidbackend.h"
#include "link/linkcommands.h"
#include "link/timing.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>

namespace {
constexpr int kPollMs = 50;
constexpr int kVersionDelayMs = 2000;

// Guards every write of the current task (the window posting it, the worker clearing it).
QMutex s_taskMutex;

bool is8051()
{
    return g_currentMcu.nArch == MCU_ARCH_8051;
}
}

workThread::workThread(QObject *parent)
    : QThread(parent)
    , m_link(std::make_unique<LinkCommands>(static_cast<LinkReporter *>(this)))
{
    hidBackend().init();
}

workThread::~workThread()
{
    // Destroying a running QThread aborts the process; the window ends the burn loops before it gets here.
    if (isRunning()) {
        requestStop();
        join();
    }
    m_link.reset();
    hidBackend().exit();
}

bool workThread::setTask(uint8_t task)
{
    QMutexLocker locker(&s_taskMutex);
    if (m_task.load() != TaskIdle) {
        qDebug() << "busy...";
        return false;
    }
    m_task.store(task);
    return true;
}

void workThread::run()
{
    m_exited.store(false);
    for (;;) {
        linkPollMs(kPollMs);
        const uint8_t task = m_task.load();
        if (task != TaskIdle)
            runTask(task);
        finishTask(task);
        if (m_stop.load()) {
            m_exited.store(true, std::memory_order_release);
            return;
        }
    }
}

bool workThread::join(unsigned long ms)
{
    if (!wait(ms))
        return false;
    (void)m_exited.load(std::memory_order_acquire);
    return true;
}

void workThread::runTask(uint8_t task)
{
    switch (task) {
    case TaskBurn:
        if (is8051())
            burn_chip();
        else
            emit sg_burn_chip_done(ResultCode::NotAn8051Chip);
        break;
    case TaskAutoBurn:
        if (is8051())
            auto_burn_chip();
        else
            emit sg_auto_burn_chip_done(ResultCode::NotAn8051Chip);
        break;
    case TaskUpChip:
        if (is8051())
            up_chip();
        else
            emit sg_up_chip_done(ResultCode::NotAn8051Chip);
        break;
    case TaskEraseChip:
        if (is8051())
            erase_chip();
        else
            emit sg_erase_chip_done(ResultCode::NotAn8051Chip);
        break;
    case TaskCheckBlank:
        if (is8051())
            check_blank_chip();
        else
            emit sg_check_blank_done(ResultCode::NotAn8051Chip);
        break;
    case TaskReadFacParam:
        read_fac_param();
        break;
    case TaskDownload:
        downloadWriter();
        break;
    case TaskUpload:
        upload();
        break;
    case TaskUpdataWriter:
        updata_writer();
        break;
    case TaskEraseExterFlash:
        erase_exter_flash();
        break;
    case TaskFwVersion:
        // A Link left in IAP mode by a failed upgrade is not queried.
        if (g_nFwUpgrading.load() == 0) {
            linkSleepMs(kVersionDelayMs);
            read_fw_version();
        }
        break;
    default:
        break;  // unknown codes are simply cleared
    }
}

// Clears only the task that was run: a task the window posted meanwhile is never lost.
void workThread::finishTask(uint8_t task)
{
    if (task == TaskIdle)
        return;
    {
        QMutexLocker locker(&s_taskMutex);
        if (m_task.load() != task)
            return;
        m_task.store(TaskIdle);
    }
    emit sg_idle();
}

void workThread::progress(int percent)
{
    emit sg_progress_bar(percent);
}

void workThread::labelMessage(const QString &text)
{
    emit sg_lab_msg(text);
}

void workThread::debugMessage(const QString &text)
{
    emit sg_th_ui_debug(text);
}

void workThread::firmwareVersion(uint16_t H, uint16_t M, uint16_t L)
{
    emit sg_fw_version(H, M, L);
}
