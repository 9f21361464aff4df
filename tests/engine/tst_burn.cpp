#include "enginetest.h"


Q_DECLARE_METATYPE(EmulatorFault)

namespace {
const QString kBurnOk = QStringLiteral("烧写成功");
const QString kBurnFailed = QStringLiteral("烧写失败");
const QString kHint = QStringLiteral("提示信息");
const QString kConnecting = QStringLiteral("芯片连接中");

constexpr int kImageSize = 5000;
constexpr int kBootSize = 1500;

void loadImages()
{
    fillRandom(g_ucBinBuf, kImageSize, 1);
    g_ucBinBuf[kImageSize - 1] = 0x5A;
    g_nBinSize = kImageSize;
    fillRandom(g_ucNVRBinBuf, kBootSize, 2);
    g_nNVRBinSize = kBootSize;
    fillRandom(g_ucNVRBuf1, NVR_BUF_SIZE, 3);
    fillRandom(g_ucNVRBuf2, NVR_BUF_SIZE, 4);
    fillRandom(g_ucNVRBuf3, NVR_BUF_SIZE, 5);
}

QByteArray image(const uint8_t *buf, int n)
{
    return QByteArray(reinterpret_cast<const char *>(buf), n);
}

// Codes that write into the chip.
const uint8_t kWriting[] = {LinkCode::EraseFlash, LinkCode::WriteFlashChip, LinkCode::EraseNVRBootLoader,
                            LinkCode::WriteBootLoaderChip, LinkCode::EraseNVR, LinkCode::WriteNvrChip};
}

class TestBurn : public QObject
{
    Q_OBJECT

    std::optional<DebugCapture> m_debug;  // made anew per test: QtTest reinstalls its handler

private slots:
    void init() { m_debug.emplace(); }

    // One chip pass: with the burn toggle already off, burn_chip handles the chip in the socket once and
    // ends after a failed pass as soon as it sees the toggle off.
    void burnPass_data()
    {
        QTest::addColumn<bool>("withFault");
        QTest::addColumn<EmulatorFault>("injected");
        QTest::addColumn<int>("doneCode");  // -100: no done signal
        QTest::addColumn<QString>("debugText");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<int>("notSent");  // a later step the failure skips; -1: none

        const EmulatorFault none;
        const int nvr2 = nvrPageAddress(testChip(), testChip().nNvr2Page);
        QTest::newRow("0 success") << false << none << 0 << "" << QStringList{"烧写中...", kBurnOk} << int(-1);
        QTest::newRow("5 EraseFlash") << true << fault(LinkCode::EraseFlash) << -100
                                      << "work erase_chip failed!" << QStringList{"EraseFlashFail:01", kBurnFailed, kHint} << int(LinkCode::WriteFlashChip);
        QTest::newRow("6 WriteToFlash") << true << fault(LinkCode::WriteFlashChip, EmulatorFault::FailStatus, 0x100)
                                        << -100 << "work down_chip failed!" << QStringList{kBurnFailed, kHint} << int(LinkCode::checkSum);
        QTest::newRow("6 checkSum") << true << fault(LinkCode::checkSum) << -100 << "work checkSum failed!"
                                    << QStringList{kBurnFailed, kHint} << int(LinkCode::EraseNVR);
        QTest::newRow("10 NVR2 read") << true << fault(LinkCode::ReadNvrChip, EmulatorFault::NoAnswer, nvr2) << -100
                                      << "" << QStringList{kBurnFailed, kHint} << int(LinkCode::EraseNVRBootLoader);
        QTest::newRow("10 EraseNVRBootLoader") << true << fault(LinkCode::EraseNVRBootLoader) << -100
                                               << "work EraseNVRBootLoader failed!" << QStringList{kBurnFailed, kHint} << int(LinkCode::WriteBootLoaderChip);
        QTest::newRow("11 WriteToNVRBootLoader") << true << fault(LinkCode::WriteBootLoaderChip) << -100
                                                 << "work WriteToNVRBootLoader failed!" << QStringList{kBurnFailed, kHint} << int(LinkCode::WriteFlashChip);
        QTest::newRow("27 ExitProgrammer") << true << fault(LinkCode::ExitProgrammer) << -100
                                           << "ExitProgrammer failed!" << QStringList{"ExitProgFail:01", kBurnFailed, kHint} << int(-1);
        QTest::newRow("NVR1 write fails, pass succeeds")
            << true << fault(LinkCode::WriteNvrChip, EmulatorFault::FailStatus, nvrPageAddress(testChip(), 16)) << 0
            << "work Write NVR1 failed!" << QStringList{kBurnOk} << int(-1);
    }

