#include "clitestutil.h"

#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "emulator/linkemulator.h"
#include "files/projectfile.h"
#include "link/devicelock.h"
#include "link/linkcommands.h"
#include "production/productionsettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {
const McuInfo &catalogueChip(const QString &name)
{
    static McuList list;
    static bool loaded = false;
    if (!loaded) {
        list.load();
        loaded = true;
    }
    const McuInfo *chip = findMcuByName(list.list(), name);
    Q_ASSERT(chip);
    return *chip;
}

QSet<QString> keys(const QJsonObject &o)
{
    const QStringList k = o.keys();
    return QSet<QString>(k.begin(), k.end());
}

QSet<QString> keySet(std::initializer_list<const char *> names)
{
    QSet<QString> set;
    for (const char *n : names)
        set << QString::fromLatin1(n);
    return set;
}

QString checksumText(const QByteArray &bytes)
{
    const uint16_t sum = sum16(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    return QStringLiteral("%1").arg(sum, 4, 16, QLatin1Char('0')).toUpper();
}

QByteArray padded(const QByteArray &data, int length)
{
    return data + QByteArray(length - data.size(), char(0xFF));
}

// What a project holds besides its images.
struct ProjectSettings
{
    bool rolling = false;
    bool limit = false;
    bool autoBurner = false;
    rolling_seting_t record = {0x19F0, 0x99, 0x01, 3, 0x01, uint8_t(0x80)};  // two bytes at the NVR area's end
};

// A project for VR5K2610 with a flash image, a BootLoader image and an NVR2 page, written by the window's
// own project writer.
void writeProject(const QString &path, const QByteArray &flash, const QByteArray &bootLoader, const QByteArray &nvr2,
                  const ProjectSettings &settings)
{
    g_currentMcu = catalogueChip(QStringLiteral("VR5K2610"));
    resetImages();
    resetProduction();
    std::memcpy(g_ucBinBuf, flash.constData(), size_t(flash.size()));
    g_nBinSize = uint32_t(flash.size());
    g_bEnBin = true;
    fillBinAndSum(g_ucBinBuf, g_nBinSize);
    if (!bootLoader.isEmpty()) {
        std::memcpy(g_ucNVRBinBuf, bootLoader.constData(), size_t(bootLoader.size()));
        g_nNVRBinSize = uint32_t(bootLoader.size());
        g_bEnBL = true;
        fillBLAndSum(g_ucNVRBinBuf, g_nNVRBinSize);
    }
    if (!nvr2.isEmpty()) {
        std::memcpy(g_ucNVRBuf2, nvr2.constData(), size_t(nvr2.size()));
        g_bEnNVR2 = true;
        calcNVR2CheckSum();
    }
    g_bEnRollCode = settings.rolling;
    if (settings.rolling)
        g_rollingSet = settings.record;
    g_bEnLimit = settings.limit;
    if (settings.limit)
        g_nLimitCount = 1234;
    g_bEnAutoBurner = settings.autoBurner;
    if (settings.autoBurner)
        g_autoBurnerSet = {150, 120, 15, 25, 1, 1, 0, 1};
    QCOMPARE(saveProject(path), 0);
}
}

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void chipsJsonListsTheCatalogue();
    void infoJsonShape();
    void convertHexToBin_data();
    void convertHexToBin();
    void hexWarningsCountWhatWasPassedOver_data();
    void hexWarningsCountWhatWasPassedOver();
    void burnThenReadReturnsTheImage_data();
    void burnThenReadReturnsTheImage();
    void wrongChipIdExits4AndWritesNothing();
    void blankAfterEraseReportsBlankAreas();
    void downloadUploadRoundTrip();
    void impossibleSerialNumberIsRefused_data();
    void impossibleSerialNumberIsRefused();
    void badInputExits65WithTheLoaderText_data();
    void badInputExits65WithTheLoaderText();
    void traceOfABurnHoldsItsFrames();
    void usageAndOutputStatuses_data();
    void usageAndOutputStatuses();
    void burnLogAppendsOneLinePerChip();
    void freshSocketHoldsTheSelectedChip();
    void failedUploadSaysUpload();
    void upgradeThroughIapMode();
    void deviceLockHeldElsewhereExits37();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    CliRun cli(const QStringList &arguments) const { return runCli(arguments, m_dir->path()); }
    QString emulate() const { return QStringLiteral("--emulate=") + path(QStringLiteral("link")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_runtime;
};

// The device lock lives in $XDG_RUNTIME_DIR; a folder of our own keeps parallel test runs apart and lets a
// test hold the lock the runs under test take.
void TestCli::initTestCase()
{
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
}

void TestCli::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestCli::chipsJsonListsTheCatalogue()
{
    const CliRun run = cli({QStringLiteral("--json"), QStringLiteral("chips")});
    QCOMPARE(run.exitCode, 0);
    const QJsonArray chips = json(run.out).array();
    McuList catalogue;
    catalogue.load();
    QCOMPARE(chips.size(), catalogue.list().size());
    for (int i = 0; i < chips.size(); ++i) {
        const QJsonObject chip = chips[i].toObject();
        const McuInfo &expected = catalogue.list()[i];
        QCOMPARE(keys(chip), keySet({"name", "id", "flashKB", "description"}));
        QCOMPARE(chip[QStringLiteral("name")].toString(), expected.strName);
        QCOMPARE(chip[QStringLiteral("id")].toString(),
                 QStringLiteral("%1").arg(expected.nID, 4, 16, QLatin1Char('0')).toUpper());
        QCOMPARE(chip[QStringLiteral("flashKB")].toInt(), int(expected.nFlashSizeKB));
        QCOMPARE(chip[QStringLiteral("description")].toString(), expected.strDescription);
    }
}

void TestCli::infoJsonShape()
{
    const QByteArray flash = patternBytes(3000, 1);
    const QByteArray bootLoader = patternBytes(700, 2);
    const QByteArray nvr2 = patternBytes(512, 3);
    writeProject(path(QStringLiteral("p.mprj")), flash, bootLoader, nvr2, {true, true, false});
    const CliRun run = cli({QStringLiteral("--json"), QStringLiteral("info"), QStringLiteral("p.mprj")});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject info = json(run.out).object();
    QCOMPARE(keys(info), keySet({"chip", "areas", "rolling", "password", "limit", "autoBurner", "uploadProtect",
                                 "autoWrite", "singleWire", "calibration"}));
    QCOMPARE(info[QStringLiteral("chip")].toString(), QStringLiteral("VR5K2610"));

    const QJsonObject areas = info[QStringLiteral("areas")].toObject();
    QCOMPARE(keys(areas), keySet({"rom", "bl", "nvr2"}));
    const McuInfo &chip = catalogueChip(QStringLiteral("VR5K2610"));
    const struct {
        const char *name;
        QByteArray data;
        int size;
        int area;
    } expected[] = {
        {"rom", flash, flash.size(), int(chip.nFlashSizeKB * 1024)},
        {"bl", bootLoader, bootLoader.size(), int(chip.nBootSectors * chip.nSectorSize)},
        {"nvr2", nvr2, int(chip.nSectorSize), int(chip.nSectorSize)},
    };
    for (const auto &e : expected) {
        const QJsonObject area = areas[QLatin1String(e.name)].toObject();
        QCOMPARE(keys(area), keySet({"size", "checksum"}));
        QCOMPARE(area[QStringLiteral("size")].toInt(), e.size);
        QCOMPARE(area[QStringLiteral("checksum")].toString(), checksumText(padded(e.data, e.area)));
    }

    const QJsonObject rolling = info[QStringLiteral("rolling")].toObject();
    QCOMPARE(keys(rolling), keySet({"enabled", "startAdd", "startVal", "bitSize", "step", "radix", "area", "countUp"}));
    QCOMPARE(rolling[QStringLiteral("enabled")].toBool(), true);
    QCOMPARE(rolling[QStringLiteral("startAdd")].toInt(), 0x19F0);
    QCOMPARE(rolling[QStringLiteral("startVal")].toInt(), 0x99);
    QCOMPARE(rolling[QStringLiteral("step")].toInt(), 3);
    QCOMPARE(rolling[QStringLiteral("countUp")].toBool(), true);
    QCOMPARE(keys(info[QStringLiteral("password")].toObject()), keySet({"enabled", "length"}));
    const QJsonObject limit = info[QStringLiteral("limit")].toObject();
    QCOMPARE(keys(limit), keySet({"enabled", "count"}));
    QCOMPARE(limit[QStringLiteral("count")].toInt(), 1234);
    QCOMPARE(keys(info[QStringLiteral("autoBurner")].toObject()),
             keySet({"enabled", "startTime", "busyTime", "eotTime", "okNgTime", "startLevel", "busyLevel", "okLevel",
                     "ngLevel"}));
    QCOMPARE(keys(info[QStringLiteral("calibration")].toObject()),
             keySet({"adc", "clock", "only", "noAdcParamCheck", "clockMHz"}));
    QVERIFY(info[QStringLiteral("uploadProtect")].isBool());
    QVERIFY(info[QStringLiteral("calibration")].toObject()[QStringLiteral("clockMHz")].isDouble());
}

void TestCli::convertHexToBin_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("address");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray a = patternBytes(1000, 4);
    QTest::newRow("rom from 0") << a << 0 << QStringList() << a;
    // The gap in front of the data is erased flash.
    QTest::newRow("rom at 0x100") << a << 0x100 << QStringList() << QByteArray(0x100, char(0xFF)) + a;
    QTest::newRow("bootloader") << patternBytes(600, 5) << 0 << QStringList{QStringLiteral("--to"), QStringLiteral("bl")}
                                << patternBytes(600, 5);
}

