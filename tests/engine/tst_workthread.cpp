#include "enginetest.h"

#include <deque>

Q_DECLARE_METATYPE(EmulatorFault)

namespace {
const QString kConnecting = QStringLiteral("芯片连接中");

// A Link that answers from a script: each read hands out the next queued report, or times out.
class ScriptedBackend : public HidBackend
{
public:
    void queue(const QByteArray &report)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_reports.push_back(report.leftJustified(64, '\0'));
    }

    int init() override { return 0; }
    int exit() override { return 0; }
    std::vector<std::string> enumerate(uint16_t, uint16_t) override { return {"scripted"}; }
    HidHandle openPath(const char *) override { return this; }
    int write(HidHandle, const uint8_t *, size_t length) override { return int(length); }
    int readTimeout(HidHandle, uint8_t *data, size_t length, int) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_reports.empty())
            return 0;
        const QByteArray r = m_reports.front();
        m_reports.pop_front();
        const size_t n = std::min(length, size_t(r.size()));
        std::memcpy(data, r.constData(), n);
        return int(n);
    }
    void close(HidHandle) override {}

private:
    std::mutex m_mutex;
    std::deque<QByteArray> m_reports;
};

// Firmware of 2,049 bytes: eight full chunks and one of a single byte.
void loadFirmware()
{
    g_nAppBinSize = 2049;
    fillRandom(g_ucAppBinBuf, int(g_nAppBinSize), 31);
    up_datHardware = QStringLiteral("02");
    up_datSoftware = QStringLiteral("010203");
    g_bAppBinLoaded.store(1);
}
}

class TestWorkThread : public QObject
{
    Q_OBJECT

    std::optional<DebugCapture> m_debug;  // made anew per test: QtTest reinstalls its handler

private slots:
    void init() { m_debug.emplace(); }

    void busyRefusesAnotherTask()
    {
        EngineRig rig;
        g_bEnBin = true;
        rig.emu.setChipPresent(false);
        g_bBurnRunning.store(1);
        QVERIFY(rig.thread->setTask(workThread::TaskBurn));
        QVERIFY(QTest::qWaitFor([&] { return !rig.recorder.labelsStartingWith(kConnecting).isEmpty(); }));
        QVERIFY(!rig.thread->setTask(workThread::TaskUpChip));
        QVERIFY(DebugCapture::contains(QStringLiteral("busy...")));
        QCOMPARE(rig.thread->currentTask(), uint8_t(workThread::TaskBurn));
        EngineRig::clearLoopFlags();
        QVERIFY(rig.waitIdle());
        QVERIFY(rig.recorder.done.isEmpty());
        QCOMPARE(rig.emu.commandCount(LinkCode::ReadFlashChip), 0);
    }

    void unknownTaskIsCleared()
    {
        EngineRig rig;
        QVERIFY(rig.runTask(13));
        QVERIFY(rig.recorder.done.isEmpty());
        QVERIFY(rig.recorder.labels.isEmpty());
        QVERIFY(rig.noTraffic());
        QVERIFY(rig.thread->setTask(workThread::TaskFwVersion));  // idle again: the next task is taken
        QVERIFY(rig.waitIdle());
    }

    void non8051ChipRefused_data()
    {
        QTest::addColumn<int>("task");
        QTest::addColumn<QString>("operation");
        QTest::newRow("1 burn_chip") << int(workThread::TaskBurn) << "burn";
        QTest::newRow("11 auto_burn_chip") << int(workThread::TaskAutoBurn) << "auto_burn";
        QTest::newRow("2 up_chip") << int(workThread::TaskUpChip) << "up";
        QTest::newRow("3 erase_chip") << int(workThread::TaskEraseChip) << "erase";
        QTest::newRow("4 check_blank_chip") << int(workThread::TaskCheckBlank) << "blank";
    }

