#include "productionsettings.h"

#include "chip/mcuinfo.h"

#include <QtEndian>

rolling_seting_t g_rollingSet = {0, 0, 0, 1, 1, 0x80};
bool g_bEnRollCode = false;

bool g_bEnEncryption = false;
QString g_strPsw;
uint8_t g_ucPswLen = 0;

uint32_t g_nLimitCount = 10;
bool g_bEnLimit = false;
autoBurner_seting_t g_autoBurnerSet = {100, 100, 10, 10, 1, 0, 0, 0};
bool g_bEnAutoBurner = false;
bool g_bEnUploadProtect = false;
bool g_bEnAutoWrite = false;
bool g_bUartMode = false;
bool g_bCaliAdc = false;
bool g_bCaliClock = false;
bool g_bCaliOnly = false;
bool g_bNoAdcParamCheck = false;
float g_fClockFreq = 100.0f;

void rollingToBytes(const rolling_seting_t &r, uint8_t out[12])
{
    qToLittleEndian<uint32_t>(r.startAdd, out);
    qToLittleEndian<uint32_t>(r.startVal, out + 4);
    out[8] = r.bitSize;
    out[9] = r.step;
    out[10] = r.radix;
    out[11] = r.flags;
}

rolling_seting_t rollingFromBytes(const uint8_t in[12])
{
    rolling_seting_t r;
    r.startAdd = qFromLittleEndian<uint32_t>(in);
    r.startVal = qFromLittleEndian<uint32_t>(in + 4);
    r.bitSize = in[8];
    r.step = in[9];
    r.radix = in[10];
    r.flags = in[11];
    return r;
}

void autoBurnerToBytes(const autoBurner_seting_t &a, uint8_t out[12])
{
    qToLittleEndian<uint16_t>(a.StartTime, out);
    qToLittleEndian<uint16_t>(a.BusyTime, out + 2);
    qToLittleEndian<uint16_t>(a.EotTime, out + 4);
    qToLittleEndian<uint16_t>(a.OkNgTime, out + 6);
    out[8] = a.StartLevel;
    out[9] = a.BusyLevel;
    out[10] = a.OkLevel;
    out[11] = a.NgLevel;
}

autoBurner_seting_t autoBurnerFromBytes(const uint8_t in[12])
{
    autoBurner_seting_t a;
    a.StartTime = qFromLittleEndian<uint16_t>(in);
    a.BusyTime = qFromLittleEndian<uint16_t>(in + 2);
    a.EotTime = qFromLittleEndian<uint16_t>(in + 4);
    a.OkNgTime = qFromLittleEndian<uint16_t>(in + 6);
    a.StartLevel = in[8];
    a.BusyLevel = in[9];
    a.OkLevel = in[10];
    a.NgLevel = in[11];
    return a;
}

namespace {
void clearProductionSwitches()
{
    g_bEnRollCode = false;
    g_bEnLimit = false;
    g_bEnAutoBurner = false;
    g_bEnUploadProtect = false;
    g_bEnAutoWrite = false;
    g_bUartMode = false;
}

void resetProductionSettings(uint32_t nvrLastAddress)
{
    g_rollingSet.startAdd = nvrLastAddress;
    g_rollingSet.startVal = 0;
    g_rollingSet.bitSize = static_cast<uint8_t>(g_rollingSet.bitSize & ~0x07);
    g_rollingSet.step = 1;
    g_rollingSet.radix = static_cast<uint8_t>((g_rollingSet.radix & ~0x03) | 0x01);
    g_rollingSet.flags = static_cast<uint8_t>((g_rollingSet.flags & ~0x60) | 0x80);
    g_nLimitCount = 10;
    g_autoBurnerSet = {100, 100, 10, 10, 1, 0, 0, 0};
}
}

void resetProduction()
{
    clearProductionSwitches();
    const uint32_t sector = g_currentMcu.nSectorSize;
    const uint32_t nvrEnd = g_currentMcu.nBootSectors ? g_currentMcu.nBootSectors * sector : sector;
    resetProductionSettings(nvrEnd - 1);
}
