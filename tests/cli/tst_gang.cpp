// Gang programming end to end: the real tarnquill-cli driving several emulated Links, one folder each.
#include "clitestutil.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "files/projectfile.h"
#include "emulator/linkemulator.h"
#include "production/productionsettings.h"
#include "worker/workerclient.h"

#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstring>
#include <memory>

namespace {
QStringList lines(const QByteArray &out)
{
    // Windows consoles end lines with \r\n.
    return QString::fromUtf8(out).split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
}

// A VR5K2610 project with a flash image and, when `step` is not 0, a 16-bit hexadecimal serial number counting
// up from `start` (the Link may burn `limit` chips when not 0).
void writeSerialProject(const QString &path, uint32_t start, uint8_t step, uint32_t limit)
{
    McuList catalogue;
    catalogue.load();
    for (const McuInfo &chip : catalogue.list()) {
        if (chip.strName == QLatin1String("VR5K2610"))
            g_currentMcu = chip;
    }
    resetImages();
    const QByteArray flash = patternBytes(2000, 3);
    std::memcpy(g_ucBinBuf, flash.constData(), size_t(flash.size()));
    g_nBinSize = uint32_t(flash.size());
    g_bEnBin = true;
    fillBinAndSum(g_ucBinBuf, g_nBinSize);
    g_bEnRollCode = step != 0;
    g_rollingSet = {0x1F0, start, 0x01, step, 0x01, uint8_t(0x80)};
    g_bEnLimit = limit != 0;
    g_nLimitCount = limit;
    QCOMPARE(saveProject(path), 0);
}
}

class TestGang : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void linksListsEveryLinkInPortOrder();
    void severalLinksNeedTheLinkOption_data();
    void severalLinksNeedTheLinkOption();
    void gangBurnWritesAndVerifiesEveryLink();
    void oneLinkWithoutAChipFailsAlone();
    void oneLinkHeldByAnotherProcessFailsAlone();
    void oneLinkPulledOutMidRunFailsAlone();
    void serialNumbersInterleaveAcrossLinks();
    void serialPlanThatCannotBeKeptIsRefused();
    void upgradeOfOneLinkOfThree();
    void oneLinkCommandsRefuseAGang();
    void internalOptionsAndEmptyValuesAreRefused_data();
    void internalOptionsAndEmptyValuesAreRefused();
    void workerSpeaksTheProtocol();
    void noLinkReadsInTheUsersLanguage();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_dir->path()); }
    // --emulate=l1,l2,... for `count` Links (ports emu1 ... emuN).
    QString emulate(int count) const
    {
        QStringList folders;
        for (int i = 1; i <= count; ++i)
            folders << path(QStringLiteral("l%1").arg(i));
        return QStringLiteral("--emulate=") + folders.join(QLatin1Char(','));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestGang::initTestCase()
{
    QVERIFY2(QFile::exists(cliPath()), qPrintable(cliPath()));
}

void TestGang::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestGang::linksListsEveryLinkInPortOrder()
{
    QCOMPARE(cli({QStringLiteral("emulator"), path(QStringLiteral("l3")), QStringLiteral("--fw"), QStringLiteral("1.2.3")}).exitCode, 0);
    // Held by another process: listed without asking it anything.
    LinkEmulator second(path(QStringLiteral("l2")));
    LinkEmulator::LinkLock held(second);
    QVERIFY(held.tryLock());
    const CliRun run = cli({emulate(3), QStringLiteral("--json"), QStringLiteral("links")});
    QCOMPARE(run.exitCode, 0);
    const QJsonArray links = json(run.out).array();
    QCOMPARE(links.size(), 3);
    const QStringList ports = {"emu1", "emu2", "emu3"};
    const QJsonValue versions[] = {QStringLiteral("1.1.0"), QJsonValue(), QStringLiteral("1.2.3")};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject link = links[i].toObject();
        QCOMPARE(link[QStringLiteral("port")].toString(), ports[i]);
        QCOMPARE(link[QStringLiteral("path")].toString(), path(QStringLiteral("l%1").arg(i + 1)));
        QCOMPARE(link[QStringLiteral("mode")].toString(), QStringLiteral("normal"));
        QCOMPARE(link[QStringLiteral("version")], versions[i]);
        QCOMPARE(link[QStringLiteral("busy")].toBool(), i == 1);
    }
}

