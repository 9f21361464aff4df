#include "blankcheck.h"

#include "chip/images.h"

#include <QCoreApplication>

AreaSums currentAreaSums()
{
    return {g_nBinCheckSum, g_nEECheckSum, g_nNVRCheckSum1, g_nNVRCheckSum2, g_nNVRCheckSum3, g_nNVRBinCheckSum};
}

void restoreAreaSums(const AreaSums &sums)
{
    g_nBinCheckSum = sums.bin;
    g_nEECheckSum = sums.ee;
    g_nNVRCheckSum1 = sums.nvr1;
    g_nNVRCheckSum2 = sums.nvr2;
    g_nNVRCheckSum3 = sums.nvr3;
    g_nNVRBinCheckSum = sums.bootLoader;
}

namespace {
// Calls `line(label, sum, blank)` for each enabled area, in the log's order.
template <typename Line>
void forEachCheckedArea(const AreaSums &chip, Line line)
{
    const auto area = [&line](bool on, const QString &label, uint16_t sum, uint32_t length) {
        if (on)
            line(label, sum, sum == uint16_t(0xFFu * length));
    };
    area(g_bEnBin, QStringLiteral("Rom:        "), chip.bin, flashSizeBytes());
    area(g_bEnEE, QStringLiteral("eeprom: "), chip.ee, eepromSizeBytes());
    area(g_bEnNVR1, QStringLiteral("NVR1: "), chip.nvr1, nvrSectorBytes());
    area(g_bEnNVR2, QCoreApplication::translate("mcu_writer", "用户区:     "), chip.nvr2, nvrSectorBytes());
    area(g_bEnNVR3, QStringLiteral("NVR3: "), chip.nvr3, nvrSectorBytes());
    area(g_bEnBL, QStringLiteral("BootLoader: "), chip.bootLoader, bootLoaderSizeBytes());
}
}

QString blankCheckEntry(const AreaSums &chip)
{
    QString entry = QStringLiteral("-----CheckSum-----\n");
    forEachCheckedArea(chip, [&entry](const QString &label, uint16_t sum, bool blank) {
        entry += label + QString::asprintf("%04X", sum) + QLatin1String("  ")
                 + (blank ? QCoreApplication::translate("mcu_writer", "空片")
                          : QCoreApplication::translate("mcu_writer", "非空"))
                 + QLatin1Char('\n');
    });
    return entry;
}

bool blankCheckAllBlank(const AreaSums &chip)
{
    bool all = true;
    forEachCheckedArea(chip, [&all](const QString &, uint16_t, bool blank) { all = all && blank; });
    return all;
}
