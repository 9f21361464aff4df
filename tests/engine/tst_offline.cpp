#include "enginetest.h"

Q_DECLARE_METATYPE(EmulatorFault)

namespace {
const QString kDownloading = QStringLiteral("下载中.");
const QString kDownloadOk = QStringLiteral("下载成功.");
const QString kDownloadFailed = QStringLiteral("下载失败.");
const QString kUploading = QStringLiteral("上传中.");
const QString kUploadOk = QStringLiteral("上传成功.");
const QString kUploadFailed = QStringLiteral("上传失败.");

const int kNvr1 = 0x1E00;  // pages 16, 14, 15 of the test chip
const int kNvr2 = 0x1A00;
const int kNvr3 = 0x1C00;
constexpr int kImageSize = 0x1234;
constexpr int kBootSize = 700;

const uint8_t kUploadReads[] = {LinkCode::GetBinSize, LinkCode::ReadFlashLink, LinkCode::GetNVRBootLoaderSize,
                                LinkCode::ReadBootLoaderLink, LinkCode::ReadEepromLink, LinkCode::ReadNvrLink,
                                LinkCode::ReadFromRolling, LinkCode::ReadFromLimit, LinkCode::ReadFromAotoBurner};

QByteArray bytes(const uint8_t *buf, int n)
{
    return QByteArray(reinterpret_cast<const char *>(buf), n);
}

// A whole project: every area and every production setting.
void loadProject()
{
    g_bEnBin = g_bEnBL = g_bEnEE = g_bEnNVR1 = g_bEnNVR2 = g_bEnNVR3 = true;
    g_bEnRollCode = g_bEnEncryption = g_bEnLimit = g_bEnAutoBurner = true;
    fillRandom(g_ucBinBuf, kImageSize, 21);
    g_ucBinBuf[kImageSize - 1] = 0x00;
    g_nBinSize = kImageSize;
    fillRandom(g_ucNVRBinBuf, kBootSize, 22);
    g_ucNVRBinBuf[kBootSize - 1] = 0x00;
    g_nNVRBinSize = kBootSize;
    fillRandom(g_ucEEBuf, NVR_BUF_SIZE, 23);
    fillRandom(g_ucNVRBuf1, NVR_BUF_SIZE, 24);
    fillRandom(g_ucNVRBuf2, NVR_BUF_SIZE, 25);
    fillRandom(g_ucNVRBuf3, NVR_BUF_SIZE, 26);
    g_rollingSet.startAdd = 0x1234;
    g_rollingSet.startVal = 77;
    g_nLimitCount = 5000;
    g_autoBurnerSet.StartTime = 321;
    g_strPsw = QStringLiteral("pw");
    g_ucPswLen = 2;
}

void columns()
{
    QTest::addColumn<bool>("withFault");
    QTest::addColumn<EmulatorFault>("injected");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QStringList>("labels");
}

void row(const char *name, int expected, const QStringList &labels, const EmulatorFault &f)
{
    QTest::newRow(name) << true << f << expected << labels;
}
}

class TestOffline : public QObject
{
    Q_OBJECT

    std::optional<DebugCapture> m_debug;  // made anew per test: QtTest reinstalls its handler

private slots:
    void init() { m_debug.emplace(); }

    void downloadWriter_data()
    {
        columns();
        const QString d = kDownloading, f = kDownloadFailed;
        QTest::newRow("0") << false << EmulatorFault() << 0 << QStringList{d, kDownloadOk};
        row("4 WriteToWriterCfg", 4, {d, "WriteToWriterCfg fail:01", f}, fault(LinkCode::WriteToWriterCfg));
        row("8 SendBinSize", 8, {d, "SendBinSize fail:01", f}, fault(LinkCode::SendBinSize));
        row("6 WriteToFlash", 6, {d, f}, fault(LinkCode::WriteFlashLink, EmulatorFault::FailStatus, 0x1200));
        row("13 SendNVRBootLoaderSize", 13, {d, "SendNVRBootLoaderSize fail:01", f}, fault(LinkCode::SendNVRBootLoaderSize));
        row("11 WriteToNVRBootLoader", 11, {d, f}, fault(LinkCode::WriteBootLoaderLink, EmulatorFault::NoAnswer));
        row("16 WriteToEeprom", 16, {d, f}, fault(LinkCode::WriteEepromLink));
        row("21 WriteToNVR1", 21, {d, f}, fault(LinkCode::WriteNvrLink, EmulatorFault::FailStatus, kNvr1));
        row("22 WriteToNVR2", 22, {d, f}, fault(LinkCode::WriteNvrLink, EmulatorFault::FailStatus, kNvr2 + 256));
        row("23 WriteToNVR3", 23, {d, f}, fault(LinkCode::WriteNvrLink, EmulatorFault::ShortAnswer, kNvr3));
        row("28 WriteToRolling", 28, {d, "WriteToRolling fail:01", f}, fault(LinkCode::WriteToRolling));
        row("38 WriteToPassword", 38, {d, f}, fault(LinkCode::WriteToPassword));
        row("30 WriteToLimit", 30, {d, "WriteToLimit fail:01", f}, fault(LinkCode::WriteToLimit));
        row("32 WriteToAotoBurner", 32, {d, "WriteToAotoBurner fail:01", f}, fault(LinkCode::WriteToAotoBurner));
    }

