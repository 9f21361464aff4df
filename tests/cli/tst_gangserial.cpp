#include "cli/gangserial.h"
#include "cli/linklease.h"

#include <QtTest>

namespace {
rolling_seting_t record(uint32_t start, uint8_t step, bool up, bool hex, uint8_t bitSize)
{
    rolling_seting_t r{};
    r.startVal = start;
    r.step = step;
    r.radix = hex ? 1 : 0;
    r.bitSize = bitSize;
    r.setIncDec(up);
    return r;
}

// 16-bit hexadecimal serials at 0x1000 of the flash, 0x1230 to 0x12FF counting up by 1 (208 values).
SerialSpace flashSpace()
{
    SerialSpace s;
    s.name = QStringLiteral("sn");
    s.area = RollingAreaFlash;
    s.address = 0x1000;
    s.width = 2;
    s.radix = 16;
    s.step = 1;
    s.first = 0x1230;
    s.last = 0x12FF;
    return s;
}

// The project record that writes flashSpace() (its start value is the lease's to set).
rolling_seting_t flashRecord()
{
    rolling_seting_t r = record(0, 1, true, true, 1);
    r.startAdd = 0x1000;
    r.setArea(RollingAreaFlash);
    return r;
}
}

class TestGangSerial : public QObject
{
    Q_OBJECT

private slots:
    // Each Link's first number and step, and the text the plan prints for it.
    void plans_data()
    {
        QTest::addColumn<uint32_t>("start");
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("hex");
        QTest::addColumn<int>("links");
        QTest::addColumn<uint32_t>("limit");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("three Links, hex, up") << 0x1000u << 1 << true << true << 3 << 0u
                                              << QStringList{"0x1000, 0x1003, 0x1006 ...", "0x1001, 0x1004, 0x1007 ...",
                                                             "0x1002, 0x1005, 0x1008 ..."};
        QTest::newRow("two Links, step 5, down") << 0x100u << 5 << false << true << 2 << 0u
                                                 << QStringList{"0x100, 0xF6, 0xEC ...", "0xFB, 0xF1, 0xE7 ..."};
        QTest::newRow("decimal counts in decimal, shown as BCD") << 1098u << 1 << true << false << 2 << 0u
                                                                 << QStringList{"0x1098, 0x1100, 0x1102 ...", "0x1099, 0x1101, 0x1103 ..."};
        QTest::newRow("a limit of two shows two") << 7u << 1 << true << true << 2 << 2u
                                                  << QStringList{"0x7, 0x9", "0x8, 0xA"};
        QTest::newRow("one Link keeps its record") << 0x10u << 4 << true << true << 1 << 0u
                                                   << QStringList{"0x10, 0x14, 0x18 ..."};
    }
    void plans()
    {
        QFETCH(uint32_t, start);
        QFETCH(int, step);
        QFETCH(bool, up);
        QFETCH(bool, hex);
        QFETCH(int, links);
        QFETCH(uint32_t, limit);
        QFETCH(QStringList, texts);
        const rolling_seting_t base = record(start, uint8_t(step), up, hex, 1);
        const SerialPlan plan = planSerialNumbers(base, links, limit);
        QVERIFY2(plan.refusal.isEmpty(), qPrintable(plan.refusal));
        QCOMPARE(plan.records.size(), links);
        QStringList got;
        for (int i = 0; i < links; ++i) {
            QCOMPARE(int(plan.records[i].step), links * step);
            QCOMPARE(plan.records[i].bitSize, base.bitSize);
            QCOMPARE(plan.records[i].flags, base.flags);
            got << serialPlanText(plan.records[i], limit);
        }
        QCOMPARE(got, texts);
    }

    // Plans that cannot be kept are refused before anything is written.
    void refusals_data()
    {
        QTest::addColumn<uint32_t>("start");
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("hex");
        QTest::addColumn<int>("bitSize");
        QTest::addColumn<int>("links");
        QTest::addColumn<uint32_t>("limit");
        QTest::addColumn<QString>("reason");
        QTest::newRow("4 × 64 is above the step byte") << 0u << 64 << true << true << 1 << 4 << 0u << "more than the step";
        QTest::newRow("4 × 63 fits") << 0u << 63 << true << true << 1 << 4 << 0u << "";
        QTest::newRow("decimal step above 99") << 0u << 50 << true << false << 1 << 2 << 0u << "more than the step";
        QTest::newRow("step 0 on several Links") << 5u << 0 << true << true << 1 << 2 << 0u << "same number";
        QTest::newRow("first numbers leave 8 bits") << 0xFEu << 1 << true << true << 0 << 3 << 0u << "Link 3 of 3 would need 256";
        QTest::newRow("counting down below 0") << 1u << 1 << false << true << 0 << 3 << 0u << "would need -1";
        QTest::newRow("the limit runs past 16 bits") << 0xFF00u << 1 << true << true << 1 << 2 << 200u << "within the burn limit of 200";
        QTest::newRow("the limit just fits") << 0xFF00u << 1 << true << true << 1 << 2 << 128u << "";
        QTest::newRow("decimal 8 bits ends at 99") << 90u << 1 << true << false << 0 << 2 << 6u << "Link 1 of 2 would need 100";
    }
    void refusals()
    {
        QFETCH(uint32_t, start);
        QFETCH(int, step);
        QFETCH(bool, up);
        QFETCH(bool, hex);
        QFETCH(int, bitSize);
        QFETCH(int, links);
        QFETCH(uint32_t, limit);
        QFETCH(QString, reason);
        const SerialPlan plan = planSerialNumbers(record(start, uint8_t(step), up, hex, uint8_t(bitSize)), links, limit);
        if (reason.isEmpty()) {
            QVERIFY2(plan.refusal.isEmpty(), qPrintable(plan.refusal));
            QCOMPARE(plan.records.size(), links);
        } else {
            QVERIFY2(plan.refusal.contains(reason), qPrintable(plan.refusal));
            QVERIFY(plan.records.isEmpty());
        }
    }

