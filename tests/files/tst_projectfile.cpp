#include "filetestutil.h"
#include "files/passwordcodec.h"
#include "files/projectfile.h"
#include "production/productionsettings.h"

#include <QBuffer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <iterator>
#include <limits>

#include <cstring>

namespace {

constexpr int kInfoAt = PROJECT_HEADER_SIZE;
constexpr int kNameAt = kInfoAt + PROJECT_INFO_SIZE;
constexpr int kDataAt = kNameAt + PROJECT_NAME_SIZE;

uint8_t sum8(const QByteArray &b, int from, int to)
{
    uint8_t s = 0;
    for (int i = from; i < to; ++i)
        s = static_cast<uint8_t>(s + static_cast<uint8_t>(b.at(i)));
    return s;
}

void fixHeaderSum(QByteArray &file)
{
    file[0] = static_cast<char>(sum8(file, 1, PROJECT_HEADER_SIZE));
}

void fixInfoSum(QByteArray &file)
{
    file[kInfoAt + 127] = static_cast<char>(sum8(file, kInfoAt, kInfoAt + 127));
}

void setInfo32(QByteArray &file, int offset, uint32_t value)
{
    qToLittleEndian<uint32_t>(value, reinterpret_cast<uchar *>(file.data()) + kInfoAt + offset);
    fixInfoSum(file);
}

void fillPattern(uint8_t *buf, uint32_t length, uint8_t seed)
{
    for (uint32_t i = 0; i < length; ++i)
        buf[i] = static_cast<uint8_t>(seed + i * 13);
}

// A chip with an NVR1 area and an EEPROM instead of a BootLoader.
McuInfo nvr1Chip()
{
    McuInfo m = catalogue().first();
    m.strName = QStringLiteral("NV1CHIP");
    m.nID = 0x3001;
    m.nFlashSizeKB = 8;
    m.nBootSectors = 0;
    m.nNvr1Page = 1;
    m.nNvr1Sectors = 1;
    m.nEepromSize = 256;
    return m;
}

QVector<McuInfo> chipsWithNvr1()
{
    QVector<McuInfo> chips = catalogue();
    chips.append(nvr1Chip());
    return chips;
}

// Everything a project carries, taken from the globals.
struct Snapshot
{
    QByteArray flash, bl, ee, nvr1, nvr2, nvr3;
    uint32_t binSize, blSize, limit;
    uint16_t sums[6];
    bool flags[16];
    uint8_t rolling[12], burner[12];
    QString psw;
    uint8_t pswLen;
    float freq;
    QString chip;

