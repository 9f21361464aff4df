#include "../link/linktesthelpers.h"
#include "emulator/emulatorbackend.h"
#include "emulator/linkemulator.h"
#include "link/firmwarefile.h"
#include "link/linkcommands.h"
#include "link/linkstate.h"
#include "link/timing.h"
#include "link/tracingbackend.h"
#include "production/productionsettings.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

namespace {
QByteArray randomImage(int size, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(rng.bounded(0xFF));  // never 0xFF, so the used size is the whole image
    return b;
}

QByteArray image(const uint8_t *buf, int size) { return QByteArray(reinterpret_cast<const char *>(buf), size); }
} // namespace

class TestEmulator : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkEmulator> emu;
    std::unique_ptr<EmulatorBackend> backend;
    std::unique_ptr<RecordingReporter> reporter;
    std::unique_ptr<LinkCommands> link;
    QStringList hotPlug;

    void startEmulator(const QString &dir = QString())
    {
        link.reset();
        backend.reset();
        emu.reset();  // saved before the next one loads
        emu.reset(new LinkEmulator(dir));
        emu->trace().setKeepLines(true);
        emu->setRealTimeClock(false);
        emu->attachToLinkClock();
        emu->setHotPlugListener([this](bool arrived, const QString &name) {
            hotPlug << QString(arrived ? "+" : "-") + name;
            if (arrived && name == QLatin1String(LINK_IAP_INTERFACE_NAME))
                g_bIapArrived = 1;
        });
        backend.reset(new EmulatorBackend(*emu));
        setHidBackend(backend.get());
        link.reset(new LinkCommands(reporter.get()));
    }

