// File loading and saving: HEX parse into the flash image, project save and load.

#include "benchdata.h"
#include "benchmain.h"
#include "chip/images.h"
#include "files/hexfile.h"
#include "files/passwordcodec.h"
#include "files/projectfile.h"
#include "production/productionsettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

// The HEX file is read from disk each time, as the open action does; the page cache keeps it in memory.
void BM_HexLoad64K(benchmark::State &state)
{
    g_currentMcu = benchChip(64);
    std::vector<uint8_t> image(BIN_BUF_SIZE);
    fillPattern(image.data(), BIN_BUF_SIZE, 1);
    const QByteArray text = hexText(image.data(), BIN_BUF_SIZE);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("image.hex"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        state.SkipWithError("cannot write the HEX file");
        return;
    }
    file.close();

    const FileMessages msgs;
    for (auto _ : state) {
        readHexFile(path, ImageTarget::Flash, msgs);
        benchmark::DoNotOptimize(g_ucBinBuf[BIN_BUF_SIZE - 1]);
    }
    if (g_nBinSize != BIN_BUF_SIZE || std::memcmp(g_ucBinBuf, image.data(), BIN_BUF_SIZE) != 0)
        state.SkipWithError("the image read back differs");
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
    state.counters["hex_bytes"] = double(text.size());
}
BENCHMARK(BM_HexLoad64K)->Unit(benchmark::kMicrosecond);

// Every area and every production setting on, 32 KiB flash and the whole BootLoader area.
void fillProject()
{
    resetImages();
    resetProduction();
    g_currentMcu = benchChip(32);
    g_bEnBin = g_bEnBL = g_bEnEE = g_bEnNVR1 = g_bEnNVR2 = g_bEnNVR3 = true;
    fillPattern(g_ucBinBuf, flashSizeBytes(), 2);
    g_nBinSize = flashSizeBytes();
    fillBinAndSum(g_ucBinBuf, g_nBinSize);
    fillPattern(g_ucNVRBinBuf, bootLoaderSizeBytes(), 3);
    g_nNVRBinSize = bootLoaderSizeBytes();
    fillBLAndSum(g_ucNVRBinBuf, g_nNVRBinSize);
    fillPattern(g_ucEEBuf, NVR_BUF_SIZE, 4);
    fillPattern(g_ucNVRBuf1, NVR_BUF_SIZE, 5);
    fillPattern(g_ucNVRBuf2, NVR_BUF_SIZE, 6);
    fillPattern(g_ucNVRBuf3, NVR_BUF_SIZE, 7);
    calcEECheckSum();
    calcNVR1CheckSum();
    calcNVR2CheckSum();
    calcNVR3CheckSum();
    g_bEnRollCode = g_bEnAutoBurner = g_bEnLimit = true;
    g_nLimitCount = 1000;
    commitPassword(true, QStringLiteral("Pa55word"));
    g_bEnUploadProtect = g_bCaliAdc = g_bCaliClock = true;
    g_fClockFreq = 24.0f;
}

void BM_ProjectSave(benchmark::State &state)
{
    fillProject();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("all.mprj"));
    for (auto _ : state) {
        if (saveProject(path) != 0) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.counters["file_bytes"] = double(QFile(path).size());
}
BENCHMARK(BM_ProjectSave)->Unit(benchmark::kMicrosecond);

void BM_ProjectLoad(benchmark::State &state)
{
    fillProject();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("all.mprj"));
    if (saveProject(path) != 0) {
        state.SkipWithError("save failed");
        return;
    }
    const QVector<McuInfo> chips{g_currentMcu};
    const FileMessages msgs;
    int result = 0;
    for (auto _ : state) {
        result = loadProject(path, chips, [](const QString &) {}, msgs);
        if (result != 0)
            break;
    }
    if (result != 0)
        state.SkipWithError("load failed");
    else if (!(g_bEnBin && g_bEnBL && g_bEnEE && g_bEnNVR2 && g_bEnNVR3 && g_bEnEncryption))
        state.SkipWithError("an area was not loaded");
}
BENCHMARK(BM_ProjectLoad)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
