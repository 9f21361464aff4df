#include "areas.h"

#include "chip/images.h"
#include "chip/mcuinfo.h"

#include <QCoreApplication>

QVector<Area> allAreas()
{
    return {Area::Rom, Area::Bl, Area::Ee, Area::Nvr1, Area::Nvr2, Area::Nvr3};
}

QString areaName(Area area)
{
    switch (area) {
    case Area::Rom: return QStringLiteral("rom");
    case Area::Bl: return QStringLiteral("bl");
    case Area::Ee: return QStringLiteral("ee");
    case Area::Nvr1: return QStringLiteral("nvr1");
    case Area::Nvr2: return QStringLiteral("nvr2");
    case Area::Nvr3: return QStringLiteral("nvr3");
    }
    return QString();
}

bool areaFromName(const QString &name, Area *area)
{
    for (Area a : allAreas()) {
        if (areaName(a) == name) {
            *area = a;
            return true;
        }
    }
    return false;
}

bool &areaEnabled(Area area)
{
    switch (area) {
    case Area::Rom: return g_bEnBin;
    case Area::Bl: return g_bEnBL;
    case Area::Ee: return g_bEnEE;
    case Area::Nvr1: return g_bEnNVR1;
    case Area::Nvr2: return g_bEnNVR2;
    case Area::Nvr3: break;
    }
    return g_bEnNVR3;
}

QVector<Area> enabledAreas()
{
    QVector<Area> areas;
    for (Area a : allAreas()) {
        if (areaEnabled(a))
            areas << a;
    }
    return areas;
}

void setEnabledAreas(const QVector<Area> &areas)
{
    for (Area a : allAreas())
        areaEnabled(a) = areas.contains(a);
}

uint8_t *areaImage(Area area)
{
    switch (area) {
    case Area::Rom: return g_ucBinBuf;
    case Area::Bl: return g_ucNVRBinBuf;
    case Area::Ee: return g_ucEEBuf;
    case Area::Nvr1: return g_ucNVRBuf1;
    case Area::Nvr2: return g_ucNVRBuf2;
    case Area::Nvr3: break;
    }
    return g_ucNVRBuf3;
}

uint32_t areaLength(Area area)
{
    switch (area) {
    case Area::Rom: return flashSizeBytes();
    case Area::Bl: return bootLoaderSizeBytes();
    case Area::Ee: return eepromSizeBytes();
    default: return nvrSectorBytes();
    }
}

uint32_t areaDataSize(Area area)
{
    if (area == Area::Rom)
        return g_nBinSize;
    if (area == Area::Bl)
        return g_nNVRBinSize;
    return areaLength(area);
}

uint32_t areaChipAddress(Area area)
{
    switch (area) {
    case Area::Nvr1: return nvrPageAddress(g_currentMcu, g_currentMcu.nNvr1Page);
    case Area::Nvr2: return nvrPageAddress(g_currentMcu, g_currentMcu.nNvr2Page);
    case Area::Nvr3: return nvrPageAddress(g_currentMcu, g_currentMcu.nNvr3Page);
    default: return 0;
    }
}

uint16_t &areaChecksum(Area area)
{
    switch (area) {
    case Area::Rom: return g_nBinCheckSum;
    case Area::Bl: return g_nNVRBinCheckSum;
    case Area::Ee: return g_nEECheckSum;
    case Area::Nvr1: return g_nNVRCheckSum1;
    case Area::Nvr2: return g_nNVRCheckSum2;
    case Area::Nvr3: break;
    }
    return g_nNVRCheckSum3;
}

uint16_t erasedChecksum(Area area)
{
    return uint16_t(0xFFu * areaLength(area));
}

void refreshChecksums()
{
    if (g_bEnBin)
        fillBinAndSum(g_ucBinBuf, g_nBinSize);
    if (g_bEnBL)
        fillBLAndSum(g_ucNVRBinBuf, g_nNVRBinSize);
    if (g_bEnEE)
        calcEECheckSum();
    if (g_bEnNVR1)
        calcNVR1CheckSum();
    if (g_bEnNVR2)
        calcNVR2CheckSum();
    if (g_bEnNVR3)
        calcNVR3CheckSum();
}

QString areaUnavailableReason(Area area)
{
    const McuInfo &chip = g_currentMcu;
    switch (area) {
    case Area::Bl:
        if (chip.nBootSectors == 0)
            return QCoreApplication::translate("cli", "%1 has no BootLoader area").arg(chip.strName);
        break;
    case Area::Ee:
        if (chip.nEepromSize == 0)
            return QCoreApplication::translate("cli", "%1 has no EEPROM").arg(chip.strName);
        break;
    case Area::Nvr1:
        // The window offers NVR1 only on chips without a BootLoader; page 0 would address 0xFE00.
        if (chip.nNvr1Page == 0 || chip.nBootSectors != 0)
            return QCoreApplication::translate("cli", "%1 has no NVR1 area").arg(chip.strName);
        break;
    case Area::Nvr2:
        if (chip.nNvr2Page == 0)
            return QCoreApplication::translate("cli", "%1 has no NVR2 area").arg(chip.strName);
        break;
    case Area::Nvr3:
        if (chip.nNvr3Page == 0)
            return QCoreApplication::translate("cli", "%1 has no NVR3 area").arg(chip.strName);
        break;
    case Area::Rom:
        break;
    }
    return QString();
}

QString hex4(uint16_t value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}