void TestCli::convertHexToBin()
{
    QFETCH(QByteArray, data);
    QFETCH(int, address);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, expected);
    // SDCC names the same Intel HEX .ihx.
    for (const QString &input : {QStringLiteral("in.hex"), QStringLiteral("in.ihx")}) {
        QVERIFY(writeFile(path(input), hexText(data, uint16_t(address))));
        const CliRun run = cli(QStringList{QStringLiteral("convert"), input, QStringLiteral("out.bin")} + options);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QCOMPARE(readFile(path(QStringLiteral("out.bin"))), expected);
        QVERIFY(QFile::remove(path(QStringLiteral("out.bin"))));
    }
}

void TestCli::hexWarningsCountWhatWasPassedOver_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray data = patternBytes(64, 21);
    QTest::newRow("lines that are no records") << "made by hand\n" + hexText(data) + "end\n\n"
                                               << QStringLiteral("跳过了 2 行") << data;
    QTest::newRow("blanks after records and a DOS end-of-file mark")
        << hexText(data).replace("\n", "  \r\n") + "\x1A" << QStringLiteral("跳过了 1 行") << data;
}

// The loader's rules pass over lines that are no records; the command line counts them.
void TestCli::hexWarningsCountWhatWasPassedOver()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, warning);
    QFETCH(QByteArray, expected);
    QVERIFY(writeFile(path(QStringLiteral("in.hex")), text));
    const CliRun run = cli({QStringLiteral("convert"), QStringLiteral("in.hex"), QStringLiteral("out.bin")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains(warning), qPrintable(run.err));
    QCOMPARE(readFile(path(QStringLiteral("out.bin"))), expected);
}

