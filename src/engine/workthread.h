#pragma once

#include "engineflags.h"
#include "link/linkreporter.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <climits>
#include <cstdint>
#include <memory>

class LinkCommands;
struct ChipOperation;

// The one thread that talks to the Link. The window posts a task code with setTask; the loop in run() picks
// it up, runs the operation to its end and reports through the signals below (queued to the window).
// Exactly one task at a time, no queue.
class workThread : public QThread, private LinkReporter
{
    Q_OBJECT

public:
    enum Task : uint8_t {
        TaskIdle = 0,
        TaskBurn = 1,
        TaskUpChip = 2,
        TaskEraseChip = 3,
        TaskCheckBlank = 4,
        TaskDownload = 5,
        TaskUpload = 6,
        TaskUpdataWriter = 7,
        TaskFwVersion = 8,
        TaskEraseExterFlash = 9,
        TaskAutoBurn = 11,
        TaskReadFacParam = 12,
    };

    // What a version query found (sg_link_state).
    enum LinkFound : int { LinkAbsent = 0, LinkAnswered = 1, LinkHeldElsewhere = 2 };

    explicit workThread(QObject *parent = nullptr);
    ~workThread() override;

    // GUI thread: posts a task. False (debug "busy...") while another task runs; the task is then not stored.
    // A done signal is emitted just before the task is cleared: post the next one once currentTask() is 0.
    bool setTask(uint8_t task);
    uint8_t currentTask() const { return m_task.load(); }

    // Ends the loop between tasks; a running operation is never interrupted.
    void requestStop() { m_stop.store(1); }
    void clearStop() { m_stop.store(0); }
    // QThread::wait() that also states, in our own code, that everything the loop wrote is seen after it:
    // Qt hands the end of a thread over through a futex that ThreadSanitizer cannot see. False when `ms`
    // passed first.
    bool join(unsigned long ms = ULONG_MAX);

    // The operations. run() calls them for their task codes (tasks 1, 11, 2, 3, 4 only for an 8051-core chip);
    // each reports through its done signal.
    void burn_chip();
    void auto_burn_chip();
    void up_chip();
    void erase_chip();
    void check_blank_chip();
    void read_fac_param();
    void downloadWriter();
    void upload();
    void updata_writer();
    void erase_exter_flash();
    void read_fw_version();

signals:
    void sg_progress_bar(int nVal);
    void sg_lab_status(QString str);
    void sg_lab_msg(QString strMsg);
    void sg_burn_chip_done(int nRt);
    void sg_auto_burn_chip_done(int nRt);
    void sg_up_chip_done(int nRt);
    void sg_erase_chip_done(int nRt);
    void sg_check_blank_done(int nRt);
    void sg_download_done(int nRt);
    void sg_upload_done(int nRt);
    void sg_read_fac_param_done(int nRt);
    void sg_updata_done(int nRt);
    void sg_ErrorLog_done(int nRt);
    // After every chip pass of burn_chip and auto_burn_chip, with the pass's result code (0, 4, 5, ...) and
    // the id the chip answered. The loop resets g_wChipId for the next chip at once, so a queued receiver
    // takes the id from here, never from g_wChipId.
    void sg_pass_done(int nRt, quint16 chipId);
    // The task just ended and the worker takes a new one: the window may unlock what the task used.
    void sg_idle();
    void sg_fw_version(ushort H, ushort M, ushort L);
    // After every version query: what it found of the Link (LinkFound).
    void sg_link_state(int state);
    void sg_th_ui_debug(QString strMsg);

protected:
    void run() override;

private:
    // LinkReporter: what the commands report goes out on the signals.
    void progress(int percent) override;
    void labelMessage(const QString &text) override;
    void debugMessage(const QString &text) override;
    void firmwareVersion(uint16_t H, uint16_t M, uint16_t L) override;

    void runTask(uint8_t task);
    void finishTask(uint8_t task);

    // Burn loops (burn.cpp).
    int burnStart();
    // `passesDone`: chips handled so far in this run; after the first, a toggle that is off ends the wait
    // before any chip is looked for. False with `*linkGone` set when the Link itself stayed away.
    bool waitForNextChip(std::atomic<uint8_t> &running, std::atomic<uint8_t> &handled, bool probeRemovalAlways,
                         int &attempts, int passesDone, bool *linkGone);
    int burnPass(void (workThread::*done)(int));

    // Single-pass chip operations (readback.cpp).
    int runChipOperation(const ChipOperation &op);
    void finishChipOperation(const ChipOperation &op, int rt);

    // Reads one report of the Link's stand-alone error status; emits sg_ErrorLog_done when it carries one.
    void read_error_status();

    std::atomic<uint8_t> m_stop{0};
    std::atomic<uint8_t> m_task{TaskIdle};
    std::atomic<bool> m_exited{false};  // run() returned; released by the worker, acquired by join()
    std::unique_ptr<LinkCommands> m_link;  // the device connection; holds the HID handle
};