    void downloadWriter()
    {
        QFETCH(bool, withFault);
        QFETCH(EmulatorFault, injected);
        QFETCH(int, expected);
        QFETCH(QStringList, labels);

        EngineRig rig;
        rig.linkReturnsAtOnce();
        loadProject();
        if (withFault)
            rig.emu.addFault(injected);
        QVERIFY(rig.runTask(workThread::TaskDownload));

        QCOMPARE(rig.recorder.done, (DoneList{{"download", expected}}));
        QCOMPARE(rig.recorder.labels, labels);
        const QList<int> sent = rig.sentCommands();
        QCOMPARE(sent.count(LinkCode::resetLink), expected == 0 ? 2 : 1);
        QCOMPARE(sent.last(), int(LinkCode::resetLink));
        if (withFault)  // the first failure ends the sequence
            QCOMPARE(sent.mid(sent.lastIndexOf(injected.code) + 1), QList<int>{LinkCode::resetLink});
        if (expected == 0) {
            QCOMPARE(rig.emu.storeFlash().left(kImageSize), bytes(g_ucBinBuf, kImageSize));
            QCOMPARE(rig.emu.storeBinSize(), uint32_t(kImageSize));
            QCOMPARE(rig.emu.storeBootLoader().left(kBootSize), bytes(g_ucNVRBinBuf, kBootSize));
            QCOMPARE(rig.emu.storeEeprom().left(512), bytes(g_ucEEBuf, 512));
            QCOMPARE(rig.emu.storeNvr().mid(kNvr2, 512), bytes(g_ucNVRBuf2, 512));
            QCOMPARE(rig.emu.storeLimit(), QByteArray::fromHex("88130000"));
        }
        QVERIFY(rig.linkLockFree());
    }

    void downloadNoLink()
    {
        EngineRig rig;
        loadProject();
        rig.emu.setOpenFails(true);
        QVERIFY(rig.runTask(workThread::TaskDownload));
        QCOMPARE(rig.recorder.done, (DoneList{{"download", 36}}));
        QCOMPARE(rig.recorder.labels, QStringList{kDownloadFailed});
        QVERIFY(rig.noTraffic());
    }

    void downloadPasswordOnly()
    {
        EngineRig rig;
        rig.linkReturnsAtOnce();
        g_bEnEncryption = true;
        g_strPsw = QStringLiteral("1234");
        g_ucPswLen = 4;
        QVERIFY(rig.runTask(workThread::TaskDownload));
        QCOMPARE(rig.recorder.done, (DoneList{{"download", 0}}));
        QCOMPARE(rig.sentCommands(), (QList<int>{LinkCode::WriteToWriterCfg, LinkCode::WriteToPassword,
                                                 LinkCode::resetLink, LinkCode::resetLink}));
    }

    void upload_data()
    {
        columns();
        const QString u = kUploading, f = kUploadFailed;
        QTest::newRow("0") << false << EmulatorFault() << 0 << QStringList{u, kUploadOk};
        row("1 ReadFromWriterCfg", 1, {u, "ReadFromWriterCfg fail:01", f}, fault(LinkCode::ReadFromWriterCfg));
        row("9 GetBinSize", 9, {u, "GetBinSize fail:01", f}, fault(LinkCode::GetBinSize));
        row("7 flash", 7, {u, f}, fault(LinkCode::ReadFlashLink, EmulatorFault::FailStatus, 0x1200));
        row("14 GetNVRBootLoaderSize", 14, {u, "GetNVRBootLoaderSize fail:01", f}, fault(LinkCode::GetNVRBootLoaderSize));
        row("12 BootLoader", 12, {u, f}, fault(LinkCode::ReadBootLoaderLink, EmulatorFault::NoAnswer));
        row("17 EEPROM", 17, {u, f}, fault(LinkCode::ReadEepromLink));
        row("24 NVR1", 24, {u, f}, fault(LinkCode::ReadNvrLink, EmulatorFault::FailStatus, kNvr1));
        row("25 NVR2", 25, {u, f}, fault(LinkCode::ReadNvrLink, EmulatorFault::NoResponse, kNvr2));
        row("26 NVR3", 26, {u, f}, fault(LinkCode::ReadNvrLink, EmulatorFault::FailStatus, kNvr3 + 256));
        row("29 ReadFromRolling", 29, {u, "ReadFromRolling fail:01", f}, fault(LinkCode::ReadFromRolling));
        row("31 ReadFromLimit", 31, {u, "ReadFromLimit fail:01", f}, fault(LinkCode::ReadFromLimit));
        row("33 ReadFromAotoBurner", 33, {u, "AutoBurner fail:01", f}, fault(LinkCode::ReadFromAotoBurner));
    }

