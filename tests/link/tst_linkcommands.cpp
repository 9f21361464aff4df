#include "link/firmwarefile.h"
#include "link/linkcommands.h"
#include "link/linkstate.h"
#include "link/timing.h"
#include "linktesthelpers.h"
#include "production/productionsettings.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Records every report and answers reads: queued answers first (an empty entry is a time-out), then
// the responder, which by default acknowledges the last command frame.
class ScriptedBackend : public HidBackend
{
public:
    bool openFails = false;
    int failWriteAt = -1;
    int opens = 0;
    int enumerations = 0;
    std::vector<QByteArray> written;  // 64-byte payloads
    std::deque<QByteArray> toRead;
    std::function<QByteArray(const QByteArray &frame)> responder = [](const QByteArray &) { return ackReport(); };
    QByteArray lastFrame;

    int init() override { return 0; }
    int exit() override { return 0; }
    std::vector<std::string> enumerate(uint16_t, uint16_t) override
    {
        ++enumerations;
        return {"USB#VID_1122&PID_3344#KVO_LINK0000"};
    }
    HidHandle openPath(const char *) override
    {
        if (openFails)
            return nullptr;
        ++opens;
        return reinterpret_cast<HidHandle>(1);
    }
    int write(HidHandle, const uint8_t *data, size_t length) override
    {
        if (int(written.size()) == failWriteAt) {
            written.emplace_back();
            return -1;
        }
        written.emplace_back(reinterpret_cast<const char *>(data + 1), int(length) - 1);
        if (uint8_t(written.back()[0]) == 0x02 && uint8_t(written.back()[1]) == 0xFD)
            lastFrame = written.back();
        return int(length);
    }
    int readTimeout(HidHandle, uint8_t *data, size_t length, int) override
    {
        QByteArray r;
        if (!toRead.empty()) {
            r = toRead.front();
            toRead.pop_front();
        } else {
            r = responder(lastFrame);
        }
        const int n = std::min<int>(r.size(), int(length));
        memcpy(data, r.constData(), size_t(n));
        return n;
    }
    void close(HidHandle) override {}

    // Frames with this code, in order.
    std::vector<QByteArray> frames(uint8_t code) const
    {
        std::vector<QByteArray> out;
        for (const QByteArray &w : written)
            if (w.size() == 64 && w[0] == 0x02 && uint8_t(w[1]) == 0xFD && uint8_t(w[2]) == code)
                out.push_back(w);
        return out;
    }
};

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

QByteArray bytes(const QByteArray &frame, int from, int count) { return frame.mid(from, count); }

} // namespace

class TestLinkCommands : public QObject
{
    Q_OBJECT

    ScriptedBackend *backend = nullptr;
    RecordingReporter *reporter = nullptr;
    LinkCommands *link = nullptr;
    QVector<int> sleeps;

private slots:
    void initTestCase() { setLinkTimeScale(0); }

    void init()
    {
        backend = new ScriptedBackend;
        setHidBackend(backend);
        reporter = new RecordingReporter;
        link = new LinkCommands(reporter);
        sleeps.clear();
        setLinkSleepHook([this](int ms) { sleeps << ms; });
        selectChip(QStringLiteral("VR5K2610"));
        resetImages();
        resetProduction();
        g_bI2CMode = 1;
    }

    void cleanup()
    {
        setLinkSleepHook({});
        delete link;
        delete reporter;
        setHidBackend(nullptr);
        delete backend;
    }

    void writeToFlashSplitsIntoChunks()
    {
        g_nBinSize = 600;
        for (int i = 0; i < 600; ++i)
            g_ucBinBuf[i] = uint8_t(i * 7);
        int position = -1;
        QCOMPARE(link->WriteToFlash(position, LinkCode::WriteFlashChip), 0);

        QCOMPARE(int(backend->written.size()), 13);  // 5 + 5 + 3 reports
        const int headers[] = {0, 5, 10};
        const char *fields[] = {"021e00000001", "021e00010001", "021e00025800"};
        for (int k = 0; k < 3; ++k) {
            const QByteArray &f = backend->written[size_t(headers[k])];
            QCOMPARE(f.left(7).toHex(), QByteArray(fields[k]).insert(2, "fd"));
            QVERIFY(f.mid(7).count('\0') == 57);
        }
        // The last report carries 88 - 64 = 24 data bytes, then 0xFF fill.
        const QByteArray &last = backend->written[12];
        QCOMPARE(last.left(24), QByteArray(reinterpret_cast<const char *>(g_ucBinBuf + 576), 24));
        QCOMPARE(last.mid(24), QByteArray(40, char(0xFF)));
        QCOMPARE(reporter->progressValues, (QVector<int>{42, 85, 100, 0}));
        QCOMPARE(sleeps, (QVector<int>{100, 100, 100}));
    }