    void non8051ChipRefused()
    {
        QFETCH(int, task);
        QFETCH(QString, operation);
        EngineRig rig;
        g_bEnBin = true;
        g_bBurnRunning.store(1);
        g_bAutoBurnRunning.store(1);
        g_currentMcu.nArch = 80251;
        QVERIFY(rig.runTask(uint8_t(task)));
        QCOMPARE(rig.recorder.done, (DoneList{{operation, -1}}));
        QVERIFY(rig.recorder.labels.isEmpty());
        QVERIFY(rig.noTraffic());
    }

    void lockHeldElsewhere_data()
    {
        QTest::addColumn<int>("task");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("1 burn_chip") << int(workThread::TaskBurn) << "burn" << QStringList{"烧写失败"};
        QTest::newRow("11 auto_burn_chip") << int(workThread::TaskAutoBurn) << "auto_burn" << QStringList{"烧写失败"};
        QTest::newRow("2 up_chip") << int(workThread::TaskUpChip) << "up" << QStringList{"读取失败."};
        QTest::newRow("3 erase_chip") << int(workThread::TaskEraseChip) << "erase" << QStringList{"擦除失败."};
        QTest::newRow("4 check_blank_chip") << int(workThread::TaskCheckBlank) << "blank" << QStringList{"查空失败."};
        QTest::newRow("12 read_fac_param") << int(workThread::TaskReadFacParam) << "fac" << QStringList{"读取失败."};
        QTest::newRow("5 downloadWriter") << int(workThread::TaskDownload) << "download" << QStringList{"下载失败."};
        QTest::newRow("6 upload") << int(workThread::TaskUpload) << "upload" << QStringList{"上传失败."};
        QTest::newRow("7 updata_writer") << int(workThread::TaskUpdataWriter) << "updata"
                                         << QStringList{"准备更新固件.", "固件更新失败."};
        QTest::newRow("9 erase_exter_flash") << int(workThread::TaskEraseExterFlash) << "updata"
                                             << QStringList{"准备清空存储.", "清空存储失败."};
    }

    void lockHeldElsewhere()
    {
        QFETCH(int, task);
        QFETCH(QString, operation);
        QFETCH(QStringList, labels);
        EngineRig rig;
        g_bEnBin = true;
        g_bBurnRunning.store(1);
        g_bAutoBurnRunning.store(1);
        loadFirmware();
        LinkEmulator::LinkLock otherProgram(rig.emu);
        QVERIFY(otherProgram.tryLock());
        QVERIFY(rig.runTask(uint8_t(task)));
        QCOMPARE(rig.recorder.done, (DoneList{{operation, 37}}));
        QCOMPARE(rig.recorder.labels, labels);
        QVERIFY(rig.noTraffic());
        QCOMPARE(g_nFwUpgrading.load(), 0);
    }

    void versionQueryWithLockHeldElsewhere()
    {
        EngineRig rig;
        LinkEmulator::LinkLock otherProgram(rig.emu);
        QVERIFY(otherProgram.tryLock());
        QVERIFY(rig.runTask(workThread::TaskFwVersion));
        QCOMPARE(rig.recorder.versions, (QList<QVector<int>>{{0, 0, 0}}));
        QVERIFY(rig.noTraffic());
    }

    void read_fw_version_data()
    {
        QTest::addColumn<bool>("linkPresent");
        QTest::addColumn<QVector<int>>("version");
        QTest::newRow("Link 2.3.1026") << true << QVector<int>{2, 3, 0x0402};
        QTest::newRow("no Link") << false << QVector<int>{0, 0, 0};
    }

    void read_fw_version()
    {
        QFETCH(bool, linkPresent);
        QFETCH(QVector<int>, version);
        EngineRig rig;
        rig.emu.setFirmwareVersion({2, 3, 4 * 256 + 2});
        rig.emu.setOpenFails(!linkPresent);
        const int pauses = rig.pauses.load();
        QVERIFY(rig.runTask(workThread::TaskFwVersion));
        QCOMPARE(rig.recorder.versions, QList<QVector<int>>{version});
        QVERIFY(rig.pauses.load() > pauses);  // the 2 s delay went through the pause seam
        QVERIFY(rig.recorder.errorLogs.isEmpty());
    }

