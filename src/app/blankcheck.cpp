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

QString blankCheckEntry(const AreaSums &chip)
{
    QString entry = QStringLiteral("-----CheckSum-----\n");
    const auto line = [&entry](bool on, const QString &label, uint16_t sum, uint32_t length) {
        if (!on)
            return;
        const bool blank = sum == uint16_t(0xFFu * length);
        entry += label + QString::asprintf("%04X", sum) + QLatin1String("  ")
                 + (blank ? QCoreApplication::translate("mcu_writer", "空片")
                          : QCoreApplication::translate("mcu_writer", "非空"))
                 + QLatin1Char('\n');
    };
    line(g_bEnBin, QStringLiteral("Rom:        "), chip.bin, flashSizeBytes());
    line(g_bEnEE, QStringLiteral("eeprom: "), chip.ee, eepromSizeBytes());
    line(g_bEnNVR1, QStringLiteral("NVR1: "), chip.nvr1, nvrSectorBytes());
    line(g_bEnNVR2, QCoreApplication::translate("mcu_writer", "用户区:     "), chip.nvr2, nvrSectorBytes());
    line(g_bEnNVR3, QStringLiteral("NVR3: "), chip.nvr3, nvrSectorBytes());
    line(g_bEnBL, QStringLiteral("BootLoader: "), chip.bootLoader, bootLoaderSizeBytes());
    return entry;
}