void TestGang::severalLinksNeedTheLinkOption_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::newRow("erase") << QStringList{QStringLiteral("erase")};
    QTest::newRow("fw-version") << QStringList{QStringLiteral("fw-version")};
    QTest::newRow("upload") << QStringList{QStringLiteral("upload"), QStringLiteral("back.mprj")};
}

void TestGang::severalLinksNeedTheLinkOption()
{
    QFETCH(QStringList, command);
    const CliRun run = cli(QStringList{emulate(2)} + command);
    QCOMPARE(run.exitCode, 64);
    QVERIFY2(run.err.contains(QStringLiteral("emu1, emu2")), qPrintable(run.err));
    // A port that is not attached is refused with the list too.
    const CliRun unknown = cli({emulate(2), QStringLiteral("--link"), QStringLiteral("emu1,emu7"), QStringLiteral("erase")});
    QCOMPARE(unknown.exitCode, 64);
    QVERIFY2(unknown.err.contains(QStringLiteral("emu7")), qPrintable(unknown.err));
}

void TestGang::gangBurnWritesAndVerifiesEveryLink()
{
    const QByteArray image = patternBytes(5000, 7);
    QVERIFY(writeFile(path(QStringLiteral("in.bin")), image));
    const CliRun run = cli({emulate(3), QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("burn"),
                            QStringLiteral("in.bin"), QStringLiteral("--verify")});
    QCOMPARE(run.exitCode, 0);
    const QStringList results = lines(run.out);
    QCOMPARE(results.size(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY2(QRegularExpression(QStringLiteral("^emu%1: OK [0-9A-F]{4}$").arg(i + 1)).match(results[i]).hasMatch(),
                 qPrintable(results[i]));
    // Progress comes prefixed with the port when stderr is no terminal.
    QVERIFY(run.err.contains(QStringLiteral("emu2: 100%")));
    for (int i = 1; i <= 3; ++i) {
        const QString out = path(QStringLiteral("back%1.bin").arg(i));
        QCOMPARE(cli({emulate(3), QStringLiteral("--link"), QStringLiteral("emu%1").arg(i), QStringLiteral("read"), out}).exitCode, 0);
        QCOMPARE(readFile(out).left(image.size()), image);
    }
}

void TestGang::oneLinkWithoutAChipFailsAlone()
{
    QCOMPARE(cli({QStringLiteral("emulator"), path(QStringLiteral("l2")), QStringLiteral("--remove")}).exitCode, 0);
    const CliRun run = cli({emulate(3), QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("--json"), QStringLiteral("erase")});
    QCOMPARE(run.exitCode, 3);  // the first failing Link's result
    const QJsonArray results = json(run.out).array();
    QCOMPARE(results.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QJsonObject r = results[i].toObject();
        QCOMPARE(r[QStringLiteral("port")].toString(), QStringLiteral("emu%1").arg(i + 1));
        QCOMPARE(r[QStringLiteral("code")].toInt(), i == 1 ? 3 : 0);
        QVERIFY(r.contains(QStringLiteral("checksum")));
    }
    QCOMPARE(results[1].toObject()[QStringLiteral("text")].toString(), QStringLiteral("芯片连接失败"));
    const CliRun text = cli({emulate(3), QStringLiteral("--link"), QStringLiteral("emu1,emu2"), QStringLiteral("erase")});
    QCOMPARE(lines(text.out).value(1), QStringLiteral("emu2: NG 3 芯片连接失败"));
}

void TestGang::oneLinkHeldByAnotherProcessFailsAlone()
{
    LinkEmulator second(path(QStringLiteral("l2")));
    LinkEmulator::LinkLock held(second);
    QVERIFY(held.tryLock());
    const CliRun run = cli({emulate(3), QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("erase")});
    QCOMPARE(run.exitCode, 37);
    const QStringList results = lines(run.out);
    QCOMPARE(results.size(), 3);
    QVERIFY(results[0].startsWith(QStringLiteral("emu1: OK")));
    QVERIFY2(results[1].startsWith(QStringLiteral("emu2: NG 37")), qPrintable(results[1]));
    QVERIFY(results[2].startsWith(QStringLiteral("emu3: OK")));
    // Once it is free, that Link works again.
    held.unlock();
    QCOMPARE(cli({emulate(3), QStringLiteral("--link"), QStringLiteral("emu2"), QStringLiteral("erase")}).exitCode, 0);
}

// The second Link is pulled out of the computer while it burns: it ends with the USB failure instead of
// waiting for chips it can never find, and the two others finish their chips untouched.
void TestGang::oneLinkPulledOutMidRunFailsAlone()
{
    const QByteArray image = patternBytes(32 * 1024, 11);
    QVERIFY(writeFile(path(QStringLiteral("in.bin")), image));
    QProcess run;
    run.setWorkingDirectory(m_dir->path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TQ_EMULATOR_WAITS"), QStringLiteral("real"));  // a burn that lasts seconds
    run.setProcessEnvironment(environment);
    run.start(cliPath(), {emulate(3), QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("burn"),
                          QStringLiteral("in.bin")});
    QVERIFY(run.waitForStarted());
    QString err;
    const QRegularExpression burning(QStringLiteral("emu2: [1-9]\\d?%"));
    while (!err.contains(burning) && run.state() == QProcess::Running) {
        run.waitForReadyRead(1000);
        err += QString::fromUtf8(run.readAllStandardError());
    }
    QVERIFY2(err.contains(burning), qPrintable(err));
    QCOMPARE(cli({QStringLiteral("emulator"), path(QStringLiteral("l2")), QStringLiteral("--unplug")}).exitCode, 0);
    QVERIFY(run.waitForFinished(120000));
    err += QString::fromUtf8(run.readAllStandardError());
    QVERIFY2(!err.contains(QStringLiteral("emu2: 100%")), "the Link finished before it was pulled out");
    QCOMPARE(run.exitCode(), 36);
    const QStringList results = lines(run.readAllStandardOutput());
    QCOMPARE(results.size(), 3);
    QVERIFY2(QRegularExpression(QStringLiteral("^emu1: OK [0-9A-F]{4}$")).match(results[0]).hasMatch(), qPrintable(results[0]));
    QCOMPARE(results[1], QStringLiteral("emu2: NG 36 打开USB失败"));
    QVERIFY2(QRegularExpression(QStringLiteral("^emu3: OK [0-9A-F]{4}$")).match(results[2]).hasMatch(), qPrintable(results[2]));
    for (int i : {1, 3})
        QCOMPARE(LinkEmulator(path(QStringLiteral("l%1").arg(i))).chipFlash().left(image.size()), image);
    // Pulled out, it is not attached: `links` and `--link all` pass it over, as they would a real one.
    const CliRun attached = cli({emulate(3), QStringLiteral("links")});
    QCOMPARE(attached.exitCode, 0);
    QStringList ports;
    for (const QString &line : lines(attached.out))
        ports << line.section(QLatin1Char('\t'), 0, 0);
    QCOMPARE(ports, (QStringList{QStringLiteral("emu1"), QStringLiteral("emu3")}));
    // Plugged back in, the Link burns again.
    QCOMPARE(cli({QStringLiteral("emulator"), path(QStringLiteral("l2")), QStringLiteral("--plug")}).exitCode, 0);
    QCOMPARE(cli({emulate(3), QStringLiteral("--link"), QStringLiteral("emu2"), QStringLiteral("burn"), QStringLiteral("in.bin")}).exitCode, 0);
}

void TestGang::serialNumbersInterleaveAcrossLinks()
{
    writeSerialProject(path(QStringLiteral("p.mprj")), 0x1000, 1, 0);
    const CliRun run = cli({emulate(3), QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("download"),
                            QStringLiteral("p.mprj")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains(QStringLiteral("emu1: 0x1000, 0x1003, 0x1006 ...")), qPrintable(run.err));
    QVERIFY(run.err.contains(QStringLiteral("emu3: 0x1002, 0x1005, 0x1008 ...")));
    // Each Link keeps its own record.
    for (int i = 0; i < 3; ++i) {
        const QString back = path(QStringLiteral("back%1.mprj").arg(i + 1));
        QCOMPARE(cli({emulate(3), QStringLiteral("--link"), QStringLiteral("emu%1").arg(i + 1), QStringLiteral("upload"), back}).exitCode, 0);
        const QJsonObject rolling = json(cli({QStringLiteral("--json"), QStringLiteral("info"), back}).out)
                                        .object()[QStringLiteral("rolling")].toObject();
        QCOMPARE(rolling[QStringLiteral("startVal")].toVariant().toUInt(), 0x1000u + uint(i));
        QCOMPARE(rolling[QStringLiteral("step")].toInt(), 3);
    }
}

void TestGang::serialPlanThatCannotBeKeptIsRefused()
{
    // 3 Links × step 100 does not fit the step byte; 16 bits run out within a limit of 0x6000 chips.
    writeSerialProject(path(QStringLiteral("step.mprj")), 0x1000, 100, 0);
    writeSerialProject(path(QStringLiteral("width.mprj")), 0x1000, 1, 0x6000);
    for (const QString &project : {QStringLiteral("step.mprj"), QStringLiteral("width.mprj")}) {
        const CliRun run = cli({emulate(3), QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("download"), project});
        QVERIFY2(run.exitCode == 65 && run.err.contains(QStringLiteral("序列号：")), qPrintable(run.err));
        // Refused before any worker ran: no Link was touched, so no state folder was made.
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("l1"))));
    }
}

void TestGang::upgradeOfOneLinkOfThree()
{
    QVERIFY(writeFile(path(QStringLiteral("link-02-010203.bin")), patternBytes(3000, 20)));
    const CliRun upgrade = cli({emulate(3), QStringLiteral("--link"), QStringLiteral("emu2"), QStringLiteral("upgrade"),
                                QStringLiteral("link-02-010203.bin")});
    QCOMPARE(upgrade.exitCode, 0);
    // The Link went through IAP mode and came back at its port with the new version; the others kept theirs.
    const QJsonArray links = json(cli({emulate(3), QStringLiteral("--json"), QStringLiteral("links")}).out).array();
    QCOMPARE(links.size(), 3);
    QCOMPARE(links[0].toObject()[QStringLiteral("version")].toString(), QStringLiteral("1.1.0"));
    QCOMPARE(links[1].toObject()[QStringLiteral("port")].toString(), QStringLiteral("emu2"));
    QCOMPARE(links[1].toObject()[QStringLiteral("version")].toString(), QStringLiteral("2.1.515"));
    QCOMPARE(links[2].toObject()[QStringLiteral("version")].toString(), QStringLiteral("1.1.0"));
}

void TestGang::oneLinkCommandsRefuseAGang()
{
    const CliRun run = cli({emulate(2), QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("read"), QStringLiteral("x.bin")});
    QCOMPARE(run.exitCode, 64);
    QVERIFY2(run.err.contains(QStringLiteral("--link 端口")), qPrintable(run.err));
}

void TestGang::internalOptionsAndEmptyValuesAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::newRow("--gang-worker by hand") << QStringList{"--emulate", "--gang-worker", "--json", "erase"} << "--gang-worker";
    QTest::newRow("--gang-serial by hand") << QStringList{"--emulate", "--gang-serial", "1:2", "download", "p.mprj"} << "--gang-serial";
    QTest::newRow("--label by hand") << QStringList{"--emulate", "--label", "left", "burn", "in.bin"} << "--label";
    QTest::newRow("--chip \"\"") << QStringList{"--chip", "", "chips"} << "--chip";
    QTest::newRow("--chip=") << QStringList{"--chip=", "chips"} << "--chip";
    QTest::newRow("--log \"\"") << QStringList{"--emulate", "burn", "in.bin", "--log", ""} << "--log";
    QTest::newRow("--trace=") << QStringList{"--emulate", "--trace=", "erase"} << "--trace";
    QTest::newRow("--link \"\"") << QStringList{"--emulate", "--link", "", "erase"} << "--link";
    QTest::newRow("--areas=") << QStringList{"--emulate", "--areas=", "erase"} << "--areas";
}

