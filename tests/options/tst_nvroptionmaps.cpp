#include "options/nvroptionmaps.h"

#include "chip/images.h"
#include "production/productionsettings.h"

#include <QtTest>

#include <cstring>

namespace {

void erased(uint8_t *image)
{
    std::memset(image, 0xFF, NVR_BUF_SIZE);
}

} // namespace

class TestNvrOptionMaps : public QObject
{
    Q_OBJECT

private slots:
    void freshImageLoadsAllOff();
    void sixteenByteFields_data();
    void sixteenByteFields();
    void pins_data();
    void pins();
    void pinLists();
    void smallChipLeavesItsBytesErased();
    void userCfgRoundTrip();
    void idcodeEntry_data();
    void idcodeEntry();
    void madrEntry_data();
    void madrEntry();
    void chipEntry();
    void nvr3Markers_data();
    void nvr3Markers();
    void hrcMarkerUsesOneOffset();
    void nvr2Visibility_data();
    void nvr2Visibility();
    void factoryClock_data();
    void factoryClock();
    void factoryRows();
};

void TestNvrOptionMaps::freshImageLoadsAllOff()
{
    uint8_t image[NVR_BUF_SIZE];
    erased(image);
    const nvropt::UserCfg c = nvropt::readUserCfg(image);
    QVERIFY(!c.readProtect && !c.writeProtect && !c.lock && !c.i2c && !c.uart);
    QCOMPARE(c.resetPin1Mode, 0);  // P26 "复位"
    QCOMPARE(c.resetPin2Mode, 0);  // P01 "高阻"
    QCOMPARE(c.powerOnDelay, 0);   // "打开"
    QCOMPARE(c.bootSelect, 0);     // "FLASH"
    const nvropt::Nvr2Options o = nvropt::readNvr2Options(image);
    QVERIFY(!o.idcode && !o.codeReadProtect && !o.highZ && !o.porDelayOff && !o.nvrStart && !o.userNvrLocked);
}

void TestNvrOptionMaps::sixteenByteFields_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("onBytes");
    QTest::addColumn<bool>("checked");

    QTest::newRow("read protect 16 of 16") << 0x10 << 16 << true;
    QTest::newRow("read protect 15 of 16") << 0x10 << 15 << false;
    QTest::newRow("write protect 16 of 16") << 0x20 << 16 << true;
    QTest::newRow("lock 15 of 16") << 0x1E0 << 15 << false;
}

void TestNvrOptionMaps::sixteenByteFields()
{
    QFETCH(int, offset);
    QFETCH(int, onBytes);
    uint8_t image[NVR_BUF_SIZE];
    erased(image);
    std::memset(image + offset, 0xAA, size_t(onBytes));
    const nvropt::UserCfg c = nvropt::readUserCfg(image);
    const bool checked = offset == 0x10 ? c.readProtect : offset == 0x20 ? c.writeProtect : c.lock;
    QTEST(checked, "checked");
}

void TestNvrOptionMaps::pins_data()
{
    QTest::addColumn<bool>("i2c");
    QTest::addColumn<bool>("uart");
    QTest::addColumn<QVector<int>>("pins");  // sda, scl, tx, rx
    QTest::addColumn<QString>("error");

    QTest::newRow("SDA = SCL") << true << false << QVector<int>{0, 0, 1, 2} << "SDA与SCL设置不能相同";
    QTest::newRow("SDA empty") << true << false << QVector<int>{-1, 0, 1, 2} << "SDA设置不能为空";
    QTest::newRow("SCL empty") << true << false << QVector<int>{0, -1, 1, 2} << "SCL设置不能为空";
    QTest::newRow("TX = RX") << false << true << QVector<int>{0, 0, 3, 3} << "TX与RX设置不能相同";
    QTest::newRow("SDA = RX (P10)") << true << true << QVector<int>{8, 1, 2, 8} << "SDA与RX设置不能相同";
    QTest::newRow("SDA = TX") << true << true << QVector<int>{2, 1, 2, 8} << "SDA与TX设置不能相同";
    QTest::newRow("SCL = RX") << true << true << QVector<int>{0, 8, 2, 8} << "SCL与RX设置不能相同";
    QTest::newRow("SCL = TX") << true << true << QVector<int>{0, 2, 2, 8} << "SCL与TX设置不能相同";
    QTest::newRow("groups off") << false << false << QVector<int>{0, 0, 0, 0} << "";
    QTest::newRow("all different") << true << true << QVector<int>{0, 1, 2, 3} << "";
}

void TestNvrOptionMaps::pins()
{
    QFETCH(bool, i2c);
    QFETCH(bool, uart);
    QFETCH(QVector<int>, pins);
    nvropt::UserCfg c;
    c.i2c = i2c;
    c.uart = uart;
    c.sda = pins[0];
    c.scl = pins[1];
    c.tx = pins[2];
    c.rx = pins[3];
    QTEST(nvropt::checkPins(c), "error");
}