    void burnPass()
    {
        QFETCH(bool, withFault);
        QFETCH(EmulatorFault, injected);
        QFETCH(int, doneCode);
        QFETCH(QString, debugText);
        QFETCH(QStringList, labels);
        QFETCH(int, notSent);

        EngineRig rig;
        loadImages();
        g_bEnBin = g_bEnBL = g_bEnNVR1 = g_bEnNVR2 = g_bEnNVR3 = true;
        if (withFault)
            rig.emu.addFault(injected);
        QVERIFY(rig.runTask(workThread::TaskBurn));

        if (doneCode == -100)
            QVERIFY(rig.recorder.done.isEmpty());
        else
            QCOMPARE(rig.recorder.done, (DoneList{{"burn", doneCode}}));
        if (!debugText.isEmpty())
            QVERIFY2(DebugCapture::contains(debugText), qPrintable(debugText));
        QCOMPARE(rig.recorder.labels.mid(rig.recorder.labels.size() - labels.size()), labels);
        if (notSent >= 0)
            QCOMPARE(rig.emu.commandCount(uint8_t(notSent)), 0);
        if (doneCode == 0) {
            QCOMPARE(rig.emu.chipFlash().left(kImageSize), image(g_ucBinBuf, kImageSize));
            QCOMPARE(rig.emu.chipNvr().left(kBootSize), image(g_ucNVRBinBuf, kBootSize));
        }
    }

    void burnStartFailures_data()
    {
        QTest::addColumn<int>("task");
        QTest::addColumn<QString>("operation");
        QTest::newRow("burn_chip") << int(workThread::TaskBurn) << "burn";
        QTest::newRow("auto_burn_chip") << int(workThread::TaskAutoBurn) << "auto_burn";
    }

    // No Link: 36 with the failure label, whatever the toggles say.
    void burnStartFailures()
    {
        QFETCH(int, task);
        QFETCH(QString, operation);
        EngineRig rig;
        g_bEnBin = true;
        g_bBurnRunning.store(1);
        g_bAutoBurnRunning.store(1);
        rig.emu.setOpenFails(true);
        QVERIFY(rig.runTask(uint8_t(task)));
        QCOMPARE(rig.recorder.done, (DoneList{{operation, 36}}));
        QCOMPARE(rig.recorder.labels, QStringList{kBurnFailed});
        QVERIFY(rig.linkLockFree());  // released again
    }

    void noChipAnimatesUntilSwitchedOff()
    {
        EngineRig rig;
        g_bEnBin = true;
        rig.emu.setChipPresent(false);
        g_bBurnRunning.store(1);
        QVERIFY(rig.thread->setTask(workThread::TaskBurn));
        QVERIFY(QTest::qWaitFor([&] { return rig.recorder.labelsStartingWith(kConnecting).size() >= 16; }));
        g_bBurnRunning.store(0);
        QVERIFY(rig.waitIdle());

        const QStringList connecting = rig.recorder.labelsStartingWith(kConnecting);
        for (int i = 0; i < connecting.size(); ++i)
            QCOMPARE(connecting[i], kConnecting + QString((i + 1) % 7, QLatin1Char('.')));
        QCOMPARE(connecting[5], QStringLiteral("芯片连接中......"));
        QCOMPARE(connecting[6], kConnecting);
        QCOMPARE(rig.recorder.labels.last(), kHint);
        QVERIFY(rig.recorder.done.isEmpty());
    }