    // A project's serial record carries leases of a space only when it writes them where and as the space does.
    void leaseRecordAgreesWithTheSpace_data()
    {
        QTest::addColumn<int>("area");
        QTest::addColumn<uint>("address");
        QTest::addColumn<int>("bitSize");
        QTest::addColumn<bool>("hex");
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("difference");  // empty: agrees
        const int flash = RollingAreaFlash;
        QTest::newRow("agrees") << flash << 0x1000u << 1 << true << 1 << true << "";
        QTest::newRow("another address") << flash << 0x1010u << 1 << true << 1 << true << "写在 FLASH 0x1010，空间写在 FLASH 0x1000";
        QTest::newRow("another area") << int(RollingAreaNvr) << 0x1000u << 1 << true << 1 << true << "写在 NVR 0x1000";
        QTest::newRow("narrower") << flash << 0x1000u << 0 << true << 1 << true << "宽度 1 字节，空间 2 字节";
        QTest::newRow("decimal") << flash << 0x1000u << 1 << false << 1 << true << "10 进制，空间 16 进制";
        QTest::newRow("another step") << flash << 0x1000u << 1 << true << 3 << true << "步长 3，空间 1";
        QTest::newRow("counting down") << flash << 0x1000u << 1 << true << 1 << false << "递减，空间递增";
    }
    void leaseRecordAgreesWithTheSpace()
    {
        QFETCH(int, area);
        QFETCH(uint, address);
        QFETCH(int, bitSize);
        QFETCH(bool, hex);
        QFETCH(int, step);
        QFETCH(bool, up);
        QFETCH(QString, difference);
        rolling_seting_t r = record(0x55, uint8_t(step), up, hex, uint8_t(bitSize));
        r.startAdd = address;
        r.setArea(uint8_t(area));
        const QString problem = leaseRecordProblem(flashSpace(), r);
        if (difference.isEmpty()) {
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        } else {
            QVERIFY2(problem.contains(difference) && problem.contains(QStringLiteral("sn")), qPrintable(problem));
        }
    }

    // Every Link's block must be in what the space has left, and in the record's width.
    void leaseBlocksFit_data()
    {
        QTest::addColumn<qlonglong>("next");
        QTest::addColumn<int>("links");
        QTest::addColumn<qlonglong>("count");
        QTest::addColumn<int>("bitSize");
        QTest::addColumn<QString>("problem");
        QTest::newRow("the whole space") << 0LL << 4 << 52LL << 1 << "";
        QTest::newRow("one value short") << 1LL << 4 << 52LL << 1 << "只剩 207 个值，不够 4 个 Link 各租 52 个（共 208 个）";
        QTest::newRow("used up") << 208LL << 1 << 1LL << 1 << "只剩 0 个值";
        QTest::newRow("wider than the record") << 0LL << 1 << 1LL << 0 << "0x1230 超出工程序列号的 8 位宽度";
    }
    void leaseBlocksFit()
    {
        QFETCH(qlonglong, next);
        QFETCH(int, links);
        QFETCH(qlonglong, count);
        QFETCH(int, bitSize);
        QFETCH(QString, problem);
        rolling_seting_t r = flashRecord();
        r.bitSize = uint8_t(bitSize);
        const QString got = leaseFitProblem(flashSpace(), next, r, links, count);
        if (problem.isEmpty())
            QVERIFY2(got.isEmpty(), qPrintable(got));
        else
            QVERIFY2(got.contains(problem), qPrintable(got));
    }

    void leasedRecordStartsAtTheBlock()
    {
        SerialLease lease;
        lease.first = 0x1246;
        const rolling_seting_t base = flashRecord();
        const rolling_seting_t r = leasedRecord(base, lease);
        QCOMPARE(r.startVal, 0x1246u);
        QCOMPARE(r.step, base.step);
        QCOMPARE(r.flags, base.flags);
        QCOMPARE(r.startAdd, base.startAdd);
        QCOMPARE(r.bitSize, base.bitSize);
    }

    void bcd_data()
    {
        QTest::addColumn<qulonglong>("value");
        QTest::addColumn<int>("radix");
        QTest::addColumn<qulonglong>("coded");
        QTest::newRow("decimal 0") << 0ull << 0 << 0ull;
        QTest::newRow("decimal 99") << 99ull << 0 << 0x99ull;
        QTest::newRow("decimal 99999999") << 99999999ull << 0 << 0x99999999ull;
        QTest::newRow("hexadecimal") << 0x1234ull << 1 << 0x1234ull;
    }
    void bcd()
    {
        QFETCH(qulonglong, value);
        QFETCH(int, radix);
        QFETCH(qulonglong, coded);
        QCOMPARE(qulonglong(serialCoded(value, uint8_t(radix))), coded);
    }
};

QTEST_APPLESS_MAIN(TestGangSerial)
#include "tst_gangserial.moc"
