// resetProcessState() against the state this process started with: every piece the engine shares is written,
// then reset, and must read as it did before anything touched it.
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "engine/engineflags.h"
#include "engine/processstate.h"
#include "files/cfgdb.h"
#include "link/firmwarefile.h"
#include "link/linkstate.h"
#include "production/productionsettings.h"

#include <QtTest>

#include <algorithm>
#include <cstring>

namespace {
QString bytes(const uint8_t *data, int n) { return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(data), n).toHex()); }

// Every piece of the state as "name=value", for a readable difference.
QStringList describe()
{
    uint8_t rolling[12], burner[12];
    rollingToBytes(g_rollingSet, rolling);
    autoBurnerToBytes(g_autoBurnerSet, burner);
    QStringList cfg;
    for (int i = 0; i < CFG_MAX_ENTRIES; ++i)
        cfg << g_strCfgChip[i] + QLatin1Char(':') + g_strCfgName[i];
    const auto n = [](const char *name, auto value) { return QStringLiteral("%1=%2").arg(QLatin1String(name)).arg(value); };
    return {
        n("mcuList", g_mcuList.size()), n("currentMcu", g_currentMcu.strName), n("currentMcuId", g_currentMcu.nID),
        n("binSize", g_nBinSize), n("nvrBinSize", g_nNVRBinSize), n("appBinSize", g_nAppBinSize),
        n("enables", QStringLiteral("%1%2%3%4%5%6").arg(g_bEnBin).arg(g_bEnBL).arg(g_bEnEE).arg(g_bEnNVR1)
                         .arg(g_bEnNVR2).arg(g_bEnNVR3)),
        n("sums", QStringLiteral("%1 %2 %3 %4 %5 %6").arg(g_nBinCheckSum).arg(g_nNVRBinCheckSum).arg(g_nEECheckSum)
                      .arg(g_nNVRCheckSum1).arg(g_nNVRCheckSum2).arg(g_nNVRCheckSum3)),
        n("appBinSum", g_nAppBinCheckSum), n("appBinLoaded", g_bAppBinLoaded.load()),
        n("upHardware", up_datHardware), n("upSoftware", up_datSoftware), n("fwUpgrading", g_nFwUpgrading.load()),
        n("rolling", bytes(rolling, 12)), n("rollCode", g_bEnRollCode), n("encryption", g_bEnEncryption),
        n("password", g_strPsw), n("passwordLength", g_ucPswLen), n("limit", g_nLimitCount), n("enLimit", g_bEnLimit),
        n("autoBurner", bytes(burner, 12)), n("enAutoBurner", g_bEnAutoBurner), n("uploadProtect", g_bEnUploadProtect),
        n("autoWrite", g_bEnAutoWrite), n("uart", g_bUartMode), n("caliAdc", g_bCaliAdc), n("caliClock", g_bCaliClock),
        n("caliOnly", g_bCaliOnly), n("noAdcCheck", g_bNoAdcParamCheck), n("clock", double(g_fClockFreq)),
        n("company", g_strCompany), n("cfgCount", g_nCfgCount), n("cfg", cfg.join(QLatin1Char(','))),
        n("chipId", g_wChipId), n("i2c", g_bI2CMode.load()), n("iap", g_bIapArrived.load()),
        n("burnRunning", g_bBurnRunning.load()), n("burnHandled", g_bBurnChipHandled.load()),
        n("autoRunning", g_bAutoBurnRunning.load()), n("autoHandled", g_bAutoBurnChipHandled.load()),
    };
}

// What a job leaves behind: something other than the start value in every piece.
void dirty()
{
    McuList catalogue;
    catalogue.load();
    g_mcuList = catalogue.list();
    g_currentMcu = g_mcuList.value(0);
    std::memset(g_ucBinBuf, 0x12, 64);
    std::memset(g_ucNVRBinBuf, 0x12, 64);
    std::memset(g_ucEEBuf, 0x12, 64);
    std::memset(g_ucNVRBuf1, 0x12, 64);
    std::memset(g_ucNVRBuf2, 0x12, 64);
    std::memset(g_ucNVRBuf3, 0x12, 64);
    std::memset(g_ucAppBinBuf, 0x12, 64);
    g_nBinSize = g_nNVRBinSize = g_nAppBinSize = 64;
    g_bEnBin = g_bEnBL = g_bEnEE = g_bEnNVR1 = g_bEnNVR2 = g_bEnNVR3 = true;
    g_nBinCheckSum = g_nNVRBinCheckSum = g_nEECheckSum = g_nNVRCheckSum1 = g_nNVRCheckSum2 = g_nNVRCheckSum3 = 7;
    g_nAppBinCheckSum = 7;
    g_bAppBinLoaded.store(1);
    up_datHardware = QStringLiteral("02");
    up_datSoftware = QStringLiteral("010203");
    g_nFwUpgrading.store(1);
    g_rollingSet = {0x1234, 99, 3, 5, 0, 0x20};
    g_bEnRollCode = g_bEnEncryption = g_bEnLimit = g_bEnAutoBurner = g_bEnUploadProtect = g_bEnAutoWrite = true;
    g_bUartMode = g_bCaliAdc = g_bCaliClock = g_bCaliOnly = g_bNoAdcParamCheck = true;
    g_strPsw = QStringLiteral("secret");
    g_ucPswLen = 6;
    g_nLimitCount = 500;
    g_autoBurnerSet = {1, 2, 3, 4, 0, 1, 0, 1};
    g_fClockFreq = 24.0f;
    g_strCompany = QStringLiteral("Works");
    g_strCfgChip[0] = QStringLiteral("VR5K2610");
    g_strCfgName[0] = QStringLiteral("Ours");
    g_nCfgCount = 1;
    g_wChipId = 0x2611;
    g_bI2CMode.store(0);
    g_bIapArrived.store(1);
    g_bBurnRunning.store(1);
    g_bBurnChipHandled.store(1);
    g_bAutoBurnRunning.store(1);
    g_bAutoBurnChipHandled.store(1);
}

bool allErased(const uint8_t *data, size_t n) { return std::all_of(data, data + n, [](uint8_t b) { return b == 0xFF; }); }
}  // namespace

class TestProcessState : public QObject
{
    Q_OBJECT

    QStringList m_start;

private slots:
    void initTestCase() { m_start = describe(); }

    void resetReturnsEverythingToTheStart()
    {
        dirty();
        QVERIFY(describe() != m_start);
        resetProcessState();
        QCOMPARE(describe(), m_start);
    }

    // The images read as an erased chip, as a program clears them at its start.
    void resetErasesTheImages()
    {
        dirty();
        resetProcessState();
        QVERIFY(allErased(g_ucBinBuf, sizeof g_ucBinBuf));
        QVERIFY(allErased(g_ucNVRBinBuf, sizeof g_ucNVRBinBuf));
        QVERIFY(allErased(g_ucEEBuf, sizeof g_ucEEBuf));
        QVERIFY(allErased(g_ucNVRBuf1, sizeof g_ucNVRBuf1));
        QVERIFY(allErased(g_ucNVRBuf2, sizeof g_ucNVRBuf2));
        QVERIFY(allErased(g_ucNVRBuf3, sizeof g_ucNVRBuf3));
        QVERIFY(allErased(g_ucAppBinBuf, sizeof g_ucAppBinBuf));
    }
};

QTEST_GUILESS_MAIN(TestProcessState)
#include "tst_processstate.moc"
