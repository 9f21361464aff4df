#include "production/rollingrules.h"

#include <QtTest>

using rolling::Verdict;

Q_DECLARE_METATYPE(rolling::Verdict)

namespace {

RollingLimits limits(uint32_t bootSectors)
{
    RollingLimits l;
    l.flashBytes = 32 * 1024;
    l.sectorSize = 512;
    l.bootSectors = bootSectors;
    return l;
}

rolling_seting_t record(uint8_t bitSize, uint8_t radix, uint8_t area = RollingAreaNvr, uint32_t startAdd = 0)
{
    rolling_seting_t r = {startAdd, 0, bitSize, 1, radix, 0x80};
    r.setArea(area);
    return r;
}

} // namespace

class TestRollingRules : public QObject
{
    Q_OBJECT

private slots:
    void startValue_data();
    void startValue();
    void startAddress_data();
    void startAddress();
    void overlapNotes_data();
    void overlapNotes();
    void width_data();
    void width();
    void step_data();
    void step();
    void passwordConflict_data();
    void passwordConflict();
    void maxStartValue_data();
    void maxStartValue();
};

void TestRollingRules::startValue_data()
{
    QTest::addColumn<int>("radix");
    QTest::addColumn<int>("bitSize");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<quint64>("value");

    QTest::newRow("bcd 8 bits 99") << 0 << 0 << "99" << Verdict::Store << "" << quint64(99);
    QTest::newRow("bcd 8 bits 100") << 0 << 0 << "100" << Verdict::Refuse << "初始值大于位宽" << quint64(0);
    QTest::newRow("hex 16 bits FFFF") << 1 << 1 << "FFFF" << Verdict::Store << "" << quint64(0xFFFF);
    QTest::newRow("hex 16 bits 10000") << 1 << 1 << "10000" << Verdict::Refuse << "初始值大于位宽" << quint64(0);
    QTest::newRow("hex 32 bits FFFFFFFF") << 1 << 3 << "FFFFFFFF" << Verdict::Store << "" << quint64(0xFFFFFFFF);
    QTest::newRow("bcd letters") << 0 << 0 << "1a" << Verdict::Refuse << "您输入的数据不是10进制,请重新输入"
                                 << quint64(0);
    QTest::newRow("hex not hex") << 1 << 0 << "xyz" << Verdict::Refuse << "您输入的数据不是16进制,请重新输入"
                                 << quint64(0);
    QTest::newRow("empty") << 1 << 0 << "" << Verdict::Ignore << "" << quint64(0);
}

void TestRollingRules::startValue()
{
    QFETCH(int, radix);
    QFETCH(int, bitSize);
    QFETCH(QString, text);
    const rolling::Outcome o = rolling::checkStartValue(text, record(uint8_t(bitSize), uint8_t(radix)));
    QTEST(o.verdict, "verdict");
    QTEST(o.warning, "warning");
    if (o.verdict == Verdict::Store)
        QTEST(quint64(o.value), "value");
}