    static Snapshot take()
    {
        Snapshot s;
        s.flash = QByteArray(reinterpret_cast<const char *>(g_ucBinBuf), BIN_BUF_SIZE);
        s.bl = QByteArray(reinterpret_cast<const char *>(g_ucNVRBinBuf), NVR_BIN_BUF_SIZE);
        s.ee = QByteArray(reinterpret_cast<const char *>(g_ucEEBuf), NVR_BUF_SIZE);
        s.nvr1 = QByteArray(reinterpret_cast<const char *>(g_ucNVRBuf1), NVR_BUF_SIZE);
        s.nvr2 = QByteArray(reinterpret_cast<const char *>(g_ucNVRBuf2), NVR_BUF_SIZE);
        s.nvr3 = QByteArray(reinterpret_cast<const char *>(g_ucNVRBuf3), NVR_BUF_SIZE);
        s.binSize = g_nBinSize;
        s.blSize = g_nNVRBinSize;
        s.limit = g_nLimitCount;
        const uint16_t sums[6] = {g_nBinCheckSum, g_nNVRBinCheckSum, g_nEECheckSum,
                                  g_nNVRCheckSum1, g_nNVRCheckSum2, g_nNVRCheckSum3};
        std::memcpy(s.sums, sums, sizeof sums);
        const bool flags[16] = {g_bEnBin, g_bEnBL, g_bEnEE, g_bEnNVR1, g_bEnNVR2, g_bEnNVR3,
                                g_bEnRollCode, g_bEnAutoBurner, g_bEnLimit, g_bEnEncryption,
                                g_bEnUploadProtect, g_bCaliAdc, g_bCaliClock, g_bCaliOnly,
                                g_bNoAdcParamCheck, false};
        std::memcpy(s.flags, flags, sizeof flags);
        rollingToBytes(g_rollingSet, s.rolling);
        autoBurnerToBytes(g_autoBurnerSet, s.burner);
        s.psw = g_strPsw;
        s.pswLen = g_ucPswLen;
        s.freq = g_fClockFreq;
        s.chip = g_currentMcu.strName;
        return s;
    }
};

void compareSnapshots(const Snapshot &a, const Snapshot &b)
{
    QCOMPARE(a.chip, b.chip);
    QCOMPARE(a.flash, b.flash);
    QCOMPARE(a.bl, b.bl);
    QCOMPARE(a.ee, b.ee);
    QCOMPARE(a.nvr1, b.nvr1);
    QCOMPARE(a.nvr2, b.nvr2);
    QCOMPARE(a.nvr3, b.nvr3);
    QCOMPARE(a.binSize, b.binSize);
    QCOMPARE(a.blSize, b.blSize);
    QCOMPARE(a.limit, b.limit);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(a.sums[i], b.sums[i]);
    for (int i = 0; i < 16; ++i)
        QCOMPARE(a.flags[i], b.flags[i]);
    QVERIFY(std::memcmp(a.rolling, b.rolling, 12) == 0);
    QVERIFY(std::memcmp(a.burner, b.burner, 12) == 0);
    QCOMPARE(a.psw, b.psw);
    QCOMPARE(a.pswLen, b.pswLen);
    QCOMPARE(a.freq, b.freq);
}

// Flash, BootLoader, NVR2, NVR3, every setting, password and calibration on the current chip.
void fillEveryArea(uint32_t binSize, uint32_t blSize)
{
    g_bEnBin = true;
    fillPattern(g_ucBinBuf, binSize, 1);
    g_nBinSize = binSize;
    fillBinAndSum(g_ucBinBuf, binSize);
    g_bEnBL = g_currentMcu.nBootSectors != 0;
    if (g_bEnBL) {
        fillPattern(g_ucNVRBinBuf, blSize, 2);
        g_nNVRBinSize = blSize;
        fillBLAndSum(g_ucNVRBinBuf, blSize);
    }
    g_bEnNVR1 = g_currentMcu.nBootSectors == 0;
    if (g_bEnNVR1) {
        fillPattern(g_ucNVRBuf1, nvrSectorBytes(), 3);
        calcNVR1CheckSum();
    }
    g_bEnEE = g_currentMcu.nEepromSize != 0;
    if (g_bEnEE) {
        fillPattern(g_ucEEBuf, eepromSizeBytes(), 4);
        calcEECheckSum();
    }
    g_bEnNVR2 = g_bEnNVR3 = true;
    fillPattern(g_ucNVRBuf2, nvrSectorBytes(), 5);
    fillPattern(g_ucNVRBuf3, nvrSectorBytes(), 6);
    calcNVR2CheckSum();
    calcNVR3CheckSum();

    g_bEnRollCode = g_bEnAutoBurner = g_bEnLimit = true;
    g_rollingSet = {0x1234, 0x99, 0x03, 5, 0x00, static_cast<uint8_t>(0x40)};
    g_autoBurnerSet = {1000, 200, 30, 40, 0, 1, 1, 0};
    g_nLimitCount = 123456;
    g_bEnUploadProtect = true;
    g_bCaliAdc = false;
    g_bCaliClock = true;
    g_bCaliOnly = true;
    g_bNoAdcParamCheck = true;
    g_fClockFreq = 24.5f;
    g_bEnEncryption = true;
    g_strPsw = QStringLiteral("Pa$$w0rd!xyz");
    g_ucPswLen = 12;
}

// Leaves every global far from the saved state so a load must restore each of them.
void scramble()
{
    std::memset(g_ucBinBuf, 0x33, BIN_BUF_SIZE);
    std::memset(g_ucNVRBinBuf, 0x33, NVR_BIN_BUF_SIZE);
    g_nBinSize = g_nNVRBinSize = 9;
    g_bEnEncryption = false;
    g_strPsw.clear();
    g_ucPswLen = 0;
    g_fClockFreq = 100.0f;
    g_bCaliAdc = g_bCaliClock = g_bCaliOnly = g_bNoAdcParamCheck = true;
    g_nBinCheckSum = g_nNVRBinCheckSum = g_nEECheckSum = 1;
    g_nNVRCheckSum1 = g_nNVRCheckSum2 = g_nNVRCheckSum3 = 1;
}

int loadBytes(const QByteArray &file, const QVector<McuInfo> &chips, RecordedMessages *msgs = nullptr,
              QString *selected = nullptr)
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    RecordedMessages ignored;
    return loadProjectFrom(
        buffer, chips,
        [selected](const QString &name) {
            if (selected)
                *selected = name;
        },
        (msgs ? msgs : &ignored)->sink());
}

// A version-0 file from its documented layout.
QByteArray version0File(const QByteArray &flash, const QByteArray &nvr2, bool flashOn, const QString &model)
{
    QByteArray h(PROJECT_HEADER_SIZE, '\0');
    h[1] = flashOn ? char(0xFA) : char(0);
    h[4] = nvr2.isEmpty() ? char(0) : char(1);
    h[8] = 1;  // burn limit
    fixHeaderSum(h);

    QByteArray info(PROJECT_INFO_SIZE, '\0');
    uchar *p = reinterpret_cast<uchar *>(info.data());
    QByteArray image(32768, '\xFF');
    image.replace(0, flash.size(), flash);
    qToLittleEndian<uint16_t>(sum16(reinterpret_cast<const uint8_t *>(image.constData()), 32768), p);
    qToLittleEndian<uint16_t>(sum16(reinterpret_cast<const uint8_t *>(nvr2.constData()), nvr2.size()), p + 6);
    qToLittleEndian<uint32_t>(4321, p + 10);
    const rolling_seting_t r = {0x19FD, 7, 1, 2, 1, 0x80};
    rollingToBytes(r, p + 14);
    const autoBurner_seting_t a = {11, 22, 33, 44, 1, 1, 0, 1};
    autoBurnerToBytes(a, p + 26);
    QByteArray file = h + info;
    fixInfoSum(file);

    file += nvr2;
    QByteArray name(PROJECT_V0_NAME_SIZE, '\0');
    name[0] = 32;
    name.replace(1, model.size(), model.toLatin1());
    file += name.left(PROJECT_V0_NAME_SIZE);
    if (flashOn)
        file += flash;
    return file;
}

// A version-1 file from its documented layout on a VR5K2610: flash, NVR2, BootLoader, serial number,
// burn limit, password and clock enabled; EEPROM, NVR1, NVR3 and the handler machine not. Every field holds
// a value of its own, so a field read from or written to the wrong place shows.
struct LayoutFile
{
    QByteArray bytes;
    QByteArray flash, nvr2, bl;
    uint16_t binSum, blSum, nvr2Sum;
    int passwordAt;
};