    void refusedChunkGivesPosition_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("WriteToFlash") << 0;
        QTest::newRow("WriteToNVRBootLoader") << 1;
        QTest::newRow("WriteToNVR") << 2;
    }

    void refusedChunkGivesPosition()
    {
        QFETCH(int, which);
        g_nBinSize = 600;
        g_nNVRBinSize = 600;
        backend->toRead = {ackReport(), QByteArray::fromHex("1501") + QByteArray(62, '\0')};
        backend->toRead[1][2] = 0x01;
        int position = -1;
        int rt = 0;
        if (which == 0)
            rt = link->WriteToFlash(position, LinkCode::WriteFlashChip);
        else if (which == 1)
            rt = link->WriteToNVRBootLoader(position, LinkCode::WriteBootLoaderChip);
        else
            rt = link->WriteToNVR(position, LinkCode::WriteNvrChip, 0x1A00, 512, g_ucNVRBuf2);
        QCOMPARE(rt, 1);
        QCOMPARE(position, 256);
        if (which < 2)
            QCOMPARE(reporter->progressValues.last(), 0);
    }

    void writeToNvrOfNothingFails()
    {
        int position = -1;
        QCOMPARE(link->WriteToNVR(position, LinkCode::WriteNvrChip, 0x1A00, 0, g_ucNVRBuf2), 1);
        QVERIFY(backend->written.empty());
    }

    void readFromChipFlashSizesByLastUsedByte_data()
    {
        QTest::addColumn<int>("usedEnd");
        QTest::newRow("blank chip") << 0;
        QTest::newRow("last 0x1000 erased") << 0x10000 - 0x1000;
        QTest::newRow("full") << 0x10000;
        QTest::newRow("one byte") << 1;
    }

    void readFromChipFlashSizesByLastUsedByte()
    {
        QFETCH(int, usedEnd);
        QByteArray chip(0x10000, char(0xFF));
        for (int i = 0; i < usedEnd; ++i)
            chip[i] = char(i % 0xFF);
        for (int at = 0; at < chip.size(); at += 64)
            backend->toRead.push_back(chip.mid(at, 64));
        int position = -1;
        QCOMPARE(link->ReadFromChipFlash(position, LinkCode::ReadFlashChip, 0x10000), 0);
        QCOMPARE(int(g_nBinSize), usedEnd);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_ucBinBuf), 0x10000), chip);
        QCOMPARE(int(backend->frames(LinkCode::ReadFlashChip).size()), 256);
        QCOMPARE(reporter->progressValues.first(), 0);
        QCOMPARE(reporter->progressValues.last(), 0);
        QVERIFY(reporter->progressValues.contains(100));
    }

    void readTotalsAreBoundedByTheImage()
    {
        int position = -1;
        QCOMPARE(link->ReadFromChipFlash(position, LinkCode::ReadFlashLink, 0x30000), 0);
        const auto frames = backend->frames(LinkCode::ReadFlashLink);
        QCOMPARE(int(frames.size()), 256);
        QCOMPARE(bytes(frames.back(), 3, 4), hex("00ff0001"));
        backend->written.clear();
        QCOMPARE(link->ReadFromNVR(position, LinkCode::ReadNvrLink, 0x1A00, 100000, g_ucNVRBuf2), 0);
        QCOMPARE(int(backend->frames(LinkCode::ReadNvrLink).size()), 8);
    }

    void readFailureGivesOffsetReached()
    {
        backend->toRead = {ackReport(), ackReport(), ackReport(), ackReport(), QByteArray()};
        int position = -1;
        QCOMPARE(link->ReadFromChipFlash(position, LinkCode::ReadFlashChip, 1024), -1);
        QCOMPARE(position, 256);
        QCOMPARE(reporter->progressValues.last(), 0);
        backend->failWriteAt = int(backend->written.size());
        QCOMPARE(link->ReadFromChipFlash(position, LinkCode::ReadFlashChip, 1024), -2);
        QCOMPARE(link->ReadFromChipFlash(position, LinkCode::ReadFlashChip, 0), -1);
    }

    void linkSizesAreClampedToTheirImages_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<int>("which");  // 0 GetBinSize, 1 GetNVRBootLoaderSize
        QTest::addColumn<QByteArray>("sizeBytes");  // answer bytes 5..
        QTest::addColumn<int>("expected");
        QTest::newRow("flash within") << "VR5K2610" << 0 << hex("e8030000") << 1000;
        QTest::newRow("flash above chip") << "VR5K2620" << 0 << hex("00000200") << 16384;
        QTest::newRow("flash erased store") << "VR5K2610" << 0 << hex("ffffffff") << 32768;
        QTest::newRow("boot within") << "VR5K2610" << 1 << hex("0010") << 4096;
        QTest::newRow("boot above area") << "VR5K2610" << 1 << hex("ffff") << 13 * 512;
        QTest::newRow("boot small chip") << "VR5K2710" << 1 << hex("0010") << 2 * 512;
    }

    void linkSizesAreClampedToTheirImages()
    {
        QFETCH(QString, chip);
        QFETCH(int, which);
        QFETCH(QByteArray, sizeBytes);
        QFETCH(int, expected);
        selectChip(chip);
        QByteArray a = ackReport();
        a.replace(5, sizeBytes.size(), sizeBytes);
        backend->toRead = {a};
        if (which == 0) {
            QCOMPARE(link->GetBinSize(), 0);
            QCOMPARE(int(g_nBinSize), expected);
        } else {
            QCOMPARE(link->GetNVRBootLoaderSize(), 0);
            QCOMPARE(int(g_nNVRBinSize), expected);
        }
    }

    void getBinSizeOfUnknownChipIsZero()
    {
        g_currentMcu.strName = QStringLiteral("NOSUCHCHIP");
        QByteArray a = ackReport();
        a[5] = 0x10;
        backend->toRead = {a};
        QCOMPARE(link->GetBinSize(), 0);
        QCOMPARE(int(g_nBinSize), 0);
    }

    void getChipCheckSumStoresOnlyEnabledAreas()
    {
        g_bEnBin = true;
        g_bEnBL = true;
        g_nEECheckSum = 0x1111;
        g_nNVRCheckSum1 = 0x2222;
        g_nNVRCheckSum2 = 0x3333;
        g_nNVRCheckSum3 = 0x4444;
        QByteArray a = ackReport();
        a.replace(4, 12, hex("3412aaaabbbbccccdddd7856"));
        backend->toRead = {a};
        QCOMPARE(link->getChipCheckSum(), 0);
        QCOMPARE(bytes(backend->written[0], 0, 7), hex("02fd5a01010000"));
        QCOMPARE(g_nBinCheckSum, uint16_t(0x1234));
        QCOMPARE(g_nNVRBinCheckSum, uint16_t(0x5678));
        QCOMPARE(g_nEECheckSum, uint16_t(0x1111));
        QCOMPARE(g_nNVRCheckSum1, uint16_t(0x2222));
        QCOMPARE(g_nNVRCheckSum2, uint16_t(0x3333));
        QCOMPARE(g_nNVRCheckSum3, uint16_t(0x4444));
    }

    void singleWireCheckIdAndEraseNeedNoTraffic()
    {
        g_bI2CMode = 0;
        uint16_t id = 0;
        QCOMPARE(link->CheckID(id), 0);
        QCOMPARE(id, uint16_t(0x2610));
        QCOMPARE(link->EraseFlash(), 0);
        QCOMPARE(backend->enumerations, 0);
        QVERIFY(backend->written.empty());
        QVERIFY(sleeps.isEmpty());
    }

    void checkIdSendsExpectedAndReadsAnswer()
    {
        backend->toRead = {ackReport(hex("1044"))};
        uint16_t id = 0;
        QCOMPARE(link->CheckID(id), 0);
        QCOMPARE(bytes(backend->written[0], 0, 5), hex("02fd1b1026"));
        QCOMPARE(id, uint16_t(0x4410));
    }

    void eraseFlashWaitsBeforeReading()
    {
        QCOMPARE(link->EraseFlash(), 0);
        QCOMPARE(sleeps, QVector<int>{100});
    }

    void nvrInformationFrame()
    {
        selectChip(QStringLiteral("VR5K2710"));
        QCOMPARE(link->WriteToNvrInfomation(), 0);
        QCOMPARE(bytes(backend->written[0], 0, 11), hex("02fd2d02030104012001") + QByteArray(1, '\0'));
    }

    void getFwVersion_data()
    {
        QTest::addColumn<int>("failure");  // 0 none, 1 open, 2 write, 3 no answer, 4 NAK
        QTest::addColumn<int>("result");
        QTest::addColumn<QVector<int>>("version");
        QTest::newRow("ack") << 0 << 0 << QVector<int>{258, 3, 4};
        QTest::newRow("open fails") << 1 << 1 << QVector<int>{0, 0, 0};
        QTest::newRow("write fails") << 2 << 1 << QVector<int>{0, 0, 0};
        QTest::newRow("no answer") << 3 << 1 << QVector<int>{0, 0, 0};
        QTest::newRow("nak") << 4 << 1 << QVector<int>{0, 0, 0};
    }

    void getFwVersion()
    {
        QFETCH(int, failure);
        QFETCH(int, result);
        QFETCH(QVector<int>, version);
        QByteArray a = ackReport(hex("010200030004"));
        if (failure == 4)
            a[0] = 0x15;
        backend->toRead = {failure == 3 ? QByteArray() : a};
        backend->openFails = failure == 1;
        backend->failWriteAt = failure == 2 ? 0 : -1;
        uint16_t H = 9, M = 9, L = 9;
        QCOMPARE(link->GetFwVersion(H, M, L), result);
        QCOMPARE((QVector<int>{H, M, L}), version);
        QCOMPARE(reporter->versions, QVector<QVector<int>>{version});
        if (failure == 0)
            QCOMPARE(bytes(backend->written[0], 0, 3), hex("02fd82"));
    }

    void nakTexts_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("text");
        const char *texts[] = {"ExitProgFail:3c", "CheckIDFail:3c", "EraseFlashFail:3c", "SendBinSize fail:3c",
                               "GetBinSize fail:3c", "Erase NVRBootLoader failed:3c",
                               "SendNVRBootLoaderSize fail:3c", "GetNVRBootLoaderSize fail:3c", "EraseNVRFail:3c",
                               "EraseEepFail:3c", "getChipCheckSum fail:3c", "WriteToNvrInfomation fail:3c",
                               "WriteToRolling fail:3c", "ReadFromRolling fail:3c", "WriteToLimit fail:3c",
                               "ReadFromLimit fail:3c", "WriteToAotoBurner fail:3c", "AutoBurner fail:3c",
                               "WriteToWriterCfg fail:3c", "ReadFromWriterCfg fail:3c"};
        for (int i = 0; i < int(sizeof texts / sizeof *texts); ++i)
            QTest::newRow(texts[i]) << i << QString::fromLatin1(texts[i]);
    }

    void nakTexts()
    {
        QFETCH(int, command);
        QFETCH(QString, text);
        QByteArray nak(64, '\0');
        nak[0] = 0x3c;
        backend->toRead = {nak};
        uint16_t id = 0;
        const std::function<int()> commands[] = {
            [&] { return link->ExitProgrammer(); }, [&] { return link->CheckID(id); },
            [&] { return link->EraseFlash(); }, [&] { return link->SendBinSize(); },
            [&] { return link->GetBinSize(); }, [&] { return link->EraseNVRBootLoader(); },
            [&] { return link->SendNVRBootLoaderSize(); }, [&] { return link->GetNVRBootLoaderSize(); },
            [&] { return link->EraseNVR(0x1A00, 512); }, [&] { return link->EraseEep(); },
            [&] { return link->getChipCheckSum(); }, [&] { return link->WriteToNvrInfomation(); },
            [&] { return link->WriteToRolling(); }, [&] { return link->ReadFromRolling(); },
            [&] { return link->WriteToLimit(); }, [&] { return link->ReadFromLimit(); },
            [&] { return link->WriteToAotoBurner(); }, [&] { return link->ReadFromAotoBurner(); },
            [&] { return link->WriteToWriterCfg(); }, [&] { return link->ReadFromWriterCfg(); },
        };
        const uint32_t sizeBefore = g_nBinSize = 1234;
        QCOMPARE(commands[command](), 1);
        QCOMPARE(reporter->labels, QStringList{text});
        QCOMPARE(g_nBinSize, sizeBefore);
    }

    // A frame that does not go out or an answer that never comes: result 1, the command's debug text,
    // nothing for the message label.
    void transferFailureTexts_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("sendFails");
        QTest::addColumn<QString>("text");
        const char *readTexts[] = {
            "hid read fail\n", "hid read fail\n", "hid read fail\n", "hid read fail\n",
            "SendBinSize hid read fail\n", "hid read fail\n", "hid read fail\n",
            "SendNVRBootLoaderSize hid read fail\n", "hid read fail\n", "hid read fail\n", "hid read fail\n",
            "getChipCheckSum hid read fail\n", "hid read fail\n", "hid read fail\n", "hid read fail\n",
            "hid read fail\n", "hid read fail\n", "hid read fail\n", "hid read fail\n", "hid read fail\n",
            "hid read fail\n", "hid read fail\n", "hid read fail\n", "hid read fail\n"};
        for (int i = 0; i < int(sizeof readTexts / sizeof *readTexts); ++i) {
            QTest::addRow("command %d, no answer", i) << i << false << QString::fromLatin1(readTexts[i]);
            QTest::addRow("command %d, not sent", i) << i << true << QStringLiteral("hid write fail\n");
        }
    }

    void transferFailureTexts()
    {
        QFETCH(int, command);
        QFETCH(bool, sendFails);
        QFETCH(QString, text);
        uint16_t id = 0;
        const std::function<int()> commands[] = {
            [&] { return link->InitProgrammer(); }, [&] { return link->ExitProgrammer(); },
            [&] { return link->CheckID(id); }, [&] { return link->EraseFlash(); },
            [&] { return link->SendBinSize(); }, [&] { return link->GetBinSize(); },
            [&] { return link->EraseNVRBootLoader(); }, [&] { return link->SendNVRBootLoaderSize(); },
            [&] { return link->GetNVRBootLoaderSize(); }, [&] { return link->EraseNVR(0x1A00, 512); },
            [&] { return link->EraseEep(); }, [&] { return link->getChipCheckSum(); },
            [&] { return link->WriteToNvrInfomation(); }, [&] { return link->GetFwVersion(); },
            [&] { return link->WriteToRolling(); }, [&] { return link->ReadFromRolling(); },
            [&] { return link->WriteToPassword(); }, [&] { return link->WriteToLimit(); },
            [&] { return link->ReadFromLimit(); }, [&] { return link->WriteToAotoBurner(); },
            [&] { return link->ReadFromAotoBurner(); }, [&] { return link->resetLink(); },
            [&] { return link->WriteToWriterCfg(); }, [&] { return link->ReadFromWriterCfg(); },
        };
        QCOMPARE(int(sizeof commands / sizeof *commands), 24);
        if (sendFails)
            backend->failWriteAt = 0;
        else
            backend->toRead = {QByteArray()};
        DebugCapture capture;
        QCOMPARE(commands[command](), 1);
        QVERIFY2(DebugCapture::lines().contains(text), qPrintable(DebugCapture::lines().join(QLatin1Char('|'))));
        QVERIFY(reporter->labels.isEmpty());
    }

    void rollingRecordBytes()
    {
        g_rollingSet = rolling_seting_t{0x19FF, 0, 0, 1, 1, 0};
        g_rollingSet.setArea(0);
        g_rollingSet.setIncDec(true);
        QCOMPARE(link->WriteToRolling(), 0);
        QCOMPARE(bytes(backend->written[0], 0, 15), hex("02fd48" "ff190000" "00000000" "00010180"));
    }

    void autoBurnerBytesAndReadBack()
    {
        g_autoBurnerSet = {100, 100, 10, 10, 1, 0, 0, 0};
        QCOMPARE(link->WriteToAotoBurner(), 0);
        QCOMPARE(bytes(backend->written[0], 3, 12), hex("640064000a000a0001000000"));
        backend->toRead = {ackReport(hex("0000") + hex("0700080009000a000101010000"))};
        QCOMPARE(link->ReadFromAotoBurner(), 0);
        QCOMPARE(g_autoBurnerSet.StartTime, uint16_t(7));
        QCOMPARE(g_autoBurnerSet.OkNgTime, uint16_t(10));
        QCOMPARE(g_autoBurnerSet.StartLevel, uint8_t(1));
    }

    void limitAndPassword()
    {
        g_nLimitCount = 0x01020304;
        QCOMPARE(link->WriteToLimit(), 0);
        QCOMPARE(bytes(backend->written[0], 0, 7), hex("02fd4a04030201"));
        g_strPsw = QStringLiteral("ab12");
        g_ucPswLen = 4;
        QCOMPARE(link->WriteToPassword(), 0);
        QCOMPARE(bytes(backend->written[1], 0, 9), hex("02fdf10461623132") + QByteArray(1, '\0'));
        backend->toRead = {ackReport(hex("0000") + hex("10270000"))};
        QCOMPARE(link->ReadFromLimit(), 0);
        QCOMPARE(g_nLimitCount, 10000u);
    }

    void writerCfgFlagsAndFrequency()
    {
        g_bEnBin = true;
        g_bEnBL = true;
        g_fClockFreq = 24.0f;
        g_nBinCheckSum = 0xBEEF;
        g_nNVRBinCheckSum = 0x1234;
        QCOMPARE(link->WriteToWriterCfg(), 0);
        const QByteArray &f = backend->written[0];
        QCOMPARE(bytes(f, 0, 7), hex("02fd4e01010000"));
        QCOMPARE(bytes(f, 7, 2), hex("efbe"));
        QCOMPARE(bytes(f, 17, 16), QByteArray("VR5K2610") + QByteArray(8, '\0'));
        QCOMPARE(bytes(f, 33, 6), hex("0d0e010f0120"));
        QCOMPARE(bytes(f, 39, 6), hex("34121026f000"));
        QCOMPARE(f.mid(45), QByteArray(19, '\0'));
    }

    void sixteenCharacterNameBothWays()
    {
        McuInfo longName = g_mcuList[0];
        longName.strName = QStringLiteral("ABCDEFGHIJKLMNOP");
        g_mcuList << longName;
        g_currentMcu = longName;
        QCOMPARE(link->WriteToWriterCfg(), 0);
        const QByteArray frame = backend->written[0];
        QCOMPARE(bytes(frame, 17, 16), QByteArray("ABCDEFGHIJKLMNOP"));
        QCOMPARE(frame[33], char(13));

        g_currentMcu = g_mcuList[1];
        QByteArray answer = frame;
        answer[0] = 0x06;
        backend->toRead = {answer};
        QCOMPARE(link->ReadFromWriterCfg(), 0);
        QCOMPARE(g_currentMcu.strName, QStringLiteral("ABCDEFGHIJKLMNOP"));
    }

    void readWriterCfgKeepsEncryptionAndAppliesBeforeLookup_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("result");
        QTest::newRow("known chip") << QByteArray("VR5K2620") << 0;
        QTest::newRow("unknown chip") << QByteArray("NOSUCH") << 1;
    }

    void readWriterCfgKeepsEncryptionAndAppliesBeforeLookup()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, result);
        g_bEnEncryption = false;
        g_nNVRBinCheckSum = 0x7777;
        QByteArray a = ackReport();
        a.replace(3, 4, hex("09080000"));  // bits 0, 3, 11
        a.replace(7, 10, hex("01000200030004000500"));
        a.replace(17, name.size(), name);
        a.replace(39, 2, hex("3412"));
        backend->toRead = {a};
        QCOMPARE(link->ReadFromWriterCfg(), result);
        QVERIFY(g_bEnBin);
        QVERIFY(g_bEnNVR2);
        QVERIFY(!g_bEnEncryption);
        QCOMPARE(g_nBinCheckSum, uint16_t(1));
        QCOMPARE(g_nNVRCheckSum3, uint16_t(5));
        QCOMPARE(g_currentMcu.strName, QString::fromLatin1(name));
        if (result == 0) {
            QCOMPARE(g_currentMcu.nFlashSizeKB, 16u);
            QCOMPARE(g_nNVRBinCheckSum, uint16_t(0x1234));
        } else {
            QCOMPARE(reporter->labels, QStringList{"ReadFromWriterCfg fail:mcu name not found"});
            QCOMPARE(g_nNVRBinCheckSum, uint16_t(0x7777));
        }
    }

    void resetLinkIgnoresAnswerContent()
    {
        DebugCapture capture;
        QCOMPARE(link->resetLink(), 0);
        QVERIFY(capture.contains("reset link success"));
        backend->toRead = {QByteArray()};
        QCOMPARE(link->resetLink(), 1);
        QVERIFY(capture.contains("reset link fail"));
    }

    void eraseExternalFlashSweep()
    {
        int position = -1;
        QCOMPARE(link->EraseExFalshDate(position), 0);
        const auto frames = backend->frames(LinkCode::EraseExFalshDate);
        QCOMPARE(int(frames.size()), 32);
        for (int k = 0; k < 32; ++k) {
            const uint16_t first = uint16_t(32 * k);
            QCOMPARE(bytes(frames[size_t(k)], 3, 4),
                     QByteArray(1, char(first & 0xFF)) + char(first >> 8) + hex("2000"));
        }
        QCOMPARE(reporter->labels, QStringList{"清空外部存储"});
        QCOMPARE(reporter->progressValues.size(), 33);
        QCOMPARE(reporter->progressValues[0], 3);
        QCOMPARE(reporter->progressValues[1], 6);
        QCOMPARE(reporter->progressValues[31], 100);
        QCOMPARE(reporter->progressValues[32], 0);
    }

    void eraseExternalFlashRefused()
    {
        backend->toRead = {ackReport(), hex("150401") + QByteArray(61, '\0')};
        int position = -1;
        QCOMPARE(link->EraseExFalshDate(position), 1);
        QCOMPARE(position, 0x103);
        QCOMPARE(reporter->labels.last(), QStringLiteral("清空失败."));
        QCOMPARE(reporter->progressValues.last(), 0);
    }

    void firmwareFrames_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("chunks");
        QTest::newRow("2049 bytes") << 2049 << 2 << 9;
        QTest::newRow("70000 bytes") << 70000 << 35 << 274;
    }

    void firmwareFrames()
    {
        QFETCH(int, size);
        QFETCH(int, pages);
        QFETCH(int, chunks);
        for (int i = 0; i < size; ++i)
            g_ucAppBinBuf[i] = uint8_t(i * 13 + 1);
        g_nAppBinSize = uint32_t(size);
        up_datHardware = QStringLiteral("02");
        up_datSoftware = QStringLiteral("010203");
        const uint16_t sum = sum16(g_ucAppBinBuf, size_t(size));
        backend->responder = [sum](const QByteArray &frame) {
            QByteArray a = ackReport();
            if (uint8_t(frame[2]) == LinkCode::IapCheckSum) {
                a[3] = char(sum >> 8);
                a[4] = char(sum & 0xFF);
            }
            return a;
        };
        setLinkSleepHook([this](int ms) {
            sleeps << ms;
            if (sleeps.size() == 5)
                g_bIapArrived = 1;
        });
        DebugCapture capture;
        int position = -1;
        QCOMPARE(link->upDataFirmware(position), 0);

        QVERIFY(capture.contains("nTimerOut=1000"));
        QCOMPARE(sleeps.size(), 5);
        QCOMPARE(int(backend->frames(LinkCode::resetLink).size()), 1);
        const auto erase = backend->frames(LinkCode::IapErase);
        QCOMPARE(int(erase.size()), 1);
        QCOMPARE(int(uint8_t(erase[0][5]) | uint8_t(erase[0][6]) << 8), pages);
        const auto chunkFrames = backend->frames(LinkCode::IapWriteChunk);
        QCOMPARE(int(chunkFrames.size()), chunks);
        if (size == 2049) {
            QCOMPARE(bytes(chunkFrames[8], 3, 6), hex("000801000000"));
        } else {
            QCOMPARE(bytes(chunkFrames[256], 3, 6), hex("000000010100"));
            QCOMPARE(bytes(chunkFrames[255], 3, 6), hex("00ff00010000"));
        }
        const auto version = backend->frames(LinkCode::IapWriteVersion);
        QCOMPARE(bytes(version[0], 3, 4), hex("02010203"));
        QCOMPARE(int(backend->frames(LinkCode::IapReadVersion).size()), 1);
        QCOMPARE(int(backend->frames(LinkCode::IapRun).size()), 1);
        QCOMPARE(reporter->labels.first(), QStringLiteral("upgrade step1/2"));
        QCOMPARE(reporter->progressValues.mid(0, 7), (QVector<int>{0, 10, 20, 30, 40, 50, 100}));
        QCOMPARE(reporter->progressValues.last(), 0);
    }

    void firmwareChecksumMismatchFails()
    {
        g_nAppBinSize = 10;
        std::fill(g_ucAppBinBuf, g_ucAppBinBuf + 10, 1);
        g_bIapArrived = 0;
        setLinkSleepHook([](int) { g_bIapArrived = 1; });
        DebugCapture capture;
        int position = -1;
        QCOMPARE(link->upDataFirmware(position), 1);
        QVERIFY(capture.contains("iap check sum error"));
        QCOMPARE(reporter->labels.mid(reporter->labels.size() - 2),
                 (QStringList{"updata checksum error:06", "升级失败."}));
        QVERIFY(backend->frames(LinkCode::IapWriteVersion).empty());
    }

    void firmwareWithoutDataSendsNothing()
    {
        g_nAppBinSize = 0;
        int position = -1;
        QCOMPARE(link->upDataFirmware(position), 1);
        QVERIFY(backend->written.empty());
    }

    void firmwareNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("hardware");
        QTest::addColumn<QString>("software");
        QTest::newRow("plain") << "x-02-010203.bin" << true << "02" << "010203";
        QTest::newRow("folder with dashes") << "/tmp/a-b.c/link-11-200101.bin" << true << "11" << "200101";
        QTest::newRow("short hardware") << "x-2-010203.bin" << false << "" << "";
        QTest::newRow("short software") << "x-02-01020.bin" << false << "" << "";
        QTest::newRow("letters") << "x-0a-010203.bin" << false << "" << "";
        QTest::newRow("no fields") << "firmware.bin" << false << "" << "";
        QTest::newRow("one field") << "x-02.bin" << false << "" << "";
    }

    void firmwareNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QFETCH(QString, hardware);
        QFETCH(QString, software);
        QString hw, sw;
        QCOMPARE(parseFirmwareName(name, hw, sw), valid);
        QCOMPARE(hw, hardware);
        QCOMPARE(sw, software);
    }

    void loadFirmwareFileResults()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath("x-02-010203.bin");
        QFile f(good);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(3000, char(0x5A)));
        f.close();
        const QString badName = dir.filePath("firmware-2-1.bin");
        QFile::copy(good, badName);

        up_datHardware = QStringLiteral("77");
        QCOMPARE(loadFirmwareFile(badName), int(FirmwareBadName));
        QCOMPARE(int(g_bAppBinLoaded), 0);
        QCOMPARE(up_datHardware, QStringLiteral("77"));
        QCOMPARE(loadFirmwareFile(QString()), int(FirmwareEmptyPath));
        QCOMPARE(loadFirmwareFile(dir.filePath("y-02-010203.bin")), int(FirmwareMissing));
        bool truncated = true;
        QCOMPARE(loadFirmwareFile(good, &truncated), int(FirmwareRead));
        QVERIFY(!truncated);
        QCOMPARE(int(g_bAppBinLoaded), 1);
        QCOMPARE(g_nAppBinSize, 3000u);
        QCOMPARE(up_datHardware, QStringLiteral("02"));
        QCOMPARE(up_datSoftware, QStringLiteral("010203"));
    }

    void oversizedFirmwareIsCut()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("big-01-000001.bin");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(204801, char(0x11)));
        f.close();
        bool truncated = false;
        QCOMPARE(readFirmwareFile(path, &truncated), 0);
        QVERIFY(truncated);
        QCOMPARE(g_nAppBinSize, 204800u);
    }
};

QTEST_GUILESS_MAIN(TestLinkCommands)
#include "tst_linkcommands.moc"
