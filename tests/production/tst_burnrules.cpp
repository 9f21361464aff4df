#include "production/burnrules.h"
#include "production/productionsettings.h"

#include <QtTest>

class TestBurnRules : public QObject
{
    Q_OBJECT

private slots:
    void dialogLimit_data();
    void dialogLimit();
    void pageLimit_data();
    void pageLimit();
    void pageTime_data();
    void pageTime();
    void calibration_data();
    void calibration();
    void openingClock_data();
    void openingClock();
    void burnSettingResult_data();
    void burnSettingResult();
};

void TestBurnRules::dialogLimit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("warning");

    QTest::newRow("1") << "1" << "";
    QTest::newRow("1000000") << "1000000" << "";
    QTest::newRow("1000001") << "1000001" << "输入范围1-1000000,请重新输入";
    QTest::newRow("0") << "0" << "输入范围1-1000000,请重新输入";
    QTest::newRow("letters") << "abc" << "输入必须为数字,请重新输入";
    QTest::newRow("empty") << "" << "";
}

void TestBurnRules::dialogLimit()
{
    QFETCH(QString, text);
    QTEST(burn::dialogLimitWarning(text), "warning");
}

void TestBurnRules::pageLimit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("store");
    QTest::addColumn<uint>("value");
    QTest::addColumn<bool>("show");
    QTest::addColumn<QString>("warning");

    QTest::newRow("0 becomes 1") << "0" << true << 1u << true << "";
    QTest::newRow("2000000 capped") << "2000000" << true << 1000000u << true << "";
    QTest::newRow("negative capped") << "-3" << true << 1000000u << true << "";
    QTest::newRow("500 kept") << "500" << true << 500u << false << "";
    QTest::newRow("letters") << "x1" << false << 0u << false << "您输入的数据不是10进制,请重新输入";
    QTest::newRow("empty") << "" << false << 0u << false << "";
}

void TestBurnRules::pageLimit()
{
    QFETCH(QString, text);
    const burn::PageLimit r = burn::pageLimit(text);
    QTEST(r.store, "store");
    QTEST(uint(r.value), "value");
    QTEST(r.show, "show");
    QTEST(r.warning, "warning");
}

void TestBurnRules::pageTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<uint>("value");
    QTest::addColumn<bool>("warned");

    QTest::newRow("250") << "250" << true << 250u << false;
    QTest::newRow("zero") << "0" << false << 0u << true;
    QTest::newRow("letters") << "1a" << false << 0u << true;
    QTest::newRow("beyond 16 bits") << "70000" << false << 0u << true;
    QTest::newRow("empty") << "" << false << 0u << false;
}

void TestBurnRules::pageTime()
{
    QFETCH(QString, text);
    uint16_t value = 0;
    QString warning;
    QTEST(burn::pageTime(text, &value, &warning), "stored");
    QTEST(uint(value), "value");
    QTEST(!warning.isEmpty(), "warned");
}

void TestBurnRules::calibration_data()
{
    QTest::addColumn<bool>("only");
    QTest::addColumn<bool>("clock");
    QTest::addColumn<bool>("adc");
    QTest::addColumn<QString>("freq");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<float>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("warning");

    const QString range = QStringLiteral("时钟范围20.0-32.0MHz");
    QTest::newRow("35 refused") << false << false << false << "35" << false << 0.0f << "32.0" << range;
    QTest::newRow("19.9 refused") << false << false << false << "19.9" << false << 0.0f << "20.0" << range;
    QTest::newRow("not a number is 0") << false << false << false << "fast" << false << 0.0f << "20.0" << range;
    QTest::newRow("24.5 stored") << false << false << false << "24.5" << true << 24.5f << "" << "";
    QTest::newRow("32.0 edge") << false << true << false << "32.0" << true << 32.0f << "" << "";
    QTest::newRow("20.0 edge") << false << false << true << "20.0" << true << 20.0f << "" << "";
    QTest::newRow("calibrate only alone") << true << false << false << "24.0" << false << 0.0f << ""
                                          << "没有选择校准项!";
    QTest::newRow("calibrate only with ADC") << true << false << true << "24.0" << true << 24.0f << "" << "";
}

void TestBurnRules::calibration()
{
    QFETCH(bool, only);
    QFETCH(bool, clock);
    QFETCH(bool, adc);
    QFETCH(QString, freq);
    const burn::CalibrationCheck r = burn::checkCalibration(only, clock, adc, freq);
    QTEST(r.ok, "ok");
    QTEST(r.freqText, "shown");
    QTEST(r.warning, "warning");
    if (r.ok)
        QTEST(r.freq, "stored");
}

void TestBurnRules::openingClock_data()
{
    QTest::addColumn<float>("freq");
    QTest::addColumn<QString>("text");

    QTest::newRow("100 at start: none") << 100.0f << "";
    QTest::newRow("24.5") << 24.5f << "24.5";
    QTest::newRow("20") << 20.0f << "20.0";
    QTest::newRow("19.9") << 19.9f << "";
}

void TestBurnRules::openingClock()
{
    QFETCH(float, freq);
    QTEST(burn::openingClockText(freq), "text");
}

void TestBurnRules::burnSettingResult_data()
{
    QTest::addColumn<QVector<int>>("results");
    QTest::addColumn<bool>("label");
    QTest::addColumn<bool>("caliAdc");
    QTest::addColumn<bool>("caliOnly");

    QTest::newRow("all off") << QVector<int>{0, 0, 0, 0, 0, 0} << false << false << false;
    QTest::newRow("calibration does not count") << QVector<int>{0, 0, 0, 0, 0, 5} << false << true << true;
    QTest::newRow("single wire") << QVector<int>{0, 0, 0, 0, 1, 0} << true << false << false;
    QTest::newRow("limit") << QVector<int>{0, 1, 0, 0, 0, 0} << true << false << false;
}

void TestBurnRules::burnSettingResult()
{
    QFETCH(QVector<int>, results);
    const bool label = burn::applyBurnSettingResult(results[0], results[1], results[2], results[3], results[4],
                                                    results[5]);
    QTEST(label, "label");
    QTEST(g_bCaliAdc, "caliAdc");
    QTEST(g_bCaliOnly, "caliOnly");
    QCOMPARE(g_bEnLimit, results[1] == 1);
    QCOMPARE(g_bUartMode, results[4] == 1);
    QCOMPARE(burn::calibrationWord(g_bCaliAdc, g_bCaliClock, g_bCaliOnly, g_bNoAdcParamCheck), results[5]);
}

QTEST_APPLESS_MAIN(TestBurnRules)
#include "tst_burnrules.moc"