void TestCli::burnThenReadReturnsTheImage_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("areas");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("hex into rom") << QStringLiteral("in.hex") << QStringList() << patternBytes(5000, 6);
    QTest::newRow("bin into rom") << QStringLiteral("in.bin") << QStringList() << patternBytes(777, 7);
    QTest::newRow("hex into bootloader") << QStringLiteral("in.hex")
                                         << QStringList{QStringLiteral("--areas"), QStringLiteral("bl")}
                                         << patternBytes(1500, 8);
    QTest::newRow("SDCC's ihx into rom") << QStringLiteral("in.ihx") << QStringList() << patternBytes(3000, 9);
}

void TestCli::burnThenReadReturnsTheImage()
{
    QFETCH(QString, input);
    QFETCH(QStringList, areas);
    QFETCH(QByteArray, data);
    QVERIFY(writeFile(path(input), input.endsWith(QLatin1String(".bin")) ? data : hexText(data)));

    const CliRun burn = cli(QStringList{emulate()} + areas + QStringList{QStringLiteral("burn"), input});
    QCOMPARE(burn.exitCode, 0);
    QVERIFY(burn.err.contains(QStringLiteral("烧写成功")));
    const CliRun read = cli(QStringList{emulate()} + areas + QStringList{QStringLiteral("read"), QStringLiteral("back.bin")});
    QCOMPARE(read.exitCode, 0);
    QByteArray back = readFile(path(QStringLiteral("back.bin")));
    // The BootLoader comes back as its whole area; the flash up to its last programmed byte.
    QCOMPARE(back.left(data.size()), data);
    QVERIFY(back.mid(data.size()).count(char(0xFF)) == back.size() - data.size());
}