void TestRollingRules::startAddress_data()
{
    QTest::addColumn<int>("bootSectors");
    QTest::addColumn<int>("bitSize");
    QTest::addColumn<int>("area");
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("warning");

    const QString nvr = QStringLiteral("序列号超过NVR空间,请重新输入");
    const QString cross = QStringLiteral("序列号跨越两个扇区,请重新输入");
    QTest::newRow("no BL, 32 bits, 0x1FC") << 0 << 3 << 0 << false << "0x1FC" << Verdict::Store << "";
    QTest::newRow("no BL, 32 bits, 0x1FD") << 0 << 3 << 0 << false << "0x1FD" << Verdict::Refuse << nvr;
    QTest::newRow("BL 4, 16 bits, 0x1FE") << 4 << 1 << 0 << false << "0x1FE" << Verdict::Store << "";
    QTest::newRow("BL 4, 16 bits, 0x1FF") << 4 << 1 << 0 << false << "0x1FF" << Verdict::Refuse << cross;
    QTest::newRow("BL 4, 16 bits, 0x7FE") << 4 << 1 << 0 << false << "0x7FE" << Verdict::Store << "";
    QTest::newRow("BL 4, 16 bits, 0x7FF") << 4 << 1 << 0 << false << "0x7FF" << Verdict::Refuse << nvr;
    QTest::newRow("BL 4, 8 bits, 0x800") << 4 << 0 << 0 << false << "0x800" << Verdict::Refuse << nvr;
    QTest::newRow("0x while typing") << 4 << 0 << 0 << false << "0x" << Verdict::Ignore << "";
    QTest::newRow("0X while typing") << 4 << 0 << 0 << false << "0X" << Verdict::Ignore << "";
    QTest::newRow("empty") << 4 << 0 << 0 << false << "" << Verdict::Ignore << "";
    QTest::newRow("not hex") << 4 << 0 << 0 << false << "0x1g" << Verdict::Refuse
                             << "您输入的数据不是16进制,请重新输入";
    QTest::newRow("flash end") << 4 << 1 << 2 << false << "7FFF" << Verdict::Refuse
                               << "序列号超过FLASH空间,请重新输入";
    QTest::newRow("eeprom beyond one sector") << 4 << 0 << 1 << false << "200" << Verdict::Refuse
                                              << "序列号超过EEPROM空间,请重新输入";
    QTest::newRow("dialog skips the flash range") << 4 << 0 << 2 << true << "9000" << Verdict::Store << "";
    QTest::newRow("dialog checks sectors everywhere") << 4 << 1 << 2 << true << "1FF" << Verdict::Refuse << cross;
    QTest::newRow("dialog checks the NVR range") << 4 << 0 << 0 << true << "800" << Verdict::Refuse << nvr;
    QTest::newRow("dialog, beyond 32 bits") << 4 << 0 << 2 << true << "100000010" << Verdict::Refuse
                                            << "您输入的数据不是16进制,请重新输入";
    QTest::newRow("dialog, 32-bit top") << 4 << 0 << 2 << true << "FFFFFFFF" << Verdict::Store << "";
}

void TestRollingRules::startAddress()
{
    QFETCH(int, bootSectors);
    QFETCH(int, bitSize);
    QFETCH(int, area);
    QFETCH(bool, dialog);
    QFETCH(QString, text);
    const rolling::Outcome o =
        rolling::checkStartAddress(text, record(uint8_t(bitSize), 1, uint8_t(area)), limits(uint32_t(bootSectors)),
                                   dialog ? rolling::Editor::Dialog : rolling::Editor::Window);
    QTEST(o.verdict, "verdict");
    QTEST(o.warning, "warning");
    if (o.verdict == Verdict::Store)
        QCOMPARE(quint64(o.value), text.toULongLong(nullptr, 16));
}

void TestRollingRules::overlapNotes_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<uint>("imageSize");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("clearLog");

    QTest::newRow("flash under the image") << 2 << 0x1000u << "800" << "您输入的地址可能会覆盖程序地址,请重新输入"
                                           << false;
    QTest::newRow("flash past the image") << 2 << 0x1000u << "1200" << "" << true;
    QTest::newRow("NVR under the BootLoader") << 0 << 0x400u << "3FF"
                                              << "您输入的地址可能会覆盖BootLoader地址,请重新输入" << false;
    QTest::newRow("NVR past the BootLoader") << 0 << 0x400u << "401" << "" << true;
}

void TestRollingRules::overlapNotes()
{
    QFETCH(int, area);
    QFETCH(uint, imageSize);
    QFETCH(QString, text);
    RollingLimits l = limits(13);
    l.binEnabled = l.blEnabled = true;
    l.binSize = l.blSize = imageSize;
    const rolling::Outcome o =
        rolling::checkStartAddress(text, record(0, 1, uint8_t(area)), l, rolling::Editor::Window);
    QCOMPARE(o.verdict, Verdict::Store);
    QTEST(o.logNote, "note");
    QTEST(o.clearLog, "clearLog");
}