LayoutFile version1LayoutFile()
{
    LayoutFile f;
    for (int i = 0; i < 300; ++i)
        f.flash.append(static_cast<char>(i * 7 + 1));
    for (int i = 0; i < 512; ++i)
        f.nvr2.append(static_cast<char>(i * 5 + 3));
    for (int i = 0; i < 200; ++i)
        f.bl.append(static_cast<char>(i * 11 + 2));
    const auto sum = [](const QByteArray &data, int length, char fill) {
        QByteArray area = data;
        area.append(QByteArray(length - data.size(), fill));
        return sum16(reinterpret_cast<const uint8_t *>(area.constData()), size_t(length));
    };
    f.binSum = sum(f.flash, 32768, '\xFF');
    f.blSum = sum(f.bl, 13 * 512, '\xFF');
    f.nvr2Sum = sum(f.nvr2, 512, '\xFF');

    QByteArray h = QByteArray::fromHex("00" "FA" "00" "00" "FA" "00" "FA" "00" "FA" "FA" "FA" "15"
                                       "0000000000" "01");
    fixHeaderSum(h);

    QByteArray info(PROJECT_INFO_SIZE, '\0');
    uchar *p = reinterpret_cast<uchar *>(info.data());
    qToLittleEndian<uint16_t>(f.binSum, p + 0);
    qToLittleEndian<uint16_t>(0x1357, p + 2);    // EEPROM
    qToLittleEndian<uint16_t>(0x2468, p + 4);    // NVR1
    qToLittleEndian<uint16_t>(f.nvr2Sum, p + 6);
    qToLittleEndian<uint16_t>(0x369C, p + 8);    // NVR3
    qToLittleEndian<uint32_t>(0x00012345, p + 10);
    qToLittleEndian<uint32_t>(uint32_t(f.flash.size()), p + 14);
    qToLittleEndian<uint32_t>(uint32_t(f.bl.size()), p + 18);
    qToLittleEndian<uint16_t>(f.blSum, p + 22);
    info.replace(64, 12, QByteArray::fromHex("2B1A0000" "34120000" "01" "05" "00" "C0"));  // start 0x1234: four decimal digits fit two bytes
    info.replace(76, 12, QByteArray::fromHex("0201" "0403" "0605" "0807" "01" "00" "01" "01"));
    QByteArray file = h + info;
    fixInfoSum(file);

    file += QByteArray("VR5K2610").leftJustified(PROJECT_NAME_SIZE, '\0');
    file += f.nvr2 + f.flash + f.bl;
    f.passwordAt = file.size();

    // B[0] = B[1] = 0: no rotation, key bytes from B[0] on, d0 even so each character byte is rotated once.
    const QByteArray password("abcd1234");
    QByteArray block(PASSWORD_BLOCK_SIZE, '\0');
    block[32] = static_cast<char>(~uint8_t(password.size()));
    for (int i = 0; i < password.size(); ++i) {
        const uint8_t e = static_cast<uint8_t>(~uint8_t(password.at(i)));
        block[33 + i] = static_cast<char>(uint8_t(e >> 1 | e << 7));
    }
    block[63] = static_cast<char>(sum8(block, 0, 63));
    file += block;

    const float clock = 27.5f;
    uint32_t bits;
    std::memcpy(&bits, &clock, sizeof bits);
    QByteArray raw(4, '\0');
    qToLittleEndian<uint32_t>(bits, raw.data());
    f.bytes = file + raw;
    return f;
}

} // namespace

class TestProjectFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        // Saving and loading a password logs every byte of its block.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }

    void init()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(selectCatalogueChip(QStringLiteral("VR5K2610")));
        g_bEnEncryption = false;
        g_bCaliAdc = g_bCaliClock = g_bCaliOnly = g_bNoAdcParamCheck = false;
    }

    // A file laid out as documented loads field by field.
    void documentedLayoutLoads()
    {
        const LayoutFile f = version1LayoutFile();
        QVERIFY(selectCatalogueChip(QStringLiteral("VR5K2630")));
        scramble();
        g_bEnAutoBurner = g_bEnEE = g_bEnNVR3 = true;
        QString selected;
        RecordedMessages msgs;
        QCOMPARE(loadBytes(f.bytes, catalogue(), &msgs, &selected), 0);
        QVERIFY(msgs.logs.isEmpty());
        QCOMPARE(selected, QStringLiteral("VR5K2610"));
        QCOMPARE(g_currentMcu.strName, QStringLiteral("VR5K2610"));

        const bool flags[] = {g_bEnBin, g_bEnEE, g_bEnNVR1, g_bEnNVR2, g_bEnNVR3, g_bEnRollCode, g_bEnAutoBurner,
                              g_bEnLimit, g_bEnEncryption, g_bEnBL, g_bEnUploadProtect, g_bCaliAdc, g_bCaliClock,
                              g_bCaliOnly, g_bNoAdcParamCheck};
        const bool expected[] = {true, false, false, true, false, true, false,
                                 true, true, true, true, false, true,
                                 false, true};
        static_assert(std::size(flags) == std::size(expected), "one expectation per flag");
        for (size_t i = 0; i < std::size(flags); ++i)
            QVERIFY2(flags[i] == expected[i], qPrintable(QStringLiteral("flag %1").arg(i)));

        QCOMPARE(g_nBinCheckSum, f.binSum);
        QCOMPARE(g_nEECheckSum, uint16_t(0x1357));
        QCOMPARE(g_nNVRCheckSum1, uint16_t(0x2468));
        QCOMPARE(g_nNVRCheckSum2, f.nvr2Sum);
        QCOMPARE(g_nNVRCheckSum3, uint16_t(0x369C));
        QCOMPARE(g_nNVRBinCheckSum, f.blSum);
        QCOMPARE(g_nLimitCount, 0x00012345u);
        QCOMPARE(g_nBinSize, uint32_t(f.flash.size()));
        QCOMPARE(g_nNVRBinSize, uint32_t(f.bl.size()));

        QCOMPARE(g_rollingSet.startAdd, 0x1A2Bu);
        QCOMPARE(g_rollingSet.startVal, 0x1234u);
        QCOMPARE(g_rollingSet.bitSize, uint8_t(1));
        QCOMPARE(g_rollingSet.step, uint8_t(5));
        QCOMPARE(g_rollingSet.radix, uint8_t(0));
        QCOMPARE(g_rollingSet.flags, uint8_t(0xC0));
        QCOMPARE(g_autoBurnerSet.StartTime, uint16_t(0x0102));
        QCOMPARE(g_autoBurnerSet.BusyTime, uint16_t(0x0304));
        QCOMPARE(g_autoBurnerSet.EotTime, uint16_t(0x0506));
        QCOMPARE(g_autoBurnerSet.OkNgTime, uint16_t(0x0708));
        QCOMPARE(g_autoBurnerSet.StartLevel, uint8_t(1));
        QCOMPARE(g_autoBurnerSet.BusyLevel, uint8_t(0));
        QCOMPARE(g_autoBurnerSet.OkLevel, uint8_t(1));
        QCOMPARE(g_autoBurnerSet.NgLevel, uint8_t(1));

        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_ucNVRBuf2), 512), f.nvr2);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_ucBinBuf), f.flash.size()), f.flash);
        QVERIFY(allBytesAre(g_ucBinBuf + f.flash.size(), BIN_BUF_SIZE - f.flash.size(), 0xFF));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_ucNVRBinBuf), f.bl.size()), f.bl);
        QVERIFY(allBytesAre(g_ucNVRBinBuf + f.bl.size(), NVR_BIN_BUF_SIZE - f.bl.size(), 0xFF));
        QCOMPARE(g_strPsw, QStringLiteral("abcd1234"));
        QCOMPARE(int(g_ucPswLen), 8);
        QCOMPARE(g_fClockFreq, 27.5f);
    }

    // The writer lays the same state out byte for byte as documented; only the password block's random
    // bytes differ.
    void documentedLayoutSaved()
    {
        const LayoutFile f = version1LayoutFile();
        QVERIFY(selectCatalogueChip(QStringLiteral("VR5K2610")));
        QCOMPARE(loadBytes(f.bytes, catalogue()), 0);
        const QByteArray saved = projectBytes();
        QCOMPARE(saved.size(), f.bytes.size());
        QCOMPARE(saved.left(f.passwordAt), f.bytes.left(f.passwordAt));
        QCOMPARE(saved.right(4), f.bytes.right(4));
        const QByteArray block = saved.mid(f.passwordAt, PASSWORD_BLOCK_SIZE);
        QCOMPARE(uint8_t(block.at(63)), sum8(block, 0, 63));
    }

    void flashOnlyFileSize_data()
    {
        QTest::addColumn<uint32_t>("binSize");
        QTest::addColumn<bool>("calibration");
        QTest::addColumn<bool>("password");
        QTest::addColumn<int>("extra");
        QTest::newRow("flash only") << 1000u << false << false << 0;
        QTest::newRow("empty flash") << 0u << false << false << 0;
        QTest::newRow("whole flash") << 32768u << false << false << 0;
        QTest::newRow("with calibration") << 1000u << true << false << 4;
        QTest::newRow("with password") << 1000u << false << true << 64;
        QTest::newRow("with both") << 1000u << true << true << 68;
        QTest::newRow("ADC calibration adds nothing") << 1000u << false << false << 0;
    }

    void flashOnlyFileSize()
    {
        QFETCH(uint32_t, binSize);
        QFETCH(bool, calibration);
        QFETCH(bool, password);
        QFETCH(int, extra);
        g_bEnBin = true;
        g_nBinSize = binSize;
        fillBinAndSum(g_ucBinBuf, binSize);
        g_bCaliClock = calibration;
        g_bCaliAdc = QTest::currentDataTag() == QLatin1String("ADC calibration adds nothing");
        g_bEnEncryption = password;
        g_strPsw = QStringLiteral("12345678");
        g_ucPswLen = 8;
        const QString path = m_dir.filePath(QStringLiteral("p.mprj"));
        QCOMPARE(saveProject(path), 0);
        const QByteArray file = readFile(path);
        QCOMPARE(file.size(), int(18 + 128 + 16 + binSize) + extra);
        QCOMPARE(uint8_t(file.at(17)), uint8_t(1));
        QCOMPARE(uint8_t(file.at(1)), uint8_t(0xFA));
        QCOMPARE(uint8_t(file.at(0)), sum8(file, 1, 18));
        QCOMPARE(file.mid(kNameAt, 16), QByteArray("VR5K2610").leftJustified(16, '\0'));
        QCOMPARE(qFromLittleEndian<uint32_t>(file.constData() + kInfoAt + 14), binSize);
        QCOMPARE(file.mid(kDataAt, int(binSize)),
                 QByteArray(reinterpret_cast<const char *>(g_ucBinBuf), int(binSize)));
    }

    void headerByteChanged_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 1; i < PROJECT_HEADER_SIZE; ++i)
            QTest::addRow("byte %d", i) << i;
    }

    void headerByteChanged()
    {
        QFETCH(int, index);
        g_bEnBin = true;
        fillBinAndSum(g_ucBinBuf, 0);
        QByteArray file = projectBytes();
        QCOMPARE(loadBytes(file, catalogue()), 0);
        file[index] = static_cast<char>(file.at(index) ^ 0x01);
        g_bEnBin = false;
        QCOMPARE(loadBytes(file, catalogue()), -4);
        QVERIFY(!g_bEnBin);  // refused before the images are touched
    }

    void infoChecksumWrong()
    {
        g_bEnBin = true;
        fillBinAndSum(g_ucBinBuf, 0);
        QByteArray file = projectBytes();
        file[kInfoAt + 30] = 1;
        QCOMPARE(loadBytes(file, catalogue()), -5);
    }

    void longModelNameIsNotFound()
    {
        g_currentMcu.strName = QStringLiteral("VR5K2610ABCDEFGHI");  // 17 characters
        g_bEnBin = true;
        fillBinAndSum(g_ucBinBuf, 0);
        const QByteArray file = projectBytes();
        QCOMPARE(file.mid(kNameAt, 16), QByteArray("VR5K2610ABCDEFGH"));
        QVector<McuInfo> chips = catalogue();
        chips.first().strName = QStringLiteral("VR5K2610ABCDEFGHI");
        RecordedMessages msgs;
        QString selected;
        QCOMPARE(loadBytes(file, chips, &msgs, &selected), -7);
        QCOMPARE(msgs.logs, QStringList{QStringLiteral("项目文件中的mcu型号异常")});
        QVERIFY(selected.isEmpty());
    }

    void sixteenCharacterNameIsFound()
    {
        QVector<McuInfo> chips = catalogue();
        chips.first().strName = QStringLiteral("ABCDEFGHIJKLMNOP");
        g_currentMcu = chips.first();
        const QByteArray file = projectBytes();
        QString selected;
        QCOMPARE(loadBytes(file, chips, nullptr, &selected), 0);
        QCOMPARE(selected, QStringLiteral("ABCDEFGHIJKLMNOP"));
    }

    void flashEnabledWithSizeZero()
    {
        g_bEnBin = true;
        g_nBinSize = 0;
        fillBinAndSum(g_ucBinBuf, 0);
        QCOMPARE(g_nBinCheckSum, uint16_t(0x8000));
        const QByteArray file = projectBytes();
        QCOMPARE(file.size(), kDataAt);
        scramble();
        QCOMPARE(loadBytes(file, catalogue()), 0);
        QVERIFY(g_bEnBin);
        QCOMPARE(g_nBinSize, 0u);
        QCOMPARE(g_nBinCheckSum, uint16_t(0x8000));
        QVERIFY(allBytesAre(g_ucBinBuf, BIN_BUF_SIZE, 0xFF));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<uint32_t>("binSize");
        QTest::addColumn<uint32_t>("blSize");
        QTest::newRow("BootLoader chip") << "VR5K2610" << 5000u << 6656u;
        QTest::newRow("small BootLoader chip") << "VR5K2710" << 32768u << 100u;
        QTest::newRow("NVR1 and EEPROM chip") << "NV1CHIP" << 8192u << 0u;
    }

    void roundTrip()
    {
        QFETCH(QString, chip);
        QFETCH(uint32_t, binSize);
        QFETCH(uint32_t, blSize);
        const QVector<McuInfo> chips = chipsWithNvr1();
        g_currentMcu = *findMcuByName(chips, chip);
        resetImages();
        resetProduction();
        fillEveryArea(binSize, blSize);
        const Snapshot saved = Snapshot::take();
        const QString path = m_dir.filePath(QStringLiteral("round.mprj"));
        QCOMPARE(saveProject(path), 0);

        QVERIFY(selectCatalogueChip(QStringLiteral("VR5K2630")));
        scramble();
        QString selected;
        RecordedMessages msgs;
        QCOMPARE(loadProject(path, chips, [&](const QString &n) { selected = n; }, msgs.sink()), 0);
        QCOMPARE(selected, chip);
        QVERIFY(msgs.logs.isEmpty());
        compareSnapshots(Snapshot::take(), saved);
    }

    // The reader takes NVR1 data only on chips without a BootLoader and BootLoader data only on chips with
    // one, so the writer stores an area exactly where it will be read back.
    void areasTheChipLacksAreNotStored_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<int>("flagByte");
        QTest::newRow("NVR1 on a BootLoader chip") << "VR5K2610" << 3;
        QTest::newRow("BootLoader on an NVR1 chip") << "NV1CHIP" << 10;
    }

    void areasTheChipLacksAreNotStored()
    {
        QFETCH(QString, chip);
        QFETCH(int, flagByte);
        const QVector<McuInfo> chips = chipsWithNvr1();
        g_currentMcu = *findMcuByName(chips, chip);
        resetImages();
        resetProduction();
        g_bEnNVR1 = g_bEnBL = true;
        g_bEnNVR2 = true;
        fillPattern(g_ucNVRBuf2, 512, 9);
        calcNVR2CheckSum();
        calcNVR1CheckSum();
        fillBLAndSum(g_ucNVRBinBuf, 0);
        const QByteArray file = projectBytes();
        QCOMPARE(uint8_t(file.at(flagByte)), uint8_t(0));
        QCOMPARE(file.size(), kDataAt + 512 + (flagByte == 3 ? 0 : 512));
        QCOMPARE(loadBytes(file, chips), 0);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_ucNVRBuf2), 512),
                 file.mid(kDataAt + (flagByte == 3 ? 0 : 512), 512));
    }

    void roundTripPasswordLengths_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("8") << "abcdefgh";
        QTest::newRow("16") << "0123456789ABCDEF";
        QTest::newRow("symbols") << "!\"#$%&'()*+,-./:";
    }

    void roundTripPasswordLengths()
    {
        QFETCH(QString, password);
        g_bEnEncryption = true;
        g_strPsw = password;
        g_ucPswLen = static_cast<uint8_t>(password.size());
        const QByteArray file = projectBytes();
        g_strPsw.clear();
        g_ucPswLen = 0;
        QCOMPARE(loadBytes(file, catalogue()), 0);
        QVERIFY(g_bEnEncryption);
        QCOMPARE(g_strPsw, password);
        QCOMPARE(int(g_ucPswLen), password.size());
    }

    void twoSavesDiffer()
    {
        g_bEnEncryption = true;
        g_strPsw = QStringLiteral("samesame");
        g_ucPswLen = 8;
        const QByteArray a = projectBytes().right(PASSWORD_BLOCK_SIZE);
        const QByteArray b = projectBytes().right(PASSWORD_BLOCK_SIZE);
        QVERIFY(a != b);
        QCOMPARE(uint8_t(a.at(63)), sum8(a, 0, 63));
        QCOMPARE(uint8_t(b.at(63)), sum8(b, 0, 63));
    }

    // Every prefix of a full project fails with the code of the field it cuts.
    void truncatedAtEveryLength()
    {
        fillEveryArea(40, 30);
        const QByteArray file = projectBytes();
        const int areas = 512 + 512 + 40 + 30 + 64 + 4;
        QCOMPARE(file.size(), kDataAt + areas);
        for (int length = 0; length <= file.size(); ++length) {
            int expected = 0;
            if (length < kDataAt)
                expected = -1;
            else if (length < file.size())
                expected = -6;
            QString selected;
            const int rc = loadBytes(file.left(length), catalogue(), nullptr, &selected);
            if (rc != expected)
                QFAIL(qPrintable(QStringLiteral("length %1: %2, expected %3").arg(length).arg(rc).arg(expected)));
            QCOMPARE(selected.isEmpty(), expected != 0);
        }
    }

    void areaFailures_data()
    {
        QTest::addColumn<int>("offset");   // byte flipped, from the start of the area data
        QTest::addColumn<QString>("log");
        QTest::newRow("NVR2") << 0 << "NVR校验错误";
        QTest::newRow("NVR3") << 512 << "NVR校验错误";
        QTest::newRow("flash") << 1024 << "bin校验错误";
        QTest::newRow("BootLoader") << 1024 + 40 << "bl校验错误";
    }

    void areaFailures()
    {
        QFETCH(int, offset);
        QFETCH(QString, log);
        fillEveryArea(40, 30);
        QByteArray file = projectBytes();
        file[kDataAt + offset] = static_cast<char>(file.at(kDataAt + offset) + 1);
        scramble();
        RecordedMessages msgs;
        QCOMPARE(loadBytes(file, catalogue(), &msgs), -6);
        QCOMPARE(msgs.logs, QStringList{log});
        // Areas before the failing one keep their data; the failing one is cleared and disabled.
        if (offset >= 512)
            QCOMPARE(g_ucNVRBuf2[1], uint8_t(5 + 13));
        if (offset == 0) {
            QVERIFY(!g_bEnNVR2);
            QVERIFY(allBytesAre(g_ucNVRBuf2, NVR_BUF_SIZE, 0xFF));
        }
        if (offset == 1024) {
            QVERIFY(!g_bEnBin);
            QVERIFY(allBytesAre(g_ucBinBuf, BIN_BUF_SIZE, 0xFF));
        }
    }

    void storedSizeBeyondArea_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<uint32_t>("value");
        QTest::addColumn<QString>("log");
        QTest::newRow("flash one past the chip") << 14 << 32769u << "bin读取错误";
        QTest::newRow("flash past the image") << 14 << 65537u << "bin读取错误";
        QTest::newRow("flash huge") << 14 << 0xFFFFFFF0u << "bin读取错误";
        QTest::newRow("BootLoader one past the chip") << 18 << 6657u << "bl读取错误";
        QTest::newRow("BootLoader past the image") << 18 << 70000u << "bl读取错误";
    }

    void storedSizeBeyondArea()
    {
        QFETCH(int, field);
        QFETCH(uint32_t, value);
        QFETCH(QString, log);
        fillEveryArea(40, 30);
        QByteArray file = projectBytes();
        // A big file, so a loader trusting the size would have bytes to copy.
        file.append(QByteArray(70000, '\x42'));
        setInfo32(file, field, value);
        RecordedMessages msgs;
        QCOMPARE(loadBytes(file, catalogue(), &msgs), -6);
        QCOMPARE(msgs.logs, QStringList{log});
        QVERIFY(!g_bEnBin || !g_bEnBL);
        QVERIFY(g_nBinSize <= 32768u);
        QVERIFY(g_nNVRBinSize <= 6656u);
        QVERIFY(allBytesAre(g_ucBinBuf, BIN_BUF_SIZE, 0xFF));
        QVERIFY(allBytesAre(g_ucNVRBinBuf, NVR_BIN_BUF_SIZE, 0xFF));
        QVERIFY(allBytesAre(g_ucNVRBuf2, NVR_BUF_SIZE, 0xFF));
    }

    void passwordBlockFailures_data()
    {
        QTest::addColumn<bool>("breakSum");
        QTest::newRow("B[63] wrong") << true;
        QTest::newRow("length 17") << false;
    }

    void passwordBlockFailures()
    {
        QFETCH(bool, breakSum);
        g_bEnEncryption = true;
        QByteArray file = projectBytes();
        file.chop(PASSWORD_BLOCK_SIZE);
        PasswordBlock block{};
        block[32] = static_cast<uint8_t>(~17);  // B[0] = B[1] = 0: no rotation, key byte 0
        block[63] = passwordBlockSum(block) + (breakSum ? 1 : 0);
        file.append(reinterpret_cast<const char *>(block.data()), PASSWORD_BLOCK_SIZE);
        RecordedMessages msgs;
        QCOMPARE(loadBytes(file, catalogue(), &msgs), -6);
        QCOMPARE(msgs.logs, QStringList{QStringLiteral("密码读取错误")});
        QVERIFY(!g_bEnEncryption);
    }

    // The stored clock ends the file when no password follows; a value the Link cannot take is a damaged file.
    void calibrationClockOutOfRange_data()
    {
        QTest::addColumn<float>("stored");
        QTest::addColumn<int>("result");
        QTest::newRow("in range") << 24.5f << 0;
        QTest::newRow("unset default") << 100.0f << 0;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << -6;
        QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << -6;
        QTest::newRow("negative") << -1.0f << -6;
        QTest::newRow("beyond 16 bits of tenths") << 7000.0f << -6;
    }

    void calibrationClockOutOfRange()
    {
        QFETCH(float, stored);
        QFETCH(int, result);
        g_bEnBin = true;
        g_nBinSize = 4;
        fillBinAndSum(g_ucBinBuf, 4);
        g_bCaliClock = true;
        g_fClockFreq = 27.0f;
        QByteArray file = projectBytes();
        uint32_t bits;
        std::memcpy(&bits, &stored, sizeof bits);
        qToLittleEndian<uint32_t>(bits, file.data() + file.size() - 4);
        g_fClockFreq = 30.0f;
        QCOMPARE(loadBytes(file, catalogue()), result);
        if (result == 0)
            QCOMPARE(g_fClockFreq, stored);
        else
            QCOMPARE(g_fClockFreq, 30.0f);
    }

    // An enabled serial number is burned where its record points: a record no editor could have made refuses
    // the project with the reason, as the editors would have refused the entry. A disabled one is never burned.
    void impossibleSerialNumberRefused_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("width");  // bytes
        QTest::addColumn<int>("area");
        QTest::addColumn<int>("radix");
        QTest::addColumn<uint32_t>("address");
        QTest::addColumn<uint32_t>("start");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("reason");  // empty: loads
        QTest::newRow("as the editors make it") << true << 2 << 0 << 1 << 0x10u << 0xFFFFu << 255 << QString();
        QTest::newRow("decimal, at the end of the flash") << true << 4 << 2 << 0 << 0x7FFCu << 99999999u << 99 << QString();
        QTest::newRow("eight bytes wide") << true << 8 << 0 << 1 << 0x10u << 1u << 1 << QStringLiteral("1至4字节");
        QTest::newRow("five bytes wide") << true << 5 << 0 << 1 << 0x10u << 1u << 1 << QStringLiteral("1至4字节");
        QTest::newRow("area 3") << true << 1 << 3 << 1 << 0x10u << 1u << 1 << QStringLiteral("区域3");
        QTest::newRow("radix 2") << true << 1 << 0 << 2 << 0x10u << 1u << 1 << QStringLiteral("进制2");
        QTest::newRow("flash address 0xFFFFFFFF") << true << 1 << 2 << 1 << 0xFFFFFFFFu << 1u << 1
                                                  << QStringLiteral("FLASH空间");
        QTest::newRow("past the NVR area") << true << 2 << 0 << 1 << 6655u << 1u << 1 << QStringLiteral("NVR空间");
        QTest::newRow("across two sectors") << true << 2 << 2 << 1 << 0x1FFu << 1u << 1 << QStringLiteral("跨越两个扇区");
        QTest::newRow("start wider than one byte") << true << 1 << 0 << 1 << 0x10u << 0x100u << 1
                                                   << QStringLiteral("初始值大于位宽");
        QTest::newRow("decimal step 150") << true << 1 << 0 << 0 << 0x10u << 1u << 150 << QStringLiteral("0-99");
        QTest::newRow("disabled, never burned") << false << 8 << 3 << 2 << 0xFFFFFFFFu << 1u << 150 << QString();
    }

    void impossibleSerialNumberRefused()
    {
        QFETCH(bool, enabled);
        QFETCH(int, width);
        QFETCH(int, area);
        QFETCH(int, radix);
        QFETCH(uint32_t, address);
        QFETCH(uint32_t, start);
        QFETCH(int, step);
        QFETCH(QString, reason);
        g_bEnBin = true;
        g_nBinSize = 4;
        fillBinAndSum(g_ucBinBuf, 4);
        g_bEnRollCode = enabled;
        g_rollingSet = rolling_seting_t{};
        g_rollingSet.startAdd = address;
        g_rollingSet.startVal = start;
        g_rollingSet.bitSize = uint8_t(width - 1);
        g_rollingSet.step = uint8_t(step);
        g_rollingSet.radix = uint8_t(radix);
        g_rollingSet.setArea(uint8_t(area));
        const QByteArray file = projectBytes();
        RecordedMessages msgs;
        QString selected;
        QCOMPARE(loadBytes(file, catalogue(), &msgs, &selected), reason.isEmpty() ? 0 : -8);
        if (reason.isEmpty()) {
            QVERIFY(msgs.boxes.isEmpty());
            QCOMPARE(g_rollingSet.startAdd, address);
            return;
        }
        QCOMPARE(msgs.boxes.size(), 1);
        QVERIFY2(msgs.boxes.first().contains(QStringLiteral("序列号设置有误")) && msgs.boxes.first().contains(reason),
                 qPrintable(msgs.boxes.first()));
        QVERIFY(selected.isEmpty());  // the chip is not selected for a refused project
    }

    void saveIsExactAndReplacesWholeFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("exact.mprj"));
        QVERIFY(writeFile(path, QByteArray(100000, 'x')));
        g_bEnBin = true;
        g_nBinSize = 10;
        fillBinAndSum(g_ucBinBuf, 10);
        QCOMPARE(saveProject(path), 0);
        QCOMPARE(readFile(path), projectBytes());
        QCOMPARE(saveProject(QString()), -1);
        QCOMPARE(saveProject(m_dir.filePath(QStringLiteral("missing/dir/x.mprj"))), -3);
        QCOMPARE(saveProject(m_dir.path()), -3);
        QCOMPARE(loadProject(QString(), catalogue(), nullptr, FileMessages()), -1);
        QCOMPARE(loadProject(m_dir.filePath(QStringLiteral("none.mprj")), catalogue(), nullptr, FileMessages()), -3);
    }

    void version0_data()
    {
        QTest::addColumn<int>("flashLength");
        QTest::addColumn<bool>("flashOn");
        QTest::addColumn<int>("result");
        QTest::newRow("flash") << 3000 << true << 0;
        QTest::newRow("whole flash") << 32768 << true << 0;
        QTest::newRow("flash disabled") << 0 << false << 0;
        QTest::newRow("flash longer than the chip") << 32769 << true << -6;
        QTest::newRow("flash longer than the image") << 70000 << true << -6;
    }

    void version0()
    {
        QFETCH(int, flashLength);
        QFETCH(bool, flashOn);
        QFETCH(int, result);
        QByteArray flash;
        for (int i = 0; i < flashLength; ++i)
            flash.append(static_cast<char>(i % 251));
        QByteArray nvr2(512, '\0');
        for (int i = 0; i < 512; ++i)
            nvr2[i] = static_cast<char>(i * 3);
        const QByteArray file = version0File(flash, nvr2, flashOn, QStringLiteral("VR5K2611"));
        QString selected;
        RecordedMessages msgs;
        QCOMPARE(loadBytes(file, catalogue(), &msgs, &selected), result);
        QVERIFY(msgs.boxes.isEmpty());
        QVERIFY(g_bEnNVR2);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_ucNVRBuf2), 512), nvr2);
        QCOMPARE(g_nLimitCount, 4321u);
        QVERIFY(g_bEnLimit);
        QCOMPARE(g_rollingSet.startAdd, 0x19FDu);
        QCOMPARE(g_autoBurnerSet.OkNgTime, uint16_t(44));
        if (result != 0) {
            QVERIFY(selected.isEmpty());
            QVERIFY(!g_bEnBin);
            QVERIFY(allBytesAre(g_ucBinBuf, BIN_BUF_SIZE, 0xFF));
            return;
        }
        QCOMPARE(selected, QStringLiteral("VR5K2611"));
        QCOMPARE(g_currentMcu.strName, QStringLiteral("VR5K2611"));
        QCOMPARE(g_bEnBin, flashOn);
        if (flashOn) {
            QCOMPARE(g_nBinSize, uint32_t(flashLength));
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_ucBinBuf), flashLength), flash);
            QVERIFY(allBytesAre(g_ucBinBuf + flashLength, BIN_BUF_SIZE - flashLength, 0xFF));
        }
    }

    void version0Failures_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("box");
        QTest::newRow("NVR2 checksum") << "nvr2" << -6 << "警告|NVR2 校验错误";
        QTest::newRow("flash checksum, no message") << "flash" << -6 << QString();
        QTest::newRow("short name field") << "name" << -1 << QString();
        QTest::newRow("short NVR2") << "short" << -6 << QString();
        QTest::newRow("model not in the chip list") << "model" << -7 << QString();
    }

    void version0Failures()
    {
        QFETCH(QString, damage);
        QFETCH(int, result);
        QFETCH(QString, box);
        const QByteArray nvr2(512, '\x07');
        QByteArray file = version0File(QByteArray(100, '\x21'), nvr2, true, QStringLiteral("VR5K2610"));
        const int nvr2At = kInfoAt + PROJECT_INFO_SIZE;  // version 0 has no name before its areas
        const int nameAt = nvr2At + 512;
        if (damage == QLatin1String("nvr2"))
            file[nvr2At + 5] = 8;
        else if (damage == QLatin1String("flash"))
            file[file.size() - 1] = 0x22;
        else if (damage == QLatin1String("name"))
            file.truncate(nameAt + 5);
        else if (damage == QLatin1String("model"))
            file = version0File(QByteArray(100, '\x21'), nvr2, true, QStringLiteral("NOSUCH"));
        else
            file.truncate(nvr2At + 100);
        RecordedMessages msgs;
        QCOMPARE(loadBytes(file, catalogue(), &msgs), result);
        QCOMPARE(msgs.boxes, box.isEmpty() ? QStringList() : QStringList{box});
        if (damage == QLatin1String("short"))
            QCOMPARE(msgs.logs, QStringList{QStringLiteral("nvr读取错误")});
        if (damage == QLatin1String("model"))
            QCOMPARE(msgs.logs, QStringList{QStringLiteral("项目文件中的mcu型号异常")});
    }

    // 156 zero bytes are a well-formed version-0 file: both checksums of zeros are zero. It names no model,
    // so it is refused when read rather than taken for a project of chip "".
    void allZeroFileIsRefused()
    {
        RecordedMessages msgs;
        QString selected;
        QCOMPARE(loadBytes(QByteArray(156, '\0'), catalogue(), &msgs, &selected), -7);
        QVERIFY(selected.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