void TestCli::wrongChipIdExits4AndWritesNothing()
{
    const QByteArray data = patternBytes(2048, 9);
    QVERIFY(writeFile(path(QStringLiteral("in.bin")), data));
    const McuInfo &other = catalogueChip(QStringLiteral("VR5K2611"));
    const QString otherId = QString::number(other.nID, 16);
    QCOMPARE(cli({QStringLiteral("emulator"), path(QStringLiteral("link")), QStringLiteral("--chip-id"), otherId}).exitCode, 0);

    const CliRun burn = cli({emulate(), QStringLiteral("--json"), QStringLiteral("burn"), QStringLiteral("in.bin")});
    QCOMPARE(burn.exitCode, 4);
    QCOMPARE(json(burn.out).object()[QStringLiteral("result")].toInt(), 4);
    QVERIFY(json(burn.out).object()[QStringLiteral("text")].toString().contains(other.strName));

    const CliRun read = cli({emulate(), QStringLiteral("read"), QStringLiteral("back.bin")});
    QCOMPARE(read.exitCode, 4);
    QVERIFY(!QFile::exists(path(QStringLiteral("back.bin"))));

    // Seen as the chip it is, it is still blank: the burn wrote nothing.
    const CliRun blank = cli({emulate(), QStringLiteral("--chip"), other.strName, QStringLiteral("--json"), QStringLiteral("blank")});
    QCOMPARE(blank.exitCode, 0);
    QCOMPARE(json(blank.out).object()[QStringLiteral("areas")].toObject()[QStringLiteral("rom")].toObject()[QStringLiteral("blank")].toBool(),
             true);
}

void TestCli::blankAfterEraseReportsBlankAreas()
{
    writeProject(path(QStringLiteral("p.mprj")), patternBytes(4096, 10), patternBytes(1024, 11), patternBytes(512, 12), {});
    QCOMPARE(cli({emulate(), QStringLiteral("burn"), QStringLiteral("p.mprj")}).exitCode, 0);
    const QStringList areas = {QStringLiteral("--areas"), QStringLiteral("rom,bl,nvr2")};
    const McuInfo &chip = catalogueChip(QStringLiteral("VR5K2610"));
    const QMap<QString, int> lengths = {{QStringLiteral("rom"), int(chip.nFlashSizeKB * 1024)},
                                        {QStringLiteral("bl"), int(chip.nBootSectors * chip.nSectorSize)},
                                        {QStringLiteral("nvr2"), int(chip.nSectorSize)}};

    const CliRun before = cli(QStringList{emulate(), QStringLiteral("--json")} + areas + QStringList{QStringLiteral("blank")});
    QCOMPARE(before.exitCode, 0);
    for (const QString &area : lengths.keys())
        QVERIFY2(!json(before.out).object()[QStringLiteral("areas")].toObject()[area].toObject()[QStringLiteral("blank")].toBool(),
                 qPrintable(area));

    QCOMPARE(cli(QStringList{emulate()} + areas + QStringList{QStringLiteral("erase")}).exitCode, 0);
    const CliRun after = cli(QStringList{emulate(), QStringLiteral("--json")} + areas + QStringList{QStringLiteral("blank")});
    QCOMPARE(after.exitCode, 0);
    const QJsonObject result = json(after.out).object();
    QCOMPARE(keys(result), keySet({"result", "text", "areas"}));
    QCOMPARE(result[QStringLiteral("result")].toInt(), 0);
    const QJsonObject blankAreas = result[QStringLiteral("areas")].toObject();
    QCOMPARE(keys(blankAreas), QSet<QString>(lengths.keyBegin(), lengths.keyEnd()));
    for (auto it = lengths.cbegin(); it != lengths.cend(); ++it) {
        const QJsonObject area = blankAreas[it.key()].toObject();
        QCOMPARE(keys(area), keySet({"checksum", "blank"}));
        QVERIFY2(area[QStringLiteral("blank")].toBool(), qPrintable(it.key()));
        QCOMPARE(area[QStringLiteral("checksum")].toString(), checksumText(QByteArray(it.value(), char(0xFF))));
    }
}

void TestCli::impossibleSerialNumberIsRefused_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::newRow("info") << QStringList{QStringLiteral("info"), QStringLiteral("p.mprj")};
    // Folders relative to the run's own folder.
    QTest::newRow("download") << QStringList{QStringLiteral("--emulate=link"), QStringLiteral("download"), QStringLiteral("p.mprj")};
    QTest::newRow("burn") << QStringList{QStringLiteral("--emulate=link"), QStringLiteral("burn"), QStringLiteral("p.mprj")};
    QTest::newRow("gang download") << QStringList{QStringLiteral("--emulate=l1,l2"), QStringLiteral("--link"), QStringLiteral("all"),
                                                  QStringLiteral("download"), QStringLiteral("p.mprj")};
}

