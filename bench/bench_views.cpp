// The window's data views: ROM view refresh and BootLoader table fill, on the offscreen platform with the
// window shown, each measured up to and including the repaint it causes.

#include "benchdata.h"
#include "benchmain.h"
#include "headlessboxes.h"
#include "app/mcu_writer.h"
#include "chip/images.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

mcu_writer *g_window = nullptr;  // built and shown by main()

mcu_writer &window()
{
    return *g_window;
}

// Brings the tab holding `page` to the front, so its refresh is drawn as the user would see it.
void showTab(const char *page)
{
    auto *tabs = window().findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    auto *widget = window().findChild<QWidget *>(QString::fromLatin1(page));
    if (tabs && widget)
        tabs->setCurrentWidget(widget);
    QApplication::processEvents();
}

// updateBinView with a full 64 KiB image: text built and set, gutter resized and repainted.
void BM_RomViewRefresh64K(benchmark::State &state)
{
    mcu_writer &w = window();
    showTab("bin_tab");
    g_currentMcu = benchChip(64);
    fillPattern(g_ucBinBuf, BIN_BUF_SIZE, 1);
    g_nBinSize = BIN_BUF_SIZE;
    for (auto _ : state) {
        w.updateBinView();
        QApplication::processEvents();
    }
    auto *view = w.findChild<QPlainTextEdit *>(QStringLiteral("textEdit_bin"));
    if (!view || view->blockCount() < int(BIN_BUF_SIZE / 16))
        state.SkipWithError("the ROM view does not hold 4096 lines");
    else
        state.counters["lines"] = view->blockCount() - 1;
}
BENCHMARK(BM_RomViewRefresh64K)->Unit(benchmark::kMillisecond);

// updateBLView on the window's first chip, whose BootLoader area of 13 sectors gives 6,656 cells.
void BM_BootLoaderTableFill(benchmark::State &state)
{
    mcu_writer &w = window();
    showTab("nvr0_tab");
    auto *table = w.findChild<QTableWidget *>(QStringLiteral("tableWidget_NVR1"));
    if (!table) {
        state.SkipWithError("no BootLoader table");
        return;
    }
    uint32_t seed = 0;
    g_nNVRBinSize = NVR_BIN_BUF_SIZE;
    for (auto _ : state) {
        state.PauseTiming();
        fillPattern(g_ucNVRBinBuf, NVR_BIN_BUF_SIZE, ++seed);  // new contents, so every cell changes
        state.ResumeTiming();
        w.updateBLView();
        QApplication::processEvents();
    }
    const int cells = table->rowCount() * table->columnCount();
    state.counters["cells"] = cells;
    if (cells != 6656)
        state.SkipWithError("the first chip's BootLoader table does not have 6,656 cells");
}
BENCHMARK(BM_BootLoaderTableFill)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("windows"));
    answerBoxesOnStderr();
    auto w = std::make_unique<mcu_writer>();
    w->setFixedSize(1100, 650);
    w->show();
    QApplication::processEvents();
    g_window = w.get();
    return runBenchmarks(argc, argv);
}