    // An empty socket is asked at a calm pace: every "no chip" is followed by a pause of the Link's time, so
    // at real time the wait sleeps instead of keeping a core busy.
    void emptySocketIsAskedAtACalmPace()
    {
        std::atomic<long> waitedMs{0};  // outlives the rig, whose worker calls the hook until it ends
        EngineRig rig;
        loadImages();
        g_bEnBin = true;
        rig.emu.setChipPresent(false);
        setLinkSleepHook([&](int ms) {
            waitedMs += ms;
            rig.emu.advanceClock(ms);
        });
        g_bBurnRunning.store(1);
        QVERIFY(rig.thread->setTask(workThread::TaskBurn));
        QVERIFY(QTest::qWaitFor([&] { return rig.emu.commandCount(LinkCode::InitProgrammer) >= 20; }));
        g_bBurnRunning.store(0);
        QVERIFY(rig.waitIdle());
        const int asks = rig.emu.commandCount(LinkCode::InitProgrammer);
        QVERIFY2(waitedMs.load() >= 20L * (asks - 1),
                 qPrintable(QStringLiteral("%1 ms for %2 asks").arg(waitedMs.load()).arg(asks)));
    }

    // A Link pulled out while the loop waits for a chip ends the run with the USB failure, after a short grace
    // for a re-plug, and at a calm pace meanwhile: no loop may wait forever for chips a missing Link never finds.
    void pulledOutLinkEndsTheRun_data()
    {
        QTest::addColumn<bool>("automatic");
        QTest::newRow("burn") << false;
        QTest::newRow("auto burn") << true;
    }
    void pulledOutLinkEndsTheRun()
    {
        QFETCH(bool, automatic);
        EngineRig rig;
        loadImages();
        g_bEnBin = true;
        rig.emu.setChipPresent(false);
        (automatic ? g_bAutoBurnRunning : g_bBurnRunning).store(1);
        QVERIFY(rig.thread->setTask(automatic ? workThread::TaskAutoBurn : workThread::TaskBurn));
        QVERIFY(QTest::qWaitFor([&] { return rig.recorder.labelsStartingWith(kConnecting).size() >= 2; }));
        const int before = rig.recorder.labelsStartingWith(kConnecting).size();
        rig.emu.setConnected(false);
        QVERIFY(QTest::qWaitFor([&] { return !rig.recorder.done.isEmpty(); }, 20000));
        QCOMPARE(rig.recorder.done, (DoneList{{QString::fromLatin1(automatic ? "auto_burn" : "burn"), 36}}));
        QCOMPARE(rig.recorder.labels.last(), kBurnFailed);
        // Two seconds of the Link's time at one look per 50 ms: 40, plus those the worker sent while this thread
        // was not running (a loaded machine), not thousands.
        const int looks = rig.recorder.labelsStartingWith(kConnecting).size() - before;
        QVERIFY2(looks <= 100, qPrintable(QString::number(looks)));
        QVERIFY(rig.waitIdle());
        QVERIFY(rig.linkLockFree());
        EngineRig::clearLoopFlags();
    }