// Eight bytes wide, in area 3, at 0xFFFFFFFF: no editor makes such a number, and no Link may store or burn it.
void TestCli::impossibleSerialNumberIsRefused()
{
    QFETCH(QStringList, command);
    ProjectSettings settings;
    settings.rolling = true;
    settings.record = {0xFFFFFFFFu, 1, 0x07, 1, 0x01, uint8_t(0xE0)};
    writeProject(path(QStringLiteral("p.mprj")), patternBytes(600, 13), QByteArray(), QByteArray(), settings);
    const CliRun run = cli(command);
    QCOMPARE(run.exitCode, 65);
    QVERIFY2(run.err.contains(QStringLiteral("项目中的序列号设置有误：序列号位宽为8字节")), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    for (const QString &folder : {QStringLiteral("link"), QStringLiteral("l1"), QStringLiteral("l2")})
        QVERIFY(!QFile::exists(path(folder)));
}

void TestCli::downloadUploadRoundTrip()
{
    writeProject(path(QStringLiteral("p.mprj")), patternBytes(6000, 13), patternBytes(900, 14), patternBytes(512, 15),
                 {true, true, true});
    QCOMPARE(cli({emulate(), QStringLiteral("download"), QStringLiteral("p.mprj")}).exitCode, 0);
    const CliRun upload = cli({emulate(), QStringLiteral("upload"), QStringLiteral("back.mprj")});
    QCOMPARE(upload.exitCode, 0);

    const CliRun original = cli({QStringLiteral("--json"), QStringLiteral("info"), QStringLiteral("p.mprj")});
    const CliRun back = cli({QStringLiteral("--json"), QStringLiteral("info"), QStringLiteral("back.mprj")});
    QCOMPARE(back.exitCode, 0);
    QJsonObject expected = json(original.out).object();
    QJsonObject actual = json(back.out).object();
    QVERIFY(!expected.isEmpty());
    // The clock calibration frequency is sent to the Link but not read back by the upload.
    for (QJsonObject *o : {&expected, &actual}) {
        QJsonObject calibration = (*o)[QStringLiteral("calibration")].toObject();
        calibration.remove(QStringLiteral("clockMHz"));
        o->insert(QStringLiteral("calibration"), calibration);
    }
    QCOMPARE(actual, expected);

    QCOMPARE(cli({emulate(), QStringLiteral("compare-link"), QStringLiteral("p.mprj")}).exitCode, 0);
    writeProject(path(QStringLiteral("q.mprj")), patternBytes(6000, 16), patternBytes(900, 14), patternBytes(512, 15),
                 {true, true, true});
    const CliRun differs = cli({emulate(), QStringLiteral("--json"), QStringLiteral("compare-link"), QStringLiteral("q.mprj")});
    QCOMPARE(differs.exitCode, 1);
    const QJsonObject rom = json(differs.out).object()[QStringLiteral("areas")].toObject()[QStringLiteral("rom")].toObject();
    QCOMPARE(rom[QStringLiteral("equal")].toBool(), false);
    QVERIFY(rom.contains(QStringLiteral("firstDifference")));
}

void TestCli::badInputExits65WithTheLoaderText_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text");

    const McuInfo &chip = catalogueChip(QStringLiteral("VR5K2610"));
    const int flash = int(chip.nFlashSizeKB * 1024);
    const QString tooLarge = QStringLiteral("芯片%1flash最大为%2").arg(chip.strName).arg(flash);
    const QString noData = QStringLiteral("没有数据记录");
    const QString utf16 = QString::fromLatin1(hexText(patternBytes(32, 2)));
    // Content "-" stands for no file at all, "/" for a folder.
    QTest::newRow("hex past the flash") << QStringLiteral("in.hex") << hexText(patternBytes(32, 1), uint16_t(flash - 16))
                                        << tooLarge;
    QTest::newRow("bin past the flash") << QStringLiteral("in.bin") << patternBytes(flash + 1, 1) << tooLarge;
    QTest::newRow("missing hex") << QStringLiteral("missing.hex") << QByteArray("-") << QStringLiteral("missing.hex：文件不存在");
    QTest::newRow("damaged project") << QStringLiteral("in.mprj") << QByteArray(200, 'x') << QStringLiteral("项目文件不完整");
    QTest::newRow("empty hex") << QStringLiteral("in.hex") << QByteArray() << noData;
    QTest::newRow("garbage hex") << QStringLiteral("in.hex") << QByteArray("garbage\n") << noData;
    QTest::newRow("end record only") << QStringLiteral("in.hex") << QByteArray(":00000001FF\n") << noData;
    QTest::newRow("UTF-16 hex") << QStringLiteral("in.hex")
                                << QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)
                                << QStringLiteral("第 1 行有误：含有非十六进制字符");
    const QByteArray whole = hexText(patternBytes(64, 3));
    QByteArray flipped = whole;
    flipped[whole.indexOf('\n') + 12] = flipped[whole.indexOf('\n') + 12] == '7' ? '8' : '7';
    QTest::newRow("hex with a flipped digit") << QStringLiteral("in.hex") << flipped
                                              << QStringLiteral("第 2 行有误：校验和错误");
    QByteArray crOnly = whole;
    crOnly.replace('\n', '\r');
    QTest::newRow("hex with lone CR line ends") << QStringLiteral("in.hex") << crOnly
                                                << QStringLiteral("第 1 行有误：一行中有多条记录");
    QTest::newRow("hex still being written") << QStringLiteral("in.hex") << whole.left(whole.lastIndexOf(":00000001FF"))
                                             << QStringLiteral("没有结束记录");
    QTest::newRow("empty bin") << QStringLiteral("in.bin") << QByteArray() << QStringLiteral("in.bin：空文件，没有数据");
    QTest::newRow("empty project") << QStringLiteral("in.mprj") << QByteArray() << QStringLiteral("in.mprj：空文件");
    QTest::newRow("all-zero project") << QStringLiteral("in.mprj") << QByteArray(156, '\0')
                                      << QStringLiteral("芯片型号不在芯片列表中");
    QTest::newRow("folder as hex") << QStringLiteral("in.hex") << QByteArray("/") << QStringLiteral("in.hex：是文件夹，不是普通文件");
    QTest::newRow("folder as project") << QStringLiteral("in.mprj") << QByteArray("/") << QStringLiteral("是文件夹");
}

