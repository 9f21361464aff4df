// Host overhead of a burn: 32 KiB flash and the BootLoader area against the Link emulator with every Link
// pause scaled to 0. The CPU time covers the engine, the transport and the emulator answering it (one
// thread runs all three), so it bounds the program's own share from above. The reports sent and received
// are counted from the emulator's trace and compared with the least the frame rules allow.

#include "benchdata.h"
#include "benchmain.h"
#include "burnreports.h"
#include "chip/images.h"
#include "production/productionsettings.h"
#include "emulator/emulatorbackend.h"
#include "emulator/linkemulator.h"
#include "engine/engineflags.h"
#include "engine/workthread.h"
#include "link/linkstate.h"
#include "link/timing.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

void loadBurnImages()
{
    resetImages();
    resetProduction();
    g_currentMcu = benchChip(32);
    g_mcuList = {g_currentMcu};
    g_bI2CMode.store(1);
    g_bEnBin = g_bEnBL = true;
    fillPattern(g_ucBinBuf, flashSizeBytes(), 1);
    g_nBinSize = flashSizeBytes();
    fillPattern(g_ucNVRBinBuf, bootLoaderSizeBytes(), 2);
    g_nNVRBinSize = bootLoaderSizeBytes();
}

// One burn_chip on this thread with the toggle off: the chip in the socket is burnt once. Returns its code.
int burnOnce(workThread &worker)
{
    int result = -100;
    const auto c = QObject::connect(&worker, &workThread::sg_burn_chip_done, [&result](int rt) { result = rt; });
    g_bBurnRunning.store(0);
    g_bBurnChipHandled.store(0);
    worker.burn_chip();
    QObject::disconnect(c);
    return result;
}

ReportCount countReports(const QStringList &trace)
{
    ReportCount n;
    for (const QString &line : trace) {
        if (line.startsWith(QLatin1String("> ")))
            ++n.sent;
        else if (line.startsWith(QLatin1String("< ")))
            ++n.received;
    }
    return n;
}

void BM_BurnHostOverhead(benchmark::State &state)
{
    loadBurnImages();
    setLinkTimeScale(0);
    LinkEmulator emu;
    emu.setRealTimeClock(false);
    emu.trace().setKeepLines(true);
    EmulatorBackend backend(emu);
    setHidBackend(&backend);
    workThread worker;  // not started: its operations run on this thread, so the thread's CPU time is theirs

    // One traced burn gives the report counts and checks the chip got the images.
    if (burnOnce(worker) != 0 || emu.chipFlash().left(int(g_nBinSize))
                                     != QByteArray(reinterpret_cast<const char *>(g_ucBinBuf), int(g_nBinSize))) {
        state.SkipWithError("the burn failed");
        setHidBackend(nullptr);
        return;
    }
    const ReportCount counted = countReports(emu.trace().lines());
    const ReportCount least = minimumReports(
        flashAndBootLoaderBurn(g_nBinSize, g_nNVRBinSize, g_currentMcu.nSectorSize));

    emu.trace().setKeepLines(false);
    int failures = 0;
    for (auto _ : state)
        failures += burnOnce(worker) != 0;
    setHidBackend(nullptr);
    if (failures)
        state.SkipWithError("a timed burn failed");

    state.counters["reports_sent"] = counted.sent;
    state.counters["reports_received"] = counted.received;
    state.counters["least_sent"] = least.sent;
    state.counters["least_received"] = least.received;
    state.counters["flash_bytes"] = g_nBinSize;
    state.counters["bootloader_bytes"] = g_nNVRBinSize;
    state.counters["link_wait_ms"] = linkWaitMs(g_nBinSize, g_nNVRBinSize);
    state.counters["link_wait_ms_flash_only"] = linkWaitMs(g_nBinSize, 0);
}
BENCHMARK(BM_BurnHostOverhead)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