    void wrongChipIsNotTouched()
    {
        EngineRig rig;
        loadImages();
        g_bEnBin = g_bEnBL = g_bEnNVR1 = g_bEnNVR2 = g_bEnNVR3 = true;
        rig.emu.setChipId(0x4470);
        g_bBurnRunning.store(1);
        QVERIFY(rig.thread->setTask(workThread::TaskBurn));
        QVERIFY(QTest::qWaitFor([&] { return !rig.recorder.done.isEmpty(); }));
        QCOMPARE(rig.recorder.done.first(), qMakePair(QStringLiteral("burn"), 4));
        EngineRig::clearLoopFlags();  // what the window does on code 4
        QVERIFY(rig.waitIdle());

        QCOMPARE(g_wChipId, uint16_t(0x4470));
        QVERIFY(DebugCapture::contains(QStringLiteral("g_currentMcu.nID 0x2610 != g_wChipId 0x4470")));
        for (uint8_t code : kWriting)
            QCOMPARE(rig.emu.commandCount(code), 0);
        QCOMPARE(rig.emu.chipFlash(), QByteArray(LinkEmulator::kFlashSize, char(0xFF)));
        QCOMPARE(rig.recorder.labels.last(), kHint);
        QCOMPARE(rig.recorder.done.size(), 1);
    }

    // IDCODE protection in NVR2: the flash goes first so that the BootLoader area may be erased.
    void protectedChipErasesFlashBeforeBootLoader()
    {
        EngineRig rig;
        loadImages();
        {
            LinkCommands link;
            std::memset(g_ucNVRBuf2, 0xFF, NVR_BUF_SIZE);
            std::memset(g_ucNVRBuf2 + 0x20, 0xAA, 16);
            QCOMPARE(link.WriteToNvrInfomation(), 0);
            int position = 0;
            QCOMPARE(link.WriteToNVR(position, LinkCode::WriteNvrChip, nvrPageAddress(g_currentMcu, g_currentMcu.nNvr2Page),
                                     512, g_ucNVRBuf2),
                     0);
        }
        rig.emu.trace().clear();
        g_bEnBL = true;
        QVERIFY(rig.runTask(workThread::TaskBurn));

        QCOMPARE(rig.recorder.done, (DoneList{{"burn", 0}}));
        const QList<int> sent = rig.sentCommands();
        const int eraseFlash = sent.indexOf(LinkCode::EraseFlash);
        QVERIFY(eraseFlash >= 0);
        QVERIFY(eraseFlash > sent.indexOf(LinkCode::ReadNvrChip));
        QVERIFY(eraseFlash < sent.indexOf(LinkCode::EraseNVRBootLoader));
        QCOMPARE(sent.count(LinkCode::WriteFlashChip), 0);
    }

    void unprotectedChipKeepsItsFlash()
    {
        EngineRig rig;
        loadImages();
        g_bEnBL = true;
        QVERIFY(rig.runTask(workThread::TaskBurn));
        QCOMPARE(rig.recorder.done, (DoneList{{"burn", 0}}));
        QCOMPARE(rig.emu.commandCount(LinkCode::EraseFlash), 0);
    }

