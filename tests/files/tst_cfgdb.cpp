#include "filetestutil.h"
#include "files/cfgdb.h"

#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A pad whose offset byte (byte 3) is `k`, the rest a fixed pattern.
QByteArray padWithOffset(int k, int seed = 0)
{
    QByteArray pad(CFG_PAD_SIZE, '\0');
    for (int i = 0; i < CFG_PAD_SIZE; ++i)
        pad[i] = static_cast<char>((i * 31 + seed * 7 + 5) & 0xFF);
    pad[3] = static_cast<char>(k);
    return pad;
}

// cfg.db from its documented layout, independent of the writer under test. A payload too long for the
// pad wraps around it, so such files can be built too.
QByteArray scramble(const QByteArray &pad, const QByteArray &plain)
{
    const int k = static_cast<uint8_t>(pad.at(3));
    QByteArray out = pad;
    for (int i = 0; i < plain.size(); ++i)
        out.append(static_cast<char>(plain.at(i) ^ pad.at((k + i) % CFG_PAD_SIZE)));
    uint8_t sum = 0;
    for (char c : out)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
    out.append(static_cast<char>(sum));
    return out;
}

void resetCfg()
{
    g_nCfgCount = 0;
    g_strCompany.clear();
}

} // namespace

class TestCfgDb : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }

    void init() { resetCfg(); }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("k");
        QTest::addColumn<QStringList>("chips");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("company");

        QTest::newRow("entries and company")
            << QByteArray("[CHIP]VR5K2610:Alpha\n[CHIP]VR5K2710:Beta\n[COMPANY]Acme 公司") << 3
            << QStringList{"VR5K2610", "VR5K2710"} << QStringList{"Alpha", "Beta"} << QStringLiteral("Acme 公司");
        QTest::newRow("colon in display name") << QByteArray("[CHIP]VR5K2610:A:B:C\n[COMPANY]X") << 200
                                               << QStringList{"VR5K2610"} << QStringList{"A:B:C"} << "X";
        QTest::newRow("no entries") << QByteArray("[COMPANY]") << 0 << QStringList() << QStringList() << "";
        QTest::newRow("other lines ignored")
            << QByteArray("hello\n[CHIP]no colon\n\n[CHIP]VR5K2611:Z") << 17 << QStringList{"VR5K2611"}
            << QStringList{"Z"} << "";
        QTest::newRow("text ends at a zero byte")
            << QByteArray("[CHIP]VR5K2610:A\n\0[CHIP]VR5K2611:B", 34) << 9 << QStringList{"VR5K2610"}
            << QStringList{"A"} << "";
        QTest::newRow("one-byte payload") << QByteArray("x") << 255 << QStringList() << QStringList() << "";
        QTest::newRow("payload up to the pad's end")
            << QByteArray("[COMPANY]") + QByteArray(CFG_PAD_SIZE - 200 - 9, 'c') << 200 << QStringList()
            << QStringList() << QString(CFG_PAD_SIZE - 200 - 9, QLatin1Char('c'));
    }

    void parse()
    {
        QFETCH(QByteArray, plain);
        QFETCH(int, k);
        QFETCH(QStringList, chips);
        QFETCH(QStringList, names);
        QFETCH(QString, company);
        const QByteArray file = scramble(padWithOffset(k), plain);
        QCOMPARE(file.size(), CFG_PAD_SIZE + plain.size() + 1);
        RecordedMessages msgs;
        QCOMPARE(parseCfgData(file, msgs.sink()), 0);
        QVERIFY(msgs.boxes.isEmpty());
        QCOMPARE(g_nCfgCount, chips.size());
        for (int i = 0; i < chips.size(); ++i) {
            QCOMPARE(g_strCfgChip[i], chips[i]);
            QCOMPARE(g_strCfgName[i], names[i]);
        }
        QCOMPARE(g_strCompany, company);
    }

    void rejected_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray good = scramble(padWithOffset(3), "[CHIP]VR5K2610:Alpha\n[COMPANY]Evil");
        QByteArray sumUp = good;
        sumUp[sumUp.size() - 1] = static_cast<char>(sumUp.at(sumUp.size() - 1) + 1);
        QByteArray sumDown = good;
        sumDown[sumDown.size() - 1] = static_cast<char>(sumDown.at(sumDown.size() - 1) - 1);
        QTest::newRow("sum byte one too high") << sumUp;
        QTest::newRow("sum byte one too low") << sumDown;
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("payload past the pad")
            << scramble(padWithOffset(255), "[COMPANY]Evil" + QByteArray(CFG_PAD_SIZE - 255 - 12, 'e'));
    }

    void rejected()
    {
        QFETCH(QByteArray, file);
        g_strCompany = QStringLiteral("kept");
        RecordedMessages msgs;
        QCOMPARE(parseCfgData(file, msgs.sink()), -1);
        QCOMPARE(msgs.boxes, QStringList{QStringLiteral("错误|配置文件数据错误！")});
        QCOMPARE(g_nCfgCount, 0);
        QCOMPARE(g_strCompany, QStringLiteral("kept"));
    }

    void shortFilesWithoutPayload_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("1 byte") << 1;
        QTest::newRow("4 bytes") << 4;
        QTest::newRow("pad and sum") << CFG_PAD_SIZE + 1;
    }

    void shortFilesWithoutPayload()
    {
        QFETCH(int, size);
        QByteArray file(size - 1, '\x01');
        uint8_t sum = 0;
        for (char c : file)
            sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
        file.append(static_cast<char>(sum));
        QCOMPARE(parseCfgData(file, FileMessages()), 0);
        QCOMPARE(g_nCfgCount, 0);
    }

    void moreThanHundredEntriesKeepsTheFirstHundred()
    {
        QByteArray plain;
        for (int i = 0; i < 130; ++i)
            plain += "[CHIP]M" + QByteArray::number(i) + ":N" + QByteArray::number(i) + "\n";
        plain += "[COMPANY]Many";
        QCOMPARE(parseCfgData(scramble(padWithOffset(1), plain), FileMessages()), 0);
        QCOMPARE(g_nCfgCount, CFG_MAX_ENTRIES);
        QCOMPARE(g_strCfgChip[99], QStringLiteral("M99"));
        QCOMPARE(g_strCfgName[99], QStringLiteral("N99"));
        QCOMPARE(g_strCompany, QStringLiteral("Many"));
    }

    void samePadAndTextGiveTheSameFile()
    {
        const QString text = QStringLiteral("[CHIP]VR5K2610:甲\n[COMPANY]Co");
        const QByteArray a = buildCfgData(padWithOffset(40), text);
        QCOMPARE(a, buildCfgData(padWithOffset(40), text));
        QCOMPARE(a, scramble(padWithOffset(40), text.toUtf8()));
        QVERIFY(a != buildCfgData(padWithOffset(40, 1), text));
        QVERIFY(a != buildCfgData(padWithOffset(41), text));
        QVERIFY(buildCfgData(QByteArray(100, 'x'), text).isEmpty());
        QVERIFY(buildCfgData(padWithOffset(255), QString(CFG_PAD_SIZE - 254, QLatin1Char('a'))).isEmpty());
    }

    void eightThousandOneHundredNinetyFourBytes()
    {
        const QByteArray file = buildCfgData(padWithOffset(7), QStringLiteral("\n"));
        QCOMPARE(file.size(), 8194);
        QCOMPARE(parseCfgData(file, FileMessages()), 0);
        QCOMPARE(g_nCfgCount, 0);
    }

    void writeThenRead()
    {
        g_nCfgCount = 2;
        g_strCfgChip[0] = QStringLiteral("VR5K2610");
        g_strCfgName[0] = QStringLiteral("MyChip");
        g_strCfgChip[1] = QStringLiteral("VR5K2710");
        g_strCfgName[1] = QStringLiteral("芯片二");
        g_strCompany = QStringLiteral("公司");
        QCOMPARE(writeCfgFile(m_dir.path()), 0);
        const QByteArray first = readFile(cfgDbPath(m_dir.path()));
        QCOMPARE(cfgText(), QStringLiteral("[CHIP]VR5K2610:MyChip\n[CHIP]VR5K2710:芯片二\n[COMPANY]公司"));
        QCOMPARE(first.size(), CFG_PAD_SIZE + cfgText().toUtf8().size() + 1);
        QCOMPARE(writeCfgFile(m_dir.path()), 0);
        QVERIFY(readFile(cfgDbPath(m_dir.path())) != first);  // a fresh pad each time

        resetCfg();
        QCOMPARE(readCfgFile(m_dir.path(), FileMessages()), 0);
        QCOMPARE(g_nCfgCount, 2);
        QCOMPARE(g_strCfgName[1], QStringLiteral("芯片二"));
        QCOMPARE(g_strCompany, QStringLiteral("公司"));
    }

    void writeFailures()
    {
        QCOMPARE(writeCfgFile(m_dir.filePath(QStringLiteral("missing"))), -1);
        g_strCompany = QString(CFG_PAD_SIZE, QLatin1Char('x'));
        const QString dir = m_dir.filePath(QStringLiteral("keep"));
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(writeFile(cfgDbPath(dir), "previous"));
        QCOMPARE(writeCfgFile(dir), -2);
        QCOMPARE(readFile(cfgDbPath(dir)), QByteArray("previous"));
    }

    void missingFile()
    {
        RecordedMessages msgs;
        QCOMPARE(readCfgFile(m_dir.filePath(QStringLiteral("nowhere")), msgs.sink()), -1);
        QVERIFY(msgs.boxes.isEmpty());
    }

    void twoEntriesForOneModel()
    {
        const QByteArray plain = "[CHIP]VR5K2610:First\n[CHIP]VR5K2610:Second\n[COMPANY]";
        QCOMPARE(parseCfgData(scramble(padWithOffset(3), plain), FileMessages()), 0);
        QVector<McuInfo> list = catalogue();
        applyCfgNames(list);
        QCOMPARE(list[0].strName, QStringLiteral("First"));
        QVERIFY(!findMcuByName(list, QStringLiteral("Second")));
        QCOMPARE(chipSelectorNames(list), (QStringList{"First", "Second"}));
        QCOMPARE(list[1].strName, QStringLiteral("VR5K2611"));
        // A project the Link stores names the model; the selector lists it as the list entry was renamed.
        QCOMPARE(cfgDisplayName(QStringLiteral("VR5K2610")), list[0].strName);
        QCOMPARE(cfgDisplayName(QStringLiteral("VR5K2611")), QStringLiteral("VR5K2611"));
    }

    void selectorWithoutEntriesListsTheCatalogue()
    {
        QVector<McuInfo> list = catalogue();
        applyCfgNames(list);
        QStringList names;
        for (const McuInfo &m : catalogue())
            names << m.strName;
        QCOMPARE(chipSelectorNames(list), names);
    }

    // The file a fresh build places beside the executables.
    void defaultFileBesideTheExecutables()
    {
        const QString appDir = qEnvironmentVariable("TQ_APP_DIR");
        if (appDir.isEmpty())
            QSKIP("TQ_APP_DIR not set; run through ctest");
        g_strCompany = QStringLiteral("stale");
        RecordedMessages msgs;
        QCOMPARE(readCfgFile(appDir, msgs.sink()), 0);
        QCOMPARE(g_nCfgCount, 0);
        QCOMPARE(g_strCompany, QString());
        QCOMPARE(chipSelectorNames(catalogue()).size(), catalogue().size());
    }
};

QTEST_APPLESS_MAIN(TestCfgDb)
#include "tst_cfgdb.moc"
