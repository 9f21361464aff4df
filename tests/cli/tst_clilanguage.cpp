// tarnquill-cli in Chinese and in English: the texts for people follow the language, the JSON output and the
// exit status never do.

#include "clitestutil.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCliLanguage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("app.hex")), hexText(patternBytes(512, 3))));
    }

    // Each command twice: the JSON and the exit status are the same bytes, stderr speaks the language.
    void sameJsonBothLanguages_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::newRow("erase") << QStringList{"--emulate", "--json", "erase"} << "擦除成功." << "Erase succeeded.";
        QTest::newRow("blank") << QStringList{"--emulate", "--json", "blank"} << "读取成功." << "Read succeeded.";
        QTest::newRow("burn") << QStringList{"--emulate", "--json", "burn", "app.hex"} << "烧写成功"
                              << "Programming succeeded";
        QTest::newRow("download without areas")
            << QStringList{"--emulate", "--json", "--areas", "ee", "download", "missing.mprj"} << QString()
            << QString();
        QTest::newRow("single wire refused") << QStringList{"--emulate", "--single-wire", "--json", "factory"}
                                             << "单线模式暂不支持此功能"
                                             << "single-wire mode does not support this command yet";
        QTest::newRow("missing file") << QStringList{"--json", "info", "missing.hex"} << "missing.hex：文件不存在"
                                      << "missing.hex: no such file";
        QTest::newRow("usage error") << QStringList{"--json", "burn"} << "burn takes 1 operand(s), 0 given"
                                     << "burn takes 1 operand(s), 0 given";
    }

    void sameJsonBothLanguages()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        const CliRun zh = runCli(QStringList{"--lang", "zh"} + arguments, m_dir.path());
        const CliRun en = runCli(QStringList{"--lang=en"} + arguments, m_dir.path());
        QVERIFY2(zh.exitCode >= 0 && en.exitCode >= 0, "tarnquill-cli did not finish");
        QCOMPARE(en.exitCode, zh.exitCode);
        QCOMPARE(en.out, zh.out);
        QVERIFY2(zh.err.contains(chinese), qPrintable(zh.err));
        QVERIFY2(en.err.contains(english), qPrintable(en.err));
        if (chinese != english)
            QVERIFY2(!en.err.contains(chinese), qPrintable(en.err));
    }

    void unknownLanguageIsAUsageError()
    {
        const CliRun run = runCli({"--lang", "fr", "chips"}, m_dir.path());
        QCOMPARE(run.exitCode, 64);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(QStringLiteral("\"fr\"")), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestCliLanguage)
#include "tst_clilanguage.moc"
