#include "enginetest.h"

Q_DECLARE_METATYPE(EmulatorFault)

namespace {
const QString kReading = QStringLiteral("读取中.");
const QString kReadOk = QStringLiteral("读取成功.");
const QString kReadFailed = QStringLiteral("读取失败.");
const QString kErasing = QStringLiteral("擦除中.");
const QString kEraseOk = QStringLiteral("擦除成功.");
const QString kEraseFailed = QStringLiteral("擦除失败.");
const QString kBlankFailed = QStringLiteral("查空失败.");

const int kNvr1 = 0x1E00;  // pages 16, 14, 15 of the test chip
const int kNvr2 = 0x1A00;
const int kNvr3 = 0x1C00;

enum Condition { Normal, NoChip, WrongChip, NoLink };

void columns()
{
    QTest::addColumn<bool>("withFault");
    QTest::addColumn<EmulatorFault>("injected");
    QTest::addColumn<int>("condition");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QStringList>("labels");
}

void row(const char *name, int expected, const QStringList &labels, int condition = Normal)
{
    QTest::newRow(name) << false << EmulatorFault() << condition << expected << labels;
}

void row(const char *name, int expected, const QStringList &labels, const EmulatorFault &f)
{
    QTest::newRow(name) << true << f << int(Normal) << expected << labels;
}

QByteArray bytes(const uint8_t *buf, int n)
{
    return QByteArray(reinterpret_cast<const char *>(buf), n);
}
}

class TestChipOperations : public QObject
{
    Q_OBJECT

    std::optional<DebugCapture> m_debug;  // made anew per test: QtTest reinstalls its handler

    // Runs one single-pass operation under the row's fault; checks code, labels and that a failure
    // skips ExitProgrammer (unless ExitProgrammer itself failed).
    void runRow(EngineRig &rig, uint8_t task, const char *operation)
    {
        QFETCH(bool, withFault);
        QFETCH(EmulatorFault, injected);
        QFETCH(int, condition);
        QFETCH(int, expected);
        QFETCH(QStringList, labels);

        if (withFault)
            rig.emu.addFault(injected);
        rig.emu.setChipPresent(condition != NoChip);
        if (condition == WrongChip)
            rig.emu.setChipId(0x4470);
        rig.emu.setOpenFails(condition == NoLink);

        QVERIFY(rig.runTask(task));
        QCOMPARE(rig.recorder.done, (DoneList{{QString::fromLatin1(operation), expected}}));
        QCOMPARE(rig.recorder.labels, labels);
        const bool exitFailed = withFault && injected.code == LinkCode::ExitProgrammer;
        QCOMPARE(rig.emu.commandCount(LinkCode::ExitProgrammer) > 0, expected == 0 || exitFailed);
        if (condition == NoLink)
            QVERIFY(rig.noTraffic());
        if (condition == WrongChip)
            QCOMPARE(g_wChipId, uint16_t(0x4470));
        QVERIFY(rig.linkLockFree());  // released on every path
    }

    static void enableAll()
    {
        g_bEnBin = g_bEnBL = g_bEnEE = g_bEnNVR1 = g_bEnNVR2 = g_bEnNVR3 = true;
    }

private slots:
    void init() { m_debug.emplace(); }

    void up_chip_data()
    {
        columns();
        row("0", 0, {kReading, kReadOk});
        row("1 WriteToNvrInfomation", 1, {"WriteToNvrInfomation fail:01", kReadFailed}, fault(LinkCode::WriteToNvrInfomation));
        row("3 no chip", 3, {kReading, kReadFailed}, NoChip);
        row("4 wrong chip", 4, {kReading, kReadFailed}, WrongChip);
        row("7 flash", 7, {kReading, kReadFailed}, fault(LinkCode::ReadFlashChip));
        row("12 BootLoader", 12, {kReading, kReadFailed}, fault(LinkCode::ReadBootLoaderChip));
        row("17 EEPROM", 17, {kReading, kReadFailed}, fault(LinkCode::ReadEepromChip, EmulatorFault::NoAnswer));
        row("24 NVR1", 24, {kReading, kReadFailed}, fault(LinkCode::ReadNvrChip, EmulatorFault::FailStatus, kNvr1));
        row("25 NVR2", 25, {kReading, kReadFailed}, fault(LinkCode::ReadNvrChip, EmulatorFault::FailStatus, kNvr2));
        row("26 NVR3", 26, {kReading, kReadFailed}, fault(LinkCode::ReadNvrChip, EmulatorFault::NoResponse, kNvr3));
        row("27 ExitProgrammer", 27, {kReading, "ExitProgFail:01", kReadFailed}, fault(LinkCode::ExitProgrammer));
        row("36 no Link", 36, {kReadFailed, kReadFailed}, NoLink);
    }

