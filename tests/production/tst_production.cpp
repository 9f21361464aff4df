#include "chip/mcuinfo.h"
#include "support/chipselect.h"
#include "production/productionsettings.h"

#include <QtTest>

class TestProduction : public QObject
{
    Q_OBJECT

private slots:
    void resetProductionRestoresDefaults()
    {
        selectMcu("VR5K2610");
        g_bEnRollCode = g_bEnLimit = g_bEnAutoBurner = g_bEnUploadProtect = g_bEnAutoWrite = g_bUartMode = true;
        g_bEnEncryption = true;
        g_bCaliAdc = g_bCaliClock = g_bCaliOnly = g_bNoAdcParamCheck = true;
        g_rollingSet = {7, 99, 0x03 | 0x08, 9, 0x00 | 0x04, 0x40 | 0x01};
        g_nLimitCount = 5000;
        g_autoBurnerSet = {1, 2, 3, 4, 5, 6, 7, 8};

        resetProduction();

        for (bool f : {g_bEnRollCode, g_bEnLimit, g_bEnAutoBurner, g_bEnUploadProtect, g_bEnAutoWrite, g_bUartMode})
            QVERIFY(!f);
        // Password switch and calibration choices survive a reset.
        QVERIFY(g_bEnEncryption && g_bCaliAdc && g_bCaliClock && g_bCaliOnly && g_bNoAdcParamCheck);

        QCOMPARE(g_rollingSet.startAdd, 13u * 512 - 1);
        QCOMPARE(g_rollingSet.startVal, 0u);
        QCOMPARE(g_rollingSet.bitSize & 0x07, 0);
        QCOMPARE(g_rollingSet.bitSize & 0x08, 0x08);  // bits above the width are kept
        QCOMPARE(int(g_rollingSet.step), 1);
        QCOMPARE(g_rollingSet.radix & 0x03, 1);
        QCOMPARE(g_rollingSet.radix & 0x04, 0x04);
        QVERIFY(g_rollingSet.incDec());
        QCOMPARE(int(g_rollingSet.area()), int(RollingAreaNvr));
        QCOMPARE(g_rollingSet.flags & 0x01, 0x01);
        QCOMPARE(g_nLimitCount, 10u);
        QCOMPARE(g_autoBurnerSet.StartTime, uint16_t(100));
        QCOMPARE(g_autoBurnerSet.BusyTime, uint16_t(100));
        QCOMPARE(g_autoBurnerSet.EotTime, uint16_t(10));
        QCOMPARE(g_autoBurnerSet.OkNgTime, uint16_t(10));
        QCOMPARE(int(g_autoBurnerSet.StartLevel), 1);
        QCOMPARE(int(g_autoBurnerSet.BusyLevel) + g_autoBurnerSet.OkLevel + g_autoBurnerSet.NgLevel, 0);
        g_bEnEncryption = g_bCaliAdc = g_bCaliClock = g_bCaliOnly = g_bNoAdcParamCheck = false;
    }

    void rollingStartWithoutBootLoader()
    {
        selectMcu("VR5K2610");
        McuInfo m = g_currentMcu;
        m.nBootSectors = 0;
        g_currentMcu = m;
        resetProduction();
        QCOMPARE(g_rollingSet.startAdd, 511u);
    }

    void rollingWireForm()
    {
        rolling_seting_t r = {0x19FF, 0, 0, 1, 1, 0x80};
        uint8_t bytes[12];
        rollingToBytes(r, bytes);
        const uint8_t expected[12] = {0xFF, 0x19, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x01, 0x80};
        QCOMPARE(QByteArray((const char *)bytes, 12), QByteArray((const char *)expected, 12));
        const rolling_seting_t back = rollingFromBytes(bytes);
        QCOMPARE(back.startAdd, r.startAdd);
        QCOMPARE(back.flags, r.flags);
    }
};

QTEST_APPLESS_MAIN(TestProduction)
#include "tst_production.moc"
