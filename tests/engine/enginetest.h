#pragma once

// Shared rig of the engine tests: a Link emulator behind the HID seam, Link pauses scaled to 0 (each pause
// advances the emulator's clock instead), a running workThread, and a recorder that receives the thread's
// signals through queued connections on the test thread, as the window does.

#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "emulator/emulatorbackend.h"
#include "emulator/linkemulator.h"
#include "engine/processstate.h"
#include "engine/workthread.h"
#include "link/firmwarefile.h"
#include "link/linkcommands.h"
#include "link/linkstate.h"
#include "link/timing.h"
#include "production/productionsettings.h"

#include "support/debugcapture.h"

#include <QtTest>

#include <atomic>
#include <optional>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

using DoneList = QList<QPair<QString, int>>;  // (operation, result code)

// Everything the worker reported, in arrival order.
class EngineRecorder : public QObject
{
    Q_OBJECT

public:
    QStringList labels;
    DoneList done;
    QList<int> progress;
    QList<QVector<int>> versions;
    QList<int> errorLogs;
    QStringList uiDebug;

    void attach(workThread *t)
    {
        const auto q = Qt::QueuedConnection;
        connect(t, &workThread::sg_lab_msg, this, [this](const QString &s) { labels << s; }, q);
        connect(t, &workThread::sg_progress_bar, this, [this](int v) { progress << v; }, q);
        connect(t, &workThread::sg_fw_version, this,
                [this](ushort h, ushort m, ushort l) { versions << QVector<int>{h, m, l}; }, q);
        connect(t, &workThread::sg_ErrorLog_done, this, [this](int c) { errorLogs << c; }, q);
        connect(t, &workThread::sg_th_ui_debug, this, [this](const QString &s) { uiDebug << s; }, q);
        watch(t, &workThread::sg_burn_chip_done, "burn");
        watch(t, &workThread::sg_auto_burn_chip_done, "auto_burn");
        watch(t, &workThread::sg_up_chip_done, "up");
        watch(t, &workThread::sg_erase_chip_done, "erase");
        watch(t, &workThread::sg_check_blank_done, "blank");
        watch(t, &workThread::sg_download_done, "download");
        watch(t, &workThread::sg_upload_done, "upload");
        watch(t, &workThread::sg_read_fac_param_done, "fac");
        watch(t, &workThread::sg_updata_done, "updata");
    }

    int countLabel(const QString &label) const { return labels.count(label); }
    QStringList labelsStartingWith(const QString &prefix) const
    {
        QStringList out;
        for (const QString &l : labels)
            if (l.startsWith(prefix))
                out << l;
        return out;
    }

private:
    void watch(workThread *t, void (workThread::*signal)(int), const char *name)
    {
        const QString n = QString::fromLatin1(name);
        connect(t, signal, this, [this, n](int rt) { done << qMakePair(n, rt); }, Qt::QueuedConnection);
    }
};

// The chip the emulator holds by default, with an NVR1 page and an EEPROM so every area can be exercised.
inline McuInfo testChip()
{
    McuList catalogue;
    catalogue.load();
    McuInfo chip = *findMcuByName(catalogue.list(), QStringLiteral("VR5K2610"));
    chip.strName = QStringLiteral("VR5K2610E");
    chip.nNvr1Page = 16;
    chip.nNvr1Sectors = 1;
    chip.nEepromSize = 512;
    return chip;
}

class EngineRig
{
public:
    EngineRig()
    {
        // Each test starts from what a fresh process holds, whatever the test before it left.
        resetProcessState();
        McuList catalogue;
        catalogue.load();
        g_mcuList = catalogue.list();
        g_mcuList.append(testChip());
        g_currentMcu = testChip();
        resetProduction();

        setLinkTimeScale(0);
        emu.trace().setKeepLines(true);
        emu.setRealTimeClock(false);
        setLinkSleepHook([this](int ms) {
            ++pauses;
            emu.advanceClock(ms);
        });
        setHidBackend(&backend);
        thread = std::make_unique<workThread>();
        recorder.attach(thread.get());
        thread->start();
    }

    ~EngineRig()
    {
        clearLoopFlags();
        thread->requestStop();
        thread->wait();
        thread.reset();
        setHidBackend(nullptr);
        setLinkSleepHook({});
        emu.setHotPlugListener({});
    }

    static void clearLoopFlags()
    {
        g_bBurnRunning.store(0);
        g_bBurnChipHandled.store(0);
        g_bAutoBurnRunning.store(0);
        g_bAutoBurnChipHandled.store(0);
    }

    // True once the worker is idle again; everything it emitted has then reached the recorder.
    bool waitIdle(int timeoutMs = 60000)
    {
        const bool idle = QTest::qWaitFor([this] { return thread->currentTask() == 0; }, timeoutMs);
        QCoreApplication::sendPostedEvents();
        return idle;
    }

    bool runTask(uint8_t task)
    {
        return thread->setTask(task) && waitIdle();
    }

    // Lets the Link come back from a restart (resetLink) before the next command.
    void settleLink()
    {
        emu.advanceClock(5000);
    }

    // A Link that is back at once after a restart (resetLink), so a command right after it reaches it.
    void linkReturnsAtOnce()
    {
        emu.setHotPlugListener([this](bool arrived, const QString &) {
            if (!arrived)
                emu.advanceClock(LinkEmulator::kReenumerateMs);
        });
    }

    // Command codes of the frames sent, in order (data reports left out).
    QList<int> sentCommands()
    {
        QList<int> codes;
        for (const QString &line : emu.trace().lines())
            if (line.startsWith(QLatin1String("> 02 FD ")))
                codes << line.mid(8, 2).toInt(nullptr, 16);
        return codes;
    }

    bool noTraffic() { return emu.trace().lines().isEmpty(); }

    // Whether another program could take the emulated Link's lock now, asked through a holder of our own.
    bool linkLockFree()
    {
        LinkEmulator::LinkLock probe(emu);
        return probe.tryLock();
    }

    LinkEmulator emu;
    EmulatorBackend backend{emu};
    EngineRecorder recorder;
    std::unique_ptr<workThread> thread;
    std::atomic<int> pauses{0};
};

inline EmulatorFault fault(uint8_t code, EmulatorFault::Kind kind = EmulatorFault::FailStatus, int atAddress = -1)
{
    EmulatorFault f;
    f.code = code;
    f.kind = kind;
    f.atAddress = atAddress;
    return f;
}

inline void fillRandom(uint8_t *buf, int n, quint32 seed)
{
    QRandomGenerator rng(seed);
    for (int i = 0; i < n; ++i)
        buf[i] = uint8_t(rng.bounded(256));
}

#define TQ_ENGINE_TEST_MAIN(TestClass)                                   \
    int main(int argc, char **argv)                                      \
    {                                                                    \
        QCoreApplication app(argc, argv);                                \
        TestClass t;                                                     \
        return QTest::qExec(&t, argc, argv);                             \
    }