    void up_chip()
    {
        EngineRig rig;
        enableAll();
        QByteArray flash(0x8000, char(0xFF));
        fillRandom(reinterpret_cast<uint8_t *>(flash.data()), 0x7000, 7);
        flash[0x6FFF] = 0x11;
        rig.emu.setChipFlash(0, flash);
        runRow(rig, workThread::TaskUpChip, "up");
        QFETCH(int, expected);
        if (expected == 0) {
            QCOMPARE(bytes(g_ucBinBuf, BIN_BUF_SIZE), flash + QByteArray(0x8000, char(0xFF)));
            QCOMPARE(g_nBinSize, 0x7000u);
            QCOMPARE(bytes(g_ucNVRBinBuf, 13 * 512), rig.emu.chipNvr().left(13 * 512));
            QCOMPARE(bytes(g_ucEEBuf, 512), rig.emu.chipEeprom().left(512));
            QCOMPARE(bytes(g_ucNVRBuf1, 512), rig.emu.chipNvr().mid(kNvr1, 512));
            QCOMPARE(bytes(g_ucNVRBuf3, 512), rig.emu.chipNvr().mid(kNvr3, 512));
        }
    }

    void up_chip_blankFlash()
    {
        EngineRig rig;
        g_bEnBin = true;
        std::memset(g_ucBinBuf, 0x00, BIN_BUF_SIZE);
        g_nBinSize = 1234;
        QVERIFY(rig.runTask(workThread::TaskUpChip));
        QCOMPARE(rig.recorder.done, (DoneList{{"up", 0}}));
        QCOMPARE(bytes(g_ucBinBuf, BIN_BUF_SIZE), QByteArray(BIN_BUF_SIZE, char(0xFF)));
        QCOMPARE(g_nBinSize, 0u);
    }

    void erase_chip_data()
    {
        columns();
        row("0", 0, {kErasing, kEraseOk});
        row("1 WriteToNvrInfomation", 1, {"WriteToNvrInfomation fail:01", kEraseFailed}, fault(LinkCode::WriteToNvrInfomation));
        row("3 no chip", 3, {kErasing, kEraseFailed}, NoChip);
        row("4 wrong chip", 4, {kErasing, kEraseFailed}, WrongChip);
        row("5 EraseFlash", 5, {kErasing, "EraseFlashFail:01", kEraseFailed}, fault(LinkCode::EraseFlash));
        row("10 EraseNVRBootLoader", 10, {kErasing, "Erase NVRBootLoader failed:01", kEraseFailed},
            fault(LinkCode::EraseNVRBootLoader));
        row("15 EraseEep", 15, {kErasing, "EraseEepFail:01", kEraseFailed}, fault(LinkCode::EraseEep));
        row("18 NVR1", 18, {kErasing, "EraseNVRFail:01", kEraseFailed}, fault(LinkCode::EraseNVR, EmulatorFault::FailStatus, kNvr1));
        row("19 NVR2", 19, {kErasing, "EraseNVRFail:01", kEraseFailed}, fault(LinkCode::EraseNVR, EmulatorFault::FailStatus, kNvr2));
        row("20 NVR3", 20, {kErasing, "EraseNVRFail:01", kEraseFailed}, fault(LinkCode::EraseNVR, EmulatorFault::FailStatus, kNvr3));
        row("27 ExitProgrammer", 27, {kErasing, "ExitProgFail:01", kEraseFailed}, fault(LinkCode::ExitProgrammer));
        row("36 no Link", 36, {kEraseFailed, kEraseFailed}, NoLink);
    }

    void erase_chip()
    {
        EngineRig rig;
        enableAll();
        rig.emu.setChipFlash(0x100, QByteArray(0x200, char(0x12)));
        runRow(rig, workThread::TaskEraseChip, "erase");
        QFETCH(int, expected);
        // The flash goes first; every later step's failure finds it erased already.
        const bool flashErased = QList<int>{0, 10, 15, 18, 19, 20, 27}.contains(expected);
        QCOMPARE(rig.emu.chipFlash() == QByteArray(LinkEmulator::kFlashSize, char(0xFF)), flashErased);
    }

    void erase_chip_eepromOnly()
    {
        EngineRig rig;
        g_bEnEE = true;
        rig.emu.addFault(fault(LinkCode::EraseEep));
        QVERIFY(rig.runTask(workThread::TaskEraseChip));
        QCOMPARE(rig.recorder.done, (DoneList{{"erase", 15}}));
        QCOMPARE(rig.recorder.labels.last(), kEraseFailed);
        QCOMPARE(rig.sentCommands(), (QList<int>{LinkCode::WriteToNvrInfomation, LinkCode::InitProgrammer,
                                                 LinkCode::CheckID, LinkCode::EraseEep}));
    }