void TestNvrOptionMaps::pinLists()
{
    const QStringList full = nvropt::pinList(false);
    QCOMPARE(full.size(), 26);
    QCOMPARE(full.at(8), QStringLiteral("P10"));
    QCOMPARE(full.at(24), QStringLiteral("P30"));
    QCOMPARE(full.last(), QStringLiteral("P31"));
    const QStringList small = nvropt::pinList(true);
    QCOMPARE(small.size(), 18);
    QCOMPARE(small.mid(0, 18), full.mid(0, 18));
    QCOMPARE(small.last(), QStringLiteral("P21"));
}

void TestNvrOptionMaps::smallChipLeavesItsBytesErased()
{
    uint8_t image[NVR_BUF_SIZE];
    std::memset(image, 0x00, sizeof image);
    nvropt::UserCfg c;
    c.readProtect = c.writeProtect = c.lock = true;
    c.resetPin1Mode = c.resetPin2Mode = c.powerOnDelay = c.bootSelect = 1;
    c.i2c = c.uart = true;
    c.sda = 0;
    c.scl = 1;
    c.tx = 2;
    c.rx = 3;
    nvropt::writeUserCfg(image, c, true);
    QVERIFY(nvropt::allBytes(image, 0x20, 16, 0xFF));
    QCOMPARE(image[0x31], uint8_t(0xFF));
    QCOMPARE(image[0x39], uint8_t(0xFF));
    QVERIFY(nvropt::allBytes(image, 0x10, 16, 0xAA));
    QCOMPARE(image[0x30], uint8_t(0xAA));
    QCOMPARE(image[0x38], uint8_t(0xAA));
    QCOMPARE(image[0x45], uint8_t(3));
    QVERIFY(nvropt::allBytes(image, 0x46, 0x1E0 - 0x46, 0xFF));
    QVERIFY(nvropt::allBytes(image, 0x1F0, NVR_BUF_SIZE - 0x1F0, 0xFF));
}

void TestNvrOptionMaps::userCfgRoundTrip()
{
    uint8_t image[NVR_BUF_SIZE];
    nvropt::UserCfg c;
    c.writeProtect = true;
    c.resetPin2Mode = 1;
    c.bootSelect = 1;
    c.uart = true;
    c.tx = 25;
    c.rx = 16;
    c.sda = 4;  // group off: written as 0xFF
    nvropt::writeUserCfg(image, c, false);
    QCOMPARE(image[0x41], uint8_t(0xFF));
    QCOMPARE(image[0x43], uint8_t(0xAA));
    const nvropt::UserCfg back = nvropt::readUserCfg(image);
    QVERIFY(back.writeProtect && !back.readProtect && back.uart && !back.i2c);
    QCOMPARE(back.resetPin2Mode, 1);
    QCOMPARE(back.bootSelect, 1);
    QCOMPARE(back.tx, 25);
    QCOMPARE(back.rx, 16);
}

void TestNvrOptionMaps::idcodeEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("warn");

    QTest::newRow("1g") << "1g" << false << true;
    QTest::newRow("0x") << "0x" << false << false;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("0x5A") << "0x5A" << true << false;
    QTest::newRow("100") << "100" << false << true;
}

void TestNvrOptionMaps::idcodeEntry()
{
    QFETCH(QString, text);
    uint8_t value = 0;
    bool warn = false;
    QTEST(nvropt::parseIdcode(text, &value, &warn), "stored");
    QTEST(warn, "warn");
}

void TestNvrOptionMaps::madrEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("nvr3");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("warn");

    QTest::newRow("80 stored") << "80" << true << true << false;
    QTest::newRow("81 refused") << "81" << true << false << true;
    QTest::newRow("81 with NVR3 off") << "81" << false << false << false;
    QTest::newRow("0X silent") << "0X" << true << false << false;
}

void TestNvrOptionMaps::madrEntry()
{
    QFETCH(QString, text);
    QFETCH(bool, nvr3);
    g_bEnNVR3 = nvr3;
    uint8_t value = 0;
    bool warn = false;
    QTEST(nvropt::parseMadr(text, &value, &warn), "stored");
    QTEST(warn, "warn");
    if (!warn && value)
        QCOMPARE(value, uint8_t(0x80));
}

void TestNvrOptionMaps::chipEntry()
{
    g_bEnNVR3 = true;
    uint16_t value = 0;
    bool warn = true;
    QVERIFY(nvropt::parseChip(QStringLiteral("ABCD"), &value, &warn));
    QCOMPARE(value, uint16_t(0xABCD));
    QVERIFY(!warn);
    QVERIFY(!nvropt::parseChip(QStringLiteral("10000"), &value, &warn));
    QVERIFY(warn);
    QVERIFY(!nvropt::parseChip(QString(), &value, &warn));
    QVERIFY(!warn);
    uint8_t image[NVR_BUF_SIZE];
    erased(image);
    image[0x50] = 0xCD;
    image[0x51] = 0x0B;
    image[0x23] = 0x0A;
    QCOMPARE(nvropt::chipText(image), QStringLiteral("BCD"));
    QCOMPARE(nvropt::madrText(image), QStringLiteral("A"));
}

