#include "chip/factorytrim.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "support/chipselect.h"

#include <QtTest>

#include <algorithm>
#include <cstring>

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void catalogueOrderAndContent()
    {
        McuList list;
        list.load();
        const QStringList expected = {"VR5K2610", "VR5K2611", "VR5K4470", "VR5K4471", "VR5K2620",
                                      "VR5K2621", "VR5K2612", "VR5K2630", "VR5K2710"};
        QCOMPARE(list.list().size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const McuInfo &m = list.list()[i];
            QCOMPARE(m.strName, expected[i]);
            QCOMPARE(m.nArch, 8051u);
            QCOMPARE(m.nSectorSize, 512u);
            QCOMPARE(m.strNvr2Options, QString("1-1-1-0-0-1"));
            QCOMPARE(m.strNvr3Options, QString("1-1-0-1-1-0-1-1-0-0-0-0-1"));
            QCOMPARE(m.strDescription, QString("%1 %2K Flash").arg(m.strName).arg(m.nFlashSizeKB));
        }
        const McuInfo &small = list.list()[8];
        QCOMPARE(small.nID, 0x2710u);
        QCOMPARE(small.nBootSectors, 2u);
        QCOMPARE(small.nNvr2Page, 3u);
        QCOMPARE(small.nNvr3Page, 4u);
        QCOMPARE(list.list()[7].nFlashSizeKB, 8u);
        QCOMPARE(list.list()[4].nFlashSizeKB, 16u);
    }

    void emptySlotRule()
    {
        McuList built;
        // A slot with id 0 stays out of the list whatever else it holds; a filled later slot joins it.
        g_mcuTable[20].strName = "GHOST";
        g_mcuTable[20].nFlashSizeKB = 64;
        g_mcuTable[50].nID = 0x1234;
        g_mcuTable[50].strName = "LATE";
        built.load();
        QCOMPARE(built.list().size(), 10);
        QCOMPARE(built.list().last().strName, QString("LATE"));
        QVERIFY(!findMcuByName(built.list(), "GHOST"));
        QVERIFY(!findMcuByName(built.list(), "vr5k2610"));  // names match exactly

        McuList rebuilt;  // construction clears every slot again
        rebuilt.load();
        QCOMPARE(rebuilt.list().size(), 9);
        QCOMPARE(g_mcuTable[50].nID, 0u);
        QVERIFY(g_mcuTable[50].strName.isEmpty());
    }

    void erasedFlashChecksum_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<int>("sum");
        QTest::newRow("32 KiB") << "VR5K2610" << 0x8000;
        QTest::newRow("16 KiB") << "VR5K2620" << 0xC000;
        QTest::newRow("8 KiB") << "VR5K2630" << 0xE000;
    }
    void erasedFlashChecksum()
    {
        QFETCH(QString, chip);
        QFETCH(int, sum);
        selectMcu(chip);
        resetImages();
        QVERIFY(fillBinAndSum(g_ucBinBuf, 0));
        QCOMPARE(int(g_nBinCheckSum), sum);
    }

    void flashFillAndOversize()
    {
        selectMcu("VR5K2630");
        resetImages();
        g_ucBinBuf[0] = 0x12;
        g_ucBinBuf[1] = 0x34;
        g_ucBinBuf[2] = 0x00;  // behind the data: filled
        QVERIFY(fillBinAndSum(g_ucBinBuf, 2));
        QCOMPARE(g_ucBinBuf[2], uint8_t(0xFF));
        QCOMPARE(int(g_nBinCheckSum), (0x12 + 0x34 + 0xFF * (8192 - 2)) & 0xFFFF);

        const uint16_t before = g_nBinCheckSum;
        g_ucBinBuf[8192] = 0x00;
        QVERIFY(!fillBinAndSum(g_ucBinBuf, 8193));
        QCOMPARE(g_nBinCheckSum, before);
        QCOMPARE(g_ucBinBuf[8192], uint8_t(0x00));
    }

    void bootLoaderChecksumOnlyWhenEnabled()
    {
        selectMcu("VR5K2710");
        resetImages();
        g_nNVRBinCheckSum = 0x1111;
        QVERIFY(fillBLAndSum(g_ucNVRBinBuf, 0));
        QCOMPARE(g_nNVRBinCheckSum, uint16_t(0x1111));
        g_bEnBL = true;
        g_ucNVRBinBuf[0] = 0;
        QVERIFY(fillBLAndSum(g_ucNVRBinBuf, 1));
        QCOMPARE(int(g_nNVRBinCheckSum), (0xFF * 1023) & 0xFFFF);  // two sectors of 512 bytes
        QVERIFY(!fillBLAndSum(g_ucNVRBinBuf, 8193));
    }

    void resetImagesRestoresEverything()
    {
        selectMcu("VR5K2610");
        std::memset(g_ucBinBuf, 0, sizeof g_ucBinBuf);
        std::memset(g_ucNVRBinBuf, 0, sizeof g_ucNVRBinBuf);
        for (uint8_t *b : {g_ucEEBuf, g_ucNVRBuf1, g_ucNVRBuf2, g_ucNVRBuf3})
            std::memset(b, 0, NVR_BUF_SIZE);
        g_ucAppBinBuf[0] = 0x5A;
        g_bEnBin = g_bEnBL = g_bEnEE = g_bEnNVR1 = g_bEnNVR2 = g_bEnNVR3 = true;
        g_nBinSize = 100;
        g_nNVRBinSize = 200;

        resetImages();

        auto allFF = [](const uint8_t *b, size_t n) { return std::all_of(b, b + n, [](uint8_t x) { return x == 0xFF; }); };
        QVERIFY(allFF(g_ucBinBuf, BIN_BUF_SIZE));
        QVERIFY(allFF(g_ucNVRBinBuf, NVR_BIN_BUF_SIZE));
        for (const uint8_t *b : {g_ucEEBuf, g_ucNVRBuf1, g_ucNVRBuf2, g_ucNVRBuf3})
            QVERIFY(allFF(b, NVR_BUF_SIZE));
        QCOMPARE(g_ucAppBinBuf[0], uint8_t(0x5A));
        for (bool f : {g_bEnBin, g_bEnBL, g_bEnEE, g_bEnNVR1, g_bEnNVR2, g_bEnNVR3})
            QVERIFY(!f);
        QCOMPARE(g_nBinSize, 0u);
        QCOMPARE(g_nNVRBinSize, 0u);
    }

    void factoryTrimTables()
    {
        QCOMPARE(g_nvrFacInfo[0].nAddr, 0x1C00u);
        QCOMPARE(QString::fromUtf8(g_nvrFacInfo[0].strDescription), QString("字节为0xAA时bandgap trimming值有效"));
        QCOMPARE(g_nvrFacInfo[NVR_FAC_INFO_COUNT - 1].nAddr, 0x1DE0u);
        QVERIFY(QString::fromUtf8(g_nvrFacInfo[39].strDescription).contains("生产厂        家"));
        const uint32_t smallAddrs[NVR_FAC_INFO_SMALL_COUNT] = {0x600, 0x601, 0x602, 0x603, 0x609, 0x60A,
                                                                0x60C, 0x60D, 0x60E, 0x60F, 0x611, 0x612,
                                                                0x624, 0x629, 0x62E, 0x633, 0x740, 0x7E0};
        for (int i = 0; i < NVR_FAC_INFO_SMALL_COUNT; ++i)
            QCOMPARE(g_nvrFacInfoSmall[i].nAddr, smallAddrs[i]);
        QCOMPARE(QString::fromUtf8(g_nvrFacInfoSmall[0].strDescription),
                 QString("该字节为 0xAA 时 Bandgap trimming 值有效"));
        for (int i = 1; i < 12; ++i)
            QCOMPARE(QString::fromUtf8(g_nvrFacInfoSmall[i].strDescription),
                     QString::fromUtf8(g_nvrFacInfo[i].strDescription));
    }
};

QTEST_APPLESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