void TestRollingRules::width_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<uint>("startAdd");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("warning");

    QTest::newRow("NVR fits") << 0 << 0x7FCu << 3 << "";
    QTest::newRow("NVR overflow") << 0 << 0x7FEu << 2 << "序列号超过NVR空间,请重新输入";
    QTest::newRow("sector crossing") << 0 << 0x1FEu << 2 << "序列号跨越两个扇区,请重新选择";
    QTest::newRow("flash overflow") << 2 << 0x7FFEu << 3 << "序列号超过FLASH空间,请重新输入";
    QTest::newRow("eeprom overflow") << 1 << 0x1FFu << 1 << "序列号超过EEPROM空间,请重新输入";
}

void TestRollingRules::width()
{
    QFETCH(int, area);
    QFETCH(uint, startAdd);
    QFETCH(int, index);
    QFETCH(QString, warning);
    const rolling::Outcome o = rolling::checkWidth(index, record(0, 1, uint8_t(area), startAdd), limits(4));
    QCOMPARE(o.warning, warning);
    QCOMPARE(o.verdict, warning.isEmpty() ? Verdict::Store : Verdict::Refuse);
}

void TestRollingRules::step_data()
{
    QTest::addColumn<int>("radix");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("warning");

    QTest::newRow("hex ff") << 1 << "ff" << Verdict::Store << "";
    QTest::newRow("hex 100") << 1 << "100" << Verdict::Refuse << "步进范围是0-0xff";
    QTest::newRow("hex 0x") << 1 << "0x" << Verdict::Ignore << "";
    QTest::newRow("hex letters") << 1 << "g" << Verdict::Refuse << "您输入的数据不是16进制,请重新输入";
    QTest::newRow("dec 99") << 0 << "99" << Verdict::Store << "";
    QTest::newRow("dec 100") << 0 << "100" << Verdict::Refuse << "步进范围是0-99";
    QTest::newRow("dec letters") << 0 << "a" << Verdict::Refuse << "您输入的数据不是10进制,请重新输入";
    QTest::newRow("dec empty") << 0 << "" << Verdict::Ignore << "";
}

void TestRollingRules::step()
{
    QFETCH(int, radix);
    QFETCH(QString, text);
    const rolling::Outcome o = rolling::checkStep(text, record(0, uint8_t(radix)));
    QTEST(o.verdict, "verdict");
    QTEST(o.warning, "warning");
}

void TestRollingRules::passwordConflict_data()
{
    QTest::addColumn<int>("bootSectors");
    QTest::addColumn<uint>("startAdd");
    QTest::addColumn<bool>("conflict");

    QTest::newRow("0x7BC with 32 bits ends at 0x7C0") << 4 << 0x7BCu << false;
    QTest::newRow("0x7BD with 32 bits") << 4 << 0x7BDu << true;
    QTest::newRow("no BootLoader: the one NVR sector") << 0 << 0x1BCu << false;
}

void TestRollingRules::passwordConflict()
{
    QFETCH(int, bootSectors);
    QFETCH(uint, startAdd);
    QFETCH(bool, conflict);
    const QString text = rolling::passwordConflict(record(3, 1, RollingAreaNvr, startAdd), limits(uint32_t(bootSectors)));
    QCOMPARE(!text.isEmpty(), conflict);
    if (conflict) {
        QVERIFY(text.startsWith(QStringLiteral("地址与加密数据地址冲突,请重新输入，序列号占用地址不超过")));
        QVERIFY(text.endsWith(QStringLiteral("7C0")));
    }
}

void TestRollingRules::maxStartValue_data()
{
    QTest::addColumn<int>("bitSize");
    QTest::addColumn<int>("radix");
    QTest::addColumn<quint64>("max");

    QTest::newRow("bcd 8") << 0 << 0 << quint64(99);
    QTest::newRow("bcd 32") << 3 << 0 << quint64(99999999);
    QTest::newRow("hex 24") << 2 << 1 << quint64(0xFFFFFF);
    QTest::newRow("hex 32") << 3 << 1 << quint64(0xFFFFFFFF);
}

void TestRollingRules::maxStartValue()
{
    QFETCH(int, bitSize);
    QFETCH(int, radix);
    QTEST(quint64(rolling::maxStartValue(uint8_t(bitSize), uint8_t(radix))), "max");
}

QTEST_APPLESS_MAIN(TestRollingRules)
#include "tst_rollingrules.moc"