    // Single-wire: the Link cannot see the failed chip leave, so the run waits, silent, until switched off.
    void singleWireFailureWaitsUntilSwitchedOff()
    {
        EngineRig rig;
        loadImages();
        g_bEnBin = true;
        g_bI2CMode.store(0);
        rig.emu.addFault(fault(LinkCode::ExitProgrammer));
        g_bBurnRunning.store(1);
        QVERIFY(rig.thread->setTask(workThread::TaskBurn));
        QVERIFY(QTest::qWaitFor([&] { return rig.recorder.labels.contains(kBurnFailed); }));
        const int inits = rig.emu.commandCount(LinkCode::InitProgrammer);
        const int pausesAtFailure = rig.pauses.load();
        QVERIFY(QTest::qWaitFor([&] { return rig.pauses.load() > pausesAtFailure + 100; }));

        QCOMPARE(rig.thread->currentTask(), uint8_t(workThread::TaskBurn));
        QCOMPARE(rig.emu.commandCount(LinkCode::InitProgrammer), inits);
        QVERIFY(rig.recorder.done.isEmpty());
        g_bBurnRunning.store(0);
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.recorder.labels.last(), kHint);
        QVERIFY(rig.recorder.done.isEmpty());
    }

    void autoBurnPass_data()
    {
        QTest::addColumn<int>("chipId");
        QTest::addColumn<DoneList>("done");
        QTest::addColumn<QString>("lastLabel");
        QTest::newRow("0 good chip") << int(LinkEmulator::kDefaultChipId) << DoneList{} << kBurnOk;
        QTest::newRow("4 wrong chip") << 0x4470 << DoneList{{"auto_burn", 4}} << kBurnFailed;
    }

    // With the toggle already off the auto burn handles the chip in the socket once.
    void autoBurnPass()
    {
        QFETCH(int, chipId);
        QFETCH(DoneList, done);
        QFETCH(QString, lastLabel);
        EngineRig rig;
        loadImages();
        g_bEnBin = true;
        rig.emu.setChipId(uint16_t(chipId));
        QVERIFY(rig.runTask(workThread::TaskAutoBurn));
        QCOMPARE(rig.recorder.done, done);
        QCOMPARE(rig.recorder.labels.last(), lastLabel);
        QCOMPARE(g_bAutoBurnChipHandled.load(), uint8_t(1));
        QVERIFY(rig.linkLockFree());  // the lock was released after the chip
    }

    void autoBurnThreeChips()
    {
        EngineRig rig;
        loadImages();
        g_bEnBin = true;
        g_bAutoBurnRunning.store(1);
        QVERIFY(rig.thread->setTask(workThread::TaskAutoBurn));
        for (int chip = 1; chip <= 3; ++chip) {
            QVERIFY(QTest::qWaitFor([&] { return rig.recorder.countLabel(kBurnOk) == chip; }));
            QCOMPARE(rig.emu.chipFlash().left(kImageSize), image(g_ucBinBuf, kImageSize));
            const int connecting = rig.recorder.labelsStartingWith(kConnecting).size();
            rig.emu.setChipPresent(false);
            QVERIFY(QTest::qWaitFor([&] { return rig.recorder.labelsStartingWith(kConnecting).size() >= connecting + 3; }));
            rig.emu.setChipFlash(0, QByteArray(LinkEmulator::kFlashSize, char(0xFF)));  // a fresh chip
            rig.emu.setChipPresent(true);
        }
        QVERIFY(QTest::qWaitFor([&] { return rig.recorder.countLabel(kBurnOk) == 4; }));
        EngineRig::clearLoopFlags();
        QVERIFY(rig.waitIdle());

        // One counter across all chips: the dots keep counting on where the previous gap stopped.
        const QStringList connecting = rig.recorder.labelsStartingWith(kConnecting);
        QVERIFY(connecting.size() >= 9);
        for (int i = 0; i < connecting.size(); ++i)
            QCOMPARE(connecting[i], kConnecting + QString((i + 1) % 7, QLatin1Char('.')));
        QVERIFY(rig.recorder.done.isEmpty());
        QCOMPARE(rig.recorder.labels.last(), kHint);
    }

    // Between chips the loop keeps polling the Link, so no other program may take it over meanwhile.
    void autoBurnHoldsTheLinkBetweenChips()
    {
        EngineRig rig;
        loadImages();
        g_bEnBin = true;
        g_bAutoBurnRunning.store(1);
        QVERIFY(rig.thread->setTask(workThread::TaskAutoBurn));
        QVERIFY(QTest::qWaitFor([&] { return rig.recorder.countLabel(kBurnOk) == 1; }));
        rig.emu.setChipPresent(false);
        QVERIFY(QTest::qWaitFor([&] { return rig.recorder.labelsStartingWith(kConnecting).size() >= 2; }));
        QVERIFY(!rig.linkLockFree());
        EngineRig::clearLoopFlags();
        QVERIFY(rig.waitIdle());
        QVERIFY(rig.linkLockFree());
    }
};

TQ_ENGINE_TEST_MAIN(TestBurn)
#include "tst_burn.moc"
