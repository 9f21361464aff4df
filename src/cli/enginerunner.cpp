#include "enginerunner.h"

#include "engine/enginetext.h"

#include "progressdisplay.h"
#include "engine/engineflags.h"
#include "engine/resultcodes.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <atomic>

namespace {
std::atomic<int> s_interrupted{0};
}

// Lock-free atomics are safe to store from a signal handler; the worker polls them.
void noteInterrupt()
{
    s_interrupted.store(1);
    g_bBurnRunning.store(0);
    g_bAutoBurnRunning.store(0);
}

bool interrupted()
{
    return s_interrupted.load() != 0;
}

EngineRunner::EngineRunner(ProgressDisplay &display, QObject *parent)
    : QObject(parent)
    , m_display(display)
{
    // A worker's progress goes straight from the engine's thread to the parent: a hundred wake-ups of the
    // main loop fewer per burn.
    connect(&m_worker, &workThread::sg_progress_bar, this, [this](int percent) { m_display.progress(percent); },
            m_display.progressFromAnyThread() ? Qt::DirectConnection : Qt::AutoConnection);
    connect(&m_worker, &workThread::sg_lab_msg, this, [this](const QString &text) {
        m_lastLabel = text;
        m_display.label(engineText(text));
    });
    connect(&m_worker, &workThread::sg_th_ui_debug, this,
            [this](const QString &text) { m_display.message(text.trimmed()); });
    for (auto signal : {&workThread::sg_burn_chip_done, &workThread::sg_auto_burn_chip_done,
                        &workThread::sg_up_chip_done, &workThread::sg_erase_chip_done,
                        &workThread::sg_check_blank_done, &workThread::sg_download_done,
                        &workThread::sg_upload_done, &workThread::sg_read_fac_param_done,
                        &workThread::sg_updata_done})
        connect(&m_worker, signal, this, &EngineRunner::onDone);
    connect(&m_worker, &workThread::sg_fw_version, this, [this](ushort H, ushort M, ushort L) {
        m_H = H;
        m_M = M;
        m_L = L;
        m_result = (H || M || L) ? 0 : kNoResult;
    });
}

EngineRunner::~EngineRunner()
{
    g_bBurnRunning.store(0);
    g_bAutoBurnRunning.store(0);
    m_worker.requestStop();
    m_worker.join();
}

int EngineRunner::run(workThread::Task task)
{
    m_task = task;
    m_result = kNoResult;
    m_lastLabel.clear();
    if (task == workThread::TaskFwVersion)
        m_H = m_M = m_L = 0;

    // The loop runs the posted task, then sees the stop flag and returns: one task per start.
    m_worker.clearStop();
    m_worker.setTask(task);
    m_worker.requestStop();
    QEventLoop loop;
    connect(&m_worker, &QThread::finished, &loop, &QEventLoop::quit);
    m_worker.start();
    loop.exec();
    m_worker.join();  // `finished` comes just before the thread's very end
    // Signals emitted before the thread ended are still queued.
    QCoreApplication::sendPostedEvents();
    m_display.finish();
    m_task = workThread::TaskIdle;
    return m_result;
}

void EngineRunner::onDone(int code)
{
    // Unlike the window's toggle, a loop goes on after a wrong chip: on a line the operator swaps it, as after
    // any other failed chip, and its pass is reported, counted and recorded as theirs are (BurnObserver). The
    // loop's result is how it ended, never that chip.
    if (m_task == workThread::TaskAutoBurn && code == ResultCode::WrongChip)
        return;
    m_result = code;
    if (m_task == workThread::TaskBurn && endsBurn(code)) {
        g_bBurnRunning.store(0);
        g_bBurnChipHandled.store(0);
    } else if (m_task == workThread::TaskAutoBurn && isNoLink(code)) {
        g_bAutoBurnRunning.store(0);
        g_bAutoBurnChipHandled.store(0);
    }
}