// Refused before anything is written or the Link is touched, with the reason; an old output stays as it was.
void TestCli::badInputExits65WithTheLoaderText()
{
    QFETCH(QString, input);
    QFETCH(QByteArray, content);
    QFETCH(QString, text);
    if (content == "/")
        QVERIFY(QDir(m_dir->path()).mkdir(input));
    else if (content != "-")
        QVERIFY(writeFile(path(input), content));
    QVERIFY(writeFile(path(QStringLiteral("old.bin")), "previous"));
    const CliRun convert = cli({QStringLiteral("convert"), input, QStringLiteral("old.bin")});
    QCOMPARE(convert.exitCode, 65);
    QVERIFY2(convert.err.contains(text), qPrintable(convert.err));
    QCOMPARE(readFile(path(QStringLiteral("old.bin"))), QByteArray("previous"));
    QVERIFY(!convert.err.contains(QStringLiteral("需要文件名")));

    const CliRun info = cli({QStringLiteral("info"), input});
    QCOMPARE(info.exitCode, 65);
    QVERIFY(info.out.isEmpty());

    const CliRun burn = cli({emulate(), QStringLiteral("burn"), input});
    QCOMPARE(burn.exitCode, 65);
    QVERIFY(burn.err.contains(text));
    // Refused before the Link was touched: no emulator state was made.
    QVERIFY(!QFile::exists(path(QStringLiteral("link"))));
}

void TestCli::traceOfABurnHoldsItsFrames()
{
    const QByteArray data = patternBytes(600, 17);
    QVERIFY(writeFile(path(QStringLiteral("in.bin")), data));
    const CliRun burn = cli({emulate(), QStringLiteral("--trace"), QStringLiteral("burn.trace"), QStringLiteral("burn"),
                             QStringLiteral("in.bin")});
    QCOMPARE(burn.exitCode, 0);
    const QStringList lines = QString::fromUtf8(readFile(path(QStringLiteral("burn.trace")))).split(QLatin1Char('\n'));
    auto frame = [](uint8_t code) {
        return QStringLiteral("> %1 %2 %3 ")
            .arg(LinkCode::Start, 2, 16, QLatin1Char('0'))
            .arg(LinkCode::Marker, 2, 16, QLatin1Char('0'))
            .arg(code, 2, 16, QLatin1Char('0'))
            .toUpper();
    };
    // The chip pass in its order: memory map, a chip answers, its id, erase, write, Link checksum, exit.
    const uint8_t order[] = {LinkCode::WriteToNvrInfomation, LinkCode::InitProgrammer, LinkCode::CheckID,
                             LinkCode::EraseFlash, LinkCode::WriteFlashChip, LinkCode::checkSum,
                             LinkCode::ExitProgrammer};
    auto lineStarting = [&lines](const QString &start, int from) {
        for (int i = from; i < lines.size(); ++i) {
            if (lines[i].startsWith(start))
                return i;
        }
        return -1;
    };
    int at = 0;
    for (uint8_t code : order) {
        const int found = lineStarting(frame(code), at);
        QVERIFY2(found >= 0, qPrintable(frame(code)));
        at = found + 1;
    }
    // The write carries the image: the report after the first write frame starts with the first bytes.
    const int write = lineStarting(frame(LinkCode::WriteFlashChip), 0);
    const QString firstData = QStringLiteral("> ") + QString::fromLatin1(data.left(8).toHex(' ').toUpper());
    QVERIFY(lines.mid(write + 1, 3).join(QLatin1Char('\n')).contains(firstData));
    QVERIFY(lines.contains(QStringLiteral("# open")));
}

