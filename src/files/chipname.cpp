#include "chipname.h"

#include "cfgdb.h"

#include <QCoreApplication>

QString chipNameForId(uint16_t id, const QVector<McuInfo> &catalogue, int cfgCount, const QString *cfgChip,
                      const QString *cfgName)
{
    for (const McuInfo &mcu : catalogue) {
        if (mcu.nID != id)
            continue;
        if (cfgCount <= 0)
            return mcu.strName;
        for (int i = 0; i < cfgCount; ++i) {
            if (cfgChip[i] == mcu.strName)
                return cfgName[i];
        }
    }
    return QStringLiteral("icid：%1").arg(id, 4, 16, QLatin1Char('0')).toUpper();
}

QString chipNameForId(uint16_t id)
{
    return chipNameForId(id, g_mcuList, g_nCfgCount, g_strCfgChip, g_strCfgName);
}

QString wrongChipText(const QString &expectedModel, const QString &foundChip)
{
    return QCoreApplication::translate("PassVerdict", "需要 %1，检测到 %2").arg(expectedModel, foundChip);
}