private slots:
    void initTestCase() { setLinkTimeScale(0); }

    void init()
    {
        reporter.reset(new RecordingReporter);
        hotPlug.clear();
        startEmulator();
        selectChip(QStringLiteral("VR5K2610"));
        resetImages();
        resetProduction();
        g_bI2CMode = 1;
    }

    void cleanup()
    {
        setHidBackend(nullptr);
        link.reset();
        backend.reset();
        emu.reset();
    }

    void chipRoundTrip()
    {
        const QByteArray data = randomImage(20000, 1);
        memcpy(g_ucBinBuf, data.constData(), size_t(data.size()));
        g_nBinSize = uint32_t(data.size());
        uint16_t id = 0;
        int position = -1;
        QCOMPARE(link->WriteToNvrInfomation(), 0);
        QCOMPARE(link->InitProgrammer(), 0);
        QCOMPARE(link->CheckID(id), 0);
        QCOMPARE(id, uint16_t(0x2610));
        QCOMPARE(link->EraseFlash(), 0);
        QCOMPARE(link->WriteToFlash(position, LinkCode::WriteFlashChip), 0);
        QCOMPARE(link->checkSum(0, uint16_t(g_nBinSize), position), 0);
        QCOMPARE(link->ExitProgrammer(), 0);

        memset(g_ucBinBuf, 0, sizeof g_ucBinBuf);
        QCOMPARE(link->ReadFromChipFlash(position, LinkCode::ReadFlashChip, 32 * 1024), 0);
        QCOMPARE(image(g_ucBinBuf, data.size()), data);
        QCOMPARE(int(g_nBinSize), data.size());
        QCOMPARE(emu->chipFlash().left(data.size()), data);
    }

    void storeRoundTrip()
    {
        const QByteArray flash = randomImage(5000, 2);
        const QByteArray boot = randomImage(700, 3);
        memcpy(g_ucBinBuf, flash.constData(), size_t(flash.size()));
        memcpy(g_ucNVRBinBuf, boot.constData(), size_t(boot.size()));
        memcpy(g_ucNVRBuf2, boot.constData(), 512);
        g_nBinSize = uint32_t(flash.size());
        g_nNVRBinSize = uint32_t(boot.size());
        int position = -1;
        QCOMPARE(link->SendBinSize(), 0);
        QCOMPARE(link->WriteToFlash(position, LinkCode::WriteFlashLink), 0);
        QCOMPARE(link->SendNVRBootLoaderSize(), 0);
        QCOMPARE(link->WriteToNVRBootLoader(position, LinkCode::WriteBootLoaderLink), 0);
        QCOMPARE(link->WriteToNVR(position, LinkCode::WriteNvrLink, 0x1A00, 512, g_ucNVRBuf2), 0);
        QVERIFY(emu->chipFlash().count(char(0xFF)) == 0x10000);  // the chip is untouched

        resetImages();
        resetProduction();

        QCOMPARE(link->GetBinSize(), 0);
        QCOMPARE(int(g_nBinSize), flash.size());
        QCOMPARE(link->ReadFromChipFlash(position, LinkCode::ReadFlashLink, int(g_nBinSize)), 0);
        QCOMPARE(image(g_ucBinBuf, flash.size()), flash);
        QCOMPARE(link->GetNVRBootLoaderSize(), 0);
        QCOMPARE(link->ReadFromNVRBootLoader(position, LinkCode::ReadBootLoaderLink, int(g_nNVRBinSize)), 0);
        QCOMPARE(image(g_ucNVRBinBuf, boot.size()), boot);
        QCOMPARE(link->ReadFromNVR(position, LinkCode::ReadNvrLink, 0x1A00, 512, g_ucNVRBuf2), 0);
        QCOMPARE(image(g_ucNVRBuf2, 512), boot.left(512));
    }

    void settingsRoundTripAndExternalErase()
    {
        g_rollingSet = rolling_seting_t{0x1234, 99, 2, 3, 1, 0x80};
        g_autoBurnerSet = {1, 2, 3, 4, 1, 1, 0, 1};
        g_nLimitCount = 777;
        g_bEnBin = true;
        g_bEnNVR3 = true;
        QCOMPARE(link->WriteToRolling(), 0);
        QCOMPARE(link->WriteToAotoBurner(), 0);
        QCOMPARE(link->WriteToLimit(), 0);
        QCOMPARE(link->WriteToWriterCfg(), 0);
        resetImages();
        resetProduction();
        g_currentMcu = McuInfo();
        QCOMPARE(link->ReadFromRolling(), 0);
        QCOMPARE(g_rollingSet.startAdd, 0x1234u);
        QCOMPARE(g_rollingSet.startVal, 99u);
        QCOMPARE(link->ReadFromAotoBurner(), 0);
        QCOMPARE(g_autoBurnerSet.OkNgTime, uint16_t(4));
        QCOMPARE(link->ReadFromLimit(), 0);
        QCOMPARE(g_nLimitCount, 777u);
        QCOMPARE(link->ReadFromWriterCfg(), 0);
        QCOMPARE(g_currentMcu.strName, QStringLiteral("VR5K2610"));
        QVERIFY(g_bEnBin && g_bEnNVR3 && !g_bEnBL);

        QVERIFY(!emu->storeErased());
        int position = -1;
        QCOMPARE(link->EraseExFalshDate(position), 0);
        QCOMPARE(emu->commandCount(LinkCode::EraseExFalshDate), 32);
        QVERIFY(emu->storeErased());
        QCOMPARE(link->ReadFromWriterCfg(), 1);
        QCOMPARE(link->GetBinSize(), 0);
        QCOMPARE(int(g_nBinSize), 0);  // erased store, name not in the list: nothing to read
    }

    void checkSumReportsFirstDifference()
    {
        emu->setChipFlash(0x100, QByteArray(4, char(0x0F)));
        memset(g_ucBinBuf, 0xFF, 0x200);
        g_ucBinBuf[0x102] = 0xF0;
        g_nBinSize = 0x200;
        int position = -1;
        QCOMPARE(link->WriteToFlash(position, LinkCode::WriteFlashChip), 0);
        DebugCapture capture;
        QCOMPARE(link->checkSum(0, 0x200, position), 1);
        QCOMPARE(position, 0x100);
        QVERIFY(capture.contains("bin checksum1 is 0x"));
    }

    void chipCheckSumsFollowTheMemoryMap()
    {
        const QByteArray flash = randomImage(300, 4);
        memcpy(g_ucBinBuf, flash.constData(), 300);
        g_nBinSize = 300;
        memset(g_ucNVRBuf3, 0x01, 512);
        int position = -1;
        QCOMPARE(link->WriteToNvrInfomation(), 0);
        QCOMPARE(link->EraseFlash(), 0);
        QCOMPARE(link->WriteToFlash(position, LinkCode::WriteFlashChip), 0);
        QCOMPARE(link->EraseNVR(0x1C00, 512), 0);
        QCOMPARE(link->WriteToNVR(position, LinkCode::WriteNvrChip, 0x1C00, 512, g_ucNVRBuf3), 0);
        g_bEnBin = true;
        g_bEnNVR3 = true;
        g_nEECheckSum = 0xABCD;
        QCOMPARE(link->getChipCheckSum(), 0);
        const uint16_t flashSum = uint16_t(sum16(g_ucBinBuf, 300) + (32 * 1024 - 300) * 0xFF);
        QCOMPARE(g_nBinCheckSum, flashSum);
        QCOMPARE(g_nNVRCheckSum3, uint16_t(512));
        QCOMPARE(g_nEECheckSum, uint16_t(0xABCD));
    }

    void faults_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("debug");
        QTest::newRow("open fails") << 0 << 1 << "" << "MI1 open fail";
        QTest::newRow("erase refused") << 1 << 1 << "EraseFlashFail:33" << "";
        QTest::newRow("chunk refused at 256") << 2 << 1 << "" << "";
        QTest::newRow("answer never comes") << 3 << 1 << "" << "hid read fail";
        QTest::newRow("short answer") << 4 << 1 << "" << "SendBinSize hid read fail";
        QTest::newRow("no-response report") << 5 << -1 << "" << "hidReadData error!";
        QTest::newRow("no chip") << 6 << 1 << "" << "";
        QTest::newRow("second init refused") << 7 << 1 << "" << "";
        QTest::newRow("checksum query refused") << 8 << 1 << "getChipCheckSum fail:44" << "getChipCheckSum NACK";
        QTest::newRow("upgrade chunk refused") << 9 << 1 << "升级失败." << "hid read data error";
        QTest::newRow("external erase at frame 3") << 10 << 1 << "清空失败." << "hid read data error";
    }

    void faults()
    {
        QFETCH(int, scenario);
        QFETCH(int, result);
        QFETCH(QString, label);
        QFETCH(QString, debug);
        g_nBinSize = 600;
        g_nAppBinSize = 1000;
        up_datHardware = QStringLiteral("01");
        up_datSoftware = QStringLiteral("000001");
        int position = -1;
        DebugCapture capture;
        int rt = 0;
        switch (scenario) {
        case 0:
            emu->setOpenFails(true);
            rt = link->InitProgrammer();
            break;
        case 1:
            emu->addFault({LinkCode::EraseFlash, EmulatorFault::FailStatus, 0, -1, 0x33});
            rt = link->EraseFlash();
            break;
        case 2:
            emu->addFault({LinkCode::WriteFlashChip, EmulatorFault::FailStatus, 0, 256, 0x21});
            rt = link->WriteToFlash(position, LinkCode::WriteFlashChip);
            QCOMPARE(position, 256);
            break;
        case 3:
            emu->addFault({LinkCode::ExitProgrammer, EmulatorFault::NoAnswer, 1, -1, 0});
            rt = link->ExitProgrammer();
            QCOMPARE(link->ExitProgrammer(), 0);
            break;
        case 4:
            emu->addFault({LinkCode::SendBinSize, EmulatorFault::ShortAnswer, 0, -1, 0});
            rt = link->SendBinSize();
            break;
        case 5:
            emu->addFault({LinkCode::ReadFlashChip, EmulatorFault::NoResponse, 2, -1, 0});
            rt = link->ReadFromChipFlash(position, LinkCode::ReadFlashChip, 1024);
            QCOMPARE(position, 256);
            QCOMPARE(reporter->debug, QStringList{"IIC ack no response!"});
            break;
        case 6:
            emu->setChipPresent(false);
            rt = link->InitProgrammer();
            QCOMPARE(link->ReadFromChipFlash(position, LinkCode::ReadFlashChip, 1024), -1);
            break;
        case 7:
            emu->removeChipAfterInits(1);
            QCOMPARE(link->InitProgrammer(), 0);
            rt = link->InitProgrammer();
            QVERIFY(!emu->chipPresent());
            break;
        case 8:
            g_bEnBin = true;
            emu->addFault({LinkCode::getChipCheckSum, EmulatorFault::FailStatus, 0, -1, 0x44});
            rt = link->getChipCheckSum();
            break;
        case 9:
            emu->addFault({LinkCode::IapWriteChunk, EmulatorFault::FailStatus, 0, 512, 0x09});
            rt = link->upDataFirmware(position);
            QCOMPARE(position, 512);
            QVERIFY(emu->iapMode());  // a failed upgrade leaves the Link in IAP mode
            break;
        case 10:
            emu->addFault({LinkCode::EraseExFalshDate, EmulatorFault::FailStatus, 3, -1, 0x05});
            rt = link->EraseExFalshDate(position);
            QCOMPARE(position, 64);
            break;
        }
        QCOMPARE(rt, result);
        if (!label.isEmpty())
            QCOMPARE(reporter->labels.last(), label);
        if (!debug.isEmpty())
            QVERIFY2(capture.contains(debug), qPrintable(debug));
    }

    void chipWithAnotherId()
    {
        emu->setChipId(0x4471);
        uint16_t id = 0;
        QCOMPARE(link->CheckID(id), 0);
        QCOMPARE(id, uint16_t(0x4471));
    }

    // The Emulator menu's controls: a failure armed for the next pass is used up by that pass alone.
    void failNextPassFailsOnePassOnly_data()
    {
        QTest::addColumn<bool>("withFlash");
        QTest::newRow("pass with a flash verify") << true;
        QTest::newRow("pass without flash") << false;
    }

    void failNextPassFailsOnePassOnly()
    {
        QFETCH(bool, withFlash);
        g_nBinSize = 256;
        memset(g_ucBinBuf, 0x5A, 256);
        auto pass = [&] {
            int position = -1;
            int rt = link->InitProgrammer();
            if (withFlash && rt == 0)
                rt = link->EraseFlash() + link->WriteToFlash(position, LinkCode::WriteFlashChip)
                     + link->checkSum(0, 256, position);
            return rt == 0 && link->ExitProgrammer() == 0;
        };
        QVERIFY(pass());
        emu->failNextPass();
        QVERIFY(emu->failNextPassArmed());
        QVERIFY(!pass());
        QVERIFY(!emu->failNextPassArmed());
        QVERIFY(pass());
    }

    void socketChangesReachTheFolderAtOnce()
    {
        QTemporaryDir dir;
        startEmulator(dir.path());
        emu->setChipPresent(false);
        emu->setChipId(0x4471);
        LinkEmulator other(dir.path());
        QVERIFY(!other.chipPresent());
        QCOMPARE(other.chipId(), uint16_t(0x4471));
        uint16_t id = 0;
        QCOMPARE(link->CheckID(id), 1);  // no chip in the socket
    }

    void faultAtKthUseOnly()
    {
        emu->addFault({LinkCode::InitProgrammer, EmulatorFault::FailStatus, 2, -1, 0x01});
        QCOMPARE(link->InitProgrammer(), 0);
        QCOMPARE(link->InitProgrammer(), 1);
        QCOMPARE(link->InitProgrammer(), 0);
        QCOMPARE(emu->commandCount(LinkCode::InitProgrammer), 3);
    }

    void firmwareUpgrade()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("x-02-010203.bin");
        const QByteArray firmware = randomImage(70000, 5);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(firmware);
        f.close();
        QCOMPARE(loadFirmwareFile(path), 0);

        DebugCapture capture;
        int position = -1;
        QCOMPARE(link->upDataFirmware(position), 0);
        QVERIFY(capture.contains("nTimerOut=600"));  // the IAP interface arrives 300 ms after the switch
        QCOMPARE(emu->firmwareImage(), firmware);
        QVERIFY(emu->firmwareVersion() == (LinkFirmwareVersion{2, 1, 2 * 256 + 3}));
        QVERIFY(emu->iapMode() == false);

        emu->advanceClock(LinkEmulator::kReenumerateMs);
        uint16_t H, M, L;
        QCOMPARE(link->GetFwVersion(H, M, L), 0);
        QCOMPARE((QVector<int>{H, M, L}), (QVector<int>{2, 1, 2 * 256 + 3}));
        const QString normal = QLatin1String(LINK_INTERFACE_NAME), iap = QLatin1String(LINK_IAP_INTERFACE_NAME);
        QCOMPARE(hotPlug, (QStringList{"-" + normal, "+" + iap, "-" + iap, "+" + normal}));
    }

    void resetLinkComesBackByItself()
    {
        link->resetLink();
        QVERIFY(emu->iapMode());
        QCOMPARE(link->InitProgrammer(), 1);  // no interface while it re-enumerates
        emu->advanceClock(LinkEmulator::kReenumerateMs);
        QCOMPARE(emu->interfaceName(), QLatin1String(LINK_IAP_INTERFACE_NAME));
        emu->advanceClock(LinkEmulator::kIapIdleMs - 1);
        QVERIFY(emu->iapMode());
        emu->advanceClock(1 + LinkEmulator::kReenumerateMs);
        QVERIFY(!emu->iapMode());
        QCOMPARE(link->InitProgrammer(), 0);
        QCOMPARE(hotPlug.size(), 4);
        QCOMPARE(hotPlug.last(), "+" + QLatin1String(LINK_INTERFACE_NAME));
    }

    void traceOfAFlashWrite()
    {
        emu->trace().clear();
        g_nBinSize = 100;
        memset(g_ucBinBuf, 0xA5, 100);
        int position = -1;
        QCOMPARE(link->WriteToFlash(position, LinkCode::WriteFlashChip), 0);
        const QStringList lines = emu->trace().lines();
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QStringLiteral("# open"));
        QCOMPARE(lines[1], "> 02 FD 1E 00 00 64 00" + QString(" 00").repeated(57));
        QCOMPARE(lines[2], "> " + QString("A5 ").repeated(63) + "A5");
        QCOMPARE(lines[3], "> " + QString("A5 ").repeated(36) + QString("FF ").repeated(27) + "FF");
        QCOMPARE(lines[4], "< 06" + QString(" 00").repeated(63));
        QCOMPARE(lines[5], QStringLiteral("# close"));
        const QRegularExpression shape(QStringLiteral("^([<>]( [0-9A-F]{2}){64}|# (open|close))$"));
        for (const QString &l : lines)
            QVERIFY2(shape.match(l).hasMatch(), qPrintable(l));
    }

    void tracingBackendWritesTheSameLinesToAFile()
    {
        QTemporaryDir dir;
        TraceWriter writer;
        writer.setKeepLines(true);
        QVERIFY(writer.openFile(dir.filePath("trace.txt")));
        TracingBackend tracing(*backend, writer);
        setHidBackend(&tracing);
        emu->trace().clear();
        QCOMPARE(link->InitProgrammer(), 0);
        setHidBackend(backend.get());
        QCOMPARE(writer.lines(), emu->trace().lines());
        QFile f(dir.filePath("trace.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), writer.lines().join('\n') + '\n');
    }

    void stateIsSharedThroughAFolder()
    {
        QTemporaryDir dir;
        startEmulator(dir.path());
        QCOMPARE(emu->chipId(), LinkEmulator::kDefaultChipId);
        emu->setChipId(0x2620);
        g_nBinSize = 256;
        memset(g_ucBinBuf, 0x11, 256);
        int position = -1;
        QCOMPARE(link->EraseFlash(), 0);
        QCOMPARE(link->WriteToFlash(position, LinkCode::WriteFlashChip), 0);
        QCOMPARE(link->SendBinSize(), 0);

        startEmulator(dir.path());
        QCOMPARE(emu->chipId(), uint16_t(0x2620));
        QCOMPARE(emu->chipFlash().left(257), QByteArray(256, 0x11) + char(0xFF));
        QCOMPARE(emu->storeBinSize(), 256u);
        QCOMPARE(link->checkSum(0, 256, position), 0);

        QTemporaryDir fresh;
        startEmulator(fresh.path());
        QCOMPARE(emu->chipFlash(), QByteArray(0x10000, char(0xFF)));
    }

    void workerDrivesWhileAnotherThreadInspects()
    {
        g_nBinSize = 4096;
        memset(g_ucBinBuf, 0x3C, 4096);
        std::atomic<bool> done{false};
        std::atomic<bool> inspecting{false};
        int result = -1;
        std::thread worker([&] {
            // The worker starts once the inspections have, so a fast worker cannot finish unobserved.
            while (!inspecting)
                std::this_thread::yield();
            int position = -1;
            LinkCommands commands;
            result = commands.EraseFlash() + commands.WriteToFlash(position, LinkCode::WriteFlashChip)
                     + commands.checkSum(0, 4096, position);
            done = true;
        });
        while (!done) {
            QVERIFY(emu->chipFlash().size() == 0x10000);
            QVERIFY(emu->commandCount(LinkCode::WriteFlashChip) >= 0);
            emu->trace().lines();
            inspecting = true;
        }
        worker.join();
        QCOMPARE(result, 0);
        QCOMPARE(emu->chipFlash().left(4096), QByteArray(4096, 0x3C));
    }

    void readOutsideTheMapSendsNothing()
    {
        selectChip(QStringLiteral("VR5K2630"));  // 8 KiB flash
        QCOMPARE(link->WriteToNvrInfomation(), 0);
        int position = -1;
        QCOMPARE(link->ReadFromChipFlash(position, LinkCode::ReadFlashChip, 16 * 1024), -1);
        QCOMPARE(position, 8 * 1024);
    }
};

QTEST_GUILESS_MAIN(TestEmulator)
#include "tst_emulator.moc"