void TestCli::usageAndOutputStatuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");

    QTest::newRow("no command") << QStringList() << 64;
    QTest::newRow("unknown command") << QStringList{QStringLiteral("flash")} << 64;
    QTest::newRow("unknown area") << QStringList{QStringLiteral("--areas"), QStringLiteral("rom,xx"), QStringLiteral("erase")} << 64;
    QTest::newRow("missing operand") << QStringList{QStringLiteral("read")} << 64;
    QTest::newRow("option of another command") << QStringList{QStringLiteral("read"), QStringLiteral("x.bin"), QStringLiteral("--loop")} << 64;
    QTest::newRow("verify with loop") << QStringList{QStringLiteral("burn"), QStringLiteral("in.bin"), QStringLiteral("--loop"), QStringLiteral("--verify")} << 64;
    QTest::newRow("unknown chip") << QStringList{QStringLiteral("--chip"), QStringLiteral("NOPE"), QStringLiteral("chips")} << 64;
    QTest::newRow("two areas into one bin") << QStringList{QStringLiteral("--areas"), QStringLiteral("rom,bl"), QStringLiteral("read"), QStringLiteral("x.bin")} << 64;
    QTest::newRow("single-wire read") << QStringList{QStringLiteral("--single-wire"), QStringLiteral("read"), QStringLiteral("x.bin")} << 64;
    QTest::newRow("read into a missing folder") << QStringList{QStringLiteral("read"), QStringLiteral("no/such/dir/x.bin")} << 74;
    QTest::newRow("convert into a missing folder") << QStringList{QStringLiteral("convert"), QStringLiteral("in.bin"), QStringLiteral("no/dir/x.mprj")} << 74;
    QTest::newRow("log not writable") << QStringList{QStringLiteral("burn"), QStringLiteral("in.bin"), QStringLiteral("--log"), QStringLiteral("no/dir/log.csv")} << 74;
}

void TestCli::usageAndOutputStatuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QVERIFY(writeFile(path(QStringLiteral("in.bin")), patternBytes(100, 1)));
    const CliRun run = cli(QStringList{emulate()} + arguments);
    QCOMPARE(run.exitCode, status);
    QVERIFY(!run.err.isEmpty());
}

void TestCli::burnLogAppendsOneLinePerChip()
{
    QVERIFY(writeFile(path(QStringLiteral("in.bin")), patternBytes(300, 18)));
    const QStringList burn = {emulate(), QStringLiteral("burn"), QStringLiteral("in.bin"), QStringLiteral("--log"),
                              QStringLiteral("record.csv")};
    QCOMPARE(cli(burn).exitCode, 0);
    const QByteArray first = readFile(path(QStringLiteral("record.csv")));
    // A new record: UTF-8 with its byte-order mark and CRLF line ends, as spreadsheets read it.
    QVERIFY2(first.startsWith("\xEF\xBB\xBFtime,chip,chip id,areas,checksums,result,text\r\n") && first.endsWith("\r\n")
                 && first.count('\n') == 2 && first.count("\r\n") == 2,
             first.constData());
    QCOMPARE(cli(burn).exitCode, 0);
    const QByteArray both = readFile(path(QStringLiteral("record.csv")));
    QVERIFY(both.startsWith(first));
    const QList<QByteArray> lines = both.trimmed().split('\n');
    QCOMPARE(lines.size(), 3);  // header and two chips
    const McuInfo &chip = catalogueChip(QStringLiteral("VR5K2610"));
    const QList<QByteArray> fields = lines[2].split(',');
    QCOMPARE(fields.size(), 7);
    QCOMPARE(QString::fromUtf8(fields[1]), chip.strName);
    QCOMPARE(QString::fromUtf8(fields[2]), QStringLiteral("%1").arg(chip.nID, 4, 16, QLatin1Char('0')).toUpper());
    QCOMPARE(fields[3], QByteArray("rom"));
    QCOMPARE(QString::fromUtf8(fields[4]), checksumText(padded(patternBytes(300, 18), int(chip.nFlashSizeKB * 1024))));
    QCOMPARE(fields[5], QByteArray("0"));
}

