#include "processstate.h"

#include "engineflags.h"

#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "files/cfgdb.h"
#include "link/firmwarefile.h"
#include "link/linkstate.h"
#include "production/productionsettings.h"

#include <cstring>

namespace {
void resetImagesAndSums()
{
    resetImages();
    g_nBinCheckSum = g_nNVRBinCheckSum = g_nEECheckSum = 0;
    g_nNVRCheckSum1 = g_nNVRCheckSum2 = g_nNVRCheckSum3 = 0;
}

void resetUpgrade()
{
    std::memset(g_ucAppBinBuf, 0xFF, sizeof g_ucAppBinBuf);
    g_nAppBinSize = 0;
    g_nAppBinCheckSum = 0;
    g_bAppBinLoaded.store(0);
    up_datHardware.clear();
    up_datSoftware.clear();
    g_nFwUpgrading.store(0);
}

// Every production setting at the value it is defined with; resetProduction() keeps the password and the
// calibration on purpose (a new project keeps them), a new process does not.
void resetProductionDefaults()
{
    g_rollingSet = {0, 0, 0, 1, 1, 0x80};
    g_bEnRollCode = false;
    g_bEnEncryption = false;
    g_strPsw.clear();
    g_ucPswLen = 0;
    g_nLimitCount = 10;
    g_bEnLimit = false;
    g_autoBurnerSet = {100, 100, 10, 10, 1, 0, 0, 0};
    g_bEnAutoBurner = false;
    g_bEnUploadProtect = false;
    g_bEnAutoWrite = false;
    g_bUartMode = false;
    g_bCaliAdc = false;
    g_bCaliClock = false;
    g_bCaliOnly = false;
    g_bNoAdcParamCheck = false;
    g_fClockFreq = 100.0f;
}

void resetCfgNames()
{
    g_strCompany.clear();
    for (int i = 0; i < CFG_MAX_ENTRIES; ++i) {
        g_strCfgChip[i].clear();
        g_strCfgName[i].clear();
    }
    g_nCfgCount = 0;
}

void resetLinkAndLoopFlags()
{
    g_wChipId = 0;
    g_bI2CMode.store(1);
    g_bIapArrived.store(0);
    g_bBurnRunning.store(0);
    g_bBurnChipHandled.store(0);
    g_bAutoBurnRunning.store(0);
    g_bAutoBurnChipHandled.store(0);
}
}  // namespace

void resetProcessState()
{
    g_mcuList.clear();
    g_currentMcu = McuInfo();
    resetImagesAndSums();
    resetUpgrade();
    resetProductionDefaults();
    resetCfgNames();
    resetLinkAndLoopFlags();
}