void TestNvrOptionMaps::nvr3Markers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // at the marker's offset
    QTest::addColumn<bool>("on");

    QTest::newRow("touch key AA 68") << "checkBox_TouchKey" << QByteArray("\xAA\x68", 2) << true;
    QTest::newRow("touch key AA 67") << "checkBox_TouchKey" << QByteArray("\xAA\x67", 2) << false;
    QTest::newRow("ADC mask AA 68") << "checkBox_ADCMask" << QByteArray("\xAA\x68", 2) << true;
    QTest::newRow("LRC AA") << "checkBox_LRC" << QByteArray("\xAA", 1) << true;
    QTest::newRow("MRC A5") << "checkBox_MRC" << QByteArray("\xA5", 1) << false;
}

void TestNvrOptionMaps::nvr3Markers()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const nvropt::Nvr3Marker *m = nvropt::nvr3Marker(name);
    QVERIFY(m);
    uint8_t image[NVR_BUF_SIZE];
    erased(image);
    std::memcpy(image + m->offset, bytes.constData(), size_t(bytes.size()));
    QTEST(nvropt::nvr3MarkerOn(image, *m), "on");

    erased(image);
    nvropt::setNvr3Marker(image, *m, true);
    QVERIFY(nvropt::nvr3MarkerOn(image, *m));
    nvropt::setNvr3Marker(image, *m, false);
    QVERIFY(nvropt::allBytes(image, 0, NVR_BUF_SIZE, 0xFF));
}

void TestNvrOptionMaps::hrcMarkerUsesOneOffset()
{
    const nvropt::Nvr3Marker *m = nvropt::nvr3Marker(QStringLiteral("checkBox_HRC"));
    QVERIFY(m);
    uint8_t image[NVR_BUF_SIZE];
    erased(image);
    nvropt::setNvr3Marker(image, *m, true);
    QCOMPARE(image[nvropt::HrcMarkerOffset], uint8_t(0xAA));
    QVERIFY(nvropt::nvr3MarkerOn(image, *m));
    QVERIFY(nvropt::allBytes(image, 0, nvropt::HrcMarkerOffset, 0xFF));
    QVERIFY(nvropt::allBytes(image, nvropt::HrcMarkerOffset + 1, NVR_BUF_SIZE - nvropt::HrcMarkerOffset - 1, 0xFF));
}

void TestNvrOptionMaps::nvr2Visibility_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("wellFormed");
    QTest::addColumn<QString>("shown");  // one digit per group

    QTest::newRow("catalogue") << "1-1-1-0-0-1" << true << "11100";
    QTest::newRow("three fields padded") << "1-0-1" << false << "10100";
    QTest::newRow("empty") << "" << false << "10000";
}

void TestNvrOptionMaps::nvr2Visibility()
{
    QFETCH(QString, options);
    QFETCH(QString, shown);
    const nvropt::Nvr2Visibility v = nvropt::nvr2Visibility(options);
    QTEST(v.wellFormed, "wellFormed");
    QString flags;
    for (bool s : v.show)
        flags += s ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(flags, shown);
}

void TestNvrOptionMaps::factoryClock_data()
{
    QTest::addColumn<int>("kHz");
    QTest::addColumn<QString>("line");

    QTest::newRow("19.00") << 19000 << "主频: 19.00MHz";
    QTest::newRow("33.00") << 33000 << "主频: 33.00MHz";
    QTest::newRow("24.576") << 24576 << "主频: 24.58MHz";
    QTest::newRow("18.999") << 18999 << "主频: ERROR!";
    QTest::newRow("33.001") << 33001 << "主频: ERROR!";
}

void TestNvrOptionMaps::factoryClock()
{
    QFETCH(int, kHz);
    uint8_t image[NVR_BUF_SIZE];
    erased(image);
    image[0x11] = uint8_t(kHz & 0xFF);
    image[0x12] = uint8_t(kHz >> 8);
    QTEST(nvropt::factoryClockLine(image), "line");
}

void TestNvrOptionMaps::factoryRows()
{
    McuInfo mcu;
    mcu.nID = 0x2610;
    mcu.nNvr3Page = 15;
    mcu.nSectorSize = 512;
    uint8_t image[NVR_BUF_SIZE];
    erased(image);
    image[0x0E] = 0x0A;
    const nvropt::FactoryRow row = nvropt::factoryRow(mcu, image, 0x0E);
    QCOMPARE(row.address, QStringLiteral("1c0e"));
    QCOMPARE(row.value, QStringLiteral("0a"));
    QVERIFY(row.description.contains(QStringLiteral("HRC")));
    QVERIFY(nvropt::factoryRow(mcu, image, 0x10).description.isEmpty());
}

QTEST_APPLESS_MAIN(TestNvrOptionMaps)
#include "tst_nvroptionmaps.moc"