    void check_blank_chip_data()
    {
        columns();
        row("0", 0, {kReadOk});
        row("1 WriteToNvrInfomation", 1, {"WriteToNvrInfomation fail:01", kBlankFailed}, fault(LinkCode::WriteToNvrInfomation));
        row("1 getChipCheckSum", 1, {"getChipCheckSum fail:01", kBlankFailed}, fault(LinkCode::getChipCheckSum));
        row("3 no chip", 3, {kBlankFailed}, NoChip);
        row("4 wrong chip", 4, {kBlankFailed}, WrongChip);
        row("27 ExitProgrammer", 27, {"ExitProgFail:01", kBlankFailed}, fault(LinkCode::ExitProgrammer));
        row("36 no Link", 36, {kReadFailed, kBlankFailed}, NoLink);
    }

    void check_blank_chip()
    {
        EngineRig rig;
        g_bEnBin = g_bEnBL = true;
        QByteArray flash(0x100, char(0x01));
        rig.emu.setChipFlash(0, flash);
        g_nBinCheckSum = g_nNVRBinCheckSum = g_nEECheckSum = 0x1111;
        runRow(rig, workThread::TaskCheckBlank, "blank");
        QFETCH(int, expected);
        if (expected == 0) {
            QCOMPARE(g_nBinCheckSum, sum16(reinterpret_cast<const uint8_t *>(rig.emu.chipFlash().constData()), 0x8000));
            QCOMPARE(g_nNVRBinCheckSum, uint16_t(13 * 512 * 0xFF));
            QCOMPARE(g_nEECheckSum, uint16_t(0x1111));  // not enabled, not touched
        }
    }

    void read_fac_param_data()
    {
        columns();
        row("0", 0, {kReadOk});
        row("3 no chip", 3, {kReadFailed}, NoChip);
        row("4 wrong chip", 4, {kReadFailed}, WrongChip);
        row("-1 ReadFromNVR", -1, {kReadFailed}, fault(LinkCode::ReadNvrChip, EmulatorFault::NoAnswer));
        row("27 ExitProgrammer", 27, {"ExitProgFail:01", kReadFailed}, fault(LinkCode::ExitProgrammer));
        row("36 no Link", 36, {kReadFailed, kReadFailed}, NoLink);
    }

    void read_fac_param()
    {
        EngineRig rig;
        std::memset(g_ucNVRBuf3, 0x00, NVR_BUF_SIZE);
        runRow(rig, workThread::TaskReadFacParam, "fac");
        QCOMPARE(rig.emu.commandCount(LinkCode::WriteToNvrInfomation), 0);
        QFETCH(int, expected);
        if (expected == 0)
            QCOMPARE(bytes(g_ucNVRBuf3, 512), rig.emu.chipNvr().mid(kNvr3, 512));
    }

    // Burn an image and a BootLoader, read them back: the same bytes and the same size.
    void burnThenReadBack()
    {
        EngineRig rig;
        g_currentMcu = *findMcuByName(g_mcuList, QStringLiteral("VR5K2610"));
        const int size = 0x5432;
        fillRandom(g_ucBinBuf, size, 11);
        g_ucBinBuf[size - 1] = 0x00;
        g_nBinSize = size;
        fillRandom(g_ucNVRBinBuf, 3000, 12);
        g_ucNVRBinBuf[2999] = 0x00;
        g_nNVRBinSize = 3000;
        g_bEnBin = g_bEnBL = true;
        const QByteArray flash = bytes(g_ucBinBuf, size);
        const QByteArray boot = bytes(g_ucNVRBinBuf, 3000);

        g_bBurnRunning.store(1);
        QVERIFY(rig.runTask(workThread::TaskBurn));
        QCOMPARE(rig.recorder.done, (DoneList{{"burn", 0}}));
        QCOMPARE(rig.emu.chipFlash(), flash + QByteArray(LinkEmulator::kFlashSize - size, char(0xFF)));
        QCOMPARE(rig.emu.chipNvr().left(13 * 512), boot + QByteArray(13 * 512 - 3000, char(0xFF)));

        std::memset(g_ucBinBuf, 0, BIN_BUF_SIZE);
        std::memset(g_ucNVRBinBuf, 0, NVR_BIN_BUF_SIZE);
        g_nBinSize = g_nNVRBinSize = 0;
        QVERIFY(rig.runTask(workThread::TaskUpChip));
        QCOMPARE(rig.recorder.done.last(), qMakePair(QStringLiteral("up"), 0));
        QCOMPARE(bytes(g_ucBinBuf, size), flash);
        QCOMPARE(g_nBinSize, uint32_t(size));
        QCOMPARE(bytes(g_ucNVRBinBuf, 3000), boot);
        QCOMPARE(g_nNVRBinSize, 3000u);
    }
};

TQ_ENGINE_TEST_MAIN(TestChipOperations)
#include "tst_chipops.moc"