void TestCli::freshSocketHoldsTheSelectedChip()
{
    const McuInfo &chip = catalogueChip(QStringLiteral("VR5K2620"));
    const CliRun run = cli({QStringLiteral("--chip"), chip.strName, QStringLiteral("--json"), QStringLiteral("emulator"),
                            path(QStringLiteral("link"))});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(json(run.out).object()[QStringLiteral("chipId")].toString(),
             QStringLiteral("%1").arg(chip.nID, 4, 16, QLatin1Char('0')).toUpper());
    // The folder keeps it: a later change leaves the id alone.
    const CliRun again = cli({QStringLiteral("--json"), QStringLiteral("emulator"), path(QStringLiteral("link")),
                              QStringLiteral("--remove")});
    QCOMPARE(json(again.out).object()[QStringLiteral("chipId")], json(run.out).object()[QStringLiteral("chipId")]);
    QCOMPARE(json(again.out).object()[QStringLiteral("chipPresent")].toBool(), false);
}

// A Link with nothing stored fails the upload with code 1, which the download shares.
void TestCli::failedUploadSaysUpload()
{
    const CliRun run = cli({emulate(), QStringLiteral("upload"), QStringLiteral("back.mprj")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("upload: 上传失败 (1)")), qPrintable(run.err));
    QVERIFY(!run.err.contains(QStringLiteral("下载失败")));
    QVERIFY(!QFile::exists(path(QStringLiteral("back.mprj"))));
}

void TestCli::upgradeThroughIapMode()
{
    const QByteArray firmware = patternBytes(3000, 20);
    QVERIFY(writeFile(path(QStringLiteral("link-02-010203.bin")), firmware));
    QVERIFY(writeFile(path(QStringLiteral("badname.bin")), firmware));
    QCOMPARE(cli({emulate(), QStringLiteral("upgrade"), QStringLiteral("badname.bin")}).exitCode, 65);
    // An empty file is a bad input, found before the Link is touched, not a failed write.
    QVERIFY(writeFile(path(QStringLiteral("empty-02-010203.bin")), QByteArray()));
    const CliRun empty = cli({emulate(), QStringLiteral("upgrade"), QStringLiteral("empty-02-010203.bin")});
    QCOMPARE(empty.exitCode, 65);
    QVERIFY2(empty.err.contains(QStringLiteral("空文件，没有固件")), qPrintable(empty.err));
    QVERIFY(!QFile::exists(path(QStringLiteral("link"))));

    QCOMPARE(cli({emulate(), QStringLiteral("upgrade"), QStringLiteral("link-02-010203.bin")}).exitCode, 0);
    const CliRun version = cli({emulate(), QStringLiteral("--json"), QStringLiteral("fw-version")});
    QCOMPARE(version.exitCode, 0);
    const QJsonObject v = json(version.out).object();
    QCOMPARE(keys(v), keySet({"result", "version"}));
    // Hardware 02, software 01 02 03: H.M.L with L = 2 × 256 + 3.
    QCOMPARE(v[QStringLiteral("version")].toString(), QStringLiteral("%1.%2.%3").arg(2).arg(1).arg(2 * 256 + 3));
}

void TestCli::deviceLockHeldElsewhereExits37()
{
    // Another program (here: this test) drives the same emulated Link.
    LinkEmulator other(path(QStringLiteral("link")));
    LinkEmulator::LinkLock otherProgram(other);
    QVERIFY(otherProgram.tryLock());
    const CliRun held = cli({emulate(), QStringLiteral("--json"), QStringLiteral("erase")});
    otherProgram.unlock();
    QCOMPARE(held.exitCode, 37);
    QCOMPARE(json(held.out).object()[QStringLiteral("text")].toString(), QStringLiteral("usb被其他app占用了"));
    // The lock real Links share is not the emulated Link's.
    QVERIFY(getmutex());
    const CliRun free = cli({emulate(), QStringLiteral("erase")});
    releaseMutex();
    QCOMPARE(free.exitCode, 0);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