// A worker's options belong to the processes a gang starts; an empty value (an unset variable in a
// script) would silently mean "none". Both are usage errors, before the Link is touched.
void TestGang::internalOptionsAndEmptyValuesAreRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    QVERIFY(writeFile(path(QStringLiteral("in.bin")), patternBytes(100, 1)));
    const CliRun run = cli(arguments);
    QCOMPARE(run.exitCode, 64);
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

// A real worker through the client, as the gang and the station drive it: the handshake, the steps, the
// record answered, the result and the checksum at its end.
void TestGang::workerSpeaksTheProtocol()
{
    QVERIFY(writeFile(path(QStringLiteral("in.bin")), patternBytes(3000, 5)));
    WorkerClient client;
    QStringList kinds;
    int records = 0;
    QObject::connect(&client, &WorkerClient::helloReceived, [&kinds](int version) { kinds << QStringLiteral("hello %1").arg(version); });
    QObject::connect(&client, &WorkerClient::progressChanged, [&kinds](int) {
        if (!kinds.contains(QStringLiteral("progress")))
            kinds << QStringLiteral("progress");
    });
    QObject::connect(&client, &WorkerClient::recordKept, [&](int number) {
        kinds << QStringLiteral("record %1").arg(number);
        ++records;
        client.answerRecord(true);
    });
    QObject::connect(&client, &WorkerClient::resultReceived, [&kinds](const QJsonObject &result) {
        kinds << QStringLiteral("result %1").arg(result.value(QStringLiteral("result")).toInt());
    });
    QObject::connect(&client, &WorkerClient::lineRejected, [&kinds](const QByteArray &line) { kinds << QString::fromUtf8(line); });
    QSignalSpy ended(&client, &WorkerClient::finished);
    client.start(cliPath(), {emulate(1), QStringLiteral("--link"), QStringLiteral("emu1"), QStringLiteral("--gang-worker"),
                             QStringLiteral("--json"), QStringLiteral("--log"), path(QStringLiteral("w.csv")), QStringLiteral("burn"),
                             path(QStringLiteral("in.bin"))});
    QVERIFY(ended.wait(60000));
    QCOMPARE(kinds, (QStringList{"hello 1", "progress", "record 1", "result 0"}));
    const WorkerReport &r = client.report();
    QCOMPARE(int(r.ending), int(WorkerReport::Ending::Exited));
    QCOMPARE(r.exitStatus, 0);
    QVERIFY(r.hasEnd);
    QCOMPARE(r.checksum.size(), 4);
    QVERIFY(!r.label.isEmpty());
}

// The gang's own texts follow the language; the JSON does not.
void TestGang::noLinkReadsInTheUsersLanguage()
{
    QCOMPARE(cli({QStringLiteral("emulator"), path(QStringLiteral("l1")), QStringLiteral("--unplug")}).exitCode, 0);
    const CliRun en = cli({QStringLiteral("--lang=en"), emulate(1), QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("erase")});
    QCOMPARE(en.exitCode, 36);
    QVERIFY2(en.err.contains(QStringLiteral("Cannot open the USB device")), qPrintable(en.err));
    QVERIFY2(!en.err.contains(QString::fromUtf8("打开USB失败")), qPrintable(en.err));
    const CliRun zh = cli({QStringLiteral("--lang=zh"), emulate(1), QStringLiteral("--link"), QStringLiteral("all"), QStringLiteral("erase")});
    QVERIFY2(zh.err.contains(QString::fromUtf8("打开USB失败")), qPrintable(zh.err));
}

QTEST_GUILESS_MAIN(TestGang)
#include "tst_gang.moc"