    // Download a project, forget it, upload it again.
    void upload()
    {
        QFETCH(bool, withFault);
        QFETCH(EmulatorFault, injected);
        QFETCH(int, expected);
        QFETCH(QStringList, labels);

        EngineRig rig;
        loadProject();
        QVERIFY(rig.runTask(workThread::TaskDownload));
        QCOMPARE(rig.recorder.done, (DoneList{{"download", 0}}));
        const QByteArray flash = bytes(g_ucBinBuf, kImageSize);
        const QByteArray boot = bytes(g_ucNVRBinBuf, kBootSize);
        const QByteArray nvr3 = bytes(g_ucNVRBuf3, 512);
        const McuInfo chip = g_currentMcu;

        resetImages();
        resetProduction();

        g_bEnEE = true;  // the Link's configuration does not carry it
        g_currentMcu = *findMcuByName(g_mcuList, QStringLiteral("VR5K2710"));
        rig.settleLink();
        rig.emu.trace().clear();
        rig.recorder.labels.clear();
        rig.recorder.done.clear();
        if (withFault)
            rig.emu.addFault(injected);
        QVERIFY(rig.runTask(workThread::TaskUpload));

        QCOMPARE(rig.recorder.done, (DoneList{{"upload", expected}}));
        QCOMPARE(rig.recorder.labels, labels);
        const QList<int> sent = rig.sentCommands();
        QCOMPARE(sent.count(LinkCode::resetLink), 0);
        if (withFault)
            QCOMPARE(sent.last(), int(injected.code));
        if (expected == 0) {
            QCOMPARE(g_currentMcu.strName, chip.strName);
            QVERIFY(g_bEnBin && g_bEnBL && g_bEnNVR1 && g_bEnNVR2 && g_bEnNVR3);
            QVERIFY(g_bEnRollCode && g_bEnLimit && g_bEnAutoBurner);
            QCOMPARE(g_nBinSize, uint32_t(kImageSize));
            QCOMPARE(bytes(g_ucBinBuf, kImageSize), flash);
            QCOMPARE(g_nNVRBinSize, uint32_t(kBootSize));
            QCOMPARE(bytes(g_ucNVRBinBuf, kBootSize), boot);
            QCOMPARE(bytes(g_ucNVRBuf3, 512), nvr3);
            QCOMPARE(g_nLimitCount, 5000u);
            QCOMPARE(g_rollingSet.startVal, 77u);
            QCOMPARE(g_autoBurnerSet.StartTime, uint16_t(321));
        }
    }

    void uploadNoLink()
    {
        EngineRig rig;
        rig.emu.setOpenFails(true);
        QVERIFY(rig.runTask(workThread::TaskUpload));
        QCOMPARE(rig.recorder.done, (DoneList{{"upload", 36}}));
        QCOMPARE(rig.recorder.labels, QStringList{kUploadFailed});
        QVERIFY(rig.noTraffic());
    }

    void uploadUnknownChip()
    {
        EngineRig rig;
        loadProject();
        g_currentMcu.strName = QStringLiteral("NOT-A-CHIP");
        QVERIFY(rig.runTask(workThread::TaskDownload));
        QCOMPARE(rig.recorder.done, (DoneList{{"download", 0}}));
        rig.settleLink();
        rig.recorder.labels.clear();
        QVERIFY(rig.runTask(workThread::TaskUpload));

        QCOMPARE(rig.recorder.done.last(), qMakePair(QStringLiteral("upload"), 1));
        QCOMPARE(rig.recorder.labels, (QStringList{kUploading, "ReadFromWriterCfg fail:mcu name not found", kUploadFailed}));
        QVERIFY(DebugCapture::contains(QStringLiteral("work ReadFromWriterCfg failed!")));
        for (uint8_t code : kUploadReads)
            QCOMPARE(rig.emu.commandCount(code), 0);
    }
};

TQ_ENGINE_TEST_MAIN(TestOffline)
#include "tst_offline.moc"