    void versionSilentWhileUpgradePending()
    {
        EngineRig rig;
        g_nFwUpgrading.store(1);
        QVERIFY(rig.runTask(workThread::TaskFwVersion));
        QVERIFY(rig.recorder.versions.isEmpty());
        QVERIFY(rig.noTraffic());
    }

    // After the version the Link's stand-alone error report is read, if it sends one.
    void errorStatusRead_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QList<int>>("errorLogs");
        QTest::newRow("W 3") << QByteArray("W\x03", 2) << QList<int>{3};
        QTest::newRow("W 10") << QByteArray("W\x0a", 2) << QList<int>{10};
        QTest::newRow("other report") << QByteArray("X\x03", 2) << QList<int>{};
        QTest::newRow("none") << QByteArray() << QList<int>{};
    }

    void errorStatusRead()
    {
        QFETCH(QByteArray, report);
        QFETCH(QList<int>, errorLogs);
        setLinkTimeScale(0);
        g_nFwUpgrading.store(0);
        ScriptedBackend backend;
        backend.queue(QByteArray::fromHex("06000100020003"));
        if (!report.isEmpty())
            backend.queue(report);
        setHidBackend(&backend);
        {
            workThread thread;
            EngineRecorder recorder;
            recorder.attach(&thread);
            thread.start();
            QVERIFY(thread.setTask(workThread::TaskFwVersion));
            QVERIFY(QTest::qWaitFor([&] { return thread.currentTask() == 0; }));
            QCoreApplication::sendPostedEvents();
            thread.requestStop();
            thread.wait();
            QCOMPARE(recorder.versions, (QList<QVector<int>>{{1, 2, 3}}));
            QCOMPARE(recorder.errorLogs, errorLogs);
        }
        setHidBackend(nullptr);
    }

    void updata_writer_data()
    {
        QTest::addColumn<bool>("firmwareLoaded");
        QTest::addColumn<bool>("linkPresent");
        QTest::addColumn<bool>("withFault");
        QTest::addColumn<EmulatorFault>("injected");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<int>("flagAfter");

        const QString prepare = QStringLiteral("准备更新固件.");
        const QString updating = QStringLiteral("更新固件中.");
        const QString ok = QStringLiteral("更新固件成功.");
        const QString failed = QStringLiteral("固件更新失败.");
        QTest::newRow("0 nothing loaded") << false << true << false << EmulatorFault() << 0
                                          << QStringList{prepare, ok} << 0;
        QTest::newRow("0 upgraded") << true << true << false << EmulatorFault() << 0
                                    << QStringList{prepare, updating, "upgrade step1/2", "erase flash",
                                                   "upgrade step2/2 updating", ok}
                                    << 0;
        QTest::newRow("34 chunk refused") << true << true << true
                                          << fault(LinkCode::IapWriteChunk, EmulatorFault::FailStatus, 0x300) << 34
                                          << QStringList{prepare, updating, "upgrade step1/2", "erase flash",
                                                         "upgrade step2/2 updating", "升级失败.", failed}
                                          << 1;
        QTest::newRow("36 no Link") << true << false << false << EmulatorFault() << 36
                                    << QStringList{prepare, failed} << 1;
    }

    void updata_writer()
    {
        QFETCH(bool, firmwareLoaded);
        QFETCH(bool, linkPresent);
        QFETCH(bool, withFault);
        QFETCH(EmulatorFault, injected);
        QFETCH(int, expected);
        QFETCH(QStringList, labels);
        QFETCH(int, flagAfter);

        EngineRig rig;
        // The window's part: the IAP interface's arrival sets the flag the upgrade waits for.
        rig.emu.setHotPlugListener([](bool arrived, const QString &name) {
            if (arrived && name == QLatin1String(LINK_IAP_INTERFACE_NAME))
                g_bIapArrived.store(1);
        });
        if (firmwareLoaded)
            loadFirmware();
        rig.emu.setOpenFails(!linkPresent);
        if (withFault)
            rig.emu.addFault(injected);
        const LinkFirmwareVersion before = rig.emu.firmwareVersion();
        QVERIFY(rig.runTask(workThread::TaskUpdataWriter));

        QCOMPARE(rig.recorder.done, (DoneList{{"updata", expected}}));
        QCOMPARE(rig.recorder.labels, labels);
        QCOMPARE(g_nFwUpgrading.load(), flagAfter);
        if (!firmwareLoaded || !linkPresent)
            QVERIFY(rig.sentCommands().isEmpty());
        if (firmwareLoaded && expected == 0) {
            QVERIFY(DebugCapture::contains(QStringLiteral("nTimerOut=")));
            QVERIFY(!DebugCapture::contains(QStringLiteral("time out")));  // the arrival was seen
            QCOMPARE(rig.emu.firmwareImage(), QByteArray(reinterpret_cast<const char *>(g_ucAppBinBuf), 2049));
            QVERIFY(rig.emu.firmwareVersion() == (LinkFirmwareVersion{2, 1, 2 * 256 + 3}));
        } else {
            QVERIFY(rig.emu.firmwareVersion() == before);
        }

        // A Link possibly left in IAP mode is not asked for its version until an upgrade succeeds.
        rig.emu.trace().clear();
        QVERIFY(rig.runTask(workThread::TaskFwVersion));
        QCOMPARE(rig.recorder.versions.isEmpty(), flagAfter == 1);
        if (flagAfter == 1)
            QVERIFY(rig.noTraffic());
    }

    void erase_exter_flash_data()
    {
        QTest::addColumn<bool>("linkPresent");
        QTest::addColumn<bool>("withFault");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<int>("resets");

        const QString prepare = QStringLiteral("准备清空存储.");
        const QString erasing = QStringLiteral("清空存储中.");
        QTest::newRow("0") << true << false << 0
                           << QStringList{prepare, erasing, "清空外部存储", "清空存储成功."} << 2;
        QTest::newRow("35 EraseExFalshDate") << true << true << 35
                                             << QStringList{prepare, erasing, "清空外部存储", "清空失败.", "清空存储失败."}
                                             << 1;
        QTest::newRow("36 no Link") << false << false << 36 << QStringList{prepare, "清空存储失败."} << 0;
    }

    void erase_exter_flash()
    {
        QFETCH(bool, linkPresent);
        QFETCH(bool, withFault);
        QFETCH(int, expected);
        QFETCH(QStringList, labels);
        QFETCH(int, resets);

        EngineRig rig;
        rig.linkReturnsAtOnce();
        g_bEnEncryption = true;
        g_ucPswLen = 3;
        g_strPsw = QStringLiteral("abc");
        QVERIFY(rig.runTask(workThread::TaskDownload));  // something in the store
        QVERIFY(!rig.emu.storeErased());
        rig.settleLink();
        rig.emu.trace().clear();
        rig.recorder.labels.clear();
        rig.recorder.done.clear();
        rig.recorder.progress.clear();
        rig.emu.setOpenFails(!linkPresent);
        if (withFault)
            rig.emu.addFault(fault(LinkCode::EraseExFalshDate, EmulatorFault::FailStatus, 64));

        QVERIFY(rig.runTask(workThread::TaskEraseExterFlash));
        QCOMPARE(rig.recorder.done, (DoneList{{"updata", expected}}));
        QCOMPARE(rig.recorder.labels, labels);
        const QList<int> sent = rig.sentCommands();
        QCOMPARE(sent.count(LinkCode::resetLink), resets);
        if (expected == 0) {
            QCOMPARE(sent.count(LinkCode::EraseExFalshDate), 32);
            QVERIFY(rig.emu.storeErased());
            QVERIFY(rig.recorder.progress.contains(100));
        }
        if (withFault)
            QCOMPARE(sent.count(LinkCode::EraseExFalshDate), 3);
    }
};

TQ_ENGINE_TEST_MAIN(TestWorkThread)
#include "tst_workthread.moc"
